#!/usr/bin/python3
"""Turns converters_bench's JSON output into a table of ratios and a chart.

    bench/report.py RESULTS.json CHART.png
    bench/report.py --builds RESULTS.json TIMING64.txt TIMING32.txt TIMINGAUO2.txt

Ratios: each converter's time per frame against memcpy of the same input and
against libyuv's equivalent (YUY2ToI420 for both 4:2:0 converters,
YUY2ToI422 for 4:2:2). Above 1 means faster than the other.
"""
import json
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402


def load(results_path):
    with open(results_path) as f:
        data = json.load(f)
    times, rates = {}, {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"])
        times[name] = b["real_time"] / 1000.0  # microseconds
        rates[name] = b["bytes_per_second"] / 1e9
    return times, rates


PEERS = {"ConvertYUY2To420": "YUY2ToI420", "ConvertYUY2To420Interlaced": "YUY2ToI420",
         "ConvertYUY2To422": "YUY2ToI422"}


def builds(results_path, timing64_path, timing32_path, timing_auo2_path):
    """The modules' variants (variant_timing under Wine: the 32-bit .auo's and
    the 64-bit .auo2's) beside the native 64-bit ones and libyuv,
    microseconds per frame: the median of the runs each timing file holds."""
    times, _ = load(results_path)
    timing = {}
    for bits, path in (("64", timing64_path), ("32", timing32_path), ("auo2", timing_auo2_path)):
        with open(path) as f:
            for line in f:
                parts = line.replace("\r", "").split()
                if len(parts) == 4 and "/" in parts[1]:
                    variant, converter = parts[1].split("/")
                    timing.setdefault((bits, variant, converter, parts[2]), []).append(float(parts[3]))
    timing = {key: sorted(values)[len(values) // 2] for key, values in timing.items()}
    print("| size | converter | libyuv | native 64-bit SSE2 | native 64-bit AVX2 | .auo SSE2 | .auo AVX2 "
          "| .auo/native AVX2 | .auo2 SSE2 | .auo2 AVX2 |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    for size in ["720x480", "1920x1080", "3840x2160"]:
        for converter, peer in PEERS.items():
            cells = [timing.get((bits, variant, converter, size)) for bits in ("64", "32")
                     for variant in ("SSE2", "AVX2")]
            auo2 = " | ".join("n/a" if c is None else f"{c:.1f}"
                              for c in (timing.get(("auo2", variant, converter, size)) for variant in ("SSE2", "AVX2")))
            shown = " | ".join("n/a" if c is None else f"{c:.1f}" for c in cells)
            ratio = f"{cells[3] / cells[1]:.2f}" if cells[1] and cells[3] else "n/a"
            print(f"| {size} | {converter} | {times[f'libyuv/{peer}/{size}']:.1f} | {shown} | {ratio} | {auo2} |")


def main(results_path, chart_path):
    times, rates = load(results_path)
    sizes = ["720x480", "1920x1080", "3840x2160"]
    peers = PEERS
    print("| size | converter | us/frame | GB/s in | vs memcpy | vs libyuv |")
    print("|---|---|---|---|---|---|")
    chart = {}
    for size in sizes:
        memcpy = times[f"memcpy/{size}"]
        print(f"| {size} | memcpy | {memcpy:.1f} | {rates[f'memcpy/{size}']:.1f} | 1.00 | |")
        for peer in ("YUY2ToI420", "YUY2ToI422"):
            t = times[f"libyuv/{peer}/{size}"]
            print(f"| {size} | libyuv {peer} | {t:.1f} | {rates[f'libyuv/{peer}/{size}']:.1f} | {memcpy / t:.2f} | 1.00 |")
            chart.setdefault(size, []).append((f"libyuv {peer}", rates[f"libyuv/{peer}/{size}"]))
        chart[size].insert(0, ("memcpy", rates[f"memcpy/{size}"]))
        for name in sorted(times):
            parts = name.split("/")
            if len(parts) != 3 or parts[2] != size or parts[0] in ("memcpy", "libyuv"):
                continue
            variant, converter = parts[0], parts[1]
            t = times[name]
            peer = times[f"libyuv/{peers[converter]}/{size}"]
            print(f"| {size} | {variant} {converter} | {t:.1f} | {rates[name]:.1f} | {memcpy / t:.2f} | {peer / t:.2f} |")
            if variant != "C":
                chart[size].append((f"{variant} {converter.replace('ConvertYUY2To', '')}", rates[name]))

    fig, axes = plt.subplots(1, len(sizes), figsize=(15, 5), sharey=False)
    for ax, size in zip(axes, sizes):
        labels = [label for label, _ in chart[size]]
        values = [value for _, value in chart[size]]
        colours = ["#888888" if l == "memcpy" else "#d98c3f" if l.startswith("libyuv") else "#3f7fd9" for l in labels]
        ax.barh(labels, values, color=colours)
        ax.set_title(size)
        ax.set_xlabel("GB/s of YUY2 input")
        ax.invert_yaxis()
    fig.suptitle("Converter throughput: ours (blue) against memcpy (grey) and libyuv (orange)")
    fig.tight_layout()
    fig.savefig(chart_path, dpi=80)


if __name__ == "__main__":
    if sys.argv[1] == "--builds":
        builds(*sys.argv[2:6])
    else:
        main(sys.argv[1], sys.argv[2])
