#!/usr/bin/env bash
# Renders the settings dialog as the real module draws it under Wine and
# saves it as docs/settings-dialog.png. Needs the mingw build
# (cmake --build --preset mingw), Xvfb, ffmpeg, fonts-wine (Wine's own fonts,
# for the title bar's buttons) and fonts-ipafont-gothic, which stands in for
# the dialog's Japanese font.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/mingw
[ -f "$build/yuv4mpeg2.auo" ] || { echo "build the mingw preset first" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || source tools/private-display.sh
bmp="$(mktemp --suffix=.bmp)"
tools/wine-run.sh "$build/tests/dialog_picture.exe" "$build/yuv4mpeg2.auo" "Z:${bmp//\//\\}"
mkdir -p docs
ffmpeg -loglevel error -y -i "$bmp" docs/settings-dialog.png
rm -f "$bmp"
echo "wrote docs/settings-dialog.png"
