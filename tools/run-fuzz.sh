#!/usr/bin/env bash
# Builds the core's libFuzzer targets with clang (ASan and UBSan) and runs
# each in turn for a bounded time, then prints per target the executions,
# their rate, the coverage of libFuzzer's last status line (cov: edges, ft:
# features) and the crashes found.
#
#   tools/run-fuzz.sh [SECONDS [TARGET...]]
#
# Each target starts from its committed seeds (tests/fuzz/<target>/seeds)
# plus the corpus earlier runs grew in the build tree. A crash, leak, timeout
# or out-of-memory input is kept in <tree>/crashes/<target>/ and makes the
# exit status 1; turn it into a unit test in tests/unit before fixing the
# core. FUZZ_TREE (default build/fuzz) and JOBS set where and how wide to build.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1
seconds=${1:-60}
shift || true
tree=${FUZZ_TREE:-build/fuzz}
jobs=${JOBS:-$(nproc)}

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for dir in tests/fuzz/*/; do
        name=$(basename "$dir")
        [ -f "$dir/${name}_fuzz.cpp" ] && targets+=("$name")
    done
fi

cmake -S . -B "$tree" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIKORA_FUZZ=ON >/dev/null || exit 1
cmake --build "$tree" -j "$jobs" --target fuzzers || exit 1

rows=()
status=0
for name in "${targets[@]}"; do
    corpus=$tree/corpus/$name
    crashes=$tree/crashes/$name
    log=$tree/logs/$name.log
    mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
    dict=()
    [ -f "tests/fuzz/$name/$name.dict" ] && dict=(-dict="tests/fuzz/$name/$name.dict")
    before=$(find "$crashes" -type f | wc -l)
    echo "== $name: ${seconds}s"
    "$tree/${name}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
        -timeout=10 "${dict[@]}" -artifact_prefix="$crashes/" \
        "$corpus" "tests/fuzz/$name/seeds" >"$log" 2>&1
    rc=$?
    found=$(($(find "$crashes" -type f | wc -l) - before))
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n1)
    last=$(grep -E '^#[0-9]+' "$log" | grep ' cov: ' | tail -n1)
    cov=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$last")
    ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$last")
    if [ "$rc" != 0 ] || [ "$found" != 0 ]; then
        status=1
        [ "$found" = 0 ] && found="? (exit $rc)"
        grep -E 'broken:|ERROR:|SUMMARY:' "$log" | head -n 5
        echo "   log: $log; inputs: $crashes/"
    fi
    rows+=("$(printf '%-16s %12s %8s %6s %7s  %s' "$name" "${execs:-?}" "${rate:-?}" \
        "${cov:-?}" "${ft:-?}" "$found")")
done

echo
echo "== Fuzzing, ${seconds}s per target"
printf '%-16s %12s %8s %6s %7s  %s\n' target executions exec/s cov ft crashes
printf '%s\n' "${rows[@]}"
exit "$status"
