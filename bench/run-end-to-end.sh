#!/bin/bash
# End-to-end figures of the headless taliver on generated programs: load,
# translate and report of 1 and 10 million blocks (wall time, blocks per
# second, peak resident and private memory, system calls), the DXF and CSV
# export rates, and, where installed, LinuxCNC's rs274 and cncjs's
# gcode-toolpath on the same plain-dialect file. Not part of the tests: it
# takes minutes and writes a few gigabytes of temporary files.
#
#   bench/run-end-to-end.sh [build-dir]     (default: $TLV_BUILD_ROOT/native or build/native)
#
# Environment: TLV_BENCH_RUNS (timed runs per figure, median taken; 3),
# TLV_BENCH_LARGE (blocks of the large program; 10000000),
# TLV_GCODE_TOOLPATH (folder whose node_modules holds gcode-toolpath).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-${TLV_BUILD_ROOT:-$top/build}/native}"
runs="${TLV_BENCH_RUNS:-3}"
large="${TLV_BENCH_LARGE:-10000000}"
for f in app/taliver bench/ncgen; do
    [[ -x "$build/$f" ]] || { echo "missing $build/$f: build the native configuration" >&2; exit 2; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/tlv-e2e.XXXXXX")"
trap 'rm -rf "$work"' EXIT
# taliver keeps its settings beside the executable: a private copy keeps
# the build folder untouched.
cp "$build/app/taliver" "$work/taliver"
tlv="./taliver"
# Options start with "/", so taliver is given names relative to its folder.
cd "$work"

# gen N [--plain]: writes $work/pN[plain].nc; sets lines and executed.
gen() {
    local file="p$1${2:+plain}.nc" counts
    counts="$("$build/bench/ncgen" "$1" ${2:-} 2>&1 >"$file")"
    read -r _ lines _ executed <<<"$counts"
    program="$file"
}

now() { date +%s.%N; }

# seconds CMD...: wall time of one run, output discarded.
seconds() {
    local t0 t1
    t0="$(now)"
    "$@" >/dev/null 2>&1 </dev/null || { echo "failed: $*" >&2; return 1; }
    t1="$(now)"
    echo "$t1 - $t0" | bc -l
}

# median CMD...: the median wall time of $runs runs.
median() {
    local i times=()
    for ((i = 0; i < runs; i++)); do times+=("$(seconds "$@")"); done
    printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {printf "%.3f\n", a[int((NR+1)/2)]}'
}

# memory CMD...: peak resident (VmHWM) and peak private anonymous memory
# (RssAnon, sampled every 10 ms) in MB, as "rss anon".
memory() {
    "$@" >/dev/null 2>&1 </dev/null &
    local pid=$! hwm=0 anon=0 line
    while kill -0 "$pid" 2>/dev/null; do
        while read -r key value _; do
            case "$key" in
                VmHWM:) ((value > hwm)) && hwm=$value ;;
                RssAnon:) ((value > anon)) && anon=$value ;;
            esac
        done <"/proc/$pid/status" 2>/dev/null || true
        sleep 0.01
    done
    wait "$pid" || { echo "failed: $*" >&2; return 1; }
    awk -v h="$hwm" -v a="$anon" 'BEGIN {printf "%.1f %.1f\n", h / 1024, a / 1024}'
}

# syscalls CMD...: "total writes" system calls of one run.
syscalls() {
    command -v strace >/dev/null || { echo "- -"; return; }
    strace -c -f -o "$work/strace.txt" "$@" >/dev/null 2>&1 </dev/null
    awk '$NF == "total" {t = $4} $NF == "write" {w = $4} END {print t, w}' "$work/strace.txt"
}

rate() { echo "$1 / $2" | bc -l | awk '{printf "%.2f", $1 / 1e6}'; }

echo "date:    $(date '+%Y-%m-%d %H:%M %Z')"
echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)," \
     "$(awk '/MemTotal/ {printf "%.0f GB", $2 / 1048576}' /proc/meminfo) RAM," \
     "temporary files in ${TMPDIR:-/tmp} ($(df -T "${TMPDIR:-/tmp}" | awk 'NR == 2 {print $2}'))"
echo "runs:    median of $runs"
echo

report() {  # blocks file
    gen "$1"
    local size wall rss anon calls writes
    size="$(du -m "$program" | cut -f1)"
    wall="$(median "$tlv" /LOGOUT "$program" out.log)"
    read -r rss anon <<<"$(memory "$tlv" /LOGOUT "$program" out.log)"
    read -r calls writes <<<"$(syscalls "$tlv" /LOGOUT "$program" out.log)"
    printf '%-9s %9d lines %5d MB  %7.3f s  %6s M blocks/s  peak RSS %6.1f MB  private %5.1f MB  syscalls %6s (write %s)\n' \
        "/LOGOUT" "$lines" "$size" "$wall" "$(rate "$lines" "$wall")" "$rss" "$anon" "$calls" "$writes"
    logWall="$wall"
}

echo "== load + translate + report (executed blocks include the unrolled subprogram calls)"
report 1000000
oneMillion="$program"; oneLines="$lines"; oneExecuted="$executed"; oneWall="$logWall"
report "$large"
rm -f "$program"
echo

echo "== exports of the 1M-line program ($oneExecuted records): export time = run - /LOGOUT run"
for kind in DXF CSV; do
    wall="$(median "$tlv" "/${kind}OUT" "$oneMillion" "out.$kind")"
    export_s="$(echo "$wall - $oneWall" | bc -l)"
    printf '%-9s %7.3f s run  %6.3f s export  %6s M records/s  %5d MB written\n' \
        "/${kind}OUT" "$wall" "$export_s" "$(rate "$oneExecuted" "$export_s")" \
        "$(du -m "out.$kind" | cut -f1)"
    rm -f "out.$kind"
done
echo

echo "== side by side on the plain dialect (decimal points everywhere, no O numbers)"
gen 1000000 --plain
plain="$program"
ours="$(median "$tlv" /LOGOUT "$plain" out.log)"
printf '%-16s %7.3f s  %6s M blocks/s\n' "taliver /LOGOUT" "$ours" "$(rate "$lines" "$ours")"
if command -v rs274 >/dev/null; then
    # rs274 prints one canonical call per move; the output is discarded.
    # It refuses a tool change to a tool missing from its table.
    for t in 1 2 3 4 5 6 7 8; do echo "T$t P$t D$t.0 ;"; done >tools.tbl
    theirs="$(median rs274 -t tools.tbl -g "$plain")"
    printf '%-16s %7.3f s  %6s M blocks/s  %.1fx taliver'"'"'s time\n' "rs274 -g" "$theirs" \
        "$(rate "$lines" "$theirs")" "$(echo "$theirs / $ours" | bc -l)"
else
    echo "rs274            not installed (Debian package linuxcnc-uspace)"
fi
toolpathDir="${TLV_GCODE_TOOLPATH:-}"
if [[ -n "$toolpathDir" && -d "$toolpathDir/node_modules/gcode-toolpath" ]] && command -v node >/dev/null; then
    cat >"$work/toolpath.js" <<'EOF'
// Runs gcode-toolpath over a file, counting the lines and arcs it yields.
const Toolpath = require('gcode-toolpath').default || require('gcode-toolpath');
let moves = 0;
const toolpath = new Toolpath({
    addLine: () => { moves++; },
    addArcCurve: () => { moves++; },
});
toolpath.loadFromFileSync(process.argv[2]);
if (moves === 0) process.exit(1);
EOF
    theirs="$(NODE_PATH="$toolpathDir/node_modules" median node "$work/toolpath.js" "$plain")"
    printf '%-16s %7.3f s  %6s M blocks/s  %.1fx taliver'"'"'s time\n' "gcode-toolpath" "$theirs" \
        "$(rate "$lines" "$theirs")" "$(echo "$theirs / $ours" | bc -l)"
else
    echo "gcode-toolpath   not found (npm install gcode-toolpath in a folder, set TLV_GCODE_TOOLPATH)"
fi
