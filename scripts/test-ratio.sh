#!/usr/bin/env bash
# Counts non-blank, non-comment lines of the product (the programs and the
# libraries they link: everything but tests/, fuzz/, bench/ and tools/) and of
# its tests (tests/ and fuzz/) and prints the ratio. Fails when the tests exceed
# the given limit (default 0.35).
#
#   scripts/test-ratio.sh [limit]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
limit="${1:-0.35}"
cd "$root"

# Lines that are neither blank nor comments ("//", "#" in scenario files, and
# the inside of /* */ blocks).
count() {
  [ $# -eq 0 ] && { echo 0; return; }
  cat "$@" | awk '
    /^[[:space:]]*\/\*/ { block = 1 }
    block { if ($0 ~ /\*\//) block = 0; next }
    /^[[:space:]]*$/ || /^[[:space:]]*\/\// || /^#[^a-z]/ || /^#$/ { next }
    { n++ }
    END { print n + 0 }'
}

mapfile -t product < <(git ls-files '*.cpp' '*.h' '*.h.in' | grep -Ev '^(tests|fuzz|bench|tools)/')
mapfile -t tests < <(git ls-files 'tests/*' 'fuzz/*' | grep -Ev '(CMakeLists\.txt|^fuzz/corpus/)')

p=$(count "${product[@]}")
t=$(count "${tests[@]}")
ratio=$(awk -v t="$t" -v p="$p" 'BEGIN { printf "%.3f", t / p }')
echo "product lines: $p"
echo "test lines:    $t"
echo "ratio:         $ratio (limit $limit)"
awk -v r="$ratio" -v l="$limit" 'BEGIN { exit !(r <= l) }' || {
  echo "The tests are more than $limit of the product: merge or cut." >&2
  exit 1
}
