#!/usr/bin/env bash
# Prints how large the tests are beside the product: lines of test code (tests/**/*.cpp|h)
# against lines of product code (src/**/*.cpp|h|in), blank and comment-only lines not counted.
# Fails when the tests outgrow 0.40 of the product: tests should stay about a third of it.
#
# Usage: scripts/test-ratio.sh [--max RATIO]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
max="${2:-0.40}"
[[ "${1:-}" == "--max" ]] || max=0.40

# Lines that hold code: not blank, not only a // comment, not inside a /* */ block.
count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.in' \) -print0 |
        xargs -0 cat | awk '
            /^[[:space:]]*$/ { next }
            in_block { if ($0 ~ /\*\//) in_block = 0; next }
            /^[[:space:]]*\/\*/ { if ($0 !~ /\*\//) in_block = 1; next }
            /^[[:space:]]*\/\// { next }
            { n++ }
            END { print n + 0 }'
}

product=$(count "$root/src")
tests=$(count "$root/tests")
ratio=$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.2f", t / p }')
echo "test-ratio: $tests lines of tests, $product lines of product: $ratio (at most $max)"
awk -v r="$ratio" -v m="$max" 'BEGIN { exit !(r <= m) }'
