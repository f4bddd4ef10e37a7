# Sourced by the project's scripts: installs Debian packages that are missing
# (as root), adding the i386 architecture when a :i386 package is asked for.

missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
    done
}

install_packages() {
    local missing
    missing=$(missing_packages "$@" | tr '\n' ' ')
    [ -z "${missing// /}" ] && return 0
    echo "== installing: $missing"
    if [[ "$missing" == *":i386"* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends $missing >/dev/null
}

NATIVE_PACKAGES=(cmake make g++ binutils libgtest-dev ffmpeg x264 valgrind clang libclang-rt-14-dev python3)
WINDOWS_PACKAGES=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 xvfb fonts-ipafont-gothic)
