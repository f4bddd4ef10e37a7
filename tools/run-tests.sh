#!/usr/bin/env bash
# The project's test command: installs what is missing (Debian packages, as
# root), then builds and tests, in turn: the native tree (unit, end-to-end and
# valgrind tests), the same under AddressSanitizer and UBSan, short libFuzzer
# runs, and the real modules under Wine on a private Xvfb display: the 32-bit
# .auo for AviUtl 1.x, then the 64-bit .auo2 for ExEdit2 (measured against
# the .auo's output). Tests labelled "slow" (the exports past 4 GiB) run only
# when asked:
#   ctest --test-dir build/native -L slow; ctest --test-dir build/mingw -L slow
set -uo pipefail
cd "$(dirname "$0")/.."

source tools/packages.sh
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
install_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}" || { echo "package installation failed"; exit 1; }
ensure_japanese_locale || exit 1

failed=0

echo "== formatting: clang-format over the tracked C++ sources"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror || failed=1

echo "== native: build"
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
echo "== native: tests"
ctest --preset native || failed=1

echo "== native under AddressSanitizer and UBSan: build"
cmake --preset asan >/dev/null && cmake --build --preset asan >/dev/null || exit 1
echo "== native under AddressSanitizer and UBSan: tests"
ctest --preset asan || failed=1

echo "== fuzzing (libFuzzer, ${FUZZ_SECONDS:-30} s a target): build"
cmake --preset fuzz -DFUZZ_SECONDS="${FUZZ_SECONDS:-30}" >/dev/null && cmake --build --preset fuzz >/dev/null || exit 1
echo "== fuzzing: smoke runs"
ctest --preset fuzz || failed=1

echo "== mingw: build"
cmake --preset mingw >/dev/null && cmake --build --preset mingw || exit 1

# Dialogs under Wine need an X display: a private Xvfb for this run.
source tools/private-display.sh

echo "== mingw: tests under Wine"
ctest --preset mingw || failed=1

echo "== mingw64: build"
cmake --preset mingw64 >/dev/null && cmake --build --preset mingw64 || exit 1
echo "== mingw64: tests under 64-bit Wine"
ctest --preset mingw64 || failed=1

exit $failed
