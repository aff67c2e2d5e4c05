#!/usr/bin/env bash
# Cross-builds Parlo for 64-bit Windows with mingw-w64 against the static Qt
# for Windows (scripts/mingw-qt.sh builds it on first use): parlohost.exe,
# parlocall.exe, and the About table (test_about.exe with its stand-in
# browser) that scripts/test-windows.sh runs under Wine.
#
#   scripts/build-windows.sh [build-dir]      (default: build-windows)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-windows}"
"$root/scripts/install-deps.sh" g++-mingw-w64-x86-64 librsvg2-bin icoutils
qt="$("$root/scripts/mingw-qt.sh")"

# A build folder made against another Qt for Windows (an older recipe) starts afresh.
if ! grep -qsx "PARLO_WINDOWS_QT:PATH=$qt" "$build/CMakeCache.txt"; then
  rm -f "$build/CMakeCache.txt"
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARLO_WINDOWS_QT:PATH="$qt" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_FIND_ROOT_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DPARLO_BUILD_BENCH=OFF >/dev/null
nice -n 10 cmake --build "$build" -j "${PARLO_JOBS:-2}"
