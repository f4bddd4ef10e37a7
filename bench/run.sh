#!/usr/bin/env bash
# Every benchmark in one run: converters against memcpy and libyuv (Google
# Benchmark), the 32-bit SSE2 path under Wine against the 64-bit one, and
# whole exports against ffmpeg and the write floor. Writes the chart to docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
install_packages cmake g++ libbenchmark-dev libyuv-dev ffmpeg bc python3-matplotlib "${WINDOWS_PACKAGES[@]}"
cmake --preset bench >/dev/null && cmake --build --preset bench >/dev/null
cmake --preset bench-mingw >/dev/null && cmake --build --preset bench-mingw --target variant_timing >/dev/null

echo "== converters (median of 5)"
build/bench/bench/converters_bench --benchmark_min_time=0.5 --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_out=build/bench/converters.json \
    --benchmark_out_format=json >/dev/null
bench/report.py build/bench/converters.json docs/performance-converters.png

echo
echo "== SSE2 path: 64-bit native against the 32-bit build under Wine (median us/frame)"
build/bench/bench/variant_timing 300 | grep -E "^64-bit SSE2" >build/bench/timing64.txt
tools/wine-run.sh build/bench-mingw/bench/variant_timing.exe 300 2>/dev/null | grep -E "^32-bit SSE2" >build/bench/timing32.txt
echo "| converter | size | 64-bit | 32-bit | 32/64 |"
echo "|---|---|---|---|---|"
paste build/bench/timing64.txt build/bench/timing32.txt |
    awk '{printf "| %s | %s | %s | %s | %.2f |\n", $2, $3, $4, $8, $8 / $4}'

echo
echo "== whole exports"
bench/export_bench.sh 200
