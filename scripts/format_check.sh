#!/usr/bin/env bash
# Checks that every tracked .cpp and .h file is formatted as .clang-format
# says (clang-format 14). Prints each file that is not, with the changes
# clang-format would make, and exits 1 when there is one; 2 when clang-format
# is missing or fails. The tree holds no generated or third-party sources, so
# no file is left out.
#   scripts/format_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."

format=${CLANG_FORMAT:-}
if [[ -z $format ]]; then
    for candidate in clang-format-14 clang-format; do
        if command -v "$candidate" >/dev/null; then
            format=$candidate
            break
        fi
    done
fi
if [[ -z $format ]]; then
    echo "clang-format is not installed (scripts/setup.sh installs it)" >&2
    exit 2
fi

# Tracked files that are still in the work tree (a deletion not yet
# committed is no file to check).
files=()
while IFS= read -r -d '' file; do
    [[ -f $file ]] && files+=("$file")
done < <(git ls-files -z -- '*.cpp' '*.h')
if (( ${#files[@]} == 0 )); then
    echo "no tracked .cpp or .h file" >&2
    exit 2
fi

# One run over every file; --dry-run -Werror names each place that differs.
set +e
report=$(printf '%s\0' "${files[@]}" | xargs -0 "$format" --style=file --dry-run -Werror 2>&1)
status=$?
set -e
unformatted=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' \
    <<<"$report" | sort -u)
if (( status != 0 )) && [[ -z $unformatted ]]; then
    echo "$report" >&2
    echo "$format failed" >&2
    exit 2
fi
if [[ -z $unformatted ]]; then
    echo "${#files[@]} files checked: all formatted"
    exit 0
fi

count=0
while IFS= read -r file; do
    count=$((count + 1))
    echo "==== $file"
    diff -u --label "$file" --label "$file (formatted)" "$file" \
        <("$format" --style=file "$file") || true
done <<<"$unformatted"
echo "$count of ${#files[@]} files are not formatted; format them with: $format -i FILE..."
exit 1
