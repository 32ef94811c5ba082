#!/usr/bin/env python3
"""Prints the refresh benchmark's table of medians from its RESULT lines.

Each line is "RESULT <run> <key> <value>": runs 1..N are the refresh rounds,
m1..mN the 20 MB memory runs, 0 the values measured once."""
import statistics
import sys
from collections import defaultdict


def load(path):
    values = defaultdict(list)
    with open(path) as lines:
        for line in lines:
            parts = line.split()
            if len(parts) == 4 and parts[0] == "RESULT":
                values[parts[2]].append(float(parts[3]))
    return values


def main(path):
    v = load(path)

    def med(key):
        return statistics.median(v[key]) if v.get(key) else float("nan")

    def spread(key):
        return (min(v[key]), max(v[key])) if v.get(key) else (float("nan"), float("nan"))

    rounds = len(v.get("refresh_ms", []))
    memory_runs = len(v.get("memory_peak_delta_mb", []))
    print(f"Refresh at scale: 200 feeds x 50 items ({med('feed_bytes') / 1e6:.1f} MB in all), "
          f"median of {rounds} rounds [min - max]")
    print()
    rows = [
        ("curl: 200 addresses one after another (Linux)", "curl_ms"),
        ("plain blocking WinSock, 64 KB reads: the same 200 (Wine)", "winsock_ms"),
        ("  the same with 4095-byte reads", "winsock_4k_ms"),
        ("  the same, WSAStartup + gethostbyname per fetch", "winsock_4k_startup_ms"),
        ("our HTTP client, linked: the same 200 fetches (Wine)", "client_ms"),
        ("readFeed, linked: fetch + parse + read of the 200 (Wine)", "readfeed_ms"),
        ("DLL refresh, whole: timer event -> worker's end", "refresh_ms"),
        ("  worker start: timer event -> feed list read", "refresh_start_ms"),
        ("  checks: fetch, parse, store, notify (200 feeds)", "refresh_checks_ms"),
        ("  panel rebuild: 10 000 items, tree emptied -> last node", "rebuild_ms"),
        ("  end: last node -> worker's end logged", "refresh_tail_ms"),
        ("  (inside the recording host's callService, all phases)", "refresh_host_ms"),
    ]
    width = max(len(name) for name, _ in rows) + 2
    print(f"{'measure':<{width}}{'ms':>10}   range")
    for name, key in rows:
        low, high = spread(key)
        print(f"{name:<{width}}{med(key):>10.1f}   [{low:.1f} - {high:.1f}]")
    print()
    whole = med("refresh_ms") / med("curl_ms")
    checks = med("refresh_checks_ms") / med("curl_ms")
    print(f"whole refresh / curl          {whole:8.2f}x   (target: at most 2x)  "
          f"{'MET' if whole <= 2 else 'MISSED'}")
    print(f"checks without rebuild / curl {checks:8.2f}x")
    rebuild = med("rebuild_ms")
    print(f"panel rebuild of 10 000 items {rebuild / 1000:8.2f} s   (target: under 1 s)  "
          f"{'MET' if rebuild < 1000 else 'MISSED'}")
    print(f"  nodes inserted {med('rebuild_inserts'):.0f}; announced {med('notifications'):.0f} notifications, "
          f"{med('news'):.0f} news entries, {med('errors'):.0f} errors; served per round: "
          f"curl {med('curl_served'):.0f} ({med('curl_ok'):.0f} x 200), refresh {med('refresh_served'):.0f}")
    if memory_runs:
        low, high = spread("memory_peak_delta_mb")
        print()
        print(f"refresh of one {med('memory_feed_bytes') / 1e6:.1f} MB feed, median of {memory_runs} fresh processes:")
        print(f"  peak working set over the one before: {med('memory_peak_delta_mb'):.1f} MB [{low:.1f} - {high:.1f}] "
              f"({med('memory_peak_delta_mb') * 1048576 / med('memory_feed_bytes'):.1f}x the feed)")
        print(f"  working set before {med('memory_ws_before_mb'):.1f} MB, peak after {med('memory_peak_after_mb'):.1f} MB; "
              f"{med('memory_notifications'):.0f} items; whole refresh {med('memory_refresh_ms'):.0f} ms, "
              f"of which checks {med('memory_refresh_checks_ms'):.0f} ms, rebuild {med('memory_rebuild_ms'):.0f} ms "
              f"({med('memory_rebuild_inserts'):.0f} nodes)")
    probes = sorted(k for k in v if k.startswith("tree_probe_ms["))
    if probes:
        print()
        print("where a rebuild's time goes: the same 61 000 tree-view inserts alone (one run)")
        for key in probes:
            name = key[len("tree_probe_ms["):-1]
            print(f"  {name:<28}{med(key):>10.1f} ms")


if __name__ == "__main__":
    main(sys.argv[1])
