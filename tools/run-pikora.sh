#!/usr/bin/env bash
# `make run`: starts Pikora.exe under Wine and stays in the foreground until
# Pikora ends (its tray menu "終了(&X)", or Ctrl+C here).
#
#   tools/run-pikora.sh [path/to/Pikora.exe]
#
# Same Wine settings as the end-to-end tests (tests/e2e/wine-env: win32
# prefix, ja_JP locale so the code page is 932, unmanaged windows), but a
# prefix of its own, build/win32/wineprefix-run (PIKORA_WINEPREFIX overrides):
# a Pikora left running here would otherwise hold the single-instance mutex of
# the tests and be stopped by their cleanup.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=${1:-$root/build/win32/Pikora.exe}
if [ ! -f "$exe" ]; then
    echo "run-pikora: $exe not found (make win32 builds it)" >&2
    exit 1
fi
exe_dir=$(cd "$(dirname "$exe")" && pwd)

export PIKORA_WINEPREFIX=${PIKORA_WINEPREFIX:-$root/build/win32/wineprefix-run}
export PIKORA_WINE_TIMEOUT=0
if [ -n "${DISPLAY:-}" ]; then
    export PIKORA_WINE_DISPLAY=$DISPLAY
    echo "run-pikora: starting Pikora on display $DISPLAY"
else
    # wine-env names the display it picked, for a VNC server or xwd.
    export PIKORA_WINE_VERBOSE=1
    echo "run-pikora: DISPLAY is not set, so Pikora runs on a private Xvfb (nothing is shown here)"
fi
echo "run-pikora: Pikora.ini and Pikora.dat live in $exe_dir; Ctrl+C ends Pikora"

# Pikora keeps its data file in the working directory: keep it beside the exe
# rather than in the source tree.
cd "$exe_dir" || exit 1
exec "$root/tests/e2e/wine-env" "$exe_dir/$(basename "$exe")"
