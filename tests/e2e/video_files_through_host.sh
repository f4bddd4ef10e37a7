#!/usr/bin/env bash
# Video files through y4mhost with no option but -o: decoded with FFmpeg's
# libraries, geometry, rate, frame count, field order and aspect read from
# the file. A lossless 4:2:2 clip comes out equal to ffmpeg's own decode.
source "$(dirname "$0")/common.sh"

ffmpeg -v error -f lavfi -i "testsrc2=size=352x288:rate=30000/1001" -t 2 -pix_fmt yuv422p -c:v ffv1 \
    "$WORK/clip.mkv" || fail "making the FFV1 clip"
host "$WORK/clip.mkv" --format 422 -o "$WORK/clip.y4m" 2>/dev/null || fail "export of the FFV1 clip"
expect_eq "header" "$(head -n 1 "$WORK/clip.y4m")" "YUV4MPEG2 W352 H288 F30000:1001 Ip A0:0 C422 XYSCSS=422"
ffmpeg -v error -i "$WORK/clip.mkv" -f rawvideo -pix_fmt yuv422p "$WORK/ffmpeg.yuv"
ffmpeg -v error -i "$WORK/clip.y4m" -f rawvideo "$WORK/ours.yuv"
expect_eq "frames" "$(probe "$WORK/clip.y4m" nb_read_frames)" "60"
cmp -s "$WORK/ffmpeg.yuv" "$WORK/ours.yuv" || fail "4:2:2 frames differ from ffmpeg's decode"

# Interlaced and non-square pixels, from the file alone.
ffmpeg -v error -f lavfi -i "testsrc2=size=720x480:rate=30000/1001" -frames:v 4 -vf setsar=32/27,setfield=tff \
    -flags +ildct+ilme -c:v ffv1 "$WORK/tff.mkv" || fail "making the interlaced clip"
host "$WORK/tff.mkv" -o "$WORK/tff.y4m" 2>/dev/null || fail "export of the interlaced clip"
expect_eq "interlaced header" "$(head -n 1 "$WORK/tff.y4m")" \
    "YUV4MPEG2 W720 H480 F30000:1001 It A32:27 C420mpeg2 XYSCSS=420MPEG2"
ffmpeg -v error -f lavfi -i "testsrc2=size=720x576:rate=25" -frames:v 4 -vf setsar=16/15,setfield=bff \
    -flags +ildct+ilme -c:v mpeg2video "$WORK/bff.mpg" || fail "making the MPEG-2 clip"
host "$WORK/bff.mpg" --format 422 -o "$WORK/bff.y4m" 2>/dev/null || fail "export of the MPEG-2 clip"
expect_eq "bottom field first header" "$(head -n 1 "$WORK/bff.y4m")" \
    "YUV4MPEG2 W720 H576 F25:1 Ib A16:15 C422 XYSCSS=422"
finish
