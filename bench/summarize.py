#!/usr/bin/env python3
"""Prints the parser benchmark's table from Google Benchmark's JSON output.

Usage: bench/summarize.py results.json

Speeds are medians over the repetitions of bytes_per_second, which Google
Benchmark computes from CPU time; MB is 10^6 bytes. Memory columns are the
heap's peak during one parse and the tree left after it, per byte of input.
"""
import json
import sys

PARSERS = ["ours", "pugixml", "tinyxml2", "libxml2", "expat"]
SIZES = ["20KB", "1MB", "20MB"]


def medians(results):
    found = {}
    for row in results["benchmarks"]:
        if row.get("run_type") == "aggregate" and row.get("aggregate_name") != "median":
            continue
        parser, size = row["run_name"].split("/")
        found[(parser, size)] = row
    return found


def cell(rows, parser, size, key, scale=1.0, digits=0):
    row = rows.get((parser, size))
    if row is None or key not in row:
        return "-"
    return f"{row[key] * scale:.{digits}f}"


def main():
    with open(sys.argv[1]) as f:
        results = json.load(f)
    rows = medians(results)
    ctx = results["context"]
    reps = max((r.get("repetitions", 1) for r in results["benchmarks"]), default=1)
    print(f"Parse speed in MB/s (median of {reps} repetitions, CPU time), build and free the tree")
    print(f"machine: {ctx.get('num_cpus')} CPUs at {ctx.get('mhz_per_cpu')} MHz, "
          f"load average at start {', '.join(f'{x:.2f}' for x in ctx.get('load_avg', []))}")
    sizes = {s: cell(rows, "ours", s, "input_bytes", 1e-3, 0) for s in SIZES}
    print("documents: " + ", ".join(f"{s} = {sizes[s]} kB" for s in SIZES))
    print()
    header = ["parser"] + [f"{s} MB/s" for s in SIZES] + ["peak/input 1MB", "tree/input 1MB", "peak/input 20MB"]
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join("---" for _ in header) + "|")
    for p in PARSERS:
        line = [p] + [cell(rows, p, s, "bytes_per_second", 1e-6) for s in SIZES]
        line += [cell(rows, p, "1MB", "peak_per_input", 1, 2), cell(rows, p, "1MB", "tree_per_input", 1, 2),
                 cell(rows, p, "20MB", "peak_per_input", 1, 2)]
        print("| " + " | ".join(line) + " |")
    print()

    def rate(p):
        row = rows.get((p, "1MB"))
        return row["bytes_per_second"] if row else None

    ours, tiny, pugi = rate("ours"), rate("tinyxml2"), rate("pugixml")
    if ours and tiny and pugi:
        tree = rows[("ours", "1MB")]["tree_per_input"]
        peak = rows[("ours", "1MB")]["peak_per_input"]
        print(f"1 MB document: ours/tinyxml2 = {ours / tiny:.2f} (target >= 2.00), "
              f"ours/pugixml = {ours / pugi:.2f} (target >= 0.50), "
              f"ours' tree = {tree:.2f} x input, peak {peak:.2f} x input (target <= 4.00)")


if __name__ == "__main__":
    main()
