#!/usr/bin/env bash
# Builds the release from this checkout: installs what is missing, builds both
# modules (the mingw preset's yuv4mpeg2.auo for AviUtl 1.x and the mingw64
# preset's yuv4mpeg2.auo2 for ExEdit2: optimised, stripped), runs each
# module's whole suite under Wine on those very bytes, and only then writes
# dist/yuv4mpeg2-<version>-windows.zip with both modules, readme.txt and
# LICENSE. The same commit gives the same zip, byte for byte, wherever it is
# checked out.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
source tools/i386-programs.sh
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
install_packages cmake make git python3 "${WINDOWS_PACKAGES[@]}" || exit 1
ensure_japanese_locale || exit 1

fail() { echo "release: $1; no zip written"; exit 1; }
# A release ships only modules whose whole suites ran: on a machine that runs
# no 32-bit programs the .auo's run only under emulation.
i386_programs
if [ "$I386_PROGRAMS" = no ] && [ "${Y4M_EMULATE_32BIT:-0}" = 1 ]; then
    set_up_i386_emulation || fail "no emulation of 32-bit programs"
fi
[ "$I386_PROGRAMS" = no ] && fail "the .auo's suite cannot run here: $I386_REASON"
wineTimeout=300
[ "$I386_PROGRAMS" = emulated ] && wineTimeout=3000
for preset in mingw mingw64; do
    cmake --preset $preset -DY4M_WINE_TIMEOUT=$wineTimeout >/dev/null && cmake --build --preset $preset >/dev/null ||
        fail "the $preset build failed"
done

source tools/private-display.sh
for preset in mingw mingw64; do
    echo "== release: the $preset module's suite under Wine"
    ctest --preset $preset || fail "a test of the $preset module failed"
done

version=$(sed -n 's/^#define PLUGIN_PRODUCT_VERSION_TEXT "\(.*\)"$/\1/p' build/mingw/generated/plugin_version.h)
[ -n "$version" ] || fail "no version in build/mingw/generated/plugin_version.h"
zip="dist/yuv4mpeg2-$version-windows.zip"
mkdir -p dist
made=$(python3 tools/reproducible_zip.py --source-dir . "$zip" \
        yuv4mpeg2.auo=build/mingw/yuv4mpeg2.auo yuv4mpeg2.auo2=build/mingw64/yuv4mpeg2.auo2 \
        --text readme.txt=build/mingw/readme.txt LICENSE=LICENSE 2>&1) || fail "the zip could not be made: $made"
echo "== release: $zip"
python3 -m zipfile -l "$zip"
echo "sha256 $(sha256sum "$zip" | cut -d' ' -f1)  size $(stat -c %s "$zip") bytes"
