#!/usr/bin/env bash
# The 32-bit Linux build of the core and the 1.x module, driven by the 32-bit
# pattern host, writes the 64-bit native build's bytes: every colour format at
# two sizes (BT.601 and BT.709, an awkward width for the SIMD tails) and every
# scan. Then the sizes whose frames pass 2^31 or 2^32 bytes, where 32-bit
# arithmetic would wrap, are refused for the reason the 64-bit build gives.
# $I386_RUN (empty natively) starts the 32-bit programs, as CTest starts the
# unit tests.
source "$(dirname "$0")/common.sh"
[ -x "$HOST64" ] && [ -f "$MODULE64" ] || { echo "the 64-bit native build is missing ($HOST64): build it first"; exit 1; }
run32() { ${I386_RUN:-} "$HOST32" --quiet -y --plugin "$MODULE32" "$@"; }
run64() { "$HOST64" --quiet -y --plugin "$MODULE64" "$@"; }

for size in 354x96 1280x720; do
    for format in 420 422 444 420p10 422p10 444p10 420p12 422p12 444p12; do
        for scan in progressive tff bff; do
            mode="$size $format $scan"
            run64 --size "$size" --frames 2 --format "$format" --scan "$scan" -o "$WORK/64.y4m" 2>"$WORK/err" ||
                { fail "64-bit export of $mode: $(cat "$WORK/err")"; continue; }
            run32 --size "$size" --frames 2 --format "$format" --scan "$scan" -o "$WORK/32.y4m" 2>"$WORK/err" ||
                { fail "32-bit export of $mode: $(cat "$WORK/err")"; continue; }
            cmp -s "$WORK/64.y4m" "$WORK/32.y4m" || fail "$mode: the 32-bit build wrote other bytes"
        done
    done
done

# YUY2 of 46342 x 46342 is 4,295,161,928 bytes (194,632 past 2^32), of
# 65536 x 32768 exactly 2^32; YC48 of 26755 x 26755 is 4,294,980,150 bytes
# (12,854 past 2^32), of 23171 x 23171 past 2^31 but not 2^32.
while read -r size format; do
    for build in 64 32; do
        "run$build" --size "$size" --format "$format" --frames 1 -o "$WORK/big.y4m" 2>"$WORK/err"
        expect_eq "$build-bit, $size $format: status" "$?" "2"
        grep -q "does not fit the host's 32-bit sizes; give a smaller --size" "$WORK/err" ||
            fail "$build-bit, $size $format: $(cat "$WORK/err")"
        [ -e "$WORK/big.y4m" ] && fail "$build-bit, $size $format: a file was written" && rm -f "$WORK/big.y4m"
    done
done <<SIZES
46342x46342 420
65536x32768 422
26755x26755 444p10
23171x23171 444
SIZES
finish
