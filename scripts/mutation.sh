#!/usr/bin/env bash
# Mutation testing: plants one small fault at a time in the program, rebuilds
# the layer's test programs, runs them and counts the faults they caught. A
# fault that survives names a test that is missing.
#
# Usage (from anywhere in the work tree):
#   scripts/mutation.sh [options] LIST...
#   scripts/mutation.sh [options] --all      every */tests/mutants.txt and ui/*/tests/mutants.txt
# Options:
#   --preset P      build preset (default release); configured when its folder is missing
#   --timeout S     seconds one test run may take before it counts as caught (default 600)
#   --min PCT       exit 1 when a list catches less than PCT percent
#   --target T      also build and run test program T (may be repeated)
#   --jobs N        parallel compile jobs (default 2)
#   --allow-dirty   mutate files that have uncommitted changes (they are still restored exactly)
#
# A list has one fault per line, fields separated by " | " (space, bar, space):
#   path[:line] | text on that line | replacement | ctest regex (empty: all) | what the fault is
# Without a line number the first line of the file that holds the text is taken, so a list
# outlives edits. Each fault replaces the first occurrence of the text on that line only.
# Lines starting with # and blank lines are skipped. The ctest regex selects tests by their
# ctest names (Suite.Test). A comment line "# targets: NAME..." names the test programs to
# build and run for the list; without it they are the tq_add_test programs of the
# CMakeLists.txt beside the list. The mutated file is restored byte for byte after each
# fault, also when interrupted. Details of every run go to build/<preset>/mutation.log.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

usage() { sed -n '2,/^set -uo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//'; exit 2; }

preset=release; limit=600; min=""; jobs=2; allow_dirty=0; all=0
extra_targets=(); lists=()
while [[ $# -gt 0 ]]; do
    case $1 in
        --preset) preset=$2; shift 2 ;;
        --timeout) limit=$2; shift 2 ;;
        --min) min=$2; shift 2 ;;
        --target) extra_targets+=("$2"); shift 2 ;;
        --jobs) jobs=$2; shift 2 ;;
        --allow-dirty) allow_dirty=1; shift ;;
        --all) all=1; shift ;;
        -h|--help) usage ;;
        -*) echo "unknown option $1"; usage ;;
        *) lists+=("$(realpath -m -- "$1")"); shift ;;
    esac
done
# Lists given on the command line are taken from the current folder, everything else from
# the root of the work tree, where the lists' paths start.
cd "$root" || exit 2
for i in "${!lists[@]}"; do
    lists[i]=${lists[i]#"$root"/}
done
if (( all )); then
    shopt -s nullglob
    lists+=(*/tests/mutants.txt ui/*/tests/mutants.txt)
    shopt -u nullglob
fi
(( ${#lists[@]} > 0 )) || usage
for list in "${lists[@]}"; do
    [[ -f $list ]] || { echo "no list $list"; exit 2; }
done

build=build/$preset
if [[ ! -d $build ]]; then
    echo "configuring the $preset preset"
    cmake --preset "$preset" >/dev/null || { echo "cmake --preset $preset failed"; exit 2; }
fi
log=$root/$build/mutation.log
: >"$log"
export QT_QPA_PLATFORM=offscreen

# ---- parsing: one record per fault, fields separated by the unit separator ----
parse_list() {
    python3 - "$1" <<'PY'
import re, sys
path = sys.argv[1]
for number, raw in enumerate(open(path, encoding='utf-8'), 1):
    line = raw.rstrip('\n')
    if not line.strip() or line.lstrip().startswith('#'):
        continue
    # fields are separated by " | "; a bare "|" may stand inside a ctest regex
    parts = [p.strip() for p in line.split(' | ')]
    parts += [''] * (5 - len(parts))
    place, old, new, regex = parts[:4]
    what = ' | '.join(parts[4:]).strip(' |')
    m = re.fullmatch(r'(.*):(\d+)', place)
    file, ln = (m.group(1), m.group(2)) if m else (place, '')
    print('\x1f'.join([str(number), place, file, ln, old, new, regex, what]))
PY
}

list_targets() {
    local list=$1 directive
    directive=$(sed -n 's/^#[[:space:]]*targets:[[:space:]]*//p' "$list" | head -1)
    if [[ -n $directive ]]; then
        echo "$directive"
    else
        sed -n 's/^[[:space:]]*tq_add_test(\([A-Za-z0-9_]*\).*/\1/p' "$(dirname "$list")/CMakeLists.txt" 2>/dev/null |
            tr '\n' ' '
    fi
}

# ---- the work tree must not be changed under a fault ----
declare -A seen_files=()
for list in "${lists[@]}"; do
    while IFS=$'\x1f' read -r _ _ file _; do
        seen_files[$file]=1
    done < <(parse_list "$list")
done
dirty=()
for file in "${!seen_files[@]}"; do
    [[ -f $file ]] || continue
    [[ -n $(git status --porcelain -- "$file" 2>/dev/null) ]] && dirty+=("$file")
done
if (( ${#dirty[@]} > 0 && ! allow_dirty )); then
    echo "these files have uncommitted changes; commit or stash them (or pass --allow-dirty):"
    printf '  %s\n' "${dirty[@]}"
    exit 2
fi

# ---- restoring, also on Ctrl-C ----
backup=$(mktemp); target_file=""
restore() {
    if [[ -n $target_file ]]; then
        cp "$backup" "$target_file"
        cmp -s "$backup" "$target_file" || echo "WARNING: $target_file could not be restored; its original is $backup"
        target_file=""
    fi
}
trap 'restore; echo; echo "interrupted: the file under mutation was restored"; rm -f "$backup"; exit 130' INT TERM
trap 'restore; rm -f "$backup"' EXIT

build_targets() {
    cmake --build --preset "$preset" --target "$@" -j "$jobs" >>"$log" 2>&1
}

# The test program of a target, searched in the build folder.
program_of() {
    find "$build" -path '*/CMakeFiles' -prune -o -type f -name "$1" -perm -u+x -print | head -1
}

# Runs the tests of the given programs whose names match the regex; 0 when all pass,
# 1 when one fails (or the run times out), 3 when no test matches.
run_tests() {
    local regex=$1; shift
    local program filter ran=0
    for program in "$@"; do
        filter=$(cd "$(dirname "$program")" && "./$(basename "$program")" --gtest_list_tests 2>/dev/null |
            python3 -c '
import re, sys
regex = sys.argv[1]
names, suite = [], ""
for line in sys.stdin:
    text = line.split("#")[0].rstrip()
    if not text.strip():
        continue
    if not line.startswith(" "):
        suite = text.strip()
    else:
        name = suite + text.strip()
        if not regex or re.search(regex, name):
            names.append(name)
print(":".join(names))' "$regex")
        [[ -z $filter ]] && continue
        ran=1
        # every test of the program when no regex narrows them
        [[ -z $regex ]] && filter='*'
        echo "  run $(basename "$program") (${filter:0:120})" >>"$log"
        # the first failure is enough: a fault that breaks the framing would
        # otherwise wait out every reply time-out
        if ! (cd "$(dirname "$program")" &&
              timeout "$limit" "./$(basename "$program")" --gtest_filter="$filter" \
                  --gtest_fail_fast >>"$log" 2>&1); then
            return 1
        fi
    done
    (( ran )) || return 3
    return 0
}

total_killed=0; total_survived=0; total_invalid=0; below=0
summary=()
for list in "${lists[@]}"; do
    read -r -a targets <<<"$(list_targets "$list") ${extra_targets[*]}"
    if (( ${#targets[@]} == 0 )); then
        echo "$list: no test programs to build (add '# targets: NAME' to the list)"; exit 2
    fi
    echo "== $list (test programs: ${targets[*]})"
    echo "== $list" >>"$log"
    build_targets "${targets[@]}" || { echo "the unchanged program does not build (see $log)"; exit 1; }
    programs=()
    for t in "${targets[@]}"; do
        p=$(program_of "$t")
        [[ -n $p ]] || { echo "no test program $t in $build"; exit 1; }
        programs+=("$p")
    done
    if ! run_tests "" "${programs[@]}"; then
        echo "the unchanged program fails its tests (see $log)"; exit 1
    fi
    killed=0; survived=0; invalid=0; survivors=()
    printf '%-5s %-46s %-9s %s\n' line place result fault
    while IFS=$'\x1f' read -r -u 3 number place file ln old new regex what; do
        if [[ -z $ln && -f $file ]]; then
            ln=$(grep -nF -m1 -- "$old" "$file" | cut -d: -f1)
        fi
        result=""
        if [[ ! -f $file || -z $ln ]] || ! sed -n "${ln}p" "$file" | grep -qF -- "$old"; then
            result=no-match
        elif [[ $old == "$new" ]]; then
            result=no-change
        fi
        if [[ -z $result ]]; then
            cp "$file" "$backup"; target_file=$file
            python3 - "$file" "$ln" "$old" "$new" <<'PY'
import sys
path, ln, old, new = sys.argv[1], int(sys.argv[2]), sys.argv[3].encode(), sys.argv[4].encode()
lines = open(path, 'rb').read().split(b'\n')
lines[ln - 1] = lines[ln - 1].replace(old, new, 1)
open(path, 'wb').write(b'\n'.join(lines))
PY
            echo "-- $place: $what" >>"$log"
            if ! build_targets "${targets[@]}"; then
                result=no-build
            else
                run_tests "$regex" "${programs[@]}"
                case $? in
                    0) result=SURVIVED ;;
                    3) result=no-tests ;;
                    *) result=killed ;;
                esac
            fi
            restore
        fi
        case $result in
            killed) killed=$((killed + 1)) ;;
            SURVIVED) survived=$((survived + 1)); survivors+=("$place: $what") ;;
            *) invalid=$((invalid + 1)) ;;
        esac
        printf '%-5s %-46s %-9s %s\n' "$number" "$place" "$result" "$what"
    done 3< <(parse_list "$list")
    valid=$((killed + survived))
    percent=0
    (( valid > 0 )) && percent=$((100 * killed / valid))
    line="$list: $killed killed, $survived survived, $invalid not applicable: $percent% caught"
    echo "$line"
    summary+=("$line")
    for s in "${survivors[@]}"; do summary+=("    survived: $s"); done
    if [[ -n $min ]] && (( valid > 0 && percent < min )); then
        below=1
    fi
    total_killed=$((total_killed + killed)); total_survived=$((total_survived + survived))
    total_invalid=$((total_invalid + invalid))
    # leave the build as the sources are
    build_targets "${targets[@]}" || echo "WARNING: the restored program does not build (see $log)"
done

echo
printf '%s\n' "${summary[@]}"
total_valid=$((total_killed + total_survived))
total_percent=0
(( total_valid > 0 )) && total_percent=$((100 * total_killed / total_valid))
echo "total: $total_killed killed, $total_survived survived, $total_invalid not applicable: $total_percent% caught"
if (( below )); then
    echo "a list catches less than $min%"
    exit 1
fi
exit 0
