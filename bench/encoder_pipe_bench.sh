#!/usr/bin/env bash
# The export into an encoder's standard input against the export into a file:
#  1. 1920x1080 4:2:0 and 4:2:0 10-bit through the plug-in (y4mhost, raw YUY2
#     or the pattern) into a pipe whose reader discards, beside the same
#     export into a file on /dev/shm: what the pipe costs the export;
#  2. x265 --preset ultrafast fed by y4mhost and the plug-in, beside x265
#     reading the same stream from a file on /dev/shm: what the pipe costs the
#     encoder (goal: at most 10%).
# Medians of five runs, the two sides alternating.
# Usage: bench/encoder_pipe_bench.sh [FRAMES]   (needs the bench preset built)
set -euo pipefail
cd "$(dirname "$0")/.."
frames="${1:-200}"
host=build/bench/y4mhost/y4mhost
shm=$(mktemp -d /dev/shm/y4m-pipe-XXXXXX)
trap 'rm -rf "$shm"' EXIT
raw="$shm/input.yuy2"
ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=30000/1001" -frames:v "$frames" \
    -f rawvideo -pix_fmt yuyv422 "$raw"

seconds() {  # COMMAND...: wall-clock seconds; a failure stops the benchmark
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "encoder_pipe_bench: failed: $*" >&2; exit 1; }
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
median() { sort -g | sed -n 3p; }

printf '%-34s %10s %10s %7s\n' "export of $frames frames, 1080p" "file s" "pipe s" "pipe/file"
for format in 420 420p10; do
    : >"$shm/file.t"
    : >"$shm/pipe.t"
    for _ in 1 2 3 4 5; do
        seconds "$host" --quiet -y --raw "$raw" --size 1920x1080 --rate 30000/1001 --format "$format" \
            -o "$shm/out.y4m" >>"$shm/file.t"
        rm -f "$shm/out.y4m"
        seconds "$host" --quiet --raw "$raw" --size 1920x1080 --rate 30000/1001 --format "$format" \
            -o "$shm/out.y4m" --encoder "/bin/dd of=/dev/null bs=1M status=none" >>"$shm/pipe.t"
    done
    file=$(median <"$shm/file.t")
    pipe=$(median <"$shm/pipe.t")
    printf '%-34s %10.3f %10.3f %7.2f\n' "$format into a discarding reader" "$file" "$pipe" "$(echo "$pipe / $file" | bc -l)"
done

echo
x265_frames=$((frames < 120 ? frames : 120))
"$host" --quiet -y --raw "$raw" --size 1920x1080 --rate 30000/1001 --format 420 --frames "$x265_frames" \
    -o "$shm/x265-input.y4m" 2>/dev/null
: >"$shm/file.t"
: >"$shm/pipe.t"
for _ in 1 2 3 4 5; do
    seconds x265 --preset ultrafast --log-level none --input "$shm/x265-input.y4m" -o "$shm/file.hevc" >>"$shm/file.t"
    seconds "$host" --quiet --raw "$raw" --size 1920x1080 --rate 30000/1001 --format 420 --frames "$x265_frames" \
        -o "$shm/pipe.hevc" --encoder "x265 --preset ultrafast --log-level none --y4m --input - -o {output}" \
        >>"$shm/pipe.t"
done
file=$(median <"$shm/file.t")
pipe=$(median <"$shm/pipe.t")
printf '%-34s %10s %10s %7s\n' "x265 ultrafast, $x265_frames frames 1080p" "file s" "pipe s" "pipe/file"
printf '%-34s %10.3f %10.3f %7.2f\n' "y4m from /dev/shm / from the plug-in" "$file" "$pipe" "$(echo "$pipe / $file" | bc -l)"
