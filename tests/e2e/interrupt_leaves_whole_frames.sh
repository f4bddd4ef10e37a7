#!/usr/bin/env bash
# Ctrl-C mid-export: the plug-in stops between frames, the host exits 130, and
# the file holds the header and whole frame records only.
source "$(dirname "$0")/common.sh"
out="$WORK/long.y4m"
"$Y4MHOST" --size 640x480 --frames 1000000 -o "$out" 2>"$WORK/err" &
pid=$!
for _ in $(seq 100); do
    [ "$(stat -c %s "$out" 2>/dev/null || echo 0)" -gt 10000000 ] && break
    sleep 0.05
done
kill -INT $pid
wait $pid
expect_eq "exit status" "$?" "130"
grep -q "aborted" "$WORK/err" || fail "no 'aborted' on stderr"
header_length=$(head -c 200 "$out" | head -n 1 | wc -c)
record=$((6 + 640 * 480 * 3 / 2))
size=$(stat -c %s "$out")
frames=$(((size - header_length) / record))
expect_eq "whole records" "$(((size - header_length) % record))" "0"
[ "$frames" -gt 0 ] || fail "no frame written before the interrupt"
expect_eq "frames ffprobe counts" "$(probe "$out" nb_read_frames)" "$frames"
finish
