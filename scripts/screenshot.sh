#!/bin/bash
# Starts the Windows program under Wine on a virtual display, waits for its
# window and saves a PNG of the screen.
#   scripts/screenshot.sh [out.png] [options] [nc files...]   (default: the demo sample)
#   e.g. scripts/screenshot.sh xyz.png /XYZ
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
root="${TLV_BUILD_ROOT:-$top/build}"
export TLV_WINEPREFIX="${TLV_WINEPREFIX:-$root/wineprefix}"
export TLV_DISPLAY="${TLV_DISPLAY:-:99}"
out="${1:-$root/screenshots/taliver.png}"
shift || true
exe="$root/windows/app/Taliver.exe"
[ -f "$exe" ] || "$top/scripts/build.sh" windows >/dev/null

. "$top/scripts/demo-args.sh"

"$top/scripts/wine-session.sh" start
demo_args "$root" "$@"

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
