#!/usr/bin/env bash
# Runs the test suites of the built trees and says plainly what ran:
#   - the core's unit tests (build/native),
#   - the image checks of both Windows programs (no Wine needed),
#   - the checks of the release zip (build/dist, or $DIST_DIR),
#   - the Wine suites of the 64-bit tree, always,
#   - the Wine suites of the 32-bit tree where this machine can run 32-bit
#     programs (decided by trying Wine's 32-bit loader), and otherwise a line
#     saying that they did not run.
#
#   tools/run-tests.sh [all|unit|wine]
#
# Every suite runs even when an earlier one failed; the exit status is 1 when
# any test failed or a suite could not run.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
what=${1:-all}

summary=()
total_passed=0
total_failed=0
total_skipped=0
status=0

# ctest_suite LABEL TREE [CTEST ARGS...]: runs one suite, notes its counts.
ctest_suite() {
    local label=$1 tree=$2
    shift 2
    local log
    log=$(mktemp) || return 1
    echo "== $label"
    ctest --test-dir "$tree" --output-on-failure "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local line passed failed
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
    rm -f "$log"
    if [ -z "$line" ]; then
        summary+=("$label: did not run (ctest exit status $rc)")
        status=1
        return
    fi
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of .*/\1/' <<<"$line")
    local all
    all=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((all - failed))
    note_counts "$label" "$passed" "$failed" "$rc"
}

# note_counts LABEL PASSED FAILED EXIT_STATUS: one line of the summary.
note_counts() {
    total_passed=$((total_passed + $2))
    total_failed=$((total_failed + $3))
    summary+=("$1: $2 passed, $3 failed")
    if [ "$4" != 0 ] || [ "$3" != 0 ]; then
        status=1
    fi
}

# dist_suite LABEL: checks the release zip that `make dist` left in DIST_DIR.
dist_suite() {
    local label=$1 name zip log
    echo "== $label"
    if ! name=$(python3 tools/make-dist.py --name); then
        summary+=("$label: did not run (no version in src/res/Pikora.rc)")
        status=1
        return
    fi
    zip=${DIST_DIR:-build/dist}/$name
    if [ ! -f "$zip" ]; then
        summary+=("$label: did not run ($zip is missing; make dist builds it)")
        status=1
        return
    fi
    log=$(mktemp) || return 1
    python3 tools/check-dist.py "$zip" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local line
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n1)
    rm -f "$log"
    if [ -z "$line" ]; then
        summary+=("$label: did not run (check-dist exit status $rc)")
        status=1
        return
    fi
    local passed=${line%% *} failed
    failed=$(sed -E 's/.*, ([0-9]+) failed$/\1/' <<<"$line")
    note_counts "$label" "$passed" "$failed" "$rc"
}

count_tests() {
    ctest --test-dir "$1" -N "${@:2}" 2>/dev/null | sed -n 's/^Total Tests: //p'
}

if [ "$what" = all ] || [ "$what" = unit ]; then
    ctest_suite "Unit tests (native core)" build/native
    ctest_suite "Program image checks (32-bit)" build/win32 -L image
    ctest_suite "Program image checks (64-bit)" build/win64 -L image
    dist_suite "Release zip checks"
fi

if [ "$what" = all ] || [ "$what" = wine ]; then
    ctest_suite "64-bit Wine tests" build/win64 -L wine
    if bash tools/can-run-32bit.sh --wine; then
        ctest_suite "32-bit Wine tests" build/win32 -L wine
    else
        skipped=$(count_tests build/win32 -L wine)
        total_skipped=$((total_skipped + ${skipped:-0}))
        summary+=("32-bit Wine tests: not run, this machine cannot execute 32-bit programs (${skipped:-all} tests; the 64-bit ones above cover the same scenarios)")
    fi
fi

echo
echo "== Summary"
for line in "${summary[@]}"; do
    echo "$line"
done
if [ "$total_skipped" != 0 ]; then
    echo "Total: $total_passed passed, $total_failed failed, $total_skipped skipped"
else
    echo "Total: $total_passed passed, $total_failed failed"
fi
exit "$status"
