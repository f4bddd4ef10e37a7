#!/usr/bin/env bash
# Installs what is missing, builds the native tree and runs every test.
# Runs as root on a fresh Debian 12 machine as well as on a developer's.
set -uo pipefail
cd "$(dirname "$0")/.."

NATIVE_PACKAGES=(cmake make g++ libgtest-dev binutils)

missing_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    echo "${missing[@]:-}"
}

install_packages() {
    local missing
    missing=$(missing_packages "$@")
    [ -z "$missing" ] && return 0
    echo "== installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null && apt-get install -y -q $missing >/dev/null
}

install_packages "${NATIVE_PACKAGES[@]}" || { echo "package installation failed"; exit 1; }

status=0
echo "== native build"
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
echo "== native tests"
ctest --preset native || status=1
exit $status
