#!/usr/bin/env bash
# CI smoke check on a Wayland-only session: Debian's weston compositor with its
# headless backend in a private runtime folder, no X display at all, a private
# session bus with the accessibility bus, and a network of their own. Both
# programs start natively on Wayland (Qt's wayland platform), and chat through
# the accessibility bus (scripts/desktop-chat.py): the real opening exchange, a
# line each way, a disconnect. Prints each step with its time; stops
# everything it started.
#
#   scripts/test-wayland.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ "${1:-}" != --inside ]; then
  "$root/scripts/install-deps.sh" weston dbus at-spi2-core python3-pyatspi
  "$root/scripts/build.sh" >/dev/null
  exec "$root/scripts/own-network.sh" env -u DISPLAY -u WAYLAND_DISPLAY \
    dbus-run-session -- bash "$0" --inside
fi

check=test-wayland
source "$root/scripts/check-session.sh"

weston --backend=headless-backend.so --socket=wayland-parlo --idle-time=0 \
  >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$work/wayland-parlo" ] && break; sleep 0.1; done
[ -S "$work/wayland-parlo" ] || fail "weston did not start"
export WAYLAND_DISPLAY=wayland-parlo QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
pids+=($!)
start_listener
"$root/build/host/parlohost" >"$work/host.log" 2>&1 &
host=$!
pids+=($host)
"$root/build/caller/parlocall" >"$work/caller.log" 2>&1 &
caller=$!
pids+=($caller)
say "weston (headless) on $WAYLAND_DISPLAY, parlohost and parlocall started"

wait "$chat" || fail "the programs did not chat"
kill -0 "$host" "$caller" 2>/dev/null || fail "a program ended"
say "PASS"
