#!/usr/bin/env bash
# Measures the popup's latency under Wine against a bare Win32 program.
#
#   tools/latency-probe.sh [BUILD_TREE] [caret|search]
#
# "caret": only the figures of the caret sources (beside the floor);
# "search": only the figures of the popup's search box.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
jobs=$(nproc)
cmake --build "$build" -j "$((jobs < 2 ? jobs : 2))" --target latency_probe
echo "== latency probe (Wine, private Xvfb, prefix ${PIKORA_WINEPREFIX:-$build/wineprefix})"
PIKORA_EXE="$build/Pikora.exe" PIKORA_WINEPREFIX="${PIKORA_WINEPREFIX:-$build/wineprefix}" \
    PIKORA_WINE_TIMEOUT=1200 "$root/tests/e2e/wine-env" "$build/bench/latency/latency_probe.exe" "${@:2}"
