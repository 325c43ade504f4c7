#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the project's own
# sources in a build's compilation database, and fails on any finding.
#   scripts/run-clang-tidy.sh [BUILD_DIR] [PATH_REGEX]
# BUILD_DIR defaults to build/test (configure it first: CMake writes
# compile_commands.json); PATH_REGEX narrows the files (default: src/).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/test}
filter=${2:-src/}
if [ ! -f "$build/compile_commands.json" ]; then
    echo "No $build/compile_commands.json: configure the build first." >&2
    exit 2
fi
mapfile -t files < <(python3 - "$build/compile_commands.json" "$filter" <<'PY'
import json, os, re, sys
root = os.getcwd() + os.sep
pattern = re.compile(sys.argv[2])
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if not path.startswith(root) or "_autogen" in path or "/build" in path[len(root) - 1:]:
        continue
    relative = path[len(root):]
    if pattern.search(relative) and relative not in seen:
        seen.add(relative)
        print(relative)
PY
)
echo "clang-tidy over ${#files[@]} files of $build" >&2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\0' "${files[@]}" |
    xargs -0 -P "$(nproc 2>/dev/null || echo 2)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null >"$log" || true
if grep -qE ': (warning|error):' "$log"; then
    grep -E -A3 ': (warning|error):' "$log" >&2
    echo "$(grep -cE ': (warning|error):' "$log") findings" >&2
    exit 1
fi
echo "No findings." >&2
