#!/bin/bash
# End-to-end runs of the headless program on the demo sample: outputs,
# exit status, messages, line ends, and a DXF that a DXF reader accepts.
#   headless_test.sh <taliver> <samples-dir>
set -u
taliver="$1"
samples="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$taliver" "$work/taliver"
cp "$samples"/demo.nc "$samples"/demo.MDL "$samples"/demo.TDL "$work/"
cd "$work"
failures=0
check() {  # description, then a command that must succeed
    local what="$1"
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
all_crlf() { [ "$(grep -c $'\r$' "$1")" -eq "$(wc -l <"$1")" ] && [ -s "$1" ]; }

./taliver >/dev/null 2>&1
check "no file names: usage and status 2" test $? -eq 2

./taliver /MDL=demo.MDL /TDL=demo.TDL demo.nc >report.txt 2>err.txt
check "report to standard output: status 0" test $? -eq 0
check "report names the program" grep -q "$(cp932 'プログラムNo : 1000')" report.txt
check "report has the tool section of T02" grep -q '^T02 ' report.txt
check "settings written back beside the program" grep -q "demo.nc" taliver.cfg
check "machine file kept" grep -q 'Demo machining centre' demo.MDL

./taliver /DXFOUT demo.nc out.dxf
check "DXF export: status 0" test $? -eq 0
check "DXF lines end in CR LF" all_crlf out.dxf
check "a DXF reader loads the drawing" /usr/bin/python3 - <<'PY'
import ezdxf
from collections import Counter
doc = ezdxf.readfile("out.dxf")
kinds = Counter(e.dxftype() for e in doc.modelspace())
layers = {layer.dxf.name for layer in doc.layers}
assert kinds["ARC"] == 6 and kinds["CIRCLE"] == 4 and kinds["LINE"] > 20, kinds
assert {"Layer_G00", "Layer_G01XYZ", "Layer_G01Z", "Layer_G01D"} <= layers, layers
PY

./taliver /CSVOUT demo.nc
check "CSV without a name goes to the proposed name" all_crlf demo.csv

./taliver /DXFOUT /CSVOUT demo.nc both.out
check "only the first output by priority is written" grep -q 'EOF' both.out

./taliver /LOGOUT demo.nc run.log
check "log export writes the report" grep -q "$(cp932 '加工所要時間')" run.log
check "log lines end in CR LF" all_crlf run.log

./taliver /P demo.nc 2>err.txt
check "printing: status 1 with a message" test $? -eq 1 -a -s err.txt

./taliver missing.nc 2>err.txt
check "missing file: status 1" test $? -eq 1
check "missing file: the read error and its path" grep -q 'missing.nc' err.txt

printf 'O0001\r\nG00 X1.\r\nO0001\r\nM30\r\n' >dup.nc
./taliver /DXFOUT dup.nc dup.dxf 2>err.txt
check "duplicate program: status 1, no output" test $? -eq 1 -a ! -e dup.dxf
check "duplicate program: the message names the line" grep -q 'O0001' err.txt

./taliver /MDL=nothing.mdl /LOGOUT demo.nc ignored.log
check "a machine file that does not exist is ignored" test -s ignored.log

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
