#!/usr/bin/env bash
# Takes the read-me's pictures: Pikora of a built Win64 tree under Wine, in
# the same prefix set-up as the tests (tests/e2e/wine-env), posed by
# tools/screenshots/ and saved as indexed PNGs.
#
#   tools/screenshots.sh [WIN64_TREE [OUTPUT_DIR]]    (build/win64, docs/images)
#
# WIN64_TREE must be built (make win64): the posing program links its e2e
# support library. It runs in the tree's own prefix, like its tests.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tree=$(cd "${1:-$root/build/win64}" && pwd)
out=${2:-$root/docs/images}
tool_tree=$tree/screenshots

if [ ! -f "$tree/Pikora.exe" ]; then
    echo "screenshots: $tree/Pikora.exe is missing (make win64)" >&2
    exit 1
fi

cmake -S "$root/tools/screenshots" -B "$tool_tree" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DPIKORA_TREE="$tree" >/dev/null
cmake --build "$tool_tree" -j "${JOBS:-2}"

bmps=$(mktemp -d)
trap 'rm -rf "$bmps"' EXIT

PIKORA_EXE=$tree/Pikora.exe \
    PIKORA_WINEPREFIX=$tree/wineprefix \
    PIKORA_WINE_TIMEOUT=180 \
    "$root/tests/e2e/wine-env" "$tool_tree/pikora_screenshots.exe" "$bmps"

mkdir -p "$out"
for bmp in "$bmps"/*.bmp; do
    png=$out/$(basename "${bmp%.bmp}").png
    python3 "$root/tools/screenshots/bmp_to_png.py" "$bmp" "$png"
    echo "screenshots: ${png#"$root"/} ($(stat -c %s "$png") bytes)"
done
