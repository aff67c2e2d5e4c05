#!/bin/bash
# Builds the parlo .deb, checks what it declares and holds (licence, changelog,
# manual pages, AppStream metadata, stripped programs), has lintian and
# appstreamcli check it, unpacks it into a scratch root and starts both
# programs from there, offscreen. Any E: or W: line from lintian fails it.
#
#   scripts/test-deb.sh [--install] [build-dir]
#
# --install also installs the package on this machine with dpkg -i (and
# apt-get -f install for anything missing), starts the programs from /usr/bin,
# reads `man parlohost` and `man parlocall` and removes the package again.
# Meant for a throwaway CI machine.
#
# Needs (installed here when missing, as root): cmake, ninja-build, g++,
# qt6-base-dev, dpkg-dev, librsvg2-bin, desktop-file-utils, iproute2 (ss),
# lintian, appstream (appstreamcli), man-db, binutils (readelf).
set -euo pipefail

install_too=0
if [[ "${1:-}" == "--install" ]]; then
    install_too=1
    shift
fi
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$source_dir/build-deb}"
"$source_dir/scripts/install-deps.sh" dpkg-dev desktop-file-utils iproute2 \
    lintian appstream man-db binutils
# The package names whoever builds it as its maintainer (packaging/); this
# check's package is thrown away, and says so unless a packager is named.
export DEBFULLNAME="${DEBFULLNAME:-Parlo package check}"
export DEBEMAIL="${DEBEMAIL:-package-check@parlo.invalid}"
work="$(mktemp -d /tmp/parlo-deb.XXXXXX)"
started_pids=()
installed_here=0

fail() {
    echo "test-deb: FAIL: $*" >&2
    exit 1
}

# cpack run from the source folder (as the README shows) leaves its output
# there: git must ignore it.
if git -C "$source_dir" rev-parse --git-dir >/dev/null 2>&1; then
    for output in _CPack_Packages/DEB parlo_1.0.0_amd64.deb; do
        git -C "$source_dir" check-ignore -q --no-index "$output" ||
            fail "git does not ignore cpack's $output"
    done
fi

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
    usr/share/doc/parlo/copyright
    usr/share/doc/parlo/changelog.gz
    usr/share/man/man1/parlohost.1.gz
    usr/share/man/man1/parlocall.1.gz
    usr/share/metainfo/example.parlo.parlohost.metainfo.xml
    usr/share/metainfo/example.parlo.parlocall.metainfo.xml
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

# ---- the package's documents --------------------------------------------------

version="$(dpkg-deb -f "$deb" Version)"

# The extended description keeps to 80 columns (after its leading space).
long_lines="$(dpkg-deb -f "$deb" Description | tail -n +2 | cut -c 2- | awk 'length > 80')"
[[ -z "$long_lines" ]] || fail "description lines longer than 80 characters: $long_lines"

# copyright: Debian's machine-readable format, quoting LICENSE word for word.
copyright="$root/usr/share/doc/parlo/copyright"
head -n 1 "$copyright" |
    grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
    fail "copyright is not in Debian's machine-readable format"
grep -qx "Copyright: .*The Parlo team" "$copyright" || fail "copyright does not name The Parlo team"
grep -q "^Copyright (c) .*The Parlo team$" "$source_dir/LICENSE" ||
    fail "LICENSE does not name The Parlo team"
# The stand-alone licence paragraph (the "License: Expat" line that starts a
# paragraph, up to the end), unfolded, against the LICENSE text below its
# copyright line.
awk 'on { print; next } previous == "" && $0 == "License: Expat" { on = 1 } { previous = $0 }' \
    "$copyright" | sed 's/^ //; s/^\.$//' >"$work/copyright-licence"
sed -n '/^Permission is hereby granted/,$p' "$source_dir/LICENSE" >"$work/licence"
[[ -s "$work/licence" ]] || fail "LICENSE holds no MIT licence text"
diff -u "$work/licence" "$work/copyright-licence" >&2 ||
    fail "the licence in copyright differs from LICENSE"

# changelog.gz and the manual pages: gzip -9n (best compression, no name and no
# time stamp in the header: bytes 3 to 7 are all zero), so builds reproduce.
gzipped_docs=(
    usr/share/doc/parlo/changelog.gz
    usr/share/man/man1/parlohost.1.gz
    usr/share/man/man1/parlocall.1.gz
)
for file in "${gzipped_docs[@]}"; do
    gzip -t "$root/$file" || fail "/$file is not a sound gzip file"
    [[ "$(od -An -tx1 -j3 -N5 "$root/$file" | tr -d ' \n')" == "0000000000" ]] ||
        fail "/$file carries a file name or time stamp (not made with gzip -n)"
    [[ "$(od -An -tx1 -j8 -N1 "$root/$file" | tr -d ' \n')" == "02" ]] ||
        fail "/$file is not compressed with gzip -9"
done
zcat "$root/usr/share/doc/parlo/changelog.gz" >"$work/changelog"
[[ "$(dpkg-parsechangelog -l "$work/changelog" -S Source)" == "parlo" ]] ||
    fail "changelog is not about the parlo package"
[[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" == "$version" ]] ||
    fail "the latest changelog entry is not for $version"

# The manual pages render without a warning and say what they must.
for program in parlohost parlocall; do
    page="$root/usr/share/man/man1/$program.1.gz"
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)"
    [[ -z "$warnings" ]] || fail "$program(1) renders with warnings: $warnings"
    text="$(LC_ALL=C.UTF-8 MANWIDTH=80 MANPATH="$root/usr/share/man" man -P cat "$program" 2>/dev/null)" ||
        fail "man $program finds no page in the package"
    for needed in "^NAME" "^SYNOPSIS" "^DESCRIPTION" "^COMMANDS" "^EXIT STATUS" "^FILES" \
        "1983" "/nick" "/disconnect" "$program\.lock" "Parlo $version"; do
        grep -q -- "$needed" <<<"$text" || fail "$program(1) lacks \"$needed\""
    done
done
echo "test-deb: copyright, changelog $version and manual pages OK"

# ---- the programs are built in Release and stripped ---------------------------

grep -qx "CMAKE_BUILD_TYPE:STRING=Release" "$build_dir/CMakeCache.txt" ||
    fail "$build_dir is not a Release build"
for program in parlohost parlocall; do
    sections="$(readelf -SW "$root/usr/bin/$program")"
    for section in .symtab .debug_info .comment; do
        if grep -qF " $section " <<<"$sections"; then
            fail "/usr/bin/$program still has its $section section (not stripped)"
        fi
    done
done
echo "test-deb: both programs are stripped Release builds"

# ---- AppStream metadata -------------------------------------------------------

# appstreamcli fails on errors and warnings; we also fail on any E: or W: line.
# Infos stay: the component ids follow the project's web address, parlo.example,
# whose top-level domain the validator does not know.
validate_appstream() {
    local output status=0
    output="$(appstreamcli "$@" 2>&1)" || status=$?
    echo "$output" | sed 's/^/test-deb:   /'
    [[ $status == 0 ]] || fail "appstreamcli $* failed"
    if grep -Eq '^ *[EW]: ' <<<"$output"; then
        fail "appstreamcli $* reports errors or warnings"
    fi
}
metainfo_dir="$root/usr/share/metainfo"
for metainfo in "$metainfo_dir"/*.metainfo.xml; do
    validate_appstream validate --no-net "$metainfo"
done
validate_appstream validate-tree --no-net "$root"
for program in parlohost parlocall; do
    metainfo="$metainfo_dir/example.parlo.$program.metainfo.xml"
    for needed in \
        "<id>example.parlo.$program</id>" \
        "<launchable type=\"desktop-id\">$program.desktop</launchable>" \
        "<binary>$program</binary>" \
        "<metadata_license>MIT</metadata_license>" \
        "<project_license>MIT</project_license>" \
        "<content_rating type=\"oars-1.1\">" \
        "<release version=\"$version\""; do
        grep -qF -- "$needed" "$metainfo" || fail "$metainfo lacks $needed"
    done
    grep -q "<summary>..*</summary>" "$metainfo" || fail "$metainfo has no summary"
    grep -q "<description>" "$metainfo" || fail "$metainfo has no description"
    # Every screenshot is one of ours, by file name.
    shots="$(grep -o '<image type="source"[^>]*>[^<]*</image>' "$metainfo" | sed 's/.*>\([^<]*\)<.*/\1/')"
    [[ -n "$shots" ]] || fail "$metainfo shows no screenshot"
    while read -r url; do
        [[ -f "$source_dir/docs/screenshots/${url##*/}" ]] ||
            fail "$metainfo shows ${url##*/}, which docs/screenshots/ lacks"
    done <<<"$shots"
done
echo "test-deb: AppStream metadata OK"

# ---- lintian ------------------------------------------------------------------

# Infos and pedantic notes are shown; errors and warnings fail. No override can
# hide one (--no-override).
lintian_status=0
lintian_output="$(lintian --no-override --display-info --pedantic "$deb" 2>&1)" ||
    lintian_status=$?
lintian_output="$(grep -v '^running with root privileges is not recommended!$' <<<"$lintian_output" || true)"
[[ -z "$lintian_output" ]] || echo "$lintian_output" | sed 's/^/test-deb:   /'
if grep -Eq '^[EW]: ' <<<"$lintian_output"; then
    fail "lintian reports errors or warnings"
fi
[[ $lintian_status == 0 ]] || fail "lintian ended with status $lintian_status"
echo "test-deb: lintian reports no error or warning"

# ---- cmake --install brings the same files ------------------------------------

prefix="$work/prefix"
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
for file in "${expected[@]}"; do
    [[ -s "$prefix/${file#usr/}" ]] || fail "cmake --install lacks ${file#usr/}"
done
for program in parlohost parlocall; do
    cmp -s "$prefix/bin/$program" "$root/usr/bin/$program" ||
        fail "cmake --install gives another $program than the package (not stripped?)"
done
echo "test-deb: cmake --install brings the same files"

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
    for program in parlohost parlocall; do
        [[ "$(man -w "$program")" == "/usr/share/man/man1/$program.1.gz" ]] ||
            fail "man $program does not find the installed page"
        text="$(LC_ALL=C.UTF-8 MANWIDTH=80 man -P cat "$program" 2>/dev/null)" ||
            fail "man $program fails"
        grep -q "1983" <<<"$text" || fail "man $program does not show the installed page"
    done
    echo "test-deb: man parlohost and man parlocall show the installed pages"
    dpkg -r parlo >/dev/null
    installed_here=0
    echo "test-deb: installed with dpkg -i, started and removed again"
fi

echo "test-deb: PASS"
