#!/usr/bin/env bash
# A bad command line or input (a missing file, a file with no video, raw
# YUY2 of the wrong size, a module that is no plug-in, a frame too large)
# gets status 2 and its reason as the last line on stderr (a video file's
# description may come before it), never an abort, and nothing is written.
source "$(dirname "$0")/common.sh"
out="$WORK/never.y4m"
printf 'x%.0s' $(seq 100) >"$WORK/short.yuy2"
printf '0123456789' >"$WORK/short.blob"
ffmpeg -v error -f lavfi -i sine=d=0.2 "$WORK/audio.wav" || fail "making a file with no video"
ffmpeg -v error -f lavfi -i "testsrc2=size=64x48:rate=25" -frames:v 3 -c:v libx264 "$WORK/clip.mp4" ||
    fail "making a video file"
printf 'not a module\n' >"$WORK/text.so"
cover="$WORK/cover.mp3"
ffmpeg -v error -f lavfi -i "testsrc2=size=64x64" -frames:v 1 "$WORK/cover.png" </dev/null &&
    ffmpeg -v error -f lavfi -i sine=d=0.5 -i "$WORK/cover.png" -map 0 -map 1 -c:v png -disposition:v attached_pic \
        -id3v2_version 3 "$cover" </dev/null || fail "making an mp3 with cover art"
while IFS= read -r line; do
    eval "set -- $line"
    "$Y4MHOST" "$@" -o "$out" 2>"$WORK/err" >/dev/null
    status=$?
    expect_eq "status of: $line" "$status" "2"
    case "$(tail -n 1 "$WORK/err")" in "y4mhost: "*) ;; *) fail "last line of: $line: $(tail -n 1 "$WORK/err")" ;; esac
    [ "$(wc -l <"$WORK/err")" -le 2 ] || fail "more than two lines for: $line: $(cat "$WORK/err")"
    grep -q "terminate\|Aborted\|what()" "$WORK/err" && fail "aborted on: $line"
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
--format 444p16
--size 20000x20000 --format 444
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
$WORK/clip.mp4 --plugin $WORK/missing.so
$WORK/clip.mp4 --plugin $WORK/text.so
$WORK/clip.mp4 --plugin /lib/x86_64-linux-gnu/libm.so.6
$WORK/clip.mp4 --save-settings $WORK/missing/settings.blob
$WORK/clip.mp4 --size 100000x100000
$WORK/clip.mp4 --size 46342x46342
$WORK/clip.mp4 --size 16384x16384 --format 420p10 --frames 1
$cover
--size
LINES
"$Y4MHOST" 2>"$WORK/err"
expect_eq "no output" "$?" "2"
"$Y4MHOST" --help >/dev/null || fail "--help"
finish
