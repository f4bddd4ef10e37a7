#!/usr/bin/env bash
# The project's test command: installs what is missing (Debian packages, as
# root), then builds and tests, in turn: the native tree (unit, end-to-end and
# valgrind tests), the 32-bit Linux build of the core and the 1.x module (its
# unit tests and the pattern host against the native build's bytes; natively
# or under qemu-i386, whichever this machine allows), the native tree under
# AddressSanitizer and UBSan, short libFuzzer runs, and the real modules
# under Wine on a private Xvfb display: the 32-bit .auo for AviUtl 1.x, then
# the 64-bit .auo2 for ExEdit2 (measured against the .auo's output). Tests labelled "slow" (the exports past 4 GiB) run only
# when asked:
#   ctest --test-dir build/native -L slow; ctest --test-dir build/mingw -L slow
#
# On a machine whose kernel refuses 32-bit x86 programs, the .auo and the
# 32-bit y4mhost.exe are still built and checked without running them; the
# tests that would run them are skipped, and the last lines say which and why.
# Y4M_NO_32BIT=1 takes that path anywhere; Y4M_EMULATE_32BIT=1 runs them
# there anyway, under qemu-i386 emulation (tools/i386-programs.sh).
set -uo pipefail
cd "$(dirname "$0")/.."

source tools/packages.sh
source tools/i386-programs.sh
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
install_packages "${NATIVE_PACKAGES[@]}" "${LINUX32_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" ||
    { echo "package installation failed"; exit 1; }
ensure_japanese_locale || exit 1
i386_linux_programs || { echo "package installation failed"; exit 1; }
echo "== 32-bit Linux programs: $I386_LINUX_RUN: $I386_LINUX_REASON"

i386_programs
if [ "$I386_PROGRAMS" = no ] && [ "${Y4M_EMULATE_32BIT:-0}" = 1 ] && [ "${Y4M_NO_32BIT:-0}" != 1 ]; then
    set_up_i386_emulation || exit 1
fi
echo "== 32-bit programs: $I386_PROGRAMS: $I386_REASON"
wineTimeout=300
[ "$I386_PROGRAMS" = emulated ] && wineTimeout=3000

failed=0
skipped=()
# ctest over a preset, remembering what it skipped and why.
run_ctest() { # preset why
    local log status name
    log=$(mktemp)
    ctest --preset "$1" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    for name in $(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*(Skipped)$/\1/p' "$log"); do
        skipped+=("$1: $name ($2)")
    done
    rm -f "$log"
    return "$status"
}

echo "== formatting: clang-format over the tracked C++ sources"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror || failed=1

echo "== native: build"
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
echo "== native: tests"
run_ctest native "the test says why, above" || failed=1

echo "== native32 (32-bit Linux): build"
cmake --preset native32 -DY4M_I386_EMULATOR="$I386_LINUX_EMULATOR" >/dev/null && cmake --build --preset native32 ||
    exit 1
echo "== native32: tests, run $([ "$I386_LINUX_RUN" = native ] && echo natively || echo "under $I386_LINUX_EMULATOR")"
run_ctest native32 "the test says why, above" || failed=1

echo "== native under AddressSanitizer and UBSan: build"
cmake --preset asan >/dev/null && cmake --build --preset asan >/dev/null || exit 1
echo "== native under AddressSanitizer and UBSan: tests"
run_ctest asan "the address sanitizer reserves more address space than the test's limit" || failed=1

echo "== fuzzing (libFuzzer, ${FUZZ_SECONDS:-30} s a target): build"
cmake --preset fuzz -DFUZZ_SECONDS="${FUZZ_SECONDS:-30}" >/dev/null && cmake --build --preset fuzz >/dev/null || exit 1
echo "== fuzzing: smoke runs"
run_ctest fuzz "the test says why, above" || failed=1

echo "== mingw: build"
cmake --preset mingw -DY4M_WINE_TIMEOUT=$wineTimeout >/dev/null && cmake --build --preset mingw || exit 1

# Dialogs under Wine need an X display: a private Xvfb for this run.
source tools/private-display.sh

if [ "$I386_PROGRAMS" = emulated ]; then
    echo "== mingw: preparing the 32-bit Wine prefix under emulation (many minutes, once)"
    tools/wine-run.sh --prepare build/mingw/tests/module_test_host.exe
fi
echo "== mingw: tests under Wine"
run_ctest mingw "$I386_REASON" || failed=1

echo "== mingw64: build"
cmake --preset mingw64 >/dev/null && cmake --build --preset mingw64 || exit 1
echo "== mingw64: tests under 64-bit Wine"
run_ctest mingw64 "$I386_REASON" || failed=1

echo "== 32-bit Linux programs: $I386_LINUX_RUN: $I386_LINUX_REASON"
echo "== 32-bit programs: $I386_PROGRAMS: $I386_REASON"
echo "== skipped: ${#skipped[@]} test(s)"
[ ${#skipped[@]} -gt 0 ] && printf "   %s\n" "${skipped[@]}"
exit $failed
