#!/usr/bin/env python3
"""Compares the frames of two .y4m files of the same format sample by sample.

  compare_samples.py OURS REF exact|one|rgb|rgb-one

exact: every sample equal. one: every sample within one code. rgb: equal
wherever the pixels a sample is made from (the even pixel for chroma, of both
rows in 4:2:0) have, with the reference's chroma repeated over them, a colour
inside R'G'B''s range, read with BT.709 from 720 lines and BT.601 below; a
16-bit RGB picture cannot hold any other, so there the sample may differ.
rgb-one: as rgb, but within one code where the colour is inside.
Prints what it found; exit status 1 on any other difference.
"""
import array
import re
import sys


def read(path):
    data = open(path, "rb").read()
    end = data.index(b"\n")
    tags = dict((t[0], t[1:]) for t in data[:end].decode().split()[1:])
    frames = data[end + 1:].split(b"FRAME\n")[1:]
    return tags, frames


def main():
    ours_path, ref_path, mode = sys.argv[1:4]
    ours_tags, ours = read(ours_path)
    ref_tags, ref = read(ref_path)
    width, height = int(ref_tags["W"]), int(ref_tags["H"])
    # "420mpeg2", "420jpeg" and "420" differ in chroma siting only.
    def format_of(tags):
        found = re.match(r"(\d{3})(?:p(\d+))?", tags.get("C", "420"))
        return found.group(1), int(found.group(2) or 8)
    layout, bits = format_of(ref_tags)
    cw, ch = (width, height) if layout == "444" else (width // 2, height // 2 if layout == "420" else height)
    if (ours_tags["W"], ours_tags["H"], format_of(ours_tags)) != (ref_tags["W"], ref_tags["H"], (layout, bits)) or len(ours) != len(ref):
        print("different formats or frame counts:", ours_tags, ref_tags, len(ours), len(ref))
        return 1
    kr, kb = (0.2126, 0.0722) if height >= 720 else (0.299, 0.114)
    s = 1 << (bits - 8)
    total = differing = excused = worst = 0
    for a, b in zip(ours, ref):
        if bits > 8:
            a, b = array.array("H", a), array.array("H", b)
        planes = [(0, width, height), (width * height, cw, ch), (width * height + cw * ch, cw, ch)]

        def sample(plane, row, x):
            start, w, _ = planes[plane]
            return b[start + row * w + x]

        def in_gamut(row, x):  # the reference's colour at pixel (row, x), chroma repeated
            crow = row // 2 if layout == "420" else row
            cx = x if layout == "444" else x // 2
            y = (sample(0, row, x) - 16 * s) / (219 * s)
            pb = (sample(1, crow, cx) - 128 * s) / (224 * s)
            pr = (sample(2, crow, cx) - 128 * s) / (224 * s)
            r = y + 2 * (1 - kr) * pr
            bl = y + 2 * (1 - kb) * pb
            g = (y - kr * r - kb * bl) / (1 - kr - kb)
            return all(-1e-9 <= v <= 1 + 1e-9 for v in (r, g, bl))

        total += len(b)
        for i, (p, q) in enumerate(zip(a, b)):
            if p == q:
                continue
            differing += 1
            worst = max(worst, abs(p - q))
            if mode in ("one", "rgb-one") and abs(p - q) <= 1:
                continue
            if mode.startswith("rgb"):
                plane = 0 if i < width * height else 1 if i < width * height + cw * ch else 2
                start, w, _ = planes[plane]
                row, x = divmod(i - start, w)
                if plane == 0:
                    pixels = [(row, x)]
                else:
                    px = x if layout == "444" else 2 * x
                    pixels = [(2 * row, px), (2 * row + 1, px)] if layout == "420" else [(row, px)]
                if not all(in_gamut(r, c) for r, c in pixels):
                    excused += 1
                    continue
            print("sample %d of a frame: %d, not %d" % (i, p, q))
            return 1
    print("%d samples, %d differ (%d where the colour is outside R'G'B'), the most by %d" % (total, differing, excused, worst))
    return 0


sys.exit(main())
