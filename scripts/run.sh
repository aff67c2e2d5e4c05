#!/usr/bin/env bash
# Installs what is missing, builds, and starts the host and the caller side by
# side, each checked to be running before this says so. Without a display the
# two windows run on a virtual one (Xvfb) that this script starts on a free
# display number. Ctrl+C (or SIGTERM) closes both programs and the virtual
# display; closing both windows ends the script too.
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

# The host on the left, the caller to its right. Qt's -geometry places a
# window on X; on Wayland the compositor places windows.
names=(parlohost parlocall)
"$root/build/host/parlohost" -geometry +80+120 &
programs+=($!)
"$root/build/caller/parlocall" -geometry +500+120 &
programs+=($!)
# A program that cannot start (no platform for this display) ends within
# moments, saying why; one that runs is still there after them.
for _ in $(seq 30); do
  kill -0 "${programs[@]}" 2>/dev/null || break
  sleep 0.1
done
started=()
for i in 0 1; do
  status=0
  if kill -0 "${programs[$i]}" 2>/dev/null; then
    started+=("${names[$i]}")
  elif wait "${programs[$i]}" || status=$?; [ "$status" -eq 0 ]; then
    echo "${names[$i]} was already running for you: its window is brought to the front."
  else
    echo "${names[$i]} could not start (status $status)." >&2
  fi
done
[ ${#started[@]} -gt 0 ] || exit 1

if [ -n "$display_pid" ]; then
  where="the virtual display $DISPLAY (for checks: it shows nothing on a screen)"
elif [ -n "${DISPLAY:-}" ]; then
  where="display $DISPLAY"
else
  where="Wayland display $WAYLAND_DISPLAY"
fi
echo "Running on $where: ${started[*]}."
echo "Press Ctrl+C to stop (or close the windows)."

# Returns when the programs have ended, or at once on Ctrl+C or SIGTERM.
wait "${programs[@]}" 2>/dev/null || true
programs=()
