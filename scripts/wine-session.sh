#!/bin/bash
# Starts or stops the Wine session that the Windows tests run in:
#   wine-session.sh start   prepare a throw-away prefix, Xvfb and keep-alive
#   wine-session.sh stop    end them
# The prefix path comes from TLV_WINEPREFIX (default /tmp/taliver-wine).
set -u
here="$(cd "$(dirname "$0")" && pwd)"
prefix="${TLV_WINEPREFIX:-/tmp/taliver-wine}"
display="${TLV_DISPLAY:-:99}"
export WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY="$display"
export PATH="/usr/lib/wine:$PATH"

# The menus mix Japanese and simplified Chinese; the Japanese fonts lack the
# Chinese-only characters, so link a Chinese font behind the UI fonts.
link_chinese_font() {
    local ttc=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
    [ -f "$ttc" ] || return 0
    cp "$ttc" "$prefix/drive_c/windows/Fonts/"
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    local face
    for face in "MS UI Gothic" "Tahoma" "Microsoft Sans Serif" "MS Shell Dlg" "MS Gothic" "MS PGothic"; do
        "$here/wine-run.sh" reg add "$key" /v "$face" /t REG_MULTI_SZ \
            /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
    done
}

# Whether this prefix already has its keep-alive window (other prefixes on
# the same machine have their own).
keepalive_running() {
    local pid
    for pid in $(pgrep -f notepad 2>/dev/null); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix" && return 0
    done
    return 1
}

start() {
    if ! pgrep -f "Xvfb $display " >/dev/null 2>&1; then
        Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        sleep 1
    fi
    if [ ! -f "$prefix/system.reg" ]; then
        rm -rf "$prefix"
        LANG=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml=" wine64 wineboot --init >/dev/null 2>&1
        wineserver -w
        # A default virtual desktop gives windows frames and avoids ~2 s
        # stalls on every hide and destroy.
        "$here/wine-run.sh" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        "$here/wine-run.sh" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
        mkdir -p "$prefix/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
        link_chinese_font
        wineserver -w
        touch "$prefix/.taliver-test-prefix"
    fi
    # One wineserver and one window alive for the whole run: each test
    # process would otherwise pay for their start.
    wineserver -p
    keepalive_running || "$here/wine-run.sh" start /min notepad >/dev/null 2>&1
}

stop() {
    wineserver -k >/dev/null 2>&1 || true
    pkill -f "Xvfb $display" >/dev/null 2>&1 || true
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
