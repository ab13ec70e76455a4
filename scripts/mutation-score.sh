#!/bin/bash
# Measures how many of a fixed list of mutants the native tests kill. Each
# mutant (a line of scripts/mutants.txt: kind, file, a snippet found once in
# the file, its replacement) is applied alone, the build in build/mutate
# (-O1, no sanitizers) is brought up to date and the tests run until the
# first failure. A mutant that fails to build or hangs past the per-test
# timeout counts as killed; one whose snippet is no longer found exactly once
# is reported and left out of the count. The file is always put back, also
# on an interrupt.
#   scripts/mutation-score.sh [list] [first [last]]   (1-based, inclusive)
# With TLV_MUTATE_BEFORE naming the output of an earlier run, the mutants
# that survived it are skipped: a later run has only to show that the ones
# killed then are still killed.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
list="$(realpath "${1:-$top/scripts/mutants.txt}")"
first="${2:-1}"
last="${3:-1000000}"
build="$top/build/mutate"
timeout="${TLV_MUTATE_TIMEOUT:-60}"
cd "$top"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS=-O1 \
    -DTLV_BENCH=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null

saved=""
restore() {
    if [ -n "$saved" ]; then
        cp "$saved.orig" "$saved"  # a fresh time: the build must see it
        rm -f "$saved.orig"
        saved=""
    fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

# Replaces the one occurrence of $2 in file $1 by $3; fails when the snippet
# is missing or not unique.
apply() {
    python3 - "$@" <<'EOF'
import sys
path, snippet, replacement = sys.argv[1:]
text = open(path, encoding="utf-8").read()
if text.count(snippet) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text.replace(snippet, replacement))
EOF
}

killed=0 total=0 missing=0 number=0
survivors=()
while IFS=$'\t' read -r kind file snippet replacement; do
    [[ -z "$kind" || "$kind" == \#* ]] && continue
    number=$((number + 1))
    ((number < first || number > last)) && continue
    label="#$number $kind $file: '$snippet' -> '$replacement'"
    if [ -n "${TLV_MUTATE_BEFORE:-}" ] && grep -qF "SURVIVED: #$number " "$TLV_MUTATE_BEFORE"; then
        echo "skipped (survived before): $label"
        continue
    fi
    cp -p "$file" "$file.orig"
    saved="$file"
    if ! apply "$file" "$snippet" "$replacement"; then
        restore
        echo "not found: $label"
        missing=$((missing + 1))
        continue
    fi
    total=$((total + 1))
    if ! cmake --build "$build" -j2 >/dev/null 2>&1; then
        verdict="killed (build)"
    elif ctest --test-dir "$build" -j2 --stop-on-failure --timeout "$timeout" \
        >"$build/last-run.txt" 2>&1; then
        verdict="SURVIVED"
        survivors+=("$label")
    elif grep -q 'Timeout' "$build/last-run.txt"; then
        verdict="killed (timeout)"
    else
        verdict="killed ($(grep -m1 -oE '[0-9]+ - [^ ]+' "$build/last-run.txt" | sed 's/^[0-9]* - //'))"
    fi
    [[ "$verdict" == killed* ]] && killed=$((killed + 1))
    restore
    echo "$verdict: $label"
done <"$list"

# Rebuild the unmutated tree so the folder is left as it was found.
cmake --build "$build" -j2 >/dev/null
echo
echo "killed $killed of $total mutants ($missing not found)"
for s in "${survivors[@]}"; do echo "survivor: $s"; done
