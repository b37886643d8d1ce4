#!/usr/bin/env bash
# Soak runs of Pikora.exe under Wine: a copy storm in history mode and
# popup-and-paste rounds into notepad. Figures only; not part of `make test`.
#
#   tools/soak.sh [BUILD_TREE] [copies=N] [interval=MS] [rounds=N] [entries=N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
shift || true
jobs=$(nproc)
cmake --build "$build" -j "$((jobs < 2 ? jobs : 2))" --target pikora_soak
echo "== soak (Wine, private Xvfb, prefix ${PIKORA_WINEPREFIX:-$build/wineprefix})"
PIKORA_EXE="$build/Pikora.exe" PIKORA_WINEPREFIX="${PIKORA_WINEPREFIX:-$build/wineprefix}" \
    PIKORA_WINE_TIMEOUT=1800 "$root/tests/e2e/wine-env" "$build/bench/soak/pikora_soak.exe" "$@"
