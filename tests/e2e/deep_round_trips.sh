#!/usr/bin/env bash
# The deep colour formats from video files: through the AviUtl 1.x module
# (YC48) and the ExEdit2 module (PA64), each file comes back as ffmpeg
# decodes it; the encoders read what comes out.
source "$(dirname "$0")/common.sh"
compare="$(dirname "$0")/compare_samples.py"

# name module size pix_fmt format check [filters] [range]: a lossless file
# of testsrc2 in pix_fmt (flagged full range when range is pc), exported as
# format, against ffmpeg's own decode brought to limited range in format.
round_trip() {
    local name=$1 module=$2 size=$3 pix_fmt=$4 format=$5 check=$6 filters=${7:-null} range=${8:-tv}
    ffmpeg -v error -f lavfi -i "testsrc2=size=$size:rate=25" -frames:v 2 -vf "$filters" -pix_fmt "$pix_fmt" \
        -color_range "$range" -c:v ffv1 "$WORK/$name.mkv" || { fail "making $name"; return; }
    host "$WORK/$name.mkv" --plugin "$module" --format "$format" -o "$WORK/$name.y4m" 2>"$WORK/$name.err" ||
        { fail "export of $name"; return; }
    local reference=yuv${format}p
    [ "${#format}" -gt 3 ] && reference=yuv${format}le
    ffmpeg -v error -i "$WORK/$name.mkv" -f yuv4mpegpipe -strict -1 -vf scale=out_range=tv -pix_fmt "$reference" \
        "$WORK/$name.ref.y4m"
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
# Full range, brought to limited range: within one code of ffmpeg at every
# size and in both modules (the 8-bit formats from YUY2 exactly).
round_trip f420p10 "$aviutl1" 1280x720 yuv420p 420p10 one null pc
round_trip f422p10 "$aviutl1" 1920x1080 yuv422p 422p10 one null pc
round_trip f444p12 "$aviutl1" 1280x720 yuv444p 444p12 one null pc
round_trip f444 "$aviutl1" 1280x720 yuv444p10le 444 one null pc
round_trip f420 "$aviutl1" 1920x1080 yuv420p 420 exact null pc
round_trip g420p10 "$EXEDIT2_MODULE" 1280x720 yuv420p 420p10 rgb-one null pc

# From PA64: RGB kept within 10% to 90%, made Y'CbCr by the matrix for its
# height; exact wherever the pixels' colours are inside RGB's range.
levels=colorlevels=romin=0.1:gomin=0.1:bomin=0.1:romax=0.9:gomax=0.9:bomax=0.9
round_trip p420p10 "$EXEDIT2_MODULE" 1280x720 yuv420p10le 420p10 rgb "$levels,scale=out_color_matrix=bt709"
round_trip p422p10 "$EXEDIT2_MODULE" 1920x1080 yuv422p10le 422p10 rgb "$levels,scale=out_color_matrix=bt709"
round_trip p444p10 "$EXEDIT2_MODULE" 720x480 yuv444p10le 444p10 exact "$levels,scale=out_color_matrix=smpte170m"
round_trip q444p10 "$EXEDIT2_MODULE" 1280x720 yuv444p10le 444p10 exact "$levels,scale=out_color_matrix=bt709"
# Saturated, the colours RGB cannot hold are clipped, and the summary counts them.
round_trip s444p10 "$EXEDIT2_MODULE" 1280x720 yuv444p10le 444p10 rgb
grep -q "; [0-9.]*% of pixels were outside RGB's range and were clipped, as ExEdit2 does" "$WORK/s444p10.err" ||
    fail "no clip count for a saturated source: $(cat "$WORK/s444p10.err")"
grep -q "clipped" "$WORK/q444p10.err" "$WORK/p444p10.err" && fail "a clip count for an in-gamut source"
# An RGB source has nothing outside RGB (its own pure colours round past 0 and 65535 on the way only).
ffmpeg -v error -f lavfi -i "testsrc2=size=1280x720:rate=25" -frames:v 1 -pix_fmt rgb24 -c:v ffv1 "$WORK/rgbt.mkv" &&
    host "$WORK/rgbt.mkv" --plugin "$EXEDIT2_MODULE" --format 444p10 -o "$WORK/rgbt.y4m" 2>"$WORK/rgbt.err" &&
    ! grep -q "clipped" "$WORK/rgbt.err" || fail "an RGB source said to be clipped: $(cat "$WORK/rgbt.err")"

# Flat full-range colours from MJPEG: grey stays neutral at every depth.
for module in "$aviutl1" "$EXEDIT2_MODULE"; do
    ffmpeg -v error -y -f lavfi -i color=c=gray:size=1280x720:rate=30 -frames:v 2 -pix_fmt yuvj420p -c:v mjpeg \
        "$WORK/grey.avi" || fail "making the grey MJPEG file"
    for format in 420p10:yuv420p10le 444p12:yuv444p12le; do
        host "$WORK/grey.avi" --plugin "$module" --format "${format%:*}" -o "$WORK/grey.y4m" 2>/dev/null &&
            ffmpeg -v error -y -i "$WORK/grey.avi" -vf scale=out_range=tv -pix_fmt "${format#*:}" -strict -1 \
                "$WORK/grey.ref.y4m" && python3 "$compare" "$WORK/grey.y4m" "$WORK/grey.ref.y4m" exact >/dev/null ||
            fail "full-range grey as ${format%:*} through $module is not ffmpeg's neutral grey"
    done
done

# An RGB source is coded with the matrix of its height in every format, 8-bit 4:2:0 included.
ffmpeg -v error -f lavfi -i color=c=0x40a0e0:size=1280x720:rate=25 -frames:v 2 -pix_fmt rgb24 -c:v ffv1 \
    "$WORK/rgb.mkv" || fail "making the RGB file"
for format in 420:yuv420p 444:yuv444p 420p10:yuv420p10le; do
    host "$WORK/rgb.mkv" --format "${format%:*}" -o "$WORK/rgb.y4m" 2>/dev/null &&
        ffmpeg -v error -y -i "$WORK/rgb.mkv" -vf scale=out_color_matrix=bt709:out_range=tv -pix_fmt "${format#*:}" \
            -strict -1 "$WORK/rgb.ref.y4m" && python3 "$compare" "$WORK/rgb.y4m" "$WORK/rgb.ref.y4m" one >/dev/null ||
        fail "an RGB source as ${format%:*} is not BT.709 at 720 lines"
done

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
