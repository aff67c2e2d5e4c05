#!/usr/bin/env bash
# Checks the README's run command on a machine with no display: starts
# `bash scripts/run.sh` with DISPLAY and WAYLAND_DISPLAY unset, waits until its
# parlohost listens on 127.0.0.1:1983 and confirms a raw caller, and its
# parlocall runs with its window shown; then stops it as Ctrl+C does (SIGINT to
# its process group), or with TERM as `kill` does, and checks that it ends and
# leaves none of its programs or its virtual display behind. Also checks that
# run.sh places the two windows side by side and says that the display is a
# virtual one. Prints what it measured.
#
#   scripts/test-run.sh [INT|TERM] [limit-seconds]     (default: INT 300)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
signal="${1:-INT}"
limit="${2:-300}"
"$root/scripts/install-deps.sh" iproute2 x11-utils

work="$(mktemp -d /tmp/parlo-test-run.XXXXXX)"
run=""
began=$(date +%s%N)
elapsed() { echo "$((($(date +%s%N) - began) / 1000000))ms"; }
fail() {
  echo "test-run: FAIL after $(elapsed): $*" >&2
  echo "--- run.sh output:" >&2
  cat "$work/run.log" >&2 || true
  exit 1
}

# Every process under $1 (children first found, then theirs).
tree_of() {
  local pid child
  for pid in "$@"; do
    for child in $(pgrep -P "$pid" || true); do
      echo "$child"
      tree_of "$child"
    done
  done
}
# The first process named $1 among those run.sh started ("" when none is).
program_under_run() {
  local pid
  for pid in $(tree_of "$run"); do
    if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$1" ]; then
      echo "$pid"
      return
    fi
  done
}
# Whether process $1 listens on port 1983.
listens() { [[ "$(ss -ltnpH 'sport = :1983')" == *"pid=$1,"* ]]; }
# The titles of the Parlo windows on display $1, sorted.
windows_on() {
  DISPLAY="$1" xwininfo -root -tree | grep -o '"[A-Za-z]* - Parlo"' | sort | tr '\n' ' ' || true
}
alive() { [ -e "/proc/$1" ] && ! grep -q '^State:.*Z' "/proc/$1/status" 2>/dev/null; }

# Whether "pid(name)" $1 still runs: that process id, under that name.
still_runs() {
  local pid="${1%%(*}"
  alive "$pid" && [ "$pid($(cat "/proc/$pid/comm" 2>/dev/null))" = "$1" ]
}

# On a failure, what run.sh started is ended here, also what it left behind
# (`started` lists each as "pid(name)").
started=""
cleanup() {
  local pid entry
  [ -z "$run" ] || for pid in $run $(tree_of "$run"); do kill -KILL "$pid" 2>/dev/null || true; done
  for entry in $started; do
    if still_runs "$entry"; then kill -KILL "${entry%%(*}" || true; fi
  done
  rm -rf "$work"
}
trap cleanup EXIT

for _ in $(seq 30); do
  [ -z "$(ss -ltnH 'sport = :1983')" ] && break
  sleep 1
done
[ -z "$(ss -ltnH 'sport = :1983')" ] || fail "port 1983 is taken by another process"

# Job control gives run.sh its own process group, as a terminal would, and
# keeps SIGINT from being ignored the way it is for plain background jobs.
# A private temporary and runtime folder keeps other copies' single-instance
# locks apart.
set -m
env -u DISPLAY -u WAYLAND_DISPLAY TMPDIR="$work" XDG_RUNTIME_DIR="$work" \
  bash "$root/scripts/run.sh" >"$work/run.log" 2>&1 &
run=$!
set +m

# parlohost and parlocall started by run.sh, by process id, once both exist.
host="" caller="" reply="" windows=""
deadline=$(($(date +%s) + limit))
while [ "$(date +%s)" -lt "$deadline" ]; do
  alive "$run" || fail "run.sh ended before both programs ran"
  host="$(program_under_run parlohost)"
  if [ -n "$host" ] && listens "$host"; then break; fi
  sleep 0.5
done
[ -n "$host" ] || fail "no parlohost under run.sh within ${limit}s"
listens "$host" || fail "parlohost $host does not listen on 1983"
echo "test-run: parlohost (pid $host) listens on 1983 after $(elapsed)"

exec 3<>/dev/tcp/127.0.0.1/1983
IFS= read -r -t 10 -N 22 reply <&3 || true
exec 3<&-
[ "$reply" = "/connection_confirmed " ] || fail "a raw caller on 1983 received '$reply'"
echo "test-run: a raw caller received '$reply' after $(elapsed)"

display="$(tr '\0' '\n' <"/proc/$host/environ" | sed -n 's/^DISPLAY=//p')"
[ -n "$display" ] || fail "parlohost runs with no DISPLAY"
for _ in $(seq 20); do
  caller="$(program_under_run parlocall)"
  windows="$(windows_on "$display")"
  [ -n "$caller" ] && [[ "$windows" == *'"Client - Parlo"'*'"Server - Parlo"'* ]] && break
  sleep 0.5
done
{ [ -n "$caller" ] && alive "$caller"; } || fail "no parlocall running under run.sh"
[[ "$windows" == *'"Client - Parlo"'*'"Server - Parlo"'* ]] ||
  fail "windows on $display: $windows"
echo "test-run: parlocall (pid $caller) runs; windows on display $display: $windows"
for _ in $(seq 100); do
  grep -q "Ctrl+C" "$work/run.log" && break
  sleep 0.1
done
grep -q "Ctrl+C" "$work/run.log" || fail "run.sh does not say how to stop it"
grep -q "virtual display" "$work/run.log" || fail "run.sh does not say the display is virtual"
if grep -q "already running" "$work/run.log"; then fail "run.sh says a program already ran"; fi
# Side by side: the host's window ends where the caller's begins, or before.
left_and_width() {
  DISPLAY="$display" xwininfo -name "$1" | awk '/Absolute upper-left X/ {x = $NF}
    /Width:/ {w = $NF} END {print x, w}'
}
read -r host_x host_width <<<"$(left_and_width 'Server - Parlo')"
read -r caller_x _ <<<"$(left_and_width 'Client - Parlo')"
[ $((host_x + host_width)) -le "$caller_x" ] ||
  fail "the caller's window (from x $caller_x) covers the host's (x $host_x, $host_width wide)"
echo "test-run: the windows side by side, the host's at x $host_x, the caller's at x $caller_x"

# Everything run.sh started, to be checked for leftovers once it has ended.
started="$(for p in $(tree_of "$run"); do echo "$p($(cat "/proc/$p/comm" 2>/dev/null))"; done)"
socket="/tmp/.X11-unix/X${display#:}"
stop_at=$(date +%s%N)
# Ctrl+C reaches the terminal's whole foreground group; `kill` reaches run.sh.
if [ "$signal" = INT ]; then target="-$run"; else target="$run"; fi
kill "-$signal" -- "$target"
for _ in $(seq 150); do
  alive "$run" || break
  sleep 0.1
done
alive "$run" && fail "run.sh still runs 15 s after SIG$signal"
status=0
wait "$run" || status=$?
run=""
echo "test-run: run.sh ended $((($(date +%s%N) - stop_at) / 1000000))ms after SIG$signal, status $status"

left=""
for entry in $started; do
  if still_runs "$entry"; then left+=" $entry"; fi
done
[ -z "$left" ] || fail "left running:$left"
[ ! -e "$socket" ] || fail "the virtual display's socket $socket is left behind"
echo "test-run: PASS in $(elapsed); none left of what run.sh started: ${started//$'\n'/ }"
