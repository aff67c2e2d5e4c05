#!/usr/bin/env bash
# Builds the benchmark programs (Release, own build folder), runs them all and
# prints one table of figures with the goal each is held to.
#
#   scripts/bench.sh [build-dir]          (default: /tmp/build-bench)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-/tmp/build-bench}"
jobs="${PARLO_JOBS:-2}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPARLO_BUILD_TESTS=OFF -DPARLO_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$jobs" --target bench_latency bench_transcript bench_flood bench_startup >&2

export QT_QPA_PLATFORM=offscreen
rows="$(mktemp)"
trap 'rm -f "$rows"' EXIT
status=0
for bench in bench_latency bench_transcript bench_flood bench_startup; do
  echo "running $bench ..." >&2
  if ! "$build/bench/$bench" -platform offscreen | grep '^ROW|' >>"$rows"; then
    echo "$bench failed" >&2
    status=1
  fi
done

echo
echo "Parlo benchmarks on $(nproc) cores, $(uname -m), $(date -u +%Y-%m-%d)"
{
  echo "measure|Parlo|reference|ratio|goal|met"
  cut -d'|' -f2- "$rows"
} | column -t -s'|' -o ' | '
if grep -q '|NO$' "$rows"; then
  echo "some goals were missed (see 'met')" >&2
fi
exit "$status"
