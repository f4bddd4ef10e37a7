#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on what goes in it.

usage: reproducible_zip.py --source-dir DIR OUT.zip [--text] NAME=PATH ...

Entries keep the order given. Every entry carries the commit's time
(SOURCE_DATE_EPOCH when set, else the time of DIR's HEAD commit) and the
same mode, rw-r--r--. Entries after --text are text for Notepad: their
line ends are written as CR LF.
"""
import os
import subprocess
import sys
import time
import zipfile


def commit_time(source_dir):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    out = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                         check=True, capture_output=True, text=True).stdout
    return int(out.strip())


def main(argv):
    if len(argv) < 4 or argv[0] != "--source-dir":
        sys.exit(__doc__.strip().splitlines()[2])
    source_dir, out, rest = argv[1], argv[2], argv[3:]
    # Zip times are DOS times: 1980 at the earliest.
    stamp = time.gmtime(max(commit_time(source_dir), 315532800))[:6]
    entries, text = [], False
    for arg in rest:
        if arg == "--text":
            text = True
            continue
        name, path = arg.split("=", 1)
        with open(path, "rb") as f:
            data = f.read()
        if text:
            data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        entries.append((name, data))
        text = False
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    partial = out + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 3  # Unix, so that the mode below is read
            info.external_attr = 0o100644 << 16  # a plain file, rw-r--r--
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, out)


if __name__ == "__main__":
    main(sys.argv[1:])
