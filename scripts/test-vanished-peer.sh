#!/usr/bin/env bash
# A peer whose machine drops off the network (no close, no reset: its packets
# simply stop) is noticed by parlohost within a minute, both when the
# conversation is idle and after the host sent it a line it never acknowledged.
#
# The built parlohost runs in a network namespace of its own, a raw peer in a
# second one, joined by a veth pair. The peer does the opening exchange, then
# its machine vanishes: its end of the pair goes down. The host has noticed
# once it listens again, which a fresh call over the host's own loopback shows
# ("/connection_confirmed" comes back). Prints the seconds each case took.
#
#   scripts/test-vanished-peer.sh [build-dir]      (default: build; needs root)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
limit=60    # seconds the host may take to notice
give_up=90  # seconds after which a case fails without waiting longer

if [[ $(id -u) -ne 0 ]]; then
    echo "test-vanished-peer: needs root (network namespaces)" >&2
    exit 1
fi
extra=(iproute2)
command -v python3 >/dev/null || extra+=(python3-minimal)
"$root/scripts/install-deps.sh" "${extra[@]}"
"$root/scripts/build.sh" "$build"

work="$(mktemp -d /tmp/parlo-vanish.XXXXXX)"
host_ns="parlo-vanish-host-$$"
peer_ns="parlo-vanish-peer-$$"
host_ip=10.198.0.1
peer_ip=10.198.0.2
host_pid=""
watch_pid=""

# Ends what this script started (the host, the peer, the watcher) and removes
# the namespaces, with the veth pair inside them.
cleanup() {
    local pid
    for pid in "$host_pid" "${PEER_PID:-}" "$watch_pid"; do
        if [[ -n $pid ]]; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    host_pid=""
    watch_pid=""
    ip netns del "$host_ns" 2>/dev/null || true
    ip netns del "$peer_ns" 2>/dev/null || true
}
trap 'cleanup; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "test-vanished-peer: FAIL: $*" >&2
    cat "$work"/*/host.log >&2 2>/dev/null || true
    exit 1
}

# The raw peer: calls the host, does the opening exchange and reports
# "introduced". With "after-line" it then waits for a line on stdin, sends
# "/connection_confirmed 7" (which the host answers with its nickname) and
# reports "sent". It keeps its connection open until killed: its machine
# vanishes under it.
peer_py='
import re, socket, sys, time
deadline = time.monotonic() + 10
while True:
    try:
        s = socket.create_connection((sys.argv[1], 1983), timeout=1)
        break
    except OSError:
        if time.monotonic() > deadline:
            raise
        time.sleep(0.2)
s.settimeout(10)
got = b""
while not re.fullmatch(rb"/connection_confirmed \d+/nick Server", got):
    chunk = s.recv(4096)
    if not chunk:
        sys.exit("the host closed during the opening exchange: %r" % got)
    got += chunk
s.sendall(b"/nick Peer")
print("introduced", flush=True)
if sys.argv[2] == "after-line":
    sys.stdin.readline()
    s.sendall(b"/connection_confirmed 7")
    print("sent", flush=True)
sys.stdin.readline()
'

# Calls the host over loopback every half second until a call is confirmed;
# prints the seconds that took, or fails after the given number of seconds.
watch_py='
import socket, sys, time
start = time.monotonic()
while time.monotonic() - start < float(sys.argv[1]):
    try:
        with socket.create_connection(("127.0.0.1", 1983), timeout=2) as s:
            s.settimeout(2)
            if s.recv(64).startswith(b"/connection_confirmed "):
                print("%.1f" % (time.monotonic() - start))
                sys.exit(0)
    except OSError:
        pass
    time.sleep(0.5)
sys.exit(1)
'

# One conversation whose peer vanishes; $1 is "idle" or "after-line".
run_case() {
    local mode="$1" line seconds
    ip netns add "$host_ns"
    ip netns add "$peer_ns"
    ip -n "$host_ns" link set lo up
    ip link add vh netns "$host_ns" type veth peer name vp netns "$peer_ns"
    ip -n "$host_ns" addr add "$host_ip/30" dev vh
    ip -n "$peer_ns" addr add "$peer_ip/30" dev vp
    ip -n "$host_ns" link set vh up
    ip -n "$peer_ns" link set vp up

    mkdir -p "$work/$mode/home" "$work/$mode/tmp"
    chmod 700 "$work/$mode/tmp"
    # Its own HOME and TMPDIR, so its single-instance lock meets no other copy.
    ip netns exec "$host_ns" env HOME="$work/$mode/home" TMPDIR="$work/$mode/tmp" \
        XDG_RUNTIME_DIR="$work/$mode/tmp" QT_QPA_PLATFORM=offscreen \
        "$build/host/parlohost" >"$work/$mode/host.log" 2>&1 &
    host_pid=$!

    coproc PEER { exec ip netns exec "$peer_ns" python3 -c "$peer_py" "$host_ip" "$mode"; }
    if ! read -r -t 20 -u "${PEER[0]:-}" line || [[ $line != introduced ]]; then
        fail "$mode: no opening exchange with the host"
    fi

    if [[ $mode == after-line ]]; then
        # From now on nothing the host sends reaches the peer: its frames go to
        # a hardware address nobody has. The peer's line still reaches the host.
        ip -n "$host_ns" neigh replace "$peer_ip" lladdr 02:00:00:00:00:01 dev vh nud permanent
        echo go >&"${PEER[1]}"
        if ! read -r -t 10 -u "${PEER[0]:-}" line || [[ $line != sent ]]; then
            fail "$mode: the peer could not send its line"
        fi
    fi
    ip netns exec "$host_ns" python3 -c "$watch_py" "$give_up" >"$work/$mode/seconds" &
    watch_pid=$!
    if [[ $mode == after-line ]]; then
        sleep 1 # the host has answered by now; its answer is never acknowledged
    fi
    ip -n "$peer_ns" link set vp down
    wait "$watch_pid" || fail "$mode: the host did not notice within $give_up s"
    watch_pid=""
    seconds="$(cat "$work/$mode/seconds")"
    echo "test-vanished-peer: $mode: the host noticed the vanished peer after $seconds s"
    cleanup
    awk -v s="$seconds" -v limit="$limit" 'BEGIN { exit !(s <= limit) }' ||
        fail "$mode: $seconds s is more than $limit s"
}

run_case idle
run_case after-line
echo "test-vanished-peer: PASS"
