# Sourced by the desktop checks (test-desktop.sh, test-wayland.sh): the step
# printer, a private working folder that is also the session's runtime folder,
# the processes started (ended on exit), and the accessibility listener that
# drives both programs (desktop-chat.py).
#
#   check="test-name"; source "$root/scripts/check-session.sh"

began=$(date +%s%N)
say() { echo "$check: $* ($((($(date +%s%N) - began) / 1000000)) ms)"; }
fail() {
  say "FAIL: $*" >&2
  for log in "$work"/*.log; do
    [ -e "$log" ] || continue
    echo "--- $log:" >&2
    tail -n 20 "$log" >&2
  done
  exit 1
}
pids=()
work="$(mktemp -d "/tmp/parlo-$check.XXXXXX")"
stop_all() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap stop_all EXIT
chmod 700 "$work"
export XDG_RUNTIME_DIR="$work"

# Starts desktop-chat.py with the given options and waits until its listeners
# are registered: a program asks which events are listened to as it starts,
# so the programs start after it. Its process is $chat.
start_listener() {
  /usr/bin/python3 "$root/scripts/desktop-chat.py" --ready "$work/listening" "$@" &
  chat=$!
  pids+=($chat)
  for _ in $(seq 100); do [ -e "$work/listening" ] && break; sleep 0.1; done
  [ -e "$work/listening" ] || fail "the accessibility listener did not start"
}
