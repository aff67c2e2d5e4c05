#!/usr/bin/env bash
# Builds the benchmark programs (Release, own build folder), runs them all and
# prints two tables of figures with the goal each is held to: latency, entry
# cost, start-up and memory; then the floods, in which a raw peer sends a host
# window one byte pattern after the opening exchange. Each flood is bounded
# (16 or 32 MiB, see bench/bench_flood.cpp) so that the whole run ends within a
# few minutes on a loaded 2-core machine. Figures are printed, never judged
# as a test: "met" says whether the goal was reached on this run.
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
  start=$SECONDS
  if ! "$build/bench/$bench" -platform offscreen | grep -E '^(ROW|FLOOD)\|' >>"$rows"; then
    echo "$bench failed" >&2
    status=1
  fi
  echo "  $bench took $((SECONDS - start)) s" >&2
done

table() {
  column -t -s'|' -o ' | '
}

echo
echo "Parlo benchmarks on $(nproc) cores, $(uname -m), $(date -u +%Y-%m-%d)"
{
  echo "measure|Parlo|reference|ratio|goal|met"
  grep '^ROW|' "$rows" | cut -d'|' -f2-
} | table
echo
echo "Floods: goals <= 8x received in memory, typed line p99 <= 100 ms, every byte shown,"
echo "text without spaces at >= 0.5x the rate of text with spaces"
{
  echo "flood|received|shown at|vs text with spaces|peak memory growth (x received)|typed line p50 / p99 / worst|host CPU|met"
  grep '^FLOOD|' "$rows" | cut -d'|' -f2-
} | table
if grep -qE '\|(NO)$' "$rows"; then
  echo "some goals were missed (see 'met')" >&2
fi
exit "$status"
