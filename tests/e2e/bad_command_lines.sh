#!/usr/bin/env bash
# A bad command line gets one line on stderr and status 2, and nothing is written.
source "$(dirname "$0")/common.sh"
out="$WORK/never.y4m"
printf 'x%.0s' $(seq 100) >"$WORK/short.yuy2"
printf '0123456789' >"$WORK/short.blob"
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
--rate 30000
--rate 0/1
--frames -3
--frames many
--format 444
--aspect 4:0
--scan interlaced
--bogus
--input $WORK/missing.yuy2 --size 8x8
--input $WORK/short.yuy2 --size 8x8 --frames 2
--input - --size 8x8
--settings $WORK/short.blob
--settings $WORK/missing.blob
--plugin $WORK/missing.so
--size
LINES
"$Y4MHOST" 2>"$WORK/err"
expect_eq "no output" "$?" "2"
"$Y4MHOST" --help >/dev/null || fail "--help"
finish
