#!/usr/bin/env bash
# Whole 1920x1080 4:2:0 exports through the plug-in (driven by y4mhost), beside
# ffmpeg doing the same job and beside the floor that writing alone sets.
# Usage: bench/export_bench.sh [FRAMES]   (needs the bench preset built)
set -euo pipefail
cd "$(dirname "$0")/.."
frames="${1:-200}"
host=build/bench/y4mhost/y4mhost
floor=build/bench/bench/write_floor
shm=$(mktemp -d /dev/shm/y4m-bench-XXXXXX)
trap 'rm -rf "$shm"' EXIT
raw="$shm/input.yuy2"
ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=30000/1001" -frames:v "$frames" \
    -f rawvideo -pix_fmt yuyv422 "$raw"

# Best of three wall-clock runs, as frames per second: best_fps FRAMES COMMAND...
# A command that fails stops the benchmark rather than timing its failure.
best_fps() {
    local count=$1 best=0 start end fps
    shift
    for _ in 1 2 3; do
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || { echo "export_bench: failed: $*" >&2; return 1; }
        end=$(date +%s.%N)
        fps=$(echo "$count / ($end - $start)" | bc -l)
        best=$(echo "if ($fps > $best) $fps else $best" | bc -l)
        rm -f "$shm"/*.y4m
    done
    printf '%.1f' "$best"
}

ffmpeg_shm=$(best_fps "$frames" ffmpeg -v error -y -f rawvideo -pix_fmt yuyv422 -s 1920x1080 -r 30000/1001 -i "$raw" \
    -pix_fmt yuv420p -f yuv4mpegpipe "$shm/ffmpeg.y4m")
ours_raw_shm=$(best_fps "$frames" "$host" --quiet -y --raw "$raw" --size 1920x1080 --rate 30000/1001 --format 420 \
    -o "$shm/ours.y4m")
# The 32-bit module users run (its AVX2 path here), through the Windows host
# under Wine; n/a where this machine runs no 32-bit programs.
source tools/i386-programs.sh
i386_programs
module_raw_shm=n/a
if [ "$I386_PROGRAMS" != no ]; then
    module_raw_shm=$(best_fps "$frames" tools/wine-run.sh build/bench-mingw/y4mhost/y4mhost.exe \
        --plugin build/bench-mingw/yuv4mpeg2.auo --quiet -y --raw "Z:$raw" --size 1920x1080 --rate 30000/1001 \
        --format 420 -o "Z:$shm/module.y4m")
fi
# The 64-bit ExEdit2 module through the 64-bit Windows host, as ExEdit2 calls it.
module2_raw_shm=$(best_fps "$frames" tools/wine-run.sh build/bench-mingw64/y4mhost/y4mhost.exe \
    --plugin build/bench-mingw64/yuv4mpeg2.auo2 --quiet -y --raw "Z:$raw" --size 1920x1080 --rate 30000/1001 --format 420 \
    -o "Z:$shm/module2.y4m")
ours_shm=$(best_fps "$frames" "$host" --quiet -y --still --frames "$frames" --size 1920x1080 --format 420 -o "$shm/still.y4m")
ours_null=$(best_fps "$frames" "$host" --quiet -y --still --frames "$frames" --size 1920x1080 --format 420 -o /dev/null)
floor_shm=$(best_fps "$frames" "$floor" "$shm/floor.y4m" 1920 1080 "$frames")
floor_null=$(best_fps "$frames" "$floor" /dev/null 1920 1080 "$frames")

ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }
echo "| export of $frames frames, 1920x1080 4:2:0 | into /dev/shm (fps) | into /dev/null (fps) |"
echo "|---|---|---|"
echo "| ffmpeg, raw yuyv422 file to yuv4mpegpipe | $ffmpeg_shm | |"
echo "| 32-bit module (.auo) via y4mhost.exe under Wine, same raw file | $module_raw_shm | |"
echo "| 64-bit ExEdit2 module (.auo2) via the 64-bit y4mhost.exe under Wine, same raw file | $module2_raw_shm | |"
echo "| plug-in (64-bit native) via y4mhost, same raw file | $ours_raw_shm | |"
echo "| plug-in via y4mhost, frames from memory | $ours_shm | $ours_null |"
echo "| floor: the same writes, no conversion | $floor_shm | $floor_null |"
echo
[ "$module_raw_shm" = n/a ] ||
    echo "32-bit module (same raw file, the same job as ffmpeg's) / ffmpeg: $(ratio "$module_raw_shm" "$ffmpeg_shm")x"
echo ".auo2 (same raw file) / ffmpeg: $(ratio "$module2_raw_shm" "$ffmpeg_shm")x"
echo "64-bit plug-in (same raw file) / ffmpeg: $(ratio "$ours_raw_shm" "$ffmpeg_shm")x"
echo "plug-in (frames from memory: a different job, no input file read) / ffmpeg: $(ratio "$ours_shm" "$ffmpeg_shm")x"
echo "plug-in / floor into /dev/shm: $(ratio "$ours_shm" "$floor_shm")"
echo "plug-in / floor into /dev/null: $(ratio "$ours_null" "$floor_null")"

# A real video file: bench/video_file_bench.sh.
