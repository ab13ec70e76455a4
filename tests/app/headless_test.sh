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
# The byte-level checks read CP932 as written; the locale cases below set
# their own.
export LC_ALL=C
failures=0
check() {  # description, then a command that must succeed
    local what="$1"
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
no_controls() { ! LC_ALL=C grep -q "$(printf '[\001-\011\013-\037\177]')" "$1"; }
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
mkfifo fifo.nc
timeout 10 ./taliver fifo.nc 2>err.txt
check "a pipe as program: status 1 at once" test $? -eq 1

printf 'O0001\r\nG00 X1.\r\nO0001\r\nM30\r\n' >dup.nc
./taliver /DXFOUT dup.nc dup.dxf 2>err.txt
check "duplicate program: status 1, no output" test $? -eq 1 -a ! -e dup.dxf
check "duplicate program: the message names the line" grep -q 'O0001' err.txt


# A device is written in place and never deleted, even when writing fails.
if mknod full c 1 7 2>/dev/null; then
    ./taliver /DXFOUT demo.nc full 2>err.txt
    check "full device: status 1, a message, the node kept" test $? -eq 1 -a -c full -a -s err.txt
fi

./taliver demo.nc >/dev/full 2>err.txt
check "report to a full disk: status 1 with a message" \
    grep -q "$(cp932 '標準出力に書き込めません')" err.txt
check "report to a closed pipe: status 1 with a message" /usr/bin/python3 - <<'PY'
import os, subprocess
r, w = os.pipe()
os.close(r)
p = subprocess.run(["./taliver", "demo.nc"], stdout=w, stderr=subprocess.PIPE)
assert p.returncode == 1 and b"Broken pipe" in p.stderr, (p.returncode, p.stderr)
PY

./taliver "$(printf 'x\033]0;t\007\r%s\177.nc' "$(cp932 '加工')")" 2>err.txt
check "control characters in names are escaped, Japanese kept" \
    grep -qF "x\x1B]0;t\x07\x0D$(cp932 '加工')\x7F.nc" err.txt
check "no control character reaches standard error" no_controls err.txt

# A cycle of 32767 holes is megabytes of DXF text: four of them must not
# take more memory than the demo takes.
{ printf 'O0001\r\nT1 M06\r\nG90 G00 X0 Y0 Z10.\r\n'
  for i in 1 2 3 4; do printf 'G91 G81 X0.1 Y0.1 Z-5. R-8. L32767 F100\r\n'; done
  printf 'G80\r\nM30\r\n'; } >holes.nc
check "long cycles are exported in bounded memory" /usr/bin/python3 - <<'PY'
import os, subprocess
def peak(*args):
    p = subprocess.Popen(["./taliver", "/MDL=demo.MDL", "/TDL=demo.TDL", "/DXFOUT"] + list(args))
    _, status, usage = os.wait4(p.pid, 0)
    assert status == 0, status
    return usage.ru_maxrss  # kilobytes
small, large = peak("demo.nc", "demo.dxf"), peak("holes.nc", "holes.dxf")
assert os.path.getsize("holes.dxf") > 60e6 and large < small + 16384, (small, large)
PY
rm -f holes.dxf

# SIGINT and SIGTERM stop a run through its cancel path: status 130 or 143,
# no temporary files; the output, a pipe here, is kept. Opening the pipe's
# other end waits for the program, whose handlers are in place by then; it
# fills the pipe and waits until the signal has been sent.
mkfifo pipe.dxf
mkdir tmp
printf 'O0001\nM98 P2 L20000\nM30\nO0002\nG91 G01 X1. F100\nM99\n' >long.nc
for signal in INT:130 TERM:143; do
    TMPDIR="$work/tmp" ./taliver /DXFOUT long.nc pipe.dxf 2>err.txt &
    pid=$!
    exec 3<pipe.dxf
    kill -"${signal%:*}" "$pid"
    cat <&3 >/dev/null
    exec 3<&-
    wait "$pid"
    check "SIG${signal%:*}: status ${signal#*:}, nothing left behind, the pipe kept" \
        test $? -eq "${signal#*:}" -a -p pipe.dxf -a -z "$(ls tmp)" -a -s err.txt
done

# A relative machine file is looked for beside the program, then in the
# current folder; one found in neither ends the run with a message.
mkdir -p here && cp demo.MDL here/local.MDL
(cd here && ../taliver /MDL=local.MDL /TDL=demo.TDL ../demo.nc >/dev/null 2>../err.txt)
check "machine file in the current folder: read and remembered" \
    test $? -eq 0 -a ! -s err.txt -a -n "$(grep "PostFile=.*here/local.MDL" taliver.cfg)"
./taliver /MDL=nowhere.MDL /LOGOUT demo.nc nowhere.log 2>err.txt
check "machine file found nowhere: status 1, named in the message, no output" \
    test $? -eq 1 -a -n "$(grep -a nowhere.MDL err.txt)" -a ! -e nowhere.log

# Notes go to standard error as file:line: message; STRICT makes them fail.
printf 'O0001\nG01 X10. F100\n#1=2\nM98 P77\nM30\n' >doubtful.nc
./taliver /LOGOUT doubtful.nc doubtful.log 2>err.txt
check "notes: status 0, one line each with file and line" \
    test $? -eq 0 -a "$(grep -c -E '/doubtful.nc:(3|4): ' err.txt)" -eq 2
./taliver /STRICT doubtful.nc >/dev/null 2>err.txt
check "STRICT: a program with notes gives status 1" test $? -eq 1 -a -s err.txt

# File names in a UTF-8 locale: folders whose names end in bytes that CP932
# takes for lead bytes (ド ends in 0x89, 品 in 0x81).
export LC_ALL=C.UTF-8
mkdir -p ド 部品 v2.部品 bin.ド
cp demo.nc ド/prog.nc && cp demo.nc v2.部品/prog
printf 'O0012\nG01 X5. F100\nM99\n' >部品/P0012.nc
printf 'O0001\nM98 P12\nM30\n' >caller.nc
./taliver /MDL=demo.MDL /TDL=demo.TDL ド/prog.nc >report.txt 2>err.txt
check "a folder ending in a lead byte: report names it, in UTF-8 when piped" \
    grep -q "フォルダ名   : $work/ド\$" report.txt
./taliver /STRICT caller.nc 部品/P0012.nc >/dev/null 2>err.txt
check "a file in such a folder is still program 12 for M98" test $? -eq 0 -a ! -s err.txt
cp taliver demo.TDL bin.ド/ && cp demo.MDL bin.ド/rel.MDL
bin.ド/taliver /MDL=rel.MDL /TDL=demo.TDL demo.nc >/dev/null 2>err.txt
check "MDL= beside a program in such a folder" \
    test $? -eq 0 -a ! -e rel.MDL -a -n "$(grep -a 'Demo machining centre' bin.ド/rel.MDL)"
./taliver /CSVOUT v2.部品/prog
check "CSV of a name with a dot in its folder goes beside it" test -s v2.部品/prog.csv -a ! -e v2.csv
./taliver 한.nc 2>err.txt
check "a name CP932 cannot hold: status 1 and why" test $? -eq 1 -a -n "$(grep CP932 err.txt)"
LC_ALL=C ./taliver demo.nc | grep -q "$(cp932 'プログラムNo : 1000')"
check "in the C locale the report is CP932 bytes" test $? -eq 0
./taliver --version | grep -q '^taliver .*0\.'
check "--version" test $? -eq 0

# The picture: valid XML, one group per pane, one path per pen and pane,
# and rendered by a real SVG renderer it shows the lines its paths hold.
./taliver /MDL=demo.MDL /TDL=demo.TDL /SVGOUT demo.nc
check "SVG beside the program" test -s demo.svg
./taliver /SVGOUT /SIZE=12x demo.nc bad.svg 2>err.txt
check "a bad /SIZE: status 2, no output" test $? -eq 2 -a ! -e bad.svg
if command -v rsvg-convert >/dev/null; then
    rsvg-convert demo.svg -o demo.png && convert demo.png -depth 8 rgb:demo.rgb
    check "SVG: panes, paths per pen, and rsvg's pixels match its lines" /usr/bin/python3 - <<'PY'
import re, xml.etree.ElementTree as ET
ns = "{http://www.w3.org/2000/svg}"
root = ET.parse("demo.svg").getroot()
W, H = int(root.get("width")), int(root.get("height"))
assert (W, H) == (1280, 800), (W, H)
panes = [g for g in root.iter(ns + "g") if g.get("class") == "pane"]
assert len(panes) == 4, len(panes)
lines, texts = set(), []
for pane in panes:
    tx, ty = map(int, re.findall(r"-?\d+", pane.get("transform")))
    pens = [p.get("class") for p in pane.iter(ns + "path")]
    assert len(pens) == len(set(pens)) and {"pen1", "pen8"} <= set(pens), pens
    for path in pane.iter(ns + "path"):
        x = y = 0
        for cmd, a, b in re.findall(r"([Mml])(-?\d+) ?(-?\d+)", path.get("d")):
            a, b = int(a), int(b)
            nx, ny = (a, b) if cmd == "M" else (x + a, y + b)
            if cmd == "l":
                n = max(abs(nx - x), abs(ny - y))
                for i in range(n + 1):
                    lines.add((tx + x + round(i * (nx - x) / n), ty + y + round(i * (ny - y) / n)))
            x, y = nx, ny
    texts += [(tx + int(t.get("x")), ty + int(t.get("y"))) for t in pane.iter(ns + "text")]
px = open("demo.rgb", "rb").read()
def lit(x, y):
    i = 3 * (y * W + x)
    return px[i:i + 3] not in (b"\0\0\0", b"\x80\x80\x80")
near = lambda s, x, y: any((x + dx, y + dy) in s for dx in (-1, 0, 1) for dy in (-1, 0, 1))
inside = [(x, y) for (x, y) in lines if 0 < x < W - 1 and 0 < y < H - 1]
drawn = sum(any(lit(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)) for x, y in inside)
in_text = lambda x, y: any(0 <= x - t[0] < 24 and -12 <= y - t[1] < 4 for t in texts)
shown = [(x, y) for y in range(H) for x in range(W) if lit(x, y) and not in_text(x, y)]
explained = sum(near(lines, x, y) for x, y in shown)
assert drawn >= 0.98 * len(inside), (drawn, len(inside))
assert explained >= 0.98 * len(shown), (explained, len(shown))
PY
fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
