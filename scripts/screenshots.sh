#!/bin/bash
# Renders the documentation's screenshots from the real windows under a
# virtual X display, at scale 1 and 2, into docs/screenshots/:
#
#   parlocall-connect.png   the caller's connect panel
#   parlocall-chat.png      the caller's chat panel during a conversation
#   parlohost-chat.png      the host's chat panel during the same conversation
#   parlo-about.png         the About box
#
# and the same names with "@2x" at QT_SCALE_FACTOR=2.
#
#   scripts/screenshots.sh [build-dir]
#
# Needs: cmake, ninja-build, g++, qt6-base-dev, xvfb, xauth, fonts-dejavu-core.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$source_dir/build-shots}"
out_dir="$source_dir/docs/screenshots"
"$source_dir/scripts/install-deps.sh"

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DPARLO_BUILD_TESTS=OFF -DPARLO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j2 --target parlo_screenshots >/dev/null
renderer="$build_dir/tools/screenshots/parlo_screenshots"
[[ -x "$renderer" ]] || { echo "screenshots: $renderer was not built" >&2; exit 1; }

mkdir -p "$out_dir"
runtime="$(mktemp -d /tmp/parlo-shots.XXXXXX)"
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"

for scale in 1 2; do
    suffix=""
    [[ $scale == 1 ]] || suffix="@${scale}x"
    env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY QT_SCALE_FACTOR="$scale" \
        XDG_RUNTIME_DIR="$runtime" TMPDIR="$runtime" \
        xvfb-run --auto-servernum --server-args="-screen 0 1600x1200x24" \
        "$renderer" "$out_dir" "$suffix"
done
