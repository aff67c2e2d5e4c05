#!/usr/bin/env bash
# CI check of both programs on an X desktop with a window manager (Xvfb and
# openbox), a private session bus with the accessibility bus, and a stand-in
# notification service, all in a network of their own:
#  - the two chat through the accessibility bus (scripts/desktop-chat.py): the
#    real opening exchange, a line each way, a disconnect; what a screen reader
#    hears; the host's notices while its window is inactive;
#  - a second parlohost ends at once, silently, with status 0, and brings the
#    minimised first one forward, active; its window has its icon;
#  - the single-instance lock is per user: without a session folder, another
#    user's parlocall runs beside this user's in the same temporary folder,
#    while this user's second copy still ends.
# Prints each step with its time; stops everything it started.
#
#   scripts/test-desktop.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ "${1:-}" != --inside ]; then
  "$root/scripts/install-deps.sh" openbox xdotool x11-utils dbus at-spi2-core python3-pyatspi \
    python3-dbus
  "$root/scripts/build.sh" >/dev/null
  exec "$root/scripts/own-network.sh" dbus-run-session -- bash "$0" --inside
fi

check=test-desktop
source "$root/scripts/check-session.sh"

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "the virtual display did not start"
export DISPLAY=":$(tr -d '[:space:]' <"$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW && break
  sleep 0.1
done
xprop -root _NET_SUPPORTED | grep -q _NET_ACTIVE_WINDOW || fail "the window manager did not start"
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null &
pids+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
start_listener --x11 --notices
"$root/build/host/parlohost" >"$work/host.log" 2>&1 &
pids+=($!)
"$root/build/caller/parlocall" >"$work/caller.log" 2>&1 &
pids+=($!)
say "X display $DISPLAY with openbox, the accessibility bus, parlohost and parlocall"

wait "$chat" || fail "the programs did not chat as they should"

# A second copy, while the first is minimised.
host_window="$(xdotool search --sync --name '^Server - Parlo$' | head -n 1)"
xdotool windowminimize --sync "$host_window"
second_began=$(date +%s%N)
status=0
timeout 10 "$root/build/host/parlohost" >"$work/second.log" 2>&1 || status=$?
took=$((($(date +%s%N) - second_began) / 1000000))
[ "$status" -eq 0 ] || fail "a second parlohost ended with status $status"
[ ! -s "$work/second.log" ] || fail "a second parlohost said: $(cat "$work/second.log")"
say "a second parlohost ended after $took ms, status 0, silently"
for _ in $(seq 100); do
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$host_window" ] && break
  sleep 0.1
done
[ "$(xdotool getactivewindow)" = "$host_window" ] || fail "the first parlohost is not active"
if xprop -id "$host_window" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; then
  fail "the first parlohost is still minimised"
fi
say "the first parlohost came forward, un-minimised and active"
# Run from the build folder, where the icon theme does not know the program.
# (Read whole: "grep -q" would stop reading, and the writer's broken pipe fail the line.)
[[ "$(xprop -id "$host_window" _NET_WM_ICON)" == *"Icon ("* ]] || fail "the host's window has no icon"
say "the host's window has its icon"

# Two users, one temporary folder, no session folders.
shared="$work/shared-tmp"
mkdir -m 1777 "$shared"
other_uid=4242
no_session=(env -u XDG_RUNTIME_DIR TMPDIR="$shared" QT_QPA_PLATFORM=offscreen)
"${no_session[@]}" "$root/build/caller/parlocall" >/dev/null 2>&1 &
mine=$!
pids+=($mine)
"${no_session[@]}" setpriv --reuid="$other_uid" --regid="$other_uid" --clear-groups \
  "$root/build/caller/parlocall" >/dev/null 2>&1 &
theirs=$!
pids+=($theirs)
sleep 2
kill -0 "$mine" 2>/dev/null || fail "this user's parlocall ended beside another user's"
kill -0 "$theirs" 2>/dev/null || fail "another user's parlocall ended beside this user's"
status=0
timeout 10 "${no_session[@]}" "$root/build/caller/parlocall" >/dev/null 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "this user's second parlocall ended with status $status"
kill -0 "$mine" "$theirs" 2>/dev/null || fail "a parlocall ended"
say "another user's parlocall runs beside this user's; this user's second copy ended"
say "PASS"
