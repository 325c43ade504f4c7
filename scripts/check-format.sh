#!/usr/bin/env bash
# Fails when a C++ file of the repository is not as clang-format writes it
# (the repository's .clang-format, clang-format 14), naming the files.
#   scripts/check-format.sh          check
#   scripts/check-format.sh --fix    format them in place
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! report=$(clang-format --dry-run -Werror "${files[@]}" 2>&1); then
    echo "Not formatted with clang-format (scripts/check-format.sh --fix formats them):" >&2
    grep -oE '^[^:]+\.(cpp|h):' <<<"$report" | sort -u | sed 's/:$//; s/^/  /' >&2
    exit 1
fi
echo "All ${#files[@]} C++ files are formatted."
