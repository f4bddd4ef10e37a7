# Sourced by the project's scripts: installs Debian packages that are missing
# (as root), adding the i386 architecture when a :i386 package is asked for.
#
# The mirror is not always consistent (one suite's index mid-sync, a download
# that fails once), so:
# - a failed `apt-get update` is only a warning when package lists exist: the
#   lists that did download are used;
# - every package comes from the release's own suite (-t <codename>), so the
#   amd64 and i386 halves of a Multi-Arch: same library have equal versions
#   even when the security suite's index is missing for one architecture;
# - an installation whose download failed is tried again twice; a failure is
#   reported in one line naming the package and apt's own last error.

missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
    done
}

# The package apt's log blames, or the whole list when it names none.
blamed_package() {
    local log=$1 list=$2 name
    name=$(sed -n -e "s/^E: Unable to locate package \(.*\)/\1/p" \
                  -e "s/^E: Package '\([^']*\)'.*/\1/p" \
                  -e "s|^E: Failed to fetch .*/\([^/_]*\)_.*|\1|p" \
                  -e "s/^ \([^ ]*\) : Depends:.*/\1/p" "$log" | head -n 1)
    echo "${name:-one of: $list}"
}

install_packages() {
    local missing log codename attempt
    missing=$(missing_packages "$@" | tr '\n' ' ')
    [ -z "${missing// /}" ] && return 0
    echo "== installing: $missing"
    if [[ "$missing" == *":i386"* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    log=$(mktemp)
    if ! apt-get update -q >"$log" 2>&1; then
        if compgen -G "/var/lib/apt/lists/*_Packages*" >/dev/null; then
            echo "warning: apt-get update failed ($(grep '^E:' "$log" | head -n 1)); using the package lists it has"
        else
            echo "package installation failed: no package lists: $(grep '^E:' "$log" | tail -n 1)"
            rm -f "$log"
            return 1
        fi
    fi
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    for attempt in 1 2 3; do
        if apt-get install -y -q --no-install-recommends -o Acquire::Retries=2 -o DPkg::Lock::Timeout=300 \
                ${codename:+-t "$codename"} $missing >"$log" 2>&1; then
            rm -f "$log"
            return 0
        fi
        # Only a download is worth another try; a missing package stays missing.
        grep -q '^E: \(Failed\|Unable\) to fetch' "$log" || break
        [ "$attempt" -lt 3 ] && { echo "warning: a download failed, trying again"; sleep $((attempt * 5)); }
    done
    echo "package installation failed: $(blamed_package "$log" "$missing"): $(grep '^E:' "$log" | tail -n 1)"
    rm -f "$log"
    return 1
}

# What the demo needs: the module and y4mhost, which decodes video files with
# FFmpeg's libraries and packs their pictures with libyuv.
DEMO_PACKAGES=(cmake make g++ pkg-config ffmpeg libavformat-dev libavcodec-dev libswscale-dev libavutil-dev libyuv-dev)
NATIVE_PACKAGES=("${DEMO_PACKAGES[@]}" binutils git clang-format libgtest-dev x264 x265 aom-tools svt-av1 valgrind clang
                 libclang-rt-14-dev python3 procps)
# The 32-bit Linux build: g++ -m32, and GoogleTest's sources to build with it
# (qemu-user-static too where the kernel refuses 32-bit programs:
# tools/i386-programs.sh).
LINUX32_PACKAGES=(g++-multilib googletest)
WINDOWS_PACKAGES=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                  wine wine32:i386 wine64 xvfb fonts-wine fonts-ipafont-gothic locales)

# Wine turns a Windows file name into a Linux one in the Linux locale's
# character set: the modules' tests run Wine under ja_JP.UTF-8, which a bare
# machine has not generated.
ensure_japanese_locale() {
    locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
    echo "== generating the ja_JP.UTF-8 locale"
    localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8 || { echo "package installation failed: locales: localedef ja_JP.UTF-8 failed"; return 1; }
}
