#!/usr/bin/env bash
# Tries the README's Quick start as a newcomer would, on a bare machine: a
# Debian root made by `debootstrap --variant=minbase` (cached between runs),
# with this machine's apt sources so that it meets the same mirror, and a clean
# clone of the current commit. It runs tools/demo.sh, then tools/run-tests.sh,
# in order, and prints each one's exit status and time and whether ffprobe
# reads the demo's demo.y4m. Takes about 15 minutes; run as root:
#   tools/check-fresh-machine.sh
# FRESH_MACHINE_CACHE names the folder of the cached root (default
# /var/cache/yuv4mpeg2-fresh-machine); logs are kept there too.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache=${FRESH_MACHINE_CACHE:-/var/cache/yuv4mpeg2-fresh-machine}
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
base=$cache/$codename-minbase

[ "$(id -u)" -eq 0 ] || { echo "check-fresh-machine: must run as root (debootstrap, chroot, mounts)"; exit 2; }
source "$here/tools/packages.sh"
install_packages debootstrap git || exit 1

# The first Debian mirror this machine's apt uses.
mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
         sed -n -e 's|^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*/debian\)/\{0,1\} .*|\2|p' \
                -e 's|^URIs: *\([^ ]*/debian\)/\{0,1\}$|\1|p' | head -n 1)
[ -n "$mirror" ] || { echo "check-fresh-machine: no Debian mirror in this machine's apt sources"; exit 1; }

mkdir -p "$cache"
if [ ! -e "$base/.complete" ]; then
    echo "== debootstrap --variant=minbase $codename from $mirror (once; cached in $base)"
    rm -rf "$base.partial"
    debootstrap --variant=minbase "$codename" "$base.partial" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
        { echo "check-fresh-machine: debootstrap failed, see $cache/debootstrap.log"; exit 1; }
    touch "$base.partial/.complete"
    mv "$base.partial" "$base"
fi

work=$(mktemp -d /var/tmp/fresh-machine.XXXXXX)
root=$work/root
mounted=()
cleanup() {
    local pid i
    # Whatever the run left behind (a wineserver, an Xvfb) would keep the mounts busy.
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -9 "$pid" 2>/dev/null
    done
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"
    done
    if findmnt -rn -o TARGET | grep -q "^$root"; then
        echo "check-fresh-machine: mounts remain under $root; not removing it"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cp -a "$base" "$root"
rm -f "$root/.complete" "$root/etc/apt/sources.list"
cp /etc/apt/sources.list "$root/etc/apt/" 2>/dev/null
for source in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -e "$source" ] && cp "$source" "$root/etc/apt/sources.list.d/"
done
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

commit=$(git -C "$here" rev-parse HEAD)
git clone -q --no-checkout "$here" "$root/root/yuv4mpeg2" && git -C "$root/root/yuv4mpeg2" checkout -q "$commit" ||
    { echo "check-fresh-machine: cannot clone $here"; exit 1; }

mount_in() { # type source target [options]
    mkdir -p "$root$3"
    mount -t "$1" ${4:+-o "$4"} "$2" "$root$3" && mounted+=("$root$3")
}
mount_in proc proc /proc
mount_in sysfs sys /sys
mount_in devtmpfs udev /dev || { mount --bind /dev "$root/dev" && mounted+=("$root/dev"); }
mount_in devpts devpts /dev/pts newinstance,ptmxmode=0666
mount_in tmpfs shm /dev/shm
mount_in tmpfs tmp /tmp

in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /root/yuv4mpeg2 && $1"
}

run_step() { # name command
    local start status
    echo "== fresh machine: $2 (log: $cache/$1.log)"
    start=$(date +%s)
    in_root "$2" 2>&1 | tee "$cache/$1.log"
    status=${PIPESTATUS[0]}
    eval "$1_status=$status $1_seconds=$(($(date +%s) - start))"
}

echo "== fresh machine: $codename minbase, commit ${commit:0:12}"
run_step demo tools/demo.sh
frames=$(in_root "ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 demo.y4m" 2>/dev/null)
run_step tests tools/run-tests.sh

minutes() { printf '%d min %02d s' $(($1 / 60)) $(($1 % 60)); }
echo
echo "== fresh machine summary (commit ${commit:0:12})"
echo "tools/demo.sh       exit $demo_status in $(minutes "$demo_seconds")"
if [ -n "$frames" ]; then
    echo "demo.y4m            read by ffprobe: $frames frames"
else
    echo "demo.y4m            NOT read by ffprobe"
fi
echo "tools/run-tests.sh  exit $tests_status in $(minutes "$tests_seconds")"
[ "$demo_status" -eq 0 ] && [ -n "$frames" ] && [ "$tests_status" -eq 0 ]
