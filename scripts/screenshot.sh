#!/bin/bash
# Starts the Windows program under Wine on a virtual display, waits for its
# window and saves a PNG of the screen.
#   scripts/screenshot.sh [out.png] [nc files...]   (default: the demo sample)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
root="${TLV_BUILD_ROOT:-$top/build}"
export TLV_WINEPREFIX="${TLV_WINEPREFIX:-$root/wineprefix}"
export TLV_DISPLAY="${TLV_DISPLAY:-:99}"
out="${1:-$root/screenshots/taliver.png}"
shift || true
exe="$root/windows/app/Taliver.exe"
[ -f "$exe" ] || "$top/scripts/build.sh" windows >/dev/null

# Wine maps the Linux root to drive Z:.
winpath() { local p; p="$(realpath -m "$1")"; printf 'Z:%s' "${p//\//\\}"; }

"$top/scripts/wine-session.sh" start
# The program writes its machine and tool files back at the end: give it
# copies, so the bundled samples stay as they are.
demo="$root/demo"
mkdir -p "$demo"
cp "$top"/samples/demo.* "$demo/"
files=("$@")
[ ${#files[@]} -gt 0 ] || files=("$demo/demo.nc")
args=("/MDL=$(winpath "$demo/demo.MDL")" "/TDL=$(winpath "$demo/demo.TDL")")
for f in "${files[@]}"; do args+=("$(winpath "$f")"); done

"$top/scripts/wine-run.sh" "$exe" "${args[@]}" &
app=$!
# The window needs a moment to appear and paint.
for _ in $(seq 1 20); do
    sleep 0.5
    if "$top/scripts/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1; then break; fi
done
sleep "${TLV_SHOT_DELAY:-3}"
mkdir -p "$(dirname "$out")"
import -window root -display "$TLV_DISPLAY" "$out"
kill "$app" >/dev/null 2>&1 || true
"$top/scripts/wine-session.sh" stop
echo "screenshot: $out"
