#!/bin/sh
# Runs a Windows program under Wine with the test environment: the
# throw-away prefix and display that scripts/wine-session.sh prepared, a
# Japanese locale (code page 932) for Wine only, and Wine's chatter off.
export WINEPREFIX="${WINEPREFIX:-${TLV_WINEPREFIX:-/tmp/taliver-wine}}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY="${TLV_DISPLAY:-${DISPLAY:-:99}}"
export LANG=ja_JP.UTF-8
unset LC_ALL
exec /usr/lib/wine/wine64 "$@"
