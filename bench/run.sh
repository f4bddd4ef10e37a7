#!/usr/bin/env bash
# Every benchmark in one run: converters against memcpy and libyuv (Google
# Benchmark), the 32-bit module's variants under Wine against the 64-bit ones,
# and whole exports against ffmpeg and the write floor. Writes the chart to docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores"
source tools/packages.sh
source tools/i386-programs.sh
install_packages cmake g++ pkg-config libbenchmark-dev libyuv-dev libswscale-dev ffmpeg x265 bc python3-matplotlib \
    "${WINDOWS_PACKAGES[@]}"
cmake --preset bench >/dev/null && cmake --build --preset bench >/dev/null
cmake --preset bench-mingw >/dev/null && cmake --build --preset bench-mingw >/dev/null
cmake --preset bench-mingw64 >/dev/null && cmake --build --preset bench-mingw64 >/dev/null
# Where this machine runs no 32-bit programs the .auo's figures show as n/a,
# and every other benchmark still runs.
i386_programs
[ "$I386_PROGRAMS" = no ] && echo "the .auo's (32-bit) figures are skipped: $I386_REASON"

echo "== converters (median of 5)"
build/bench/bench/converters_bench --benchmark_min_time=0.5 --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_out=build/bench/converters.json \
    --benchmark_out_format=json >/dev/null
bench/report.py build/bench/converters.json docs/performance-converters.png

echo
echo "== every variant: 64-bit native, and the .auo's (32-bit) and .auo2's (64-bit) code under Wine (us/frame, median of 3 runs of medians of 300)"
# Wine's console output ends its lines with CR: dropped, so the table stays whole.
# Three runs of each, alternating, so that a burst of load on this shared
# machine lands in one run, not in one build; the report takes the median.
: >build/bench/timing64.txt
: >build/bench/timing32.txt
: >build/bench/timing-auo2.txt
for _ in 1 2 3; do
    build/bench/bench/variant_timing 300 >>build/bench/timing64.txt
    if [ "$I386_PROGRAMS" != no ]; then
        tools/wine-run.sh build/bench-mingw/bench/variant_timing.exe 300 2>/dev/null | tr -d '\r' >>build/bench/timing32.txt
    fi
    tools/wine-run.sh build/bench-mingw64/bench/variant_timing.exe 300 2>/dev/null | tr -d '\r' >>build/bench/timing-auo2.txt
done
bench/report.py --builds build/bench/converters.json build/bench/timing64.txt build/bench/timing32.txt \
    build/bench/timing-auo2.txt

echo
echo "== whole exports"
bench/export_bench.sh 200

echo
echo "== into an encoder's standard input (medians of 5, alternating)"
bench/encoder_pipe_bench.sh 200

echo
echo "== a video file"
bench/video_file_bench.sh

echo
echo "== the precise pictures to 10 and 12 bits: every variant against memcpy and libswscale (median of 100)"
echo "PA64 (ExEdit2's 16-bit RGBA):"
build/bench/bench/pa64_converters 100
echo
echo "YC48 (AviUtl 1.x's 48-bit YCbCr):"
build/bench/bench/yc48_converters 100
echo
echo "== whole precise exports against their floor and the bound of one read of the picture (five alternating runs of 200 frames into /dev/shm, medians)"
export_dir=$(mktemp -d /dev/shm/y4m-precise-XXXXXX)
echo "the native module, YC48:"
build/bench/bench/yc48_export build/bench/yuv4mpeg2.so "$export_dir/yc48.y4m" 200
echo
if [ "$I386_PROGRAMS" != no ]; then
    echo "the .auo under Wine, YC48:"
    tools/wine-run.sh build/bench-mingw/bench/yc48_export.exe build/bench-mingw/yuv4mpeg2.auo \
        "Z:$export_dir/yc48.y4m" 200 2>/dev/null | tr -d '\r'
else
    echo "the .auo under Wine, YC48: n/a ($I386_REASON)"
fi
echo
echo "the .auo2 under 64-bit Wine, PA64:"
tools/wine-run.sh build/bench-mingw64/bench/pa64_export.exe build/bench-mingw64/yuv4mpeg2.auo2 \
    "Z:$export_dir/pa64.y4m" 200 2>/dev/null | tr -d '\r'
rm -rf "$export_dir"
