#!/usr/bin/env bash
# x264 takes the output as it is: 4:2:0 from a file, 4:2:2 with --output-csp
# i422, and interlaced 4:2:0 from a pipe with --demuxer y4m.
source "$(dirname "$0")/common.sh"
host --size 320x240 --frames 5 --format 420 -o "$WORK/420.y4m" 2>/dev/null
x264 --quiet --preset ultrafast -o "$WORK/420.264" "$WORK/420.y4m" 2>"$WORK/err1" || fail "x264 on 4:2:0: $(cat "$WORK/err1")"
[ -s "$WORK/420.264" ] || fail "x264 wrote nothing for 4:2:0"

host --size 320x240 --frames 5 --format 422 --aspect 16:9 -o "$WORK/422.y4m" 2>/dev/null
x264 --quiet --preset ultrafast --output-csp i422 -o "$WORK/422.264" "$WORK/422.y4m" 2>"$WORK/err2" ||
    fail "x264 on 4:2:2: $(cat "$WORK/err2")"
[ -s "$WORK/422.264" ] || fail "x264 wrote nothing for 4:2:2"

host --size 320x240 --frames 5 --format 420 --scan tff -o "$WORK/tff.y4m" 2>/dev/null
x264 --quiet --preset ultrafast --demuxer y4m --tff -o "$WORK/tff.264" - <"$WORK/tff.y4m" 2>"$WORK/err3" ||
    fail "x264 from a pipe: $(cat "$WORK/err3")"
[ -s "$WORK/tff.264" ] || fail "x264 wrote nothing from the pipe"
grep -qi "error" "$WORK"/err* && fail "x264 complained: $(cat "$WORK"/err*)"
finish
