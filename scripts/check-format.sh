#!/usr/bin/env bash
# Fails when a C++ file of the tree is not formatted as .clang-format says; lists those files.
# Usage: scripts/check-format.sh      (fix with: clang-format -i FILE...)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
mapfile -d '' files < <(find src tests bench scripts -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
if clang-format --dry-run -Werror "${files[@]}" 2>/dev/null; then
    echo "check-format: ${#files[@]} files formatted"
    exit 0
fi
echo "check-format: not formatted (clang-format -i them):" >&2
for f in "${files[@]}"; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || echo "  $f" >&2
done
exit 1
