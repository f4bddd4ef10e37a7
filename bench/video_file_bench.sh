#!/usr/bin/env bash
# Real video files decoded by y4mhost with FFmpeg's libraries and exported
# through the plug-in, against ffmpeg doing the same job and decoding alone
# as the floor both stand on: 120 frames of 1080p H.264 to 8-bit 4:2:0, and
# 60 frames of 1080p 10-bit HEVC, 4:2:0 to 420p10 and 4:4:4 to 444p10 (the
# file's own layout, so ffmpeg only decodes and writes), through the AviUtl
# 1.x module (YC48) and the ExEdit2 module (PA64). Runs alternate between
# the commands, five of each; the median counts. The deep lines add the
# bound: ffmpeg's time plus one pass over the precise pictures (a copy of
# each), the least any host that makes them could take.
# Usage: bench/video_file_bench.sh   (needs the bench preset built)
set -euo pipefail
cd "$(dirname "$0")/.."
host=build/bench/y4mhost/y4mhost
shm=$(mktemp -d /dev/shm/y4m-bench-XXXXXX)
trap 'rm -rf "$shm"' EXIT
runs=5

seconds() {  # COMMAND...: wall-clock seconds of one run
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "video_file_bench: failed: $*" >&2; return 1; }
    end=$(date +%s.%N)
    rm -f "$shm"/*.y4m
    echo "$end - $start" | bc -l
}
median() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }
ratio() { echo "$1 / $2" | bc -l; }

# One pass over FRAMES precise pictures of 1080p, BYTES a pixel: the kernel
# fills a buffer of a picture's size once per picture (dd from /dev/zero).
pass_seconds() {  # FRAMES BYTES
    seconds dd if=/dev/zero of=/dev/null bs=$((1920 * 1080 * $2)) count="$1"
}

clip="$shm/clip.mp4"
frames=120
ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=30000/1001" -frames:v $frames -c:v libx264 \
    -pix_fmt yuv420p "$clip"
ours=() theirs=() decode=()
for _ in $(seq $runs); do
    ours+=("$(seconds "$host" --quiet "$clip" -o "$shm/ours.y4m")")
    theirs+=("$(seconds ffmpeg -v error -y -i "$clip" -pix_fmt yuv420p -f yuv4mpegpipe "$shm/ffmpeg.y4m")")
    decode+=("$(seconds ffmpeg -v error -i "$clip" -f null -)")
done
ours_s=$(median "${ours[@]}") theirs_s=$(median "${theirs[@]}") decode_s=$(median "${decode[@]}")
echo "| $frames frames of 1080p H.264 into /dev/shm (median of $runs) | seconds | fps |"
echo "|---|---|---|"
printf '| y4mhost clip.mp4 -o out.y4m (decode ahead, exact YUY2, plug-in) | %.3f | %.1f |\n' "$ours_s" \
    "$(ratio $frames "$ours_s")"
printf '| ffmpeg -i clip.mp4 -pix_fmt yuv420p -f yuv4mpegpipe out.y4m | %.3f | %.1f |\n' "$theirs_s" \
    "$(ratio $frames "$theirs_s")"
printf '| ffmpeg decoding alone (-f null), the floor | %.3f | %.1f |\n' "$decode_s" "$(ratio $frames "$decode_s")"
printf '\ny4mhost speed / ffmpeg speed on the clip: %.2fx\n\n' "$(ratio "$theirs_s" "$ours_s")"

frames=60
echo "| $frames frames of 1080p 10-bit HEVC into /dev/shm (median of $runs) | seconds | / ffmpeg's speed | / the bound's |"
echo "|---|---|---|---|"
for layout in 420 444; do
    file="$shm/hevc$layout.mkv"
    ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=30000/1001" -frames:v $frames -c:v libx265 \
        -preset ultrafast -x265-params log-level=error -pix_fmt "yuv${layout}p10le" "$file"
    yc48=() pa64=() theirs=()
    for _ in $(seq $runs); do
        yc48+=("$(seconds "$host" --quiet "$file" --format "${layout}p10" --plugin build/bench/yuv4mpeg2.so \
            -o "$shm/yc48.y4m")")
        pa64+=("$(seconds "$host" --quiet "$file" --format "${layout}p10" --plugin build/bench/yuv4mpeg2.auo2 \
            -o "$shm/pa64.y4m")")
        theirs+=("$(seconds ffmpeg -v error -y -i "$file" -pix_fmt "yuv${layout}p10le" -strict -1 \
            -f yuv4mpegpipe "$shm/ffmpeg.y4m")")
    done
    yc48_s=$(median "${yc48[@]}") pa64_s=$(median "${pa64[@]}") theirs_s=$(median "${theirs[@]}")
    bound6=$(echo "$theirs_s + $(pass_seconds $frames 6)" | bc -l)
    bound8=$(echo "$theirs_s + $(pass_seconds $frames 8)" | bc -l)
    printf '| ffmpeg -i hevc%s.mkv -pix_fmt yuv%sp10le -f yuv4mpegpipe | %.3f | 1.00 | |\n' "$layout" "$layout" \
        "$theirs_s"
    printf '| y4mhost --format %sp10, AviUtl 1.x module (YC48) | %.3f | %.2fx | %.2fx |\n' "$layout" "$yc48_s" \
        "$(ratio "$theirs_s" "$yc48_s")" "$(ratio "$bound6" "$yc48_s")"
    printf '| y4mhost --format %sp10, ExEdit2 module (PA64) | %.3f | %.2fx | %.2fx |\n' "$layout" "$pa64_s" \
        "$(ratio "$theirs_s" "$pa64_s")" "$(ratio "$bound8" "$pa64_s")"
done
