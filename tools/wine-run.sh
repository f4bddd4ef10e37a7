#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (made on first
# use; every window inside one virtual desktop so that closing a dialog does
# not wait for a window manager), with an X display for dialogs. A 64-bit
# program (PE32+, machine 0x8664) gets a 64-bit prefix of its own and Wine's
# 64-bit loader, started directly: /usr/bin/wine would try the 32-bit loader
# first, which some kernels refuse.
#   wine-run.sh PROGRAM ARGS...
#   wine-run.sh --check PROGRAM    status 0 when PROGRAM can run here, else
#                                  the reason and status 77 (ctest's skip)
#   wine-run.sh --prepare PROGRAM  makes PROGRAM's prefix, runs nothing (under
#                                  emulation that takes minutes: better before
#                                  the tests than inside one's time limit)
# Where this machine cannot run 32-bit programs (tools/i386-programs.sh), a
# 32-bit PROGRAM is not started: the reason goes to stderr and the status is
# 77, which the Wine tests declare as their SKIP_RETURN_CODE.
set -u
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/tools/i386-programs.sh"
mode=run
case "${1:-}" in --check | --prepare) mode=${1#--}; shift ;; esac
pe_machine() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return
    [ -n "$offset" ] && od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
if [ "$(pe_machine "${1:-}")" = "8664" ]; then
    export WINEPREFIX="${WINEPREFIX64:-$here/build/wineprefix64}"
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
else
    i386_programs
    if [ "$I386_PROGRAMS" = no ]; then
        echo "skipped (a 32-bit program): $I386_REASON" >&2
        exit 77
    fi
    export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
    export WINEARCH=win32
    export WINELOADER=/usr/lib/wine/wine
fi
[ "$mode" = check ] && exit 0
wine() { "$WINELOADER" "$@"; }
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
    echo "wine-run: no DISPLAY (start Xvfb first, as tools/run-tests.sh does)" >&2
fi
if [ ! -f "$WINEPREFIX/.prepared" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.prepared"
fi
[ "$mode" = prepare ] && exit 0
# Wine's own fonts (Debian's fonts-wine: Marlett draws the title bar's
# buttons, Tahoma the system texts) are not looked for where Debian puts
# them, so the prefix gets a copy, as a Windows system has them.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ ! -e "$fonts/marlett.ttf" ] && [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
    cp /usr/share/wine/fonts/*.ttf "$fonts/"
fi
# AviUtl users run Windows with the Japanese system code page (932), which the
# module's ANSI dialog and texts are made for. Wine names Linux files in the
# Linux locale's character set, so that locale must exist for a file name
# outside ASCII to open (tools/packages.sh: ensure_japanese_locale).
exec env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 "$WINELOADER" "$@"
