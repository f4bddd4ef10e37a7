#!/usr/bin/env python3
"""Copies a UTF-8 C++ source with every non-ASCII character written as the
hex escapes of its code page 932 bytes, for compilers that cannot convert
string literals themselves (clang has no -fexec-charset=CP932).

    cp932_escape.py IN.cpp OUT.cpp

Each escaped character is followed by "" so that a hex digit after it is not
read as part of the escape; in comments the result is harmless.
"""
import sys


def main(source, target):
    with open(source, encoding="utf-8") as f:
        text = f.read()
    out = []
    for ch in text:
        if ord(ch) < 0x80:
            out.append(ch)
        else:
            out.append("".join(f"\\x{b:02X}" for b in ch.encode("cp932")) + '""')
    with open(target, "w", encoding="ascii") as f:
        f.write("".join(out))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
