#!/usr/bin/env bash
# Measures the popup's latency under Wine against a bare Win32 program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win32}
cmake --build "$build" -j "$(nproc)" --target latency_probe
echo "== latency probe (Wine, private Xvfb)"
PIKORA_EXE="$build/Pikora.exe" PIKORA_WINE_TIMEOUT=300 "$root/tests/e2e/wine-env" "$build/bench/latency/latency_probe.exe"
