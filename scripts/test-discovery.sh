#!/usr/bin/env bash
# Finding the other side, end to end with the real DNS-SD responder: an
# avahi-daemon with a system bus of its own, in private network, mount and
# PID namespaces (only loopback up, a tmpfs on /run; everything started here
# ends with the PID namespace). Both programs run on a virtual X display with
# a private session bus, and are read through the accessibility bus.
#
# - parlohost meets a name clash (another program holds its name) and takes
#   the responder's alternative; avahi-browse sees it on port 1983;
# - it is withdrawn while a raw caller holds a conversation, announced again
#   when the conversation ends and when the responder restarts, and gone
#   once the host has ended;
# - the host's own addresses at the right of its status bar follow the
#   network (an interface that comes up, then a second address);
# - with PARLO_NO_ANNOUNCE=1 the host is not announced;
# - a service published with avahi-publish appears in parlocall's address
#   list (a line break in its name shown as a symbol), whose text stays
#   empty, and disappears when withdrawn; parlocall started while no
#   responder ran, and picks it up when it comes.
#
#   scripts/test-discovery.sh [build-dir]      (default: build; needs root)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"

if [[ ${PARLO_DISCOVERY_INSIDE:-} != 1 ]]; then
    if [[ $(id -u) -ne 0 ]]; then
        echo "test-discovery: needs root (namespaces, a system bus of its own)" >&2
        exit 1
    fi
    "$root/scripts/install-deps.sh" avahi-daemon avahi-utils dbus at-spi2-core python3-pyatspi
    "$root/scripts/build.sh" "$build"
    started=$SECONDS
    PARLO_DISCOVERY_INSIDE=1 unshare --net --mount --pid --fork --mount-proc \
        --propagation private "${BASH_SOURCE[0]}" "$build"
    echo "test-discovery: PASS in $((SECONDS - started)) s"
    exit 0
fi

# ---- inside the namespaces ----------------------------------------------------

work="$(mktemp -d /tmp/parlo-discovery.XXXXXX)"
chmod 700 "$work"
mkdir -p "$work/home" "$work/config" "$work/tmp" "$work/run"
chmod 700 "$work/tmp" "$work/run"
pids=()
host_pid=""

cleanup() {
    local pid
    for pid in "${pids[@]}" "$host_pid"; do
        [[ -n $pid ]] && kill "$pid" 2>/dev/null || true
    done
    for pid in /run/avahi-daemon/pid /run/dbus/pid; do
        [[ -f $pid ]] && kill "$(cat "$pid")" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "test-discovery: FAIL: $*" >&2
    tail -n 20 "$work"/*.log >&2 2>/dev/null || true
    exit 1
}

# Runs "$@" until it succeeds, at most 20 s; says what it waited for and how long that took.
wait_for() {
    local what="$1" start elapsed
    shift
    start=$(date +%s%N)
    while true; do
        if "$@"; then
            echo "test-discovery: $what ($((($(date +%s%N) - start) / 1000000)) ms)"
            return 0
        fi
        elapsed=$((($(date +%s%N) - start) / 1000000))
        ((elapsed < 20000)) || fail "$what: not within 20 s"
        sleep 0.2
    done
}

not() { ! "$@"; }

# Is the service NAME announced and resolved on PORT (default 1983)? Is it
# gone? A browse that does not finish in time answers neither.
announced() {
    local name="${1// /\\032}" found
    found="$(timeout 10 avahi-browse -rpt _parlo._tcp 2>/dev/null)" || return 1
    NAME="${name//#/\\035}" PORT="${2:-1983}" awk -F';' \
        '$1 == "=" && $4 == ENVIRON["NAME"] && $9 == ENVIRON["PORT"] { f = 1 } END { exit !f }' \
        <<<"$found"
}
withdrawn() {
    local name="${1// /\\032}" found
    found="$(timeout 10 avahi-browse -pt _parlo._tcp 2>/dev/null)" || return 1
    NAME="${name//#/\\035}" awk -F';' '$4 == ENVIRON["NAME"] { f = 1 } END { exit f }' <<<"$found"
}

# What a program shows, read through the accessibility bus: "list" prints the
# entries of the address box's list, "box" its text, "labels" every label.
atspi_py='
import sys, pyatspi
program, what = sys.argv[1], sys.argv[2]
def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)
for app in pyatspi.Registry.getDesktop(0):
    if app is None or app.name != program:
        continue
    print("(running)")
    for node in walk(app):
        role = node.getRoleName()
        if what == "labels" and role == "label":
            print(node.name)
        if role == "combo box" and node.name.startswith("Connect to"):
            for part in walk(node):
                if what == "list" and part.getRoleName() == "list item":
                    print(part.name)
                if what == "box" and part.getRoleName() == "text":
                    print("text:" + part.queryText().getText(0, -1))
'
# PROGRAM WHAT LINE: is LINE among what PROGRAM shows, or (lacks) is it not?
# A program that could not be read answers neither.
shows() {
    local seen
    seen="$(timeout 10 /usr/bin/python3 -c "$atspi_py" "$1" "$2" 2>/dev/null)" || return 1
    grep -xF -- "$3" <<<"$seen" >/dev/null
}
lacks() {
    local seen
    seen="$(timeout 10 /usr/bin/python3 -c "$atspi_py" "$1" "$2" 2>/dev/null)" || return 1
    grep -xF "(running)" <<<"$seen" >/dev/null && ! grep -xF -- "$3" <<<"$seen" >/dev/null
}

start_responder() {
    avahi-daemon --daemonize --no-chroot --no-drop-root 2>>"$work/avahi.log"
    wait_for "the responder runs" avahi-browse -at >/dev/null
}

stop_responder() {
    kill "$(cat /run/avahi-daemon/pid)"
    wait_for "the responder stopped" not test -e /run/avahi-daemon/pid
}

publish() { # NAME PORT: publishes a service; its pid is in $published
    avahi-publish -s "$1" _parlo._tcp "$2" >>"$work/publish.log" 2>&1 &
    published=$!
    pids+=("$published")
}

start_program() { # PROGRAM: runs it on the display, reachable over the accessibility bus
    HOME="$work/home" XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp" \
        XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
        "$build/$1" >"$work/$(basename "$1").log" 2>&1 &
    started_pid=$!
    pids+=("$started_pid")
}

ip link set lo up
mount -t tmpfs tmpfs /run
mkdir -p /run/dbus
dbus-daemon --system --fork
start_responder

# A display and a session bus with its accessibility bus, for both programs.
Xvfb -displayfd 3 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for "the virtual display runs" test -s "$work/display"
export DISPLAY=":$(cat "$work/display")"
DBUS_SESSION_BUS_ADDRESS="$(dbus-daemon --session --fork --print-address)"
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
pids+=($!)

machine="$(hostname)"
name="Server on $machine"

# ---- the host -------------------------------------------------------------------

publish "$name" 1984
wait_for "another program holds \"$name\"" announced "$name" 1984
start_program host/parlohost
host_pid=$started_pid
name="$name #2"
wait_for "parlohost is announced as \"$name\" on 1983" announced "$name"
kill "$published"

# A raw caller: the opening exchange, then "talking"; on a line from us it
# says goodbye with the connection number and reports "ended".
caller_py='
import re, socket, sys
s = socket.create_connection(("127.0.0.1", 1983), timeout=10)
got = b""
while not (m := re.fullmatch(rb"/connection_confirmed (\d+)/nick .+", got)):
    chunk = s.recv(4096)
    if not chunk:
        sys.exit("the host closed during the opening exchange: %r" % got)
    got += chunk
s.sendall(b"/nick Raw")
print("talking", flush=True)
sys.stdin.readline()
s.sendall(b"/terminate " + m.group(1))
print("ended", flush=True)
sys.stdin.readline()
'
coproc CALLER { exec python3 -c "$caller_py"; }
pids+=("$CALLER_PID")
read -r -t 20 -u "${CALLER[0]}" line && [[ $line == talking ]] || fail "no opening exchange"
wait_for "withdrawn while a caller holds a conversation" withdrawn "$name"
echo >&"${CALLER[1]}"
read -r -t 20 -u "${CALLER[0]}" line && [[ $line == ended ]] || fail "the caller could not say goodbye"
wait_for "announced again once the conversation ended" announced "$name"

stop_responder
start_responder
wait_for "announced again after the responder restarted" announced "$name"

wait_for "parlohost is on the accessibility bus" shows parlohost labels "(running)"
ip link add parlo0 type veth peer name parlo1
ip addr add 10.77.0.1/24 dev parlo0
ip link set parlo1 up
ip link set parlo0 up
wait_for "the host shows the address of an interface that came up" \
    shows parlohost labels "10.77.0.1"
ip addr add 2001:db8::77/64 dev parlo0 nodad
wait_for "the host shows a second address beside it" \
    shows parlohost labels "10.77.0.1, 2001:db8::77"

kill "$host_pid"
wait "$host_pid" 2>/dev/null || true
host_pid=""
wait_for "withdrawn once parlohost has ended" withdrawn "$name"

# Asked not to announce itself, it is not there once its window shows its
# addresses (a host that announces itself is seen within about a second).
PARLO_NO_ANNOUNCE=1 start_program host/parlohost
host_pid=$started_pid
wait_for "parlohost with PARLO_NO_ANNOUNCE=1 runs" shows parlohost labels "10.77.0.1, 2001:db8::77"
sleep 2
withdrawn "Server on $machine" || fail "parlohost announced itself with PARLO_NO_ANNOUNCE=1"
kill "$host_pid"
wait "$host_pid" 2>/dev/null || true
host_pid=""

# ---- the caller -----------------------------------------------------------------

# It starts while no responder runs, and finds hosts once one is there.
stop_responder
start_program caller/parlocall
wait_for "parlocall is on the accessibility bus" shows parlocall list "(running)"
shows parlocall box "text:" || fail "parlocall's address box is not empty at start-up"
start_responder
publish $'Office\nhost' 1983
wait_for "a host announced on the network is in parlocall's list (its line break as ␊)" \
    shows parlocall list "Office␊host"
kill "$published"
wait_for "it leaves the list once withdrawn" lacks parlocall list "Office␊host"
