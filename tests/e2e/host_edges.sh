#!/usr/bin/env bash
# Where a user meets y4mhost's edges: a pipe that ends early, the stream on
# standard output and its reader leaving, a full disk, a bare frame rate, a
# refused export's summary, and the ExEdit2 module (told by its .auo2 name)
# writing the 1.x module's bytes.
source "$(dirname "$0")/common.sh"

ffmpeg -v error -f lavfi -i "testsrc2=size=64x48:rate=30" -frames:v 5 -f rawvideo -pix_fmt yuyv422 - |
    host --raw - --size 64x48 --rate 30 --frames 8 -o "$WORK/short.y4m" 2>"$WORK/err"
expect_eq "short pipe status" "$?" "1"
grep -aq "input ended after 5 of 8 frames" "$WORK/err" || fail "short pipe not named: $(cat "$WORK/err")"
[ "$(grep -an "input ended after" "$WORK/err" | head -n 1 | cut -d: -f1)" -lt "$(grep -an "ERROR" "$WORK/err" | head -n 1 | cut -d: -f1)" ] ||
    fail "the host's line comes after the plug-in's report"
expect_eq "whole frames kept" "$(probe "$WORK/short.y4m" nb_read_frames)" "5"

expect_eq "-o - read by ffprobe" \
    "$(host --size 64x48 --frames 3 -o - 2>/dev/null | ffprobe -v error -count_frames -show_entries \
        stream=width,nb_read_frames -of csv=p=0 -)" "64,3"
[ -e "$WORK/-" ] || [ -e ./- ] && fail "-o - made a file named -"

# The reader goes away: one line of ours instead of the plug-in's write report, status 1.
host --size 64x48 --frames 500 -o - 2>"$WORK/err" | head -c 10000 >/dev/null
expect_eq "reader gone: status" "${PIPESTATUS[0]}" "1"
expect_eq "reader gone: what is said" "$(sed 's/after [0-9][0-9]* frames/after N frames/' "$WORK/err")" \
    "y4mhost: the reader of the output closed it after N frames"
# A file that reaches its size limit (the disk full, FAT32's 4 GB): the summary counts the whole frames in it.
for format in 420:4614 444p10:18438; do
    (trap '' XFSZ; ulimit -f 100; host --size 64x48 --frames 50 --format "${format%:*}" -o "$WORK/full.y4m" 2>"$WORK/err")
    expect_eq "size limit at ${format%:*}: status" "$?" "1"
    whole=$(( ($(stat -c %s "$WORK/full.y4m") - $(head -n 1 "$WORK/full.y4m" | wc -c)) / ${format#*:} ))
    grep -q "holds $whole whole frames of 50 (102400 bytes)" "$WORK/err" || fail "size limit at ${format%:*}: $(cat "$WORK/err")"
done

host --size 16x16 --frames 1 --rate 30 -o "$WORK/rate.y4m" 2>/dev/null || fail "--rate 30"
expect_eq "--rate 30" "$(head -n 1 "$WORK/rate.y4m" | cut -d' ' -f4)" "F30:1"

printf 'old' >"$WORK/refused.y4m"
host --size 15x16 --frames 1 -o "$WORK/refused.y4m" 2>"$WORK/err"
expect_eq "refused status" "$?" "1"
grep -aq "frames" "$WORK/err" && grep -aq "exported\|stopped" "$WORK/err" && fail "a summary after a refusal"
grep -aq "the settings do not fit this frame size" "$WORK/err" || fail "no English line: $(cat "$WORK/err")"
expect_eq "refused export left the file" "$(cat "$WORK/refused.y4m")" "old"

ffmpeg -v error -f lavfi -i "testsrc2=size=160x120:rate=25" -frames:v 6 -c:v libx264 -pix_fmt yuv420p "$WORK/clip.mp4"
for mode in "--format 420 --scan progressive" "--format 420 --scan tff --aspect 16:9" "--format 422 --scan bff" \
            "$WORK/clip.mp4 --format 422"; do
    host $mode --size 160x120 --frames 6 -o "$WORK/aviutl1.y4m" 2>/dev/null
    host $mode --size 160x120 --frames 6 --plugin "$EXEDIT2_MODULE" -o "$WORK/出力 😀.y4m" 2>"$WORK/err" ||
        fail "through ExEdit2's interface, $mode: $(cat "$WORK/err")"
    cmp -s "$WORK/aviutl1.y4m" "$WORK/出力 😀.y4m" || fail "$mode: the ExEdit2 module wrote other bytes"
done
host --size 15x16 --frames 1 --plugin "$EXEDIT2_MODULE" -o "$WORK/odd2.y4m" 2>"$WORK/err"
expect_eq "ExEdit2 module refusing an odd width" "$?:$(grep -c "映像の幅 15 が 2 の倍数ではありません" "$WORK/err")" "1:1"
finish
