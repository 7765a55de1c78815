#!/usr/bin/env bash
# Lists every tracked C++ file that clang-format would change; fails if any.
set -uo pipefail
clang_format="${1:-clang-format}"
bad=0
while IFS= read -r -d '' file; do
    if ! "$clang_format" --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "not formatted: $file"
        bad=1
    fi
done < <(git ls-files -z -- '*.cpp' '*.h')
[ "$bad" = 0 ] && echo "all C++ files formatted"
exit $bad
