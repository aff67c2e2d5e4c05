#!/usr/bin/env bash
# Installs what is missing, builds, and starts the host and the caller side by
# side. Without a display the two windows run on a virtual one (Xvfb) that this
# script starts on a free display number. Ctrl+C (or SIGTERM) closes both
# programs and the virtual display; closing both windows ends the script too.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

# Everything this script started, programs first, the virtual display last.
programs=()
display_pid=""
work="$(mktemp -d "${TMPDIR:-/tmp}/parlo-run.XXXXXX")"

stop_all() {
  local pid
  trap '' INT TERM HUP
  for pid in "${programs[@]}" $display_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running both programs on a virtual display (Xvfb)."
  # Xvfb picks a free display number and writes it once it accepts clients.
  # Its own session keeps a Ctrl+C meant for this script from reaching it
  # before the programs that draw on it are closed.
  setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
  display_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$display_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    echo "The virtual display did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
  export DISPLAY
fi

"$root/build/host/parlohost" &
programs+=($!)
"$root/build/caller/parlocall" &
programs+=($!)
echo "parlohost and parlocall are running on display ${DISPLAY:-$WAYLAND_DISPLAY}."
echo "Press Ctrl+C to stop both (or close both windows)."
echo "(A program already running on this machine is not started twice.)"

# Returns when both programs have ended, or at once on Ctrl+C or SIGTERM.
wait "${programs[@]}" || true
programs=()
