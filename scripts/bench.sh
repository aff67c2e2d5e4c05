#!/usr/bin/env bash
# Builds the benchmark programs (Release, own build folder), runs them all and
# prints two tables of figures with the goal each is held to: latency next to
# the toolkit's floor, entry cost, start-up and memory; then the floods, in
# which a raw peer sends a host window one byte pattern after the opening
# exchange. Each figure is the median of 5 runs (start-up: 10), followed by the
# least and the most of the runs. Figures are printed, never judged as a test:
# "met" says whether the goal was reached on this run, and the script fails
# only when a benchmark could not run. A whole run takes about 3 minutes on an
# idle 2-core machine.
#
#   scripts/bench.sh [--build-only] [build-dir]     (default: build-bench in the source tree)
#
# --build-only builds the benchmark programs and stops: CI does it so that they
# cannot rot.
set -euo pipefail

build_only=0
if [ "${1:-}" = "--build-only" ]; then
  build_only=1
  shift
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-bench}"
jobs="${PARLO_JOBS:-2}"
"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPARLO_BUILD_TESTS=OFF -DPARLO_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$jobs" --target bench_latency bench_transcript bench_flood bench_startup >&2
[ "$build_only" = 0 ] || exit 0

export QT_QPA_PLATFORM=offscreen
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"
export XDG_RUNTIME_DIR="$work"
rows="$work/rows"
touch "$rows"
status=0
for bench in bench_latency bench_transcript bench_flood bench_startup; do
  echo "running $bench ..." >&2
  start=$SECONDS
  # Progress lines go to the terminal; Qt's own notes to a log shown on failure.
  if ! "$build/bench/$bench" -platform offscreen 2> >(tee "$work/$bench.log" | grep --line-buffered -E '^  ' >&2) |
    grep -E '^(ROW|FLOOD)\|' >>"$rows"; then
    echo "$bench could not run:" >&2
    tail -n 20 "$work/$bench.log" >&2
    status=1
  fi
  echo "  $bench took $((SECONDS - start)) s" >&2
done

table() {
  column -t -s'|' -o ' | '
}

echo
echo "Parlo benchmarks on $(nproc) cores, $(uname -m), $(date -u +%Y-%m-%d):"
echo "median of the runs (least-most)"
{
  echo "measure|Parlo|reference|ratio|goal|met"
  grep '^ROW|' "$rows" | cut -d'|' -f2-
} | table
echo
echo "Floods: goals <= 8x received in memory, typed line p99 <= 100 ms, every byte shown,"
echo "text without spaces at >= 0.5x the rate of text with spaces"
{
  echo "flood|shown at|vs text with spaces|memory growth (x received)|typed line p99|every byte shown|met"
  grep '^FLOOD|' "$rows" | cut -d'|' -f2-
} | table
if grep -qE '\|NO$' "$rows"; then
  echo "some goals were missed (see 'met')" >&2
fi
exit "$status"
