#!/usr/bin/env bash
# Prints the test/code ratio: non-blank lines of .cpp/.h under tests/ against those of the code folders.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -exec cat {} + 2>/dev/null | grep -cv '^[[:space:]]*$' || true
}
code=0
for d in protocol monitor app panels dialogs sim cli; do
    n=$(count "$d")
    printf '%-10s %6d\n' "$d" "$n"
    code=$((code + n))
done
tests=$(count tests)
printf '%-10s %6d\n' code "$code" tests "$tests"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio      %6.2f\n", t / c }'
