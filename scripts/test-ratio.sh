#!/bin/bash
# Prints the size of the test suite against the code it tests: non-blank
# lines of C++ and resource files (.cpp .h .inc .rc) under tests/ against the
# same in the rest of the tree, leaving out bench/. Only files git tracks
# count, so build folders, fuzz findings and generated files stay out; the
# fuzz corpora hold no such files. Shell and Python scripts are not counted
# (the second line shows the figure with them, for reference).
#   scripts/test-ratio.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# Sums the non-blank lines of the tracked files matching $1 (a regex on the
# path) and not matching $2.
count() {
    git ls-files -z | grep -zE "$1" | grep -zvE "$2" |
        xargs -0 -r grep -c '[^[:space:]]' /dev/null | awk -F: '{ n += $NF } END { print n + 0 }'
}

show() {
    local tests rest
    tests=$(count "^tests/.*\\.($1)\$" '^$^')
    rest=$(count "\\.($1)\$" '^(tests|bench)/')
    awk -v t="$tests" -v r="$rest" -v what="$2" \
        'BEGIN { printf "%s: tests %d, rest %d, %.1f %%\n", what, t, r, 100 * t / r }'
}

show 'cpp|h|inc|rc' 'C++ and resources'
show 'cpp|h|inc|rc|sh|py' 'with scripts'
