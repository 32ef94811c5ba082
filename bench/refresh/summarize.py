#!/usr/bin/env python3
"""Prints the refresh benchmark's table of medians from its RESULT lines.

Each line is "RESULT <run> <key> <value>": runs 1..N are the refresh rounds
(and the compressed runs, whose keys start with plain_ or gzip_),
m1..mN the 20 MB memory runs, s1..sN the same with a silent refresh, 0 the
values measured once. Working sets are in MiB, and so is the feed in the ratios."""
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


def print_memory(v, prefix, title, med, spread):
    def m(key):
        return med(prefix + key)

    runs = len(v[prefix + "peak_delta_mb"])
    low, high = spread(prefix + "peak_delta_mb")
    feed_mib = m("feed_bytes") / 1048576
    print(f"{title} of one {m('feed_bytes') / 1e6:.1f} MB ({feed_mib:.1f} MiB) feed, median of {runs} fresh processes:")
    ratio = m('peak_delta_mb') / feed_mib
    goal = f"  (goal: at most 2.5x)  {'MET' if ratio <= 2.5 else 'MISSED'}" if prefix == "silent_memory_" else ""
    print(f"  peak working set over the one before: {m('peak_delta_mb'):.1f} MiB [{low:.1f} - {high:.1f}] "
          f"({ratio:.2f}x the feed){goal}")
    if v.get(prefix + "peak_before_panel_mb"):
        print(f"  of which reached before the panel's update began (fetch, parse, store): "
              f"{m('peak_before_panel_mb'):.1f} MiB")
    print(f"  working set before {m('ws_before_mb'):.1f} MiB, after {m('ws_after_mb'):.1f} MiB, peak after "
          f"{m('peak_after_mb'):.1f} MiB; {m('notifications'):.0f} announced; whole refresh {m('refresh_ms'):.0f} ms, "
          f"of which checks {m('refresh_checks_ms'):.0f} ms, panel update {m('panel_update_ms'):.0f} ms "
          f"({m('panel_inserts'):.0f} nodes)")


def print_panel(v, med, spread):
    runs = len(v["panel_first_thread_ms"])
    print(f"panel: one DLL refreshing the 200 feeds four times, {med('panel_opened'):.0f} channels opened after the "
          f"first; the host thread's time inside the panel, median of {runs} runs [min - max]")
    goals = {"first": 500, "same": 20}
    for name, key in (("first fill", "first"), ("nothing changed", "same"), ("one new item per feed", "one_new"),
                      ("every item new", "all_new")):
        low, high = spread(f"panel_{key}_thread_ms")
        thread = med(f"panel_{key}_thread_ms")
        goal = f"  (goal: at most {goals[key]} ms)  {'MET' if thread <= goals[key] else 'MISSED'}" \
            if key in goals else ""
        print(f"  {name:<24}{thread:>9.1f} ms [{low:.1f} - {high:.1f}]   update {med(f'panel_{key}_update_ms'):7.1f} ms; "
              f"nodes inserted {med(f'panel_{key}_inserts'):.0f}, deleted {med(f'panel_{key}_deletes'):.0f}, "
              f"new texts {med(f'panel_{key}_texts'):.0f}{goal}")
    print(f"  opening the {med('panel_opened'):.0f} channels: {med('panel_open_ms'):.1f} ms; "
          f"{med('panel_tree_nodes'):.0f} nodes at the end")


def print_slow(v, med, spread):
    feeds, delay, single = med("slow_feeds"), med("slow_delay_ms"), med("slow_single_ms")
    # One after another, each address would cost what one alone costs.
    sequential = feeds * single
    goal = sequential / 8 + single
    print(f"slow list: {feeds:.0f} feeds answering after {delay:.0f} ms, median of {len(v['slow_first_ms'])} "
          f"fresh DLLs [min - max]")
    for name, key in (("one feed alone (the slowest single fetch)", "slow_single_ms"),
                      ("first refresh", "slow_first_ms"),
                      ("  of which checks (fetch, parse, store, notify)", "slow_first_checks_ms"),
                      ("second refresh, list unchanged", "slow_second_ms"),
                      ("  of which checks", "slow_second_checks_ms")):
        low, high = spread(key)
        print(f"  {name:<44}{med(key):>10.1f} ms   [{low:.1f} - {high:.1f}]")
    print(f"  one after another: {feeds:.0f} x one alone = {sequential:.0f} ms (the waits alone: "
          f"{feeds * delay:.0f} ms)")
    print(f"  goal for the first refresh: sequential / 8 + slowest = {goal:.0f} ms  "
          f"{'MET' if med('slow_first_ms') <= goal else 'MISSED'}")
    print(f"  most requests waiting at once {med('slow_most_waiting'):.0f}; bytes downloaded: first refresh "
          f"{med('slow_first_bytes'):.0f}, second {med('slow_second_bytes'):.0f}; "
          f"{med('slow_notifications'):.0f} announced, {med('slow_errors'):.0f} errors")


def print_compressed(v, med, spread):
    runs = len(v["gzip_refresh_ms"])
    print(f"compressed: {med('gzip_feed_bytes') / 1e6:.1f} MB of feeds ({med('gzip_feed_gzip_bytes') / 1e6:.2f} MB "
          f"gzipped), per run a round answered plain then one answered gzip, median of {runs} runs [min - max]")
    print(f"  {'':<52}{'plain':>14}{'gzip':>14}{'plain/gzip':>12}")

    def ratio(a, b):
        return a / b if b else float("nan")

    def row(name, key, unit, digits):
        plain, gzip = med("plain_" + key), med("gzip_" + key)
        cells = "".join(f"{value:>{14 - len(unit) - 1}.{digits}f} {unit}" for value in (plain, gzip))
        ranges = "   ".join(f"[{low:.{digits}f} - {high:.{digits}f}]"
                           for low, high in (spread("plain_" + key), spread("gzip_" + key)))
        print(f"  {name:<52}{cells}{ratio(plain, gzip):>11.2f}x   {ranges}")

    row("bytes sent to the DLL's refresh (headers + bodies)", "refresh_bytes", "B", 0)
    row("bytes sent to curl --compressed", "curl_bytes", "B", 0)
    row("curl --compressed: 200 addresses one after another", "curl_ms", "ms", 1)
    row("our HTTP client, linked: the same 200 fetches", "client_ms", "ms", 1)
    row("DLL refresh, checks: fetch, parse, store, notify", "refresh_checks_ms", "ms", 1)
    row("DLL refresh, whole", "refresh_ms", "ms", 1)
    fewer = ratio(med("plain_refresh_bytes"), med("gzip_refresh_bytes"))
    print(f"  bytes, plain / gzip           {fewer:8.2f}x   (goal: at least 3.5x fewer)  "
          f"{'MET' if fewer >= 3.5 else 'MISSED'}")
    for kind in ("plain", "gzip"):
        print(f"  checks / curl --compressed, {kind:<5}"
              f"{ratio(med(kind + '_refresh_checks_ms'), med(kind + '_curl_ms')):8.2f}x")
    print(f"  gzip answers to the refresh: plain round {med('plain_refresh_gzip_answers'):.0f}, gzip round "
          f"{med('gzip_refresh_gzip_answers'):.0f} of {med('gzip_refresh_served'):.0f}; announced "
          f"{med('plain_notifications'):.0f} / {med('gzip_notifications'):.0f}, errors "
          f"{med('plain_errors'):.0f} / {med('gzip_errors'):.0f}; curl "
          f"{med('plain_curl_ok'):.0f} / {med('gzip_curl_ok'):.0f} x 200")


def main(path):
    v = load(path)

    def med(key):
        return statistics.median(v[key]) if v.get(key) else float("nan")

    def spread(key):
        return (min(v[key]), max(v[key])) if v.get(key) else (float("nan"), float("nan"))

    if v.get("slow_first_ms"):
        print_slow(v, med, spread)
        print()
    if v.get("gzip_refresh_ms"):
        print_compressed(v, med, spread)
        print()
    if v.get("panel_first_thread_ms"):
        print_panel(v, med, spread)
        print()
    rounds = len(v.get("refresh_ms", []))
    if rounds == 0:
        return
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
        ("  panel update: its first step -> its last", "panel_update_ms"),
        ("  (the host's thread inside the panel meanwhile)", "panel_thread_ms"),
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
    print(f"checks without the panel / curl {checks:6.2f}x")
    print(f"  nodes inserted {med('panel_inserts'):.0f}; announced {med('notifications'):.0f} notifications, "
          f"{med('news'):.0f} news entries, {med('errors'):.0f} errors; served per round: "
          f"curl {med('curl_served'):.0f} ({med('curl_ok'):.0f} x 200), refresh {med('refresh_served'):.0f}")
    if v.get("https_curl_ms"):
        print()
        print(f"https: the same 200 feeds over TLS 1.2 from one loopback server, median of "
              f"{len(v['https_curl_ms'])} rounds [min - max]")
        for name, key in (("curl: 200 addresses one after another (Linux)", "https_curl_ms"),
                          ("our HTTP client, linked: the same 200 fetches (Wine)", "https_client_ms"),
                          ("DLL refresh, checks: fetch, parse, store, notify", "https_refresh_checks_ms"),
                          ("DLL refresh, whole", "https_refresh_ms")):
            low, high = spread(key)
            print(f"{name:<{width}}{med(key):>10.1f}   [{low:.1f} - {high:.1f}]")
        ratio = med("https_refresh_checks_ms") / med("https_curl_ms")
        print(f"https checks / curl           {ratio:8.2f}x   (target: at most 2.5x)  "
              f"{'MET' if ratio <= 2.5 else 'MISSED'}")
        print(f"  announced {med('https_notifications'):.0f} notifications, {med('https_errors'):.0f} errors; "
              f"curl {med('https_curl_ok'):.0f} x 200")
    for prefix, title in (("memory_", "refresh"), ("silent_memory_", "silent refresh (nothing announced)")):
        if v.get(prefix + "peak_delta_mb"):
            print()
            print_memory(v, prefix, title, med, spread)
    probes = sorted(k for k in v if k.startswith("tree_probe_ms["))
    if probes:
        print()
        print("Wine's tree view inserting 61 000 nodes (every channel opened with its items) alone, one run")
        for key in probes:
            name = key[len("tree_probe_ms["):-1]
            print(f"  {name:<28}{med(key):>10.1f} ms")


if __name__ == "__main__":
    main(sys.argv[1])
