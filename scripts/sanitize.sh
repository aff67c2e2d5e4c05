#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer and UndefinedBehaviorSanitizer in
# a build folder of its own and runs it. Any sanitizer report fails the run.
#
#   scripts/sanitize.sh [build-dir]      (default: build-asan in the source tree)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-asan}"
jobs="${PARLO_JOBS:-2}"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-O1" \
  -DPARLO_SANITIZE=ON \
  -DPARLO_BUILD_TESTS=ON \
  -DPARLO_BUILD_BENCH=OFF
cmake --build "$build" -j "$jobs"

# Leaks inside system libraries we do not own; our own code is never listed.
# fontconfig and the Qt font database keep caches that live until exit by design.
supp="$build/lsan.supp"
cat >"$supp" <<'SUPP'
leak:libfontconfig.so
leak:libdbus-1.so
SUPP

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$supp:print_suppressions=0"

"$root/scripts/own-network.sh" ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 600 -LE slow
