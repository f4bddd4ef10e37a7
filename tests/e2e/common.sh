# Sourced by the end-to-end tests. $Y4MHOST is the host, $WORK a fresh folder.
set -uo pipefail
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0

fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

expect_eq() {  # what, actual, expected
    if [ "$2" != "$3" ]; then fail "$1: got '$2', expected '$3'"; fi
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
}

# Tests write their outputs again and again: -y lets them.
host() { "$Y4MHOST" --quiet -y "$@"; }

probe() {  # file entry
    ffprobe -v error -count_frames -select_streams v:0 -show_entries "stream=$2" -of csv=p=0 "$1"
}
