#!/usr/bin/env bash
# The Windows build of y4mhost drives the real module under Wine (the 32-bit
# host the .auo through AviUtl 1.x's interface, the 64-bit one the .auo2
# through ExEdit2's): ffprobe reads each mode, 4:2:2 frames of a real clip
# equal ffmpeg's conversion, the deep formats equal the native build's
# ($NATIVE_HOST with $NATIVE_MODULE), and the settings blob goes in and out.
# Skipped (77) where the host is a 32-bit program and the machine runs none.
"$WINE_RUN" --check "$Y4MHOST_EXE" || exit
source "$(dirname "$0")/common.sh"
winhost() { "$WINE_RUN" "$Y4MHOST_EXE" --quiet -y --plugin "$MODULE" "$@"; }
W=352 H=288 N=8
raw="$WORK/clip.yuy2"
ffmpeg -v error -f lavfi -i "testsrc2=size=${W}x${H}:rate=25" -frames:v $N -f rawvideo -pix_fmt yuyv422 "$raw"

winhost --raw "$raw" --size ${W}x${H} --rate 25/1 --format 422 -o "$WORK/422.y4m" 2>"$WORK/err" ||
    fail "4:2:2 export under Wine: $(cat "$WORK/err")"
ffmpeg -v error -f rawvideo -pix_fmt yuyv422 -s ${W}x${H} -i "$raw" -pix_fmt yuv422p -f rawvideo "$WORK/ffmpeg422.yuv"
ffmpeg -v error -i "$WORK/422.y4m" -c:v rawvideo -f rawvideo "$WORK/ours422.yuv"
cmp -s "$WORK/ffmpeg422.yuv" "$WORK/ours422.yuv" || fail "4:2:2 frames differ from ffmpeg's yuv422p"

winhost --size 720x480 --frames 6 --format 420 --scan bff --aspect 16:9 -o "$WORK/bff.y4m" 2>"$WORK/err" ||
    fail "pattern export under Wine: $(cat "$WORK/err")"
expect_eq "4:2:0 bff" "$(probe "$WORK/bff.y4m" width,height,pix_fmt,field_order,sample_aspect_ratio,nb_read_frames)" \
    "720,480,32:27,yuv420p,bb,6"

# The pattern in every deep format (YC48 from the 32-bit host, PA64 from the
# 64-bit one), below and above 720 lines: the native build's bytes.
[ -x "$NATIVE_HOST" ] && [ -f "$NATIVE_MODULE" ] || fail "no native build to compare with: build the native preset first"
for format in 444 420p10 422p10 444p10 420p12 422p12 444p12; do
    for size in 352x288 1280x720; do
        winhost --size $size --frames 3 --format $format --scan tff -o "$WORK/deep.y4m" 2>"$WORK/err" ||
            fail "$format $size under Wine: $(cat "$WORK/err")"
        "$NATIVE_HOST" --quiet -y --plugin "$NATIVE_MODULE" --size $size --frames 3 --format $format --scan tff \
            -o "$WORK/native.y4m" 2>"$WORK/err" || fail "$format $size natively: $(cat "$WORK/err")"
        cmp -s "$WORK/deep.y4m" "$WORK/native.y4m" || fail "$format $size: Wine and native builds wrote different bytes"
    done
done

# A refused request: status 1, and the module's report reaches stderr.
winhost --size 641x480 --frames 1 -o "$WORK/odd.y4m" 2>"$WORK/err"
expect_eq "odd width status" "$?" "1"
[ -e "$WORK/odd.y4m" ] && fail "a refused export created its file"
# The 20-byte settings go in and come out unchanged (through the blob
# functions or the project ones).
printf '\001\000\000\000\003\000\000\000\012\000\000\000\013\000\000\000\002\000\000\000' >"$WORK/in.blob"
winhost --size 64x32 --frames 2 --settings "$WORK/in.blob" --save-settings "$WORK/out.blob" -o "$WORK/blob.y4m" \
    2>"$WORK/err" || fail "export with --settings: $(cat "$WORK/err")"
cmp -s "$WORK/in.blob" "$WORK/out.blob" || fail "the settings blob did not come back unchanged"
expect_eq "header from the blob" "$(head -c 60 "$WORK/blob.y4m" | head -n 1)" "YUV4MPEG2 W64 H32 F30000:1001 Ib A10:11 C422 XYSCSS=422"

# Into a Windows program's standard input ($TEST_ENCODER, which copies what
# it reads, stops early or fails on request): the file export's bytes, and
# each failure told with the program's status and last log line.
winpath() { echo "Z:$1" | tr / '\\'; }
encoder=$(winpath "$TEST_ENCODER")
for format in 420 444p12; do
    winhost --size 96x64 --frames 5 --format $format -o "$WORK/file.y4m" 2>/dev/null || fail "file export $format"
    winhost --size 96x64 --frames 5 --format $format -o "$(winpath "$WORK/pipe.y4m")" \
        --encoder "$encoder copy {output_noext}.copy" 2>"$WORK/err" || fail "encoder export $format: $(cat "$WORK/err")"
    cmp -s "$WORK/file.y4m" "$WORK/pipe.copy" || fail "$format: the encoder got other bytes than the file holds"
done
while IFS='|' read -r command message; do
    winhost --size 320x240 --frames 10 -o "$(winpath "$WORK/fail.y4m")" --encoder "$encoder $command" \
        2>"$WORK/err" </dev/null
    expect_eq "status of: $command" "$?" "1"
    grep -q "$message" "$WORK/err" || fail "message of: $command: $(cat "$WORK/err")"
done <<TABLE
fail 7|エンコーダーがエラーで終了しました (終了コード 7)
fail 7|^error: asked to fail
stop 200000 {output}|エンコーダーが 1 フレームを読んだところで停止しました (終了コード 0)
args {output} {output_noext}.never|出力ファイル .*never がないか空です
TABLE
name="$WORK/a b \$(x) 日本.y4m"
winhost --size 64x48 --frames 2 -o "$(winpath "$name")" --encoder "$encoder args {output} \"x {{y}}\" {bits}" \
    2>"$WORK/err" || fail "argument export under Wine: $(cat "$WORK/err")"
expect_eq "arguments under Wine" "$(tail -n 4 "$name" 2>/dev/null | tr -d '\r')" "args
$(winpath "$name")
x {y}
8"

finish
