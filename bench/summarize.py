#!/usr/bin/env python3
"""Prints the parser benchmark's table from Google Benchmark's JSON output.

Usage: bench/summarize.py results.json [more.json ...]

Speeds are medians over the repetitions of bytes_per_second, which Google
Benchmark computes from CPU time; MB is 10^6 bytes. Given several files (runs
of scripts/bench-parser), each cell is the median of the runs' medians. Memory columns are the
heap's peak during one parse and the tree left after it, per byte of input.
"""
import json
import statistics
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


def combine(runs):
    """One row per benchmark: every number the median over the runs."""
    combined = {}
    for key in set().union(*runs):
        present = [run[key] for run in runs if key in run]
        row = dict(present[0])
        for field, value in present[0].items():
            if isinstance(value, (int, float)) and not isinstance(value, bool):
                row[field] = statistics.median(r[field] for r in present if field in r)
        combined[key] = row
    return combined


def cell(rows, parser, size, key, scale=1.0, digits=0):
    row = rows.get((parser, size))
    if row is None or key not in row:
        return "-"
    return f"{row[key] * scale:.{digits}f}"


def main():
    all_results = []
    for name in sys.argv[1:]:
        with open(name) as f:
            all_results.append(json.load(f))
    rows = combine([medians(r) for r in all_results])
    ctx = all_results[0]["context"]
    reps = max((r.get("repetitions", 1) for r in all_results[0]["benchmarks"]), default=1)
    runs = f"median of {len(all_results)} runs of {reps} repetitions" if len(all_results) > 1 else \
        f"median of {reps} repetitions"
    print(f"Parse speed in MB/s ({runs}, CPU time), build and free the tree")
    loads = "; ".join(", ".join(f"{x:.2f}" for x in r["context"].get("load_avg", [])) for r in all_results)
    print(f"machine: {ctx.get('num_cpus')} CPUs at {ctx.get('mhz_per_cpu')} MHz, load average at start: {loads}")
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
