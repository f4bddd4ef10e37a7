#!/usr/bin/env bash
# A bad command line or input (a missing file, a file with no video, raw
# YUY2 of the wrong size) gets one line on stderr and status 2, and nothing
# is written.
source "$(dirname "$0")/common.sh"
out="$WORK/never.y4m"
printf 'x%.0s' $(seq 100) >"$WORK/short.yuy2"
printf '0123456789' >"$WORK/short.blob"
ffmpeg -v error -f lavfi -i sine=d=0.2 "$WORK/audio.wav" || fail "making a file with no video"
while IFS= read -r line; do
    eval "set -- $line"
    "$Y4MHOST" "$@" -o "$out" 2>"$WORK/err" >/dev/null
    status=$?
    expect_eq "status of: $line" "$status" "2"
    expect_eq "stderr lines of: $line" "$(wc -l <"$WORK/err")" "1"
    [ -e "$out" ] && fail "wrote a file for: $line" && rm -f "$out"
done <<LINES
--size 640
--size 0x480
--size 640x-2
--size 99999x99999
--rate 30000/
--rate 0/1
--rate 0
--frames -3
--frames many
--format 444
--aspect 4:0
--scan interlaced
--bogus
--raw $WORK/missing.yuy2 --size 8x8 --rate 30
--raw $WORK/short.yuy2 --size 8x8 --rate 30
--raw $WORK/short.yuy2 --size 4x4 --rate 30 --frames 7
--raw - --size 8x8 --rate 30
--raw $WORK/short.yuy2 --rate 30
$WORK/missing.mkv
--input $WORK/audio.wav
$WORK/audio.wav --raw $WORK/short.yuy2 --size 8x8 --rate 30
--config
--settings $WORK/short.blob
--settings $WORK/missing.blob
--plugin $WORK/missing.so
--size
LINES
"$Y4MHOST" 2>"$WORK/err"
expect_eq "no output" "$?" "2"
"$Y4MHOST" --help >/dev/null || fail "--help"
finish
