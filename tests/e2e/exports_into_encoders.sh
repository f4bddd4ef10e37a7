#!/usr/bin/env bash
# The export into an encoder's standard input: real encoders decode to the
# same frames as the file export; every way an encoder can fail ends the
# export with status 1, the plug-in's message and no process left behind;
# an abort works while the encoder reads and while it has stopped reading;
# a path reaches the encoder as one argument whatever it holds.
source "$(dirname "$0")/common.sh"
cd "$WORK" || exit 1
# Each run gets a word of its own in its command, to find what it left running.
tag="y4m-e2e-$$"
left_running() { pgrep -f "$tag" >/dev/null; }

decoded() {  # file pixel_format
    ffmpeg -nostdin -v error -i "$1" -f rawvideo -pix_fmt "$2" - | md5sum | cut -d' ' -f1
}

# Same frames through the pipe as in the file: format, pixel format, encoder.
while read -r format pix command; do
    host --size 96x64 --frames 20 --format "$format" -o "file-$format.y4m" 2>/dev/null </dev/null ||
        fail "file export $format"
    host --size 96x64 --frames 20 --format "$format" -o "pipe-$format.y4m" --encoder "$command" 2>"$WORK/err" </dev/null ||
        fail "encoder export $format: $(cat "$WORK/err")"
    out=$(ls "pipe-$format".{mkv,hevc} 2>/dev/null | head -n 1)
    expect_eq "$format through $(echo "$command" | cut -d' ' -f1)" "$(decoded "$out" "$pix")" \
        "$(decoded "file-$format.y4m" "$pix")"
done <<TABLE
420 yuv420p ffmpeg -nostdin -y -v error -f yuv4mpegpipe -i - -c:v ffv1 {output_noext}.mkv
422p10 yuv422p10le ffmpeg -nostdin -y -v error -f yuv4mpegpipe -i - -c:v ffv1 {output_noext}.mkv
444p12 yuv444p12le ffmpeg -nostdin -y -v error -f yuv4mpegpipe -i - -c:v ffv1 {output_noext}.mkv
420p10 yuv420p10le x265 --log-level error --y4m --input - --lossless -D 10 -o {output_noext}.hevc
TABLE

# Failures: status 1, the message's first words, within seconds, nothing left.
printf '@echo off\n' >"$WORK/encode.bat"
chmod +x "$WORK/encode.bat"
while IFS='|' read -r frames command message; do
    start=$SECONDS
    host --size 320x240 --frames "$frames" -o "$WORK/fail.out" --encoder "$command" 2>"$WORK/err" </dev/null
    expect_eq "status of: $command" "$?" "1"
    grep -q "$message" "$WORK/err" || fail "message of: $command: $(cat "$WORK/err")"
    [ $((SECONDS - start)) -le 10 ] || fail "took $((SECONDS - start)) s: $command"
    left_running && fail "left a process: $command"
done <<TABLE
30|no-such-encoder-$tag {output}|エンコーダーのプログラム no-such-encoder
30|$WORK/encode.bat|バッチファイル
30|x264 --no-such-option-$tag -o {output} -|エンコーダーが 0 フレームを読んだところで停止しました (終了コード 255)
300|x265 --log-level error --y4m --input - --frames 10 -o {output_noext}-$tag.hevc|(終了コード 0)
30|/bin/sh -c "cat >/dev/null; echo 'x: Fatal: $tag' >&2; exit 3"|エンコーダーがエラーで終了しました (終了コード 3)
30|/bin/sh -c "cat >/dev/null; echo 'x: Fatal: $tag' >&2; exit 3"|^x: Fatal: $tag
30|/bin/sh -c "cat >/dev/null" $tag --out={output} {output}.never|出力ファイル $WORK/fail.out.never がないか空です
30|/bin/sh -c "cat >/dev/null; kill -9 \$\$" $tag|(終了コード 137)
30|x265 {colour}|{colour} は使えません
TABLE

# The user aborts (Ctrl+C): while the encoder reads, and while it reads
# nothing at all. The export stops without a message, the encoder ends.
for command in "/bin/sh -c \"exec cat >/dev/null\" $tag" "/bin/sleep 1000.$$"; do
    tag2=$(echo "$command" | grep -o "$tag\|1000\.$$")
    "$Y4MHOST" --quiet -y --size 1280x720 --frames 100000 -o "$WORK/abort.out" --encoder "$command" 2>"$WORK/err" </dev/null &
    pid=$!
    sleep 1
    kill -INT "$pid"
    start=$SECONDS
    wait "$pid"
    expect_eq "status after an abort: $command" "$?" "130"
    [ $((SECONDS - start)) -le 8 ] || fail "abort took $((SECONDS - start)) s: $command"
    grep -q ERROR "$WORK/err" && fail "a message after an abort: $(cat "$WORK/err")"
    pgrep -f "$tag2" >/dev/null && fail "left a process after an abort: $command"
done

# No frame: nothing to encode, no encoder started.
host --frames 0 -o "$WORK/none.out" --encoder "/usr/bin/touch $WORK/started" 2>/dev/null ||
    fail "an export of no frame failed"
[ -e "$WORK/started" ] && fail "an export of no frame started the encoder"

# A path reaches the encoder as one argument, and its placeholders as given.
dir="$WORK/a b \"q\" \$(touch pwned) 日本"
mkdir -p "$dir"
cat >"$WORK/args.py" <<'PY'
import sys
sys.stdin.buffer.read()
for name in sys.argv[1:3]:  # the files the command names: both must be there
    open(name, "w", encoding="utf-8").write("\n".join(sys.argv[2:]) + "\n")
PY
host --size 64x48 --rate 60000/2002 --frames 2 --format 422p10 -o "$dir/out put.y4m" \
    --encoder "python3 $WORK/args.py {output_noext}.txt {output} \"x {{y}}\" {width}x{height}@{rate} {bits} {chroma}" \
    2>"$WORK/err" || fail "argument export: $(cat "$WORK/err")"
expect_eq "arguments as the encoder got them" "$(cat "$dir/out put.txt" 2>/dev/null)" \
    "$dir/out put.y4m
x {y}
64x48@30000/1001
10
422"
[ -e "$WORK/pwned" ] || [ -e "$dir/pwned" ] && fail "a path ran as a command"

# A project from another computer names a command this one lacks: refused,
# nothing started; and a saved encoder blob holds the name, not the command.
host --frames 2 --size 64x48 -o "$WORK/saved.out" --encoder "/bin/sh -c \"cat >/dev/null\" secret-$tag" \
    --save-settings "$WORK/encoder.blob" 2>/dev/null || fail "export with --save-settings"
expect_eq "encoder blob size" "$(stat -c %s "$WORK/encoder.blob")" "88"
grep -q "secret" "$WORK/encoder.blob" && fail "the blob holds the command line"
grep -q "y4mhost" "$WORK/encoder.blob" || fail "the blob does not name the command"
mkdir -p "$WORK/empty-profile"
XDG_CONFIG_HOME="$WORK/empty-profile" host --frames 2 --size 64x48 -o "$WORK/other.out" \
    --settings "$WORK/encoder.blob" 2>"$WORK/err"
expect_eq "status for a command this computer lacks" "$?" "1"
grep -q "エンコーダーのコマンド「y4mhost」がこのコンピューターにありません" "$WORK/err" ||
    fail "message for a missing command: $(cat "$WORK/err")"
[ -e "$WORK/other.out" ] && fail "wrote a file for a missing command"
finish
