#!/usr/bin/env bash
# Frames of a real clip (ffmpeg's testsrc2) through the plug-in: 4:2:2 equals
# ffmpeg's own conversion byte for byte; 4:2:0 equals the per-sample model.
source "$(dirname "$0")/common.sh"
W=352 H=288 N=12
raw="$WORK/clip.yuy2"
ffmpeg -v error -f lavfi -i "testsrc2=size=${W}x${H}:rate=25" -frames:v $N -f rawvideo -pix_fmt yuyv422 "$raw"

# Through standard input, as a person pipes ffmpeg into the host.
ffmpeg -v error -f rawvideo -pix_fmt yuyv422 -s ${W}x${H} -i "$raw" -f rawvideo - |
    host --raw - --size ${W}x${H} --rate 25/1 --frames $N --format 422 -o "$WORK/422.y4m" 2>/dev/null ||
    fail "4:2:2 export from a pipe"
ffmpeg -v error -f rawvideo -pix_fmt yuyv422 -s ${W}x${H} -i "$raw" -pix_fmt yuv422p -f rawvideo "$WORK/ffmpeg422.yuv"
ffmpeg -v error -i "$WORK/422.y4m" -c:v rawvideo -f rawvideo "$WORK/ours422.yuv"
cmp -s "$WORK/ffmpeg422.yuv" "$WORK/ours422.yuv" || fail "4:2:2 frames differ from ffmpeg's yuv422p"
expect_eq "4:2:2 bytes" "$(stat -c %s "$WORK/ours422.yuv")" "$((W * H * 2 * N))"

for mode in "420 progressive 420" "420 tff 420i" "420 bff 420i" "422 bff 422"; do
    set -- $mode
    host --raw "$raw" --size ${W}x${H} --rate 25/1 --format "$1" --scan "$2" -o "$WORK/m.y4m" 2>/dev/null ||
        fail "export $mode"
    "$MODEL_CHECK" "$raw" "$WORK/m.y4m" $W $H "$3" >/dev/null || fail "model check $mode"
done
finish
