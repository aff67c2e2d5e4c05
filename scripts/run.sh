#!/usr/bin/env bash
# Installs what is missing, builds, and starts the host and the caller side by
# side. Without a display the two windows run on a virtual one (Xvfb).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

start_both() {
  "$root/build/host/parlohost" &
  local host=$!
  "$root/build/caller/parlocall"
  wait "$host"
}

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  start_both
else
  echo "No display found: running both programs on a virtual display (Xvfb)." >&2
  export -f start_both
  export root
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c start_both
fi
