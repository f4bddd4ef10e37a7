#!/usr/bin/env bash
# The deep colour formats from video files: through the AviUtl 1.x module
# (YC48) and the ExEdit2 module (PA64), each file comes back as ffmpeg
# decodes it; the encoders read what comes out.
source "$(dirname "$0")/common.sh"
compare="$(dirname "$0")/compare_samples.py"

# name module size pix_fmt format check [filters]: a lossless file of
# testsrc2 in pix_fmt, exported as format, against ffmpeg's own decode.
round_trip() {
    local name=$1 module=$2 size=$3 pix_fmt=$4 format=$5 check=$6 filters=${7:-null}
    ffmpeg -v error -f lavfi -i "testsrc2=size=$size:rate=25" -frames:v 2 -vf "$filters" -pix_fmt "$pix_fmt" \
        -c:v ffv1 "$WORK/$name.mkv" || { fail "making $name"; return; }
    host "$WORK/$name.mkv" --plugin "$module" --format "$format" -o "$WORK/$name.y4m" 2>/dev/null ||
        { fail "export of $name"; return; }
    ffmpeg -v error -i "$WORK/$name.mkv" -f yuv4mpegpipe -strict -1 -pix_fmt "$pix_fmt" "$WORK/$name.ref.y4m"
    python3 "$compare" "$WORK/$name.y4m" "$WORK/$name.ref.y4m" "$check" >"$WORK/$name.txt" ||
        fail "$name: $(cat "$WORK/$name.txt")"
}

aviutl1="$(dirname "$Y4MHOST")/../yuv4mpeg2.so"
# From YC48: exact, but for 12 bits through BT.709 (YC48 holds 1/4096).
round_trip y422p10 "$aviutl1" 720x480 yuv422p10le 422p10 exact
round_trip y444p12 "$aviutl1" 720x480 yuv444p12le 444p12 exact
round_trip y420p10 "$aviutl1" 1280x720 yuv420p10le 420p10 exact scale=out_color_matrix=bt709
round_trip y420p12 "$aviutl1" 1280x720 yuv420p12le 420p12 one scale=out_color_matrix=bt709
round_trip y420 "$aviutl1" 640x480 yuv420p 420 exact

# From PA64: RGB kept within 10% to 90%, made Y'CbCr by the matrix for its
# height; exact wherever the pixels' colours are inside RGB's range.
levels=colorlevels=romin=0.1:gomin=0.1:bomin=0.1:romax=0.9:gomax=0.9:bomax=0.9
round_trip p420p10 "$EXEDIT2_MODULE" 1280x720 yuv420p10le 420p10 rgb "$levels,scale=out_color_matrix=bt709"
round_trip p422p10 "$EXEDIT2_MODULE" 1920x1080 yuv422p10le 422p10 rgb "$levels,scale=out_color_matrix=bt709"
round_trip p444p10 "$EXEDIT2_MODULE" 720x480 yuv444p10le 444p10 exact "$levels,scale=out_color_matrix=smpte170m"
round_trip q444p10 "$EXEDIT2_MODULE" 1280x720 yuv444p10le 444p10 exact "$levels,scale=out_color_matrix=bt709"

# The encoders read every deep file (SVT-AV1 takes 4:2:0 at 8 or 10 bits only).
for name in y422p10 y444p12 y420p10 y420p12 p444p10; do
    file="$WORK/$name.y4m"
    [ -s "$file" ] || continue
    ffmpeg -v error -i "$file" -f null - || fail "ffmpeg reading $name"
    x265 --input "$file" --frames 1 --preset ultrafast --output "$WORK/out.hevc" >/dev/null 2>&1 ||
        fail "x265 reading $name"
    aomenc --limit=1 --cpu-used=9 --ivf -o "$WORK/out.ivf" "$file" >/dev/null 2>&1 || fail "aomenc reading $name"
done
SvtAv1EncApp -i "$WORK/y420p10.y4m" -n 1 --preset 12 -b "$WORK/out.ivf" >/dev/null 2>&1 || fail "SvtAv1EncApp reading 420p10"
finish
