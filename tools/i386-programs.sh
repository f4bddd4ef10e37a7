# Sourced by the scripts that run Windows programs under Wine: can this
# machine run 32-bit x86 programs (the .auo, the 32-bit y4mhost.exe and test
# host, all started through Wine's 32-bit loader)?
#
# Some kernels refuse every 32-bit x86 program ("Exec format error"); there
# the 32-bit Wine tests are skipped, and the 64-bit ones still run through
# Wine's 64-bit loader alone. Two switches:
#   Y4M_NO_32BIT=1       answer "no" even where the machine could, to try the
#                        skipping path anywhere;
#   Y4M_EMULATE_32BIT=1  where the kernel refuses them, run 32-bit programs
#                        under qemu-i386 user-mode emulation (installed and
#                        registered with binfmt_misc when asked; about 8 times
#                        slower, so never part of CI).
#
# i386_programs sets I386_PROGRAMS to native, emulated or no, and
# I386_REASON to one line saying why; both are exported, so the tests that a
# script starts take the answer instead of asking again.

I386_LOADER=/usr/lib/wine/wine
QEMU_I386=/usr/bin/qemu-i386-static
BINFMT=/proc/sys/fs/binfmt_misc

# An enabled binfmt_misc entry that hands i386 ELF programs to an emulator.
# The registrations are the kernel's, but a chroot's /proc does not show them
# until binfmt_misc is mounted there too (as root: as systemd mounts it).
i386_emulator_entry() {
    local entry
    if [ ! -e "$BINFMT/status" ] && [ "$(id -u)" -eq 0 ]; then
        mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null
    fi
    for entry in "$BINFMT"/*; do
        [ -f "$entry" ] && [ "${entry##*/}" != register ] && [ "${entry##*/}" != status ] || continue
        grep -qx enabled "$entry" 2>/dev/null && grep -q '^interpreter .*qemu-i386' "$entry" 2>/dev/null &&
            { echo "$entry"; return 0; }
    done
    return 1
}

i386_programs() {
    local error
    if [ -n "${I386_PROGRAMS:-}" ] && [ -n "${I386_REASON:-}" ]; then
        return 0
    fi
    export I386_PROGRAMS I386_REASON
    if [ "${Y4M_NO_32BIT:-0}" = 1 ]; then
        I386_PROGRAMS=no I386_REASON="Y4M_NO_32BIT=1 is set"
        return 0
    fi
    if [ ! -e "$I386_LOADER" ]; then
        I386_PROGRAMS=no I386_REASON="32-bit Wine is not installed ($I386_LOADER is missing)"
        return 0
    fi
    if ! error=$(QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xc0000000} "$I386_LOADER" --version 2>&1 >/dev/null); then
        I386_PROGRAMS=no
        I386_REASON="the kernel refuses 32-bit x86 programs ($I386_LOADER: ${error##*: })"
        [ "${Y4M_EMULATE_32BIT:-0}" = 1 ] || I386_REASON+="; Y4M_EMULATE_32BIT=1 runs them under emulation"
        return 0
    fi
    if i386_emulator_entry >/dev/null; then
        if [ "${Y4M_EMULATE_32BIT:-0}" = 1 ]; then
            export QEMU_RESERVED_VA=${QEMU_RESERVED_VA:-0xc0000000}
            I386_PROGRAMS=emulated I386_REASON="32-bit x86 programs run under qemu-i386 emulation ($(i386_emulator_entry))"
        else
            I386_PROGRAMS=no
            I386_REASON="32-bit x86 programs run here only under qemu-i386 emulation, too slow for every run; Y4M_EMULATE_32BIT=1 runs them"
        fi
        return 0
    fi
    I386_PROGRAMS=native I386_REASON="32-bit x86 programs run natively ($I386_LOADER starts)"
}

# Y4M_EMULATE_32BIT=1 on a machine that refuses 32-bit programs: installs
# qemu-user-static and registers it for i386 ELF programs, saying what it
# changed. Needs root and tools/packages.sh.
set_up_i386_emulation() {
    local magic mask
    install_packages qemu-user-static || return 1
    if ! mountpoint -q "$BINFMT"; then
        mount -t binfmt_misc binfmt_misc "$BINFMT" ||
            { echo "cannot mount binfmt_misc at $BINFMT: no emulation"; return 1; }
        echo "== emulation: mounted binfmt_misc at $BINFMT"
    fi
    if ! i386_emulator_entry >/dev/null; then
        # i386 ELF executables and shared objects; 'F' opens the emulator now,
        # so it is found inside chroots too.
        magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
        printf ':qemu-i386:M::%s:%s:%s:F\n' "$magic" "$mask" "$QEMU_I386" >"$BINFMT/register" ||
            { echo "cannot register $QEMU_I386 with binfmt_misc: no emulation"; return 1; }
        echo "== emulation: registered $QEMU_I386 for i386 programs ($BINFMT/qemu-i386);" \
             "undo with: echo -1 > $BINFMT/qemu-i386"
    fi
    unset I386_PROGRAMS I386_REASON
    i386_programs
}

# The 32-bit Linux build (preset native32) runs its programs natively where
# the kernel takes them; elsewhere its tests start each one through
# qemu-i386-static themselves (CTest's emulator for the preset), which needs
# nothing registered with binfmt_misc and leaves nothing behind. Where
# binfmt_misc already hands i386 programs to qemu, a program that starts is
# emulated all the same, and the tests are told so.
#
# i386_linux_programs sets I386_LINUX_RUN to native or emulated,
# I386_LINUX_EMULATOR to the emulator the tests start programs through (empty
# natively) and I386_LINUX_REASON to one line saying why. Needs g++ -m32
# (g++-multilib); installs qemu-user-static when it is needed and missing
# (tools/packages.sh).
i386_linux_programs() {
    local dir error entry
    export I386_LINUX_RUN I386_LINUX_EMULATOR I386_LINUX_REASON
    dir=$(mktemp -d)
    printf 'int main() { return sizeof(void*) == 4 ? 0 : 1; }\n' >"$dir/probe.cpp"
    if ! error=$(g++ -m32 "$dir/probe.cpp" -o "$dir/probe" 2>&1); then
        rm -rf "$dir"
        echo "g++ -m32 cannot build a 32-bit program (is g++-multilib installed?): ${error##*$'\n'}"
        return 1
    fi
    if error=$("$dir/probe" 2>&1); then
        if entry=$(i386_emulator_entry); then
            I386_LINUX_RUN=emulated
            I386_LINUX_REASON="32-bit programs start, but binfmt_misc hands them to qemu-i386 ($entry):"
        else
            I386_LINUX_RUN=native I386_LINUX_EMULATOR=
            I386_LINUX_REASON="the kernel runs 32-bit programs: the tests run them as they are"
        fi
    else
        I386_LINUX_RUN=emulated
        I386_LINUX_REASON="the kernel refuses 32-bit programs (${error##*: }):"
    fi
    rm -rf "$dir"
    [ "$I386_LINUX_RUN" = native ] && return 0
    install_packages qemu-user-static || return 1
    I386_LINUX_EMULATOR=$QEMU_I386
    I386_LINUX_REASON+=" the tests start every 32-bit program through $QEMU_I386 (user-mode emulation; nothing registered)"
}
