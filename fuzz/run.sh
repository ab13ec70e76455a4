#!/bin/bash
# Runs the fuzz targets, each for a given time, several at once, and prints
# per target the executions and the findings. Inputs that fail are kept in
# fuzz/findings/<target>/ (not committed); inputs that reach new code go to
# a work corpus beside the build, so the committed seeds stay small.
#   fuzz/run.sh [-t seconds] [-j jobs] [-T hang-seconds] [target...]
# Exits 1 when any target found something or failed to run.
set -uo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TLV_BUILD_ROOT:-$top/build}/fuzz"
seconds=180
jobs=2
hang=10
while getopts "t:j:T:" opt; do
    case "$opt" in
        t) seconds="$OPTARG" ;;
        j) jobs="$OPTARG" ;;
        T) hang="$OPTARG" ;;
        *) echo "usage: $0 [-t seconds] [-j jobs] [-T hang-seconds] [target...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for dir in "$top"/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

failing() { find "$1" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' -o -name 'leak-*' \) | wc -l; }
export -f failing

# One target: fuzz, then report "name: N executions, M findings".
run_one() {
    local name="$1" exe="$build/fuzz/$1"
    local findings="$top/fuzz/findings/$name" work="$build/work/$name"
    mkdir -p "$findings" "$work"
    if [ ! -x "$exe" ]; then echo "$name: not built (scripts/build.sh fuzz)"; return 1; fi
    local before after log="$findings/last-run.log"
    # Failing inputs only: libFuzzer also keeps slow-unit-* files, which
    # are inputs that merely took long, not findings.
    before=$(failing "$findings")
    # A single input running for $hang s (10 by default; more on a machine
    # shared with other work) counts as a hang; the memory limit keeps one
    # input from taking the shared machine.
    "$exe" -max_total_time="$seconds" -timeout="$hang" -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$work" "$top/fuzz/corpus/$name" >"$log" 2>&1
    local rc=$?
    after=$(failing "$findings")
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "$name: ${runs:-?} executions, $((after - before)) findings (log: ${log#"$top"/})"
    [ $rc -eq 0 ] && [ "$after" -eq "$before" ]
}
export -f run_one
export top build seconds hang

# The targets write scratch and store files for every input, and the
# profile writer makes its files durable: on a memory file system that is
# cheap, on a disk it would make most of the run waiting.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    scratch="$(mktemp -d /dev/shm/tlv-fuzz.XXXXXX)"
    trap 'rm -rf "$scratch"' EXIT
    export TMPDIR="$scratch"
fi

printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {}
