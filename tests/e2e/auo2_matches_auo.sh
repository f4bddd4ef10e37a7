#!/usr/bin/env bash
# The 64-bit module writes the 32-bit one's bytes: the 64-bit y4mhost.exe
# with the .auo2 (into a file named outside code page 932) against the 32-bit
# y4mhost.exe with the .auo ($REFERENCE_HOST_EXE, $REFERENCE_MODULE). Skipped
# (77) where the machine runs no 32-bit programs.
"$WINE_RUN" --check "$REFERENCE_HOST_EXE" || exit
source "$(dirname "$0")/common.sh"
winhost() { "$WINE_RUN" "$Y4MHOST_EXE" --quiet -y --plugin "$MODULE" "$@"; }
[ -f "$REFERENCE_HOST_EXE" ] && [ -f "$REFERENCE_MODULE" ] ||
    fail "no 32-bit build to compare with: build the mingw preset first"
name="$WORK/出力_한국어_😀.y4m"
for mode in "420 progressive none" "420 tff 16:9" "422 bff 4:3"; do
    set -- $mode
    winhost --size 352x288 --frames 40 --format "$1" --scan "$2" --aspect "$3" -o "$name" 2>"$WORK/err" ||
        fail "64-bit export into $name: $(cat "$WORK/err")"
    "$WINE_RUN" "$REFERENCE_HOST_EXE" --quiet -y --plugin "$REFERENCE_MODULE" --size 352x288 --frames 40 \
        --format "$1" --scan "$2" --aspect "$3" -o "$WORK/reference.y4m" 2>"$WORK/err" ||
        fail "32-bit export: $(cat "$WORK/err")"
    [ -f "$name" ] || fail "no file named $name"
    cmp -s "$name" "$WORK/reference.y4m" || fail "$mode: the .auo2 and the .auo wrote different bytes"
    rm -f "$name"
done
finish
