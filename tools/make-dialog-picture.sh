#!/usr/bin/env bash
# Renders the settings dialog as the real module draws it under Wine and
# saves it as docs/settings-dialog.png. Needs the mingw build
# (cmake --build --preset mingw), Xvfb, ffmpeg, fonts-wine (Wine's own fonts,
# for the title bar's buttons) and fonts-ipafont-gothic, which stands in for
# the dialog's Japanese font.
set -euo pipefail
cd "$(dirname "$0")/.."
# Both modules hold the same template: the .auo's where 32-bit programs run,
# else the .auo2's (the mingw64 preset).
build=build/mingw module=yuv4mpeg2.auo
if ! tools/wine-run.sh --check "$build/tests/dialog_picture.exe" >/dev/null 2>&1; then
    build=build/mingw64 module=yuv4mpeg2.auo2
fi
[ -f "$build/$module" ] || { echo "build the mingw (or mingw64) preset first" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || source tools/private-display.sh
bmp="$(mktemp --suffix=.bmp)"
tools/wine-run.sh "$build/tests/dialog_picture.exe" "$build/$module" "Z:${bmp//\//\\}"
mkdir -p docs
ffmpeg -loglevel error -y -i "$bmp" docs/settings-dialog.png
rm -f "$bmp"
echo "wrote docs/settings-dialog.png"
