#!/usr/bin/env bash
# What a user meets with real files: the output named as the input, a damaged
# stream, a deeper or full-range source, a new rate. Each case a line.
source "$(dirname "$0")/common.sh"
same() { cmp -s "$1" "$2"; }
frames_equal() { # ours.y4m, then ffmpeg's arguments for the same frames
    local ours=$1
    shift
    ffmpeg -v error -i "$ours" -f rawvideo -y "$WORK/ours.yuv" &&
        ffmpeg -v error "$@" -f rawvideo -y "$WORK/theirs.yuv" && same "$WORK/ours.yuv" "$WORK/theirs.yuv"
}
mk() { ffmpeg -v error -y -f lavfi -i "testsrc2=size=${2}:rate=${3}" -frames:v "$4" "${@:5}" "$WORK/$1"; }
mk in.mp4 320x240 30000/1001 30 -c:v libx264 -pix_fmt yuv420p
mk p10.mkv 320x240 25 10 -c:v ffv1 -pix_fmt yuv420p10le
mk full.avi 320x240 25 5 -c:v mjpeg -pix_fmt yuvj422p
mk long.mp4 320x240 25 120 -c:v libx264 -pix_fmt yuv420p -g 30
python3 - "$WORK/long.mp4" "$WORK/damaged.mp4" <<'PY'
import random, sys
data = bytearray(open(sys.argv[1], 'rb').read())
random.seed(1)
for start in (len(data) // 5, len(data) * 3 // 5):  # 300 bytes of noise in two places
    for i in range(start, start + 300): data[i] = random.randrange(256)
open(sys.argv[2], 'wb').write(data)
PY
cp "$WORK/in.mp4" "$WORK/v.mp4" && cp "$WORK/in.mp4" "$WORK/keep.mp4"
ln -s v.mp4 "$WORK/link.mp4" && ln "$WORK/v.mp4" "$WORK/hard.mp4"

# The output is the input: refused (2) before anything is opened for writing.
host "$WORK/v.mp4" -o "$WORK/v.mp4" 2>/dev/null; expect_eq "same file" "$?:$(same "$WORK/v.mp4" "$WORK/keep.mp4"; echo $?)" "2:0"
host "$WORK/v.mp4" -o "$WORK/link.mp4" 2>/dev/null; expect_eq "through a link" "$?:$(same "$WORK/v.mp4" "$WORK/keep.mp4"; echo $?)" "2:0"
host "$WORK/link.mp4" -o "$WORK/hard.mp4" 2>/dev/null; expect_eq "a hard link" "$?:$(same "$WORK/v.mp4" "$WORK/keep.mp4"; echo $?)" "2:0"
host "$WORK/v.mp4" -o "$WORK/x.y4m" --save-settings "$WORK/v.mp4" 2>/dev/null; expect_eq "settings over the input" "$?:$(same "$WORK/v.mp4" "$WORK/keep.mp4"; echo $?)" "2:0"

# An existing output is kept without -y (2, its bytes unchanged) and replaced with it; a FIFO or a device is no file.
"$Y4MHOST" --quiet "$WORK/v.mp4" -o "$WORK/keep.mp4" 2>"$WORK/err"
expect_eq "existing output" "$?:$(same "$WORK/v.mp4" "$WORK/keep.mp4"; echo $?):$(grep -c "keep.mp4 exists: give -y" "$WORK/err")" "2:0:1"
"$Y4MHOST" --quiet "$WORK/v.mp4" --frames 2 -o "$WORK/keep.mp4" -y 2>/dev/null
expect_eq "replaced with -y" "$?:$(head -c 9 "$WORK/keep.mp4")" "0:YUV4MPEG2"
mkfifo "$WORK/fifo" && { cat "$WORK/fifo" >/dev/null & }
"$Y4MHOST" --quiet --size 16x16 --frames 2 -o "$WORK/fifo" 2>/dev/null; expect_eq "a FIFO" "$?" "0"
"$Y4MHOST" --quiet --size 16x16 --frames 2 -o /dev/null 2>/dev/null; expect_eq "a device" "$?" "0"

# A damaged stream: every picture ffmpeg decodes, concealed, and the summary says so.
host "$WORK/damaged.mp4" -o "$WORK/damaged.y4m" 2>"$WORK/err" || fail "damaged stream: $(cat "$WORK/err")"
grep -q "damaged packets" "$WORK/err" || fail "no word of the damage: $(cat "$WORK/err")"
ffmpeg -v quiet -i "$WORK/damaged.mp4" -pix_fmt yuv420p -f yuv4mpegpipe "$WORK/ffmpeg-damaged.y4m"
expect_eq "damaged stream frames" "$(probe "$WORK/damaged.y4m" nb_read_frames)" "$(probe "$WORK/ffmpeg-damaged.y4m" nb_read_frames)"

# Deeper than the format: brought to 8 bits at its own layout as ffmpeg does, and said.
host "$WORK/p10.mkv" --format 420 -o "$WORK/p10.y4m" 2>"$WORK/err" && frames_equal "$WORK/p10.y4m" -i "$WORK/p10.mkv" -pix_fmt yuv420p || fail "10-bit 4:2:0 as 420 differs from ffmpeg -pix_fmt yuv420p"
grep -q "yuv420p10le, limited range" "$WORK/err" && grep -q "depth goes down from 10 to 8 bits" "$WORK/err" || fail "the depth not said: $(cat "$WORK/err")"
# Full range: brought to limited range, and said.
host "$WORK/full.avi" --format 422 -o "$WORK/full.y4m" 2>"$WORK/err" && frames_equal "$WORK/full.y4m" -i "$WORK/full.avi" -vf scale=out_range=tv -pix_fmt yuv422p || fail "full-range MJPEG not brought to limited range as ffmpeg brings it"
grep -q "full range brought to limited range" "$WORK/err" || fail "the range not said: $(cat "$WORK/err")"
# A layout the format does not keep: said.
host "$WORK/full.avi" --format 420 -o "$WORK/full420.y4m" 2>"$WORK/err"; grep -q "4:2:2 becomes 4:2:0" "$WORK/err" || fail "the layout change not said: $(cat "$WORK/err")"
# An odd width in 4:2:0, the format taken from the file: the line says what works, and it does.
mk odd.mkv 853x480 25 2 -vf format=rgb24,scale=853:480,format=yuv420p -c:v ffv1
host "$WORK/odd.mkv" -o "$WORK/odd.y4m" 2>"$WORK/err"; expect_eq "odd width from the file" "$?" "1"
grep -q "4:2:0 needs an even width: give --format 444 (any size), or --size 852x480" "$WORK/err" || fail "no hint for the odd width: $(cat "$WORK/err")"
host "$WORK/odd.mkv" --format 444 -o "$WORK/odd.y4m" 2>/dev/null || fail "the odd width as 444"
# Colour tags a .y4m cannot carry (BT.2020, PQ): named, with what to tell the encoder.
mk hdr.mkv 640x360 25 2 -pix_fmt yuv420p10le -color_primaries bt2020 -color_trc smpte2084 -colorspace bt2020nc -c:v ffv1
host "$WORK/hdr.mkv" -o "$WORK/hdr.y4m" 2>"$WORK/err"
grep -q "tagged matrix bt2020nc, primaries bt2020, transfer smpte2084: its samples keep that coding.*--colormatrix bt2020nc --colorprim bt2020 --transfer smpte2084" "$WORK/err" || fail "the colour tags not said: $(cat "$WORK/err")"
# A new rate lays the file on it, as ffmpeg -r with constant-rate output.
host "$WORK/in.mp4" --rate 60 -o "$WORK/r60.y4m" 2>"$WORK/err" && frames_equal "$WORK/r60.y4m" -i "$WORK/in.mp4" -r 60 -fps_mode cfr -pix_fmt yuv420p || fail "--rate 60 differs from ffmpeg -r 60"
grep -q "exporting 320x240, 60/1 fps, 60 frames" "$WORK/err" || fail "the line before the export: $(cat "$WORK/err")"
finish
