#!/usr/bin/env bash
# Video files through y4mhost with no option but -o: decoded with FFmpeg's
# libraries, geometry, rate, frame count, field order and aspect read from
# the file. A lossless 4:2:2 clip (interlaced-flagged) and a progressive
# 4:2:0 H.264 clip come out equal to ffmpeg's own decode, and a variable-rate
# clip frame for frame equal to ffmpeg's constant-rate output.
source "$(dirname "$0")/common.sh"

ffmpeg -v error -f lavfi -i "testsrc2=size=352x288:rate=30000/1001" -t 2 -vf setfield=tff -pix_fmt yuv422p \
    -flags +ildct+ilme -c:v ffv1 "$WORK/clip.mkv" || fail "making the FFV1 clip"
host "$WORK/clip.mkv" --format 422 -o "$WORK/clip.y4m" 2>/dev/null || fail "export of the FFV1 clip"
expect_eq "header" "$(head -n 1 "$WORK/clip.y4m")" "YUV4MPEG2 W352 H288 F30000:1001 It A0:0 C422 XYSCSS=422"
ffmpeg -v error -i "$WORK/clip.mkv" -f rawvideo -pix_fmt yuv422p "$WORK/ffmpeg.yuv"
ffmpeg -v error -i "$WORK/clip.y4m" -f rawvideo "$WORK/ours.yuv"
expect_eq "frames" "$(probe "$WORK/clip.y4m" nb_read_frames)" "60"
cmp -s "$WORK/ffmpeg.yuv" "$WORK/ours.yuv" || fail "4:2:2 frames differ from ffmpeg's decode"

ffmpeg -v error -f lavfi -i "testsrc2=size=640x360:rate=25" -frames:v 30 -c:v libx264 -pix_fmt yuv420p \
    "$WORK/h264.mp4" || fail "making the H.264 clip"
host "$WORK/h264.mp4" -o "$WORK/h264.y4m" 2>/dev/null || fail "export of the H.264 clip"
ffmpeg -v error -i "$WORK/h264.mp4" -f rawvideo -pix_fmt yuv420p "$WORK/ffmpeg420.yuv"
ffmpeg -v error -i "$WORK/h264.y4m" -f rawvideo "$WORK/ours420.yuv"
cmp -s "$WORK/ffmpeg420.yuv" "$WORK/ours420.yuv" || fail "4:2:0 frames differ from ffmpeg's decode"

# 1 s at 30 fps, then 3 s at 10 fps: 60 pictures on 4 s, 120 frames at 30/1.
ffmpeg -v error -f lavfi -i "testsrc2=size=320x240:rate=30" -frames:v 60 \
    -vf "setpts='if(lt(N,30),N/30,1+(N-30)/10)/TB'" -fps_mode passthrough -c:v libx264 -pix_fmt yuv420p \
    "$WORK/vfr.mp4" || fail "making the variable-rate clip"
host "$WORK/vfr.mp4" -o "$WORK/vfr.y4m" 2>"$WORK/vfr.err" || fail "export of the variable-rate clip"
grep -q "the 60 pictures laid on 1[12][0-9] frames" "$WORK/vfr.err" || fail "no word of the repeated pictures: $(cat "$WORK/vfr.err")"
ffmpeg -v error -i "$WORK/vfr.mp4" -fps_mode cfr -r 30 -pix_fmt yuv420p -f framemd5 "$WORK/ffmpeg.md5"
ffmpeg -v error -i "$WORK/vfr.y4m" -f framemd5 "$WORK/ours.md5"
ours=$(grep -vc '^#' "$WORK/ours.md5")
[ "$ours" -ge 119 ] && [ "$ours" -le 121 ] || fail "variable-rate clip gave $ours frames, not 120 (±1)"
paste -d' ' <(grep -v '^#' "$WORK/ffmpeg.md5" | awk -F, '{print $NF}') \
            <(grep -v '^#' "$WORK/ours.md5" | awk -F, '{print $NF}') |
    awk 'NF == 2 && $1 != $2 { bad++ } END { exit bad > 0 }' ||
    fail "variable-rate frames differ from ffmpeg's constant-rate output"

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
