#!/usr/bin/env bash
# Builds the release from this checkout: installs what is missing, builds the
# module (the mingw preset: optimised, stripped), runs the module's whole
# suite under Wine on those very bytes, and only then writes
# dist/yuv4mpeg2-<version>-win32.zip with yuv4mpeg2.auo, readme.txt and
# LICENSE. The same commit gives the same zip, byte for byte, wherever it is
# checked out.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
install_packages cmake make git python3 "${WINDOWS_PACKAGES[@]}" || exit 1

fail() { echo "release: $1; no zip written"; exit 1; }
cmake --preset mingw >/dev/null && cmake --build --preset mingw >/dev/null || fail "the build failed"

source tools/private-display.sh
echo "== release: the module's suite under Wine"
ctest --preset mingw || fail "a test of the module failed"

made=$(cmake --build --preset mingw --target release_zip 2>&1) || fail "the zip could not be made: $made"
zip=$(sed -n 's/^PLUGIN_RELEASE_ZIP:INTERNAL=//p' build/mingw/CMakeCache.txt)
echo "== release: ${zip#"$PWD/"}"
python3 -m zipfile -l "$zip"
echo "sha256 $(sha256sum "$zip" | cut -d' ' -f1)  size $(stat -c %s "$zip") bytes"
