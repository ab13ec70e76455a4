#!/bin/bash
# Installs what building and testing Taliver needs on Debian 12. Idempotent:
# packages already present are not fetched again. Runs as root or with sudo.
set -euo pipefail

packages=(
    build-essential cmake ninja-build googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine64 xvfb locales fonts-ipafont-gothic fonts-wqy-microhei fonts-wine imagemagick procps
    ghostscript
    python3 python3-ezdxf librsvg2-bin
    clang libclang-rt-14-dev
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi

# Wine runs the Windows build in a Japanese locale (code page 932).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
    $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    $sudo locale-gen >/dev/null
fi
echo "setup: done"
