#!/bin/bash
# Builds all three configurations and runs every test: native, native under
# AddressSanitizer + UndefinedBehaviorSanitizer, and Windows under Wine;
# then the fuzz targets replay their seed corpora and fuzz for a few
# seconds each. Exits non-zero when any build or test fails.
set -uo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
root="${TLV_BUILD_ROOT:-$top/build}"
export TLV_WINEPREFIX="${TLV_WINEPREFIX:-$root/wineprefix}"
status=0
summary=()

run_ctest() {  # name build-dir
    local log="$2/ctest.log"
    if ctest --test-dir "$2" -j "$(nproc)" --output-on-failure >"$log" 2>&1; then
        summary+=("$1: $(grep -E 'tests passed' "$log" | tail -n 1)")
    else
        cat "$log"
        summary+=("$1: FAILED $(grep -E 'tests passed|tests failed' "$log" | tail -n 1)")
        status=1
    fi
}

for kind in native sanitize; do
    if "$top/scripts/build.sh" "$kind"; then
        ASAN_OPTIONS=detect_leaks=1 run_ctest "$kind" "$root/$kind"
    else
        summary+=("$kind: BUILD FAILED"); status=1
    fi
done

if "$top/scripts/build.sh" windows; then
    # A fresh prefix each run: state left in the registry by an earlier
    # session must not decide whether the Windows tests pass. Only a prefix
    # that the test session made itself is removed.
    [ -f "$TLV_WINEPREFIX/.taliver-test-prefix" ] && rm -rf "$TLV_WINEPREFIX"
    "$top/scripts/wine-session.sh" start
    run_ctest "windows (wine)" "$root/windows"
    "$top/scripts/wine-session.sh" stop
else
    summary+=("windows: BUILD FAILED"); status=1
fi

# Short fuzz runs catch what a change breaks in the input handling; the
# long runs are fuzz/run.sh's own business.
if "$top/scripts/build.sh" fuzz; then
    run_ctest "fuzz corpora" "$root/fuzz"
    if "$top/fuzz/run.sh" -t 5 -j "$(nproc)" >"$root/fuzz/run.log" 2>&1; then
        summary+=("fuzz runs: no findings")
    else
        cat "$root/fuzz/run.log"
        summary+=("fuzz runs: FAILED (inputs kept in fuzz/findings/)"); status=1
    fi
else
    summary+=("fuzz: BUILD FAILED"); status=1
fi

echo
echo "== Test summary =="
printf '%s\n' "${summary[@]}"
exit $status
