#!/usr/bin/env python3
"""The module still runs on a processor without AVX2: every instruction that
touches a ymm register lies in an _AVX2 row kernel (symbols from the debug
file beside the stripped module), and only the variant table names those.

    check_avx2_confined.py MODULE MODULE.debug OBJDUMP NM
"""
import bisect
import re
import subprocess
import sys


def main(module, debug, objdump, nm):
    symbols = []
    for line in subprocess.run([nm, "--defined-only", debug], check=True, capture_output=True,
                               text=True).stdout.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[1] in "Tt" and not parts[2].startswith("."):
            symbols.append((int(parts[0], 16), parts[2]))
    symbols.sort()
    starts = [address for address, _ in symbols]
    holders = set()
    dump = subprocess.run([objdump, "-d", "--no-show-raw-insn", module], check=True, capture_output=True,
                          text=True).stdout
    for match in re.finditer(r"^\s*([0-9a-f]+):\s.*%ymm", dump, re.M):
        index = bisect.bisect_right(starts, int(match.group(1), 16)) - 1
        holders.add(symbols[index][1] if index >= 0 else "?")
    if not holders:
        sys.exit("no AVX2 instructions in the module: the AVX2 kernels are missing")
    stray = sorted(name for name in holders if not re.search(r"_AVX2P", name))
    print("AVX2 instructions in:", ", ".join(sorted(holders)))
    if stray:
        sys.exit("AVX2 instructions outside the AVX2 kernels: " + ", ".join(stray))


if __name__ == "__main__":
    main(*sys.argv[1:5])
