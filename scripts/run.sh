#!/bin/bash
# Builds the Windows program and opens it under Wine on the bundled demo
# program, machine and tool files (or on the files given as arguments).
# Uses the current X display; without one it starts a virtual display and
# saves a screenshot instead, since nobody could see the window.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
root="${TLV_BUILD_ROOT:-$top/build}"
export TLV_WINEPREFIX="${TLV_WINEPREFIX:-$root/wineprefix}"
"$top/scripts/build.sh" windows >/dev/null

# Wine maps the Linux root to drive Z:.
winpath() { local p; p="$(realpath -m "$1")"; printf 'Z:%s' "${p//\//\\}"; }

if [ -n "${DISPLAY:-}" ] && [ -z "${TLV_DISPLAY:-}" ]; then
    export TLV_DISPLAY="$DISPLAY"
    "$top/scripts/wine-session.sh" start
    # The program writes its machine and tool files back at the end: give
    # it copies, so the bundled samples stay as they are.
    demo="$root/demo"
    mkdir -p "$demo"
    cp "$top"/samples/demo.* "$demo/"
    files=("$@")
    [ ${#files[@]} -gt 0 ] || files=("$demo/demo.nc")
    args=("/MDL=$(winpath "$demo/demo.MDL")" "/TDL=$(winpath "$demo/demo.TDL")")
    for f in "${files[@]}"; do args+=("$(winpath "$f")"); done
    "$top/scripts/wine-run.sh" "$root/windows/app/Taliver.exe" "${args[@]}"
else
    exec "$top/scripts/screenshot.sh" "$root/screenshots/taliver.png" "$@"
fi
