#!/usr/bin/env bash
# Builds the receive-path fuzz target with clang's libFuzzer and runs it for a
# bounded time on the seed corpus. Any crash, leak, hang or sanitizer report
# fails the run and leaves the input that caused it in the build folder.
#
#   scripts/fuzz.sh [seconds]            (default: 60)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build="${PARLO_FUZZ_BUILD:-$root/build-fuzz}"
jobs="${PARLO_JOBS:-2}"

"$root/scripts/install-deps.sh" clang-14 libclang-rt-14-dev

CC="${CC:-clang-14}" CXX="${CXX:-clang++-14}" \
  cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$jobs" --target receive_fuzzer

# New inputs go to a working corpus; the seed corpus in the tree stays as it is.
work="$build/corpus"
mkdir -p "$work" "$build/artifacts"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

"$build/receive_fuzzer" "$work" "$root/fuzz/corpus" \
  -max_total_time="$seconds" \
  -max_len=70000 \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -artifact_prefix="$build/artifacts/" \
  -print_final_stats=1
