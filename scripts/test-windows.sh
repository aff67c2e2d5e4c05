#!/usr/bin/env bash
# CI: Parlo for Windows under Wine. Builds the static Qt for Windows (once per
# machine, cached), both programs and the Windows zip, checks that the
# programs import no DLL that Windows does not bring, then, in a network of
# its own, on a virtual X display, with a fresh Wine prefix:
#   1. parlohost.exe from the zip listens on 1983; a raw TCP peer receives
#      "/connection_confirmed <number>" and the host's "/nick Server";
#   2. the Linux parlocall calls it; a line typed in each window travels to
#      the other program (the keyboard driven with xdotool; the bytes captured
#      on the loopback: the opening exchange both ways, then both lines);
#   3. the host's About box, opened and its link followed with the keyboard,
#      starts the browser registered in Wine's registry (a stand-in that
#      records its command line) with the web address;
#   4. the About table (test_about.exe) with its rows for the real registry
#      reader and program starter.
# Wine's processes end with the run (wineserver -k on its own prefix).
#
#   scripts/test-windows.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-windows"
began=$SECONDS

if [ "${1:-}" != --inside ]; then
  "$root/scripts/install-deps.sh" wine wine64 xvfb xauth xdotool tcpdump python3 iproute2 unzip
  zip="$("$root/scripts/package-windows.sh" "$build")"
  "$root/scripts/build.sh" >/dev/null
  echo "test-windows: built in $((SECONDS - began)) s: $zip ($(stat -c %s "$zip") bytes)"
  exec "$root/scripts/own-network.sh" bash "$0" --inside "$zip"
fi
zip="$2"

work="$(mktemp -d /tmp/parlo-test-windows.XXXXXX)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
drive="$WINEPREFIX/drive_c"
passed=0
pids=()

cleanup() {
  local pid
  if [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; fi
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
  echo "test-windows: FAIL after $((SECONDS - began)) s: $*" >&2
  for log in "$work"/*.log; do
    [ -s "$log" ] && { echo "--- $log" && tail -20 "$log"; } >&2
  done
  exit 1
}
pass() {
  passed=$((passed + 1))
  echo "test-windows: ok after $((SECONDS - began)) s: $*"
}
# Runs "$@" every 0.2 s until it succeeds, at most $1 seconds; fails with $2.
wait_for() {
  local limit="$1" what="$2"
  shift 2
  local deadline=$((SECONDS + limit))
  until "$@" >/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || fail "waited ${limit} s for $what"
    sleep 0.2
  done
}
listening() { [ -n "$(ss -ltnH 'sport = :1983')" ]; }
established() { [ -n "$(ss -tnH state established '( sport = :1983 )')" ]; }
# The payload bytes captured so far in one direction: to or from the host.
captured() { tcpdump -r "$work/chat.pcap" -A "tcp $1 port 1983" 2>/dev/null; }
captured_has() { captured "$1" | grep -aqF -- "$2"; }
stand_in_ran() { wine reg query 'HKCU\Software\Parlo stand-in' /v ran 2>/dev/null | tr -d '\r' | grep -F ran; }
window_named() { xdotool search --onlyvisible --name "^$1\$" | head -1; }
# Types $2 into window $1 (which gets the keyboard focus first), then presses keys $3...
type_into() {
  local window="$1" text="$2"
  shift 2
  xdotool windowfocus --sync "$window"
  [ -z "$text" ] || xdotool type --delay 20 -- "$text"
  [ $# -eq 0 ] || xdotool key --delay 100 "$@"
}

# A virtual display, and a fresh Wine prefix on it.
exec 4>"$work/display"
Xvfb -displayfd 4 -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 20 "the virtual display" test -s "$work/display"
export DISPLAY=":$(cat "$work/display")"
timeout 300 wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot"
pass "a fresh Wine prefix"

# The programs from the zip need only what Windows itself brings: Wine's system32,
# and the API sets (api-ms-win-*), which the loader maps to system DLLs.
unzip -q "$zip" -d "$drive"
for exe in "$drive"/Parlo/*.exe; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print $3 }' |
    grep -v '^api-ms-win-'); do
    [ -n "$(find "$drive/windows/system32" -maxdepth 1 -iname "$dll")" ] ||
      fail "$(basename "$exe") needs $dll, which Windows does not bring"
  done
done
pass "the programs import only system DLLs: $(x86_64-w64-mingw32-objdump -p "$drive/Parlo/parlohost.exe" |
  awk '/DLL Name:/ { printf "%s ", $3 }')"

# The stand-in browser, with a decoy where an unquoted path would start, registered
# as the browser (a new prefix already holds both values: both are overwritten).
mkdir -p "$drive/My Browser"
cp "$build/tests/about/browser_stand_in.exe" "$drive/My Browser/IExplore.exe"
cp "$build/tests/about/browser_stand_in.exe" "$drive/My.exe"
wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\IEXPLORE.EXE' \
  /v Path /t REG_SZ /d 'C:\My Browser;' /f >/dev/null
wine reg add 'HKLM\Software\Microsoft\Internet Explorer' /v Version /t REG_SZ /d 9.11.9600.18376 \
  /f >/dev/null

# 1. parlohost.exe listens; a raw peer gets the opening exchange.
wine 'C:\Parlo\parlohost.exe' >"$work/parlohost.log" 2>&1 &
pids+=($!)
disown # ended with the prefix's other processes, without a word from the shell
wait_for 120 "parlohost.exe to listen on 1983" listening
/usr/bin/python3 - >"$work/raw-peer.log" 2>&1 <<'EOF' || fail "the raw peer: $(cat "$work/raw-peer.log")"
import re, socket, time
wanted = rb"/connection_confirmed [0-9]+/nick Server"
peer = socket.create_connection(("127.0.0.1", 1983), timeout=20)
received = b""
deadline = time.monotonic() + 20
while not re.fullmatch(wanted, received) and time.monotonic() < deadline:
    peer.settimeout(max(0.1, deadline - time.monotonic()))
    chunk = peer.recv(4096)
    if not chunk:
        break
    received += chunk
print(received)
peer.close()
assert re.fullmatch(wanted, received), "expected " + wanted.decode()
EOF
pass "a raw peer received $(cat "$work/raw-peer.log")"

# 2. The Linux parlocall calls; one line each way, captured on the loopback.
wait_for 40 "parlohost.exe to listen again" listening
tcpdump -i lo -U -w "$work/chat.pcap" 'tcp port 1983' >"$work/tcpdump.log" 2>&1 &
pids+=($!)
wait_for 10 "the capture to start" test -s "$work/chat.pcap"
mkdir "$work/linux-tmp"
TMPDIR="$work/linux-tmp" QT_QPA_PLATFORM=xcb "$root/build/caller/parlocall" >"$work/parlocall.log" 2>&1 &
pids+=($!)
wait_for 30 "the parlocall window" window_named "Client - Parlo"
wait_for 60 "the parlohost.exe window" window_named "Server - Parlo"
caller_window="$(window_named "Client - Parlo")"
host_window="$(window_named "Server - Parlo")"
type_into "$caller_window" 127.0.0.1 Return
wait_for 30 "the call to be taken" established
wait_for 20 "the caller's /nick" captured_has dst "/nick Client"
captured_has src "/connection_confirmed " || fail "no /connection_confirmed to the caller"
captured_has src "/nick Server" || fail "no /nick Server to the caller"
pass "the Linux parlocall called parlohost.exe: the opening exchange went both ways"
type_into "$caller_window" "Hello from Linux" Return
wait_for 20 "the caller's line on the wire" captured_has dst "Hello from Linux"
type_into "$host_window" "Hello from Wine" Return
wait_for 20 "the host's line on the wire" captured_has src "Hello from Wine"
pass "a line went from parlocall to parlohost.exe and one back"

# 3. The About box's link, with the keyboard: Alt to the menu bar, Help > About, Tab
# to the link, Enter.
type_into "$host_window" "" alt Right Down Return
wait_for 30 "the About box" window_named Parlo
type_into "$(window_named Parlo)" "" Tab Return
wait_for 30 "the stand-in browser to run" stand_in_ran
expected='C:\My Browser\IExplore.exe: "C:\My Browser\IExplore.exe" www.parlo.example'
[[ "$(stand_in_ran)" == *"$expected" ]] || fail "the browser ran as: $(stand_in_ran)"
pass "the About box's link started the registered browser: $expected"

# 4. The About table, its registry rows on this scratch prefix.
# (Its log goes to a file: under Wine the test library's console output is lost.)
wineserver -k
PARLO_SCRATCH_WINDOWS=1 wine "$build/tests/about/test_about.exe" \
  -o "$(winepath -w "$work/about.log"),txt" >"$work/about-wine.log" 2>&1 ||
  fail "the About table: $(grep -E -A2 'FAIL|Totals' "$work/about.log")"
grep -q 'SKIP.*windows:' "$work/about.log" && fail "the About table skipped a Windows row"
pass "the About table: $(grep Totals "$work/about.log")"

echo "test-windows: $passed passed, 0 failed in $((SECONDS - began)) s"
