#!/usr/bin/env bash
# ffprobe reads what each setting writes.
source "$(dirname "$0")/common.sh"

check_mode() {  # options... -- width height frames pix_fmt field_order sar
    local options=() expect
    while [ "$1" != "--" ]; do options+=("$1"); shift; done
    shift
    local out="$WORK/mode.y4m"
    host "${options[@]}" -o "$out" 2>/dev/null || { fail "export ${options[*]}"; return; }
    expect="$1,$2,$4,$5,$3"  # ffprobe prints in its own field order
    local got
    got="$(probe "$out" width,height,nb_read_frames,pix_fmt,field_order)"
    expect_eq "${options[*]}" "$got" "$expect"
    if [ -n "$6" ]; then
        expect_eq "${options[*]} aspect" "$(probe "$out" sample_aspect_ratio)" "$6"
    fi
}

check_mode --size 320x240 --frames 7 --format 420 -- 320 240 7 yuv420p progressive ""
check_mode --size 320x240 --frames 5 --format 422 -- 320 240 5 yuv422p progressive ""
check_mode --size 720x480 --frames 4 --format 420 --scan tff --aspect 4:3 -- 720 480 4 yuv420p tt 8:9
check_mode --size 720x480 --frames 4 --format 420 --scan bff --aspect 16:9 -- 720 480 4 yuv420p bb 32:27
check_mode --size 720x576 --frames 3 --format 422 --scan tff --aspect 16:15 -- 720 576 3 yuv422p tt 16:15
check_mode --size 720x576 --frames 3 --format 422 --scan bff --aspect 10:11 -- 720 576 3 yuv422p bb 10:11
check_mode --size 1280x720 --frames 2 --aspect 16:9 -- 1280 720 2 yuv420p progressive 1:1

# The rate is reduced and kept exact.
host --size 64x64 --frames 1 --rate 60000/2002 -o "$WORK/rate.y4m" 2>/dev/null
expect_eq "rate" "$(probe "$WORK/rate.y4m" r_frame_rate)" "30000/1001"
finish
