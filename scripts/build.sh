#!/bin/bash
# Configures and builds one configuration: native, sanitize, windows or
# fuzz (the libFuzzer targets, built with clang; see fuzz/README.md).
#   scripts/build.sh native|sanitize|windows|fuzz
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
kind="${1:-native}"
build="${TLV_BUILD_ROOT:-$top/build}/$kind"
case "$kind" in
    native)   args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    sanitize) args=(-DCMAKE_BUILD_TYPE=Debug -DTLV_SANITIZE=ON -DTLV_BENCH=OFF) ;;
    windows)  args=(-DCMAKE_BUILD_TYPE=Release
                    "-DCMAKE_TOOLCHAIN_FILE=$top/cmake/mingw-w64-x86_64.cmake") ;;
    fuzz)     args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTLV_FUZZ=ON
                    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    *) echo "usage: $0 native|sanitize|windows|fuzz" >&2; exit 2 ;;
esac
cmake -S "$top" -B "$build" -G Ninja "${args[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
