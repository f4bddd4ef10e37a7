#!/usr/bin/env bash
# Quick start: installs what is missing, builds, and exports a demo clip of the
# built-in test pattern through the plug-in into demo.y4m (1280x720,
# 30000/1001, 300 frames, 4:2:0), then shows what ffprobe reads of it.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
install_packages "${DEMO_PACKAGES[@]}" || exit 1
# Only the module and the host are built, so the test framework is not needed.
cmake --preset native -DY4M_BUILD_TESTS=OFF >/dev/null
cmake --build --preset native --target yuv4mpeg2 y4mhost >/dev/null
build/native/y4mhost/y4mhost --size 1280x720 --rate 30000/1001 --frames 300 --format 420 -y -o demo.y4m
echo "== ffprobe reads demo.y4m:"
ffprobe -v error -count_frames -select_streams v:0 \
    -show_entries stream=width,height,r_frame_rate,nb_read_frames,pix_fmt,field_order,sample_aspect_ratio \
    -of default=noprint_wrappers=1 demo.y4m
