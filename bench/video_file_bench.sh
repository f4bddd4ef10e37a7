#!/usr/bin/env bash
# A real video file: 120 frames of 1080p H.264 decoded by y4mhost with
# FFmpeg's libraries and exported through the plug-in, against ffmpeg doing
# the same job, and decoding alone as the floor both stand on. Runs
# alternate between the commands, three of each; the median counts.
# Usage: bench/video_file_bench.sh   (needs the bench preset built)
set -euo pipefail
cd "$(dirname "$0")/.."
host=build/bench/y4mhost/y4mhost
shm=$(mktemp -d /dev/shm/y4m-bench-XXXXXX)
trap 'rm -rf "$shm"' EXIT
clip="$shm/clip.mp4"
frames=120
ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=30000/1001" -frames:v $frames -c:v libx264 \
    -pix_fmt yuv420p "$clip"

seconds() {  # COMMAND...: wall-clock seconds of one run
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "video_file_bench: failed: $*" >&2; return 1; }
    end=$(date +%s.%N)
    rm -f "$shm"/*.y4m
    echo "$end - $start" | bc -l
}
median() { printf '%s\n' "$@" | sort -g | sed -n 2p; }

ours=() theirs=() decode=()
for run in 1 2 3; do
    ours+=("$(seconds "$host" --quiet "$clip" -o "$shm/ours.y4m")")
    theirs+=("$(seconds ffmpeg -v error -y -i "$clip" -pix_fmt yuv420p -f yuv4mpegpipe "$shm/ffmpeg.y4m")")
    decode+=("$(seconds ffmpeg -v error -i "$clip" -f null -)")
    printf 'run %d: y4mhost %.3f s, ffmpeg %.3f s, decoding alone %.3f s\n' "$run" "${ours[-1]}" "${theirs[-1]}" \
        "${decode[-1]}"
done
ours_s=$(median "${ours[@]}") theirs_s=$(median "${theirs[@]}") decode_s=$(median "${decode[@]}")
echo
echo "| $frames frames of 1080p H.264 into /dev/shm (median of 3) | seconds | fps |"
echo "|---|---|---|"
printf '| y4mhost clip.mp4 -o out.y4m (decode ahead, exact YUY2, plug-in) | %.3f | %.1f |\n' "$ours_s" \
    "$(echo "$frames / $ours_s" | bc -l)"
printf '| ffmpeg -i clip.mp4 -pix_fmt yuv420p -f yuv4mpegpipe out.y4m | %.3f | %.1f |\n' "$theirs_s" \
    "$(echo "$frames / $theirs_s" | bc -l)"
printf '| ffmpeg decoding alone (-f null), the floor | %.3f | %.1f |\n' "$decode_s" \
    "$(echo "$frames / $decode_s" | bc -l)"
echo
printf 'y4mhost speed / ffmpeg speed on the clip: %.2fx\n' "$(echo "$theirs_s / $ours_s" | bc -l)"
