#!/usr/bin/env bash
# `make run`: starts Pikora.exe under Wine and stays in the foreground until
# Pikora ends (its tray menu "終了(&X)", or Ctrl+C here).
#
#   tools/run-pikora.sh [path/to/Pikora.exe]
#
# Without an argument: the 32-bit build where this machine can run 32-bit
# programs, otherwise the 64-bit one. Same Wine settings as the end-to-end
# tests (tests/e2e/wine-env: ja_JP locale so the code page is 932, unmanaged
# windows), but a prefix of its own beside the exe, wineprefix-run
# (PIKORA_WINEPREFIX overrides): a Pikora left running here would otherwise
# hold the single-instance mutex of the tests and be stopped by their cleanup.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ $# -ge 1 ]; then
    exe=$1
elif bash "$root/tools/can-run-32bit.sh" --wine; then
    exe=$root/build/win32/Pikora.exe
else
    exe=$root/build/win64/Pikora.exe
fi
if [ ! -f "$exe" ]; then
    echo "run-pikora: $exe not found (make win32 or make win64 builds it)" >&2
    exit 1
fi
exe_dir=$(cd "$(dirname "$exe")" && pwd)
case "$exe_dir" in
    */win32) echo "run-pikora: starting the 32-bit Pikora.exe ($exe_dir)" ;;
    */win64)
        if bash "$root/tools/can-run-32bit.sh" --wine; then
            echo "run-pikora: starting the 64-bit Pikora.exe ($exe_dir)"
        else
            echo "run-pikora: starting the 64-bit Pikora.exe ($exe_dir): this machine cannot execute 32-bit programs"
        fi
        ;;
esac

export PIKORA_WINEPREFIX=${PIKORA_WINEPREFIX:-$exe_dir/wineprefix-run}
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
