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

# run_logged PATTERN COMMAND...: runs COMMAND with its output shown; sets
# `line` to the last output line matching PATTERN and `rc` to its status.
run_logged() {
    local pattern=$1 log
    shift
    log=$(mktemp) || return 1
    "$@" 2>&1 | tee "$log"
    rc=${PIPESTATUS[0]}
    line=$(grep -E "$pattern" "$log" | tail -n1)
    rm -f "$log"
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

# note_not_run LABEL WHY: a suite that could not run fails the run.
note_not_run() {
    summary+=("$1: did not run ($2)")
    status=1
}

# ctest_suite LABEL TREE [CTEST ARGS...]: runs one suite, notes its counts.
ctest_suite() {
    local label=$1 tree=$2 line rc
    shift 2
    echo "== $label"
    run_logged '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' \
        ctest --test-dir "$tree" --output-on-failure "$@"
    if [ -z "$line" ]; then
        note_not_run "$label" "ctest exit status $rc"
        return
    fi
    local failed all
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of .*/\1/' <<<"$line")
    all=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    note_counts "$label" "$((all - failed))" "$failed" "$rc"
}

# wine_suite LABEL TREE: the Wine tests, where a test that fails is run once
# more on its own and the summary names it. Without a window manager, Wine's
# X11 driver takes focus events from the X server whenever a thread next
# waits, and now and then one arrives between two steps of a test (a key
# press and its release, a click's press and release) and undoes the first:
# a failure that passes on its second run is listed as such, never hidden; a
# test that fails twice fails the run.
wine_suite() {
    local label=$1 tree=$2 line rc
    echo "== $label"
    run_logged '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' \
        ctest --test-dir "$tree" --output-on-failure -L wine
    if [ -z "$line" ]; then
        note_not_run "$label" "ctest exit status $rc"
        return
    fi
    local failed all first
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of .*/\1/' <<<"$line")
    all=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    if [ "$failed" != 0 ]; then
        first=$(sed -E 's/^[0-9]+://' "$tree/Testing/Temporary/LastTestsFailed.log" | paste -sd ' ')
        echo "== $label: once more, the $failed that failed: $first"
        run_logged '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' \
            ctest --test-dir "$tree" --output-on-failure --rerun-failed
        if [ -z "$line" ]; then
            note_not_run "$label (second run)" "ctest exit status $rc"
            return
        fi
        failed=$(sed -E 's/.* ([0-9]+) tests? failed out of .*/\1/' <<<"$line")
        summary+=("$label: failed on the first run, then run again: $first")
    fi
    note_counts "$label" "$((all - failed))" "$failed" "$rc"
}

# dist_suite LABEL: checks the release zip that `make dist` left in DIST_DIR.
dist_suite() {
    local label=$1 name zip line rc
    echo "== $label"
    if ! name=$(python3 tools/make-dist.py --name); then
        note_not_run "$label" "no version in src/res/Pikora.rc"
        return
    fi
    zip=${DIST_DIR:-build/dist}/$name
    if [ ! -f "$zip" ]; then
        note_not_run "$label" "$zip is missing; make dist builds it"
        return
    fi
    run_logged '^[0-9]+ passed, [0-9]+ failed$' python3 tools/check-dist.py "$zip"
    if [ -z "$line" ]; then
        note_not_run "$label" "check-dist exit status $rc"
        return
    fi
    local failed
    failed=$(sed -E 's/.*, ([0-9]+) failed$/\1/' <<<"$line")
    note_counts "$label" "${line%% *}" "$failed" "$rc"
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
    wine_suite "64-bit Wine tests" build/win64
    if bash tools/can-run-32bit.sh --wine; then
        wine_suite "32-bit Wine tests" build/win32
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
