#!/bin/bash
# The SVG picture of a generated program of about a million blocks: file
# size, and the picture's rate in records per second (the median /SVGOUT
# run less the median /LOGOUT run, which loads the same program).
#   bench/run-svg.sh [build-dir]   (TLV_BENCH_RUNS runs of each, default 5)
set -euo pipefail
build="${1:-build/native}"
runs="${TLV_BENCH_RUNS:-5}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bench/ncgen" 1000000 >"$work/big.nc" 2>"$work/gen.txt"
cp "$build/app/taliver" "$work/"
cd "$work"
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
seconds() { /usr/bin/time -f %e ./taliver "$@" 2>&1 >/dev/null | tail -1; }
for i in $(seq "$runs"); do
    seconds /LOGOUT big.nc big.log >>log.txt
    seconds /SVGOUT big.nc big.svg >>svg.txt
done
log=$(median <log.txt)
svg=$(median <svg.txt)
records=$(awk '{print $4}' gen.txt)
echo "program: $(cat gen.txt)"
echo "/LOGOUT median ${log} s, /SVGOUT median ${svg} s"
echo "picture alone: $(echo "$svg - $log" | bc) s, $(echo "$records / ($svg - $log) / 1000000" | bc -l | cut -c1-5) M records/s"
echo "SVG file: $(stat -c %s big.svg) bytes"
