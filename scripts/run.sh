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

. "$top/scripts/demo-args.sh"

if [ -n "${DISPLAY:-}" ] && [ -z "${TLV_DISPLAY:-}" ]; then
    export TLV_DISPLAY="$DISPLAY"
    "$top/scripts/wine-session.sh" start
    demo_args "$root" "$@"
    "$top/scripts/wine-run.sh" "$root/windows/app/Taliver.exe" "${args[@]}"
else
    exec "$top/scripts/screenshot.sh" "$root/screenshots/taliver.png" "$@"
fi
