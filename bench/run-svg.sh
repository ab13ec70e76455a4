#!/bin/bash
# The SVG picture of a generated program of about a million blocks: file
# size, and the picture's rate in records per second (the median /SVGOUT
# run less the median /LOGOUT run, which loads the same program), from
# wall time and from processor time (user + system), which other work on
# a shared machine disturbs less.
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
times() { /usr/bin/time -f '%e %U %S' ./taliver "$@" 2>&1 >/dev/null | tail -1; }
for i in $(seq "$runs"); do
    times /LOGOUT big.nc big.log >>log.txt
    times /SVGOUT big.nc big.svg >>svg.txt
done
records=$(awk '{print $4}' gen.txt)
echo "program: $(cat gen.txt)"
report() {  # what, then the awk expression of a run's seconds
    local log svg
    log=$(awk "{print $2}" log.txt | median)
    svg=$(awk "{print $2}" svg.txt | median)
    echo "$1: /LOGOUT ${log} s, /SVGOUT ${svg} s, picture alone $(echo "$svg - $log" | bc) s," \
        "$(echo "$records / ($svg - $log) / 1000000" | bc -l | cut -c1-5) M records/s"
}
report wall '$1'
report processor '$2 + $3'
echo "SVG file: $(stat -c %s big.svg) bytes"
