#!/bin/bash
# Builds the parlo .deb, checks what it declares and holds, unpacks it into a
# scratch root and starts both programs from there, offscreen.
#
#   scripts/test-deb.sh [--install] [build-dir]
#
# --install also installs the package on this machine with dpkg -i (and
# apt-get -f install for anything missing), starts the programs from /usr/bin
# and removes the package again. Meant for a throwaway CI machine.
#
# Needs: cmake, ninja-build, g++, qt6-base-dev, dpkg-dev, librsvg2-bin,
# desktop-file-utils, iproute2 (ss).
set -euo pipefail

install_too=0
if [[ "${1:-}" == "--install" ]]; then
    install_too=1
    shift
fi
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$source_dir/build-deb}"
"$source_dir/scripts/install-deps.sh" dpkg-dev desktop-file-utils iproute2
work="$(mktemp -d /tmp/parlo-deb.XXXXXX)"
started_pids=()
installed_here=0

fail() {
    echo "test-deb: FAIL: $*" >&2
    exit 1
}

cleanup() {
    local pid
    for pid in "${started_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [[ $installed_here == 1 ]]; then
        dpkg -r parlo >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# ---- build the package --------------------------------------------------------

echo "test-deb: building in $build_dir"
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DPARLO_BUILD_TESTS=OFF -DPARLO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j2 >/dev/null
rm -f "$build_dir"/parlo_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb="$(ls "$build_dir"/parlo_*.deb 2>/dev/null | head -n 1)"
[[ -f "$deb" ]] || fail "cpack made no parlo_*.deb in $build_dir"
echo "test-deb: package $deb"

# ---- what the package declares ------------------------------------------------

[[ "$(dpkg-deb -f "$deb" Package)" == "parlo" ]] || fail "package name is not parlo"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "test-deb: Depends: $depends"
for lib in libqt6core6 libqt6gui6 libqt6network6 libqt6widgets6; do
    grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends does not name $lib"
done

# ---- what the package holds ---------------------------------------------------

root="$work/root"
dpkg-deb -x "$deb" "$root"
expected=(
    usr/bin/parlohost
    usr/bin/parlocall
    usr/share/applications/parlohost.desktop
    usr/share/applications/parlocall.desktop
)
for program in parlohost parlocall; do
    expected+=("usr/share/icons/hicolor/scalable/apps/$program.svg")
    for size in 16 32 48 64 128 256; do
        expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$program.png")
    done
done
for file in "${expected[@]}"; do
    [[ -s "$root/$file" ]] || fail "package lacks /$file"
done
for program in parlohost parlocall; do
    [[ -x "$root/usr/bin/$program" ]] || fail "/usr/bin/$program is not executable"
    if ldd "$root/usr/bin/$program" | grep -q "not found"; then
        fail "$program needs libraries this machine lacks: $(ldd "$root/usr/bin/$program" | grep 'not found')"
    fi
done
desktop-file-validate "$root"/usr/share/applications/parlo*.desktop ||
    fail "desktop entries do not validate"
grep -qx "Name=Parlo Host" "$root/usr/share/applications/parlohost.desktop" ||
    fail "parlohost.desktop is not named Parlo Host"
grep -qx "Name=Parlo Call" "$root/usr/share/applications/parlocall.desktop" ||
    fail "parlocall.desktop is not named Parlo Call"
echo "test-deb: package contents and desktop entries OK"

# ---- the programs start -------------------------------------------------------

# Whoever holds port 1983 now, by process id ("" when nobody listens).
listener_of_1983() {
    ss -ltnpH 'sport = :1983' | grep -o 'pid=[0-9]*' | head -n 1 | cut -d= -f2
}

# Starts $1 offscreen with a private temporary directory (the single-instance
# lock lives there) and leaves its process id in $started.
start_program() {
    local binary="$1" tmp
    tmp="$(mktemp -d "$work/tmp.XXXXXX")"
    QT_QPA_PLATFORM=offscreen TMPDIR="$tmp" "$binary" >"$tmp/log" 2>&1 &
    started=$!
    started_pids+=("$started")
}

stop_program() {
    local pid remaining=()
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
    for pid in "${started_pids[@]}"; do
        [[ "$pid" == "$1" ]] || remaining+=("$pid")
    done
    started_pids=("${remaining[@]}")
}

check_programs() {
    local bindir="$1" host caller waited

    for waited in $(seq 1 30); do
        [[ -z "$(listener_of_1983)" ]] && break
        [[ $waited == 30 ]] && fail "port 1983 is taken by another process; cannot check parlohost"
        sleep 1
    done

    start_program "$bindir/parlohost"
    host=$started
    for waited in $(seq 1 50); do
        [[ "$(listener_of_1983)" == "$host" ]] && break
        kill -0 "$host" 2>/dev/null || fail "$bindir/parlohost ended at start-up"
        [[ $waited == 50 ]] && fail "$bindir/parlohost does not listen on port 1983"
        sleep 0.1
    done
    echo "test-deb: $bindir/parlohost runs and listens on 1983"

    start_program "$bindir/parlocall"
    caller=$started
    sleep 2
    kill -0 "$caller" 2>/dev/null || fail "$bindir/parlocall ended at start-up"
    echo "test-deb: $bindir/parlocall runs"

    stop_program "$caller"
    stop_program "$host"
}

check_programs "$root/usr/bin"

# ---- optionally, installed on this machine ------------------------------------

if [[ $install_too == 1 ]]; then
    if dpkg -s parlo >/dev/null 2>&1; then
        fail "parlo is already installed here; --install wants a machine without it"
    fi
    export DEBIAN_FRONTEND=noninteractive
    installed_here=1
    dpkg -i "$deb" || apt-get -f install -y
    dpkg -s parlo | grep -q "Status: install ok installed" || fail "dpkg did not install parlo"
    check_programs /usr/bin
    desktop-file-validate /usr/share/applications/parlohost.desktop \
        /usr/share/applications/parlocall.desktop || fail "installed desktop entries do not validate"
    dpkg -r parlo >/dev/null
    installed_here=0
    echo "test-deb: installed with dpkg -i, started and removed again"
fi

echo "test-deb: PASS"
