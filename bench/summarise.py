#!/usr/bin/env python3
"""Summarises the JSON that the bench_* programs write (Google Benchmark's format) into one table:
for every figure our value, its baseline from the same run and their ratio, then one verdict line per
target. Usage: summarise.py RESULT.json ..."""
import json
import os
import re
import sys
import time

SCALE_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load(paths):
    runs, context = {}, {}
    for path in paths:
        try:
            with open(path) as f:
                data = json.load(f)
        except (OSError, ValueError) as e:
            print(f"{path}: unreadable ({e})", file=sys.stderr)
            continue
        context = context or data.get("context", {})
        for b in data.get("benchmarks", []):
            # The library appends run options to the name (".../manual_time", ".../iterations:10"): drop them.
            name = "/".join(part for part in b.get("run_name", b["name"]).split("/")
                            if not re.fullmatch(r"(manual_time|real_time|process_time|(iterations|repeats|"
                                                r"min_time|threads|min_warmup_time):[0-9.]+)", part))
            kind = b.get("aggregate_name", "")
            # With repetitions the median stands for the figure; a single run stands for itself.
            if kind and kind != "median":
                continue
            if b.get("error_occurred"):
                runs[name] = None
                continue
            if name in runs and not kind:
                continue
            entry = dict(b)
            entry["time_ns"] = b.get("real_time", 0.0) * SCALE_NS.get(b.get("time_unit", "ns"), 1.0)
            runs[name] = entry
    return runs, context


def value(runs, name, metric=None):
    if callable(name):
        return name(runs)
    entry = runs.get(name)
    if not entry:
        return None
    return entry.get(metric)


def fmt(v, unit):
    if v is None:
        return "-"
    if unit == "ns":
        if v >= 1e6:
            return f"{v / 1e6:.2f} ms"
        if v >= 1e3:
            return f"{v / 1e3:.2f} us"
        return f"{v:.0f} ns"
    if unit == "/s":
        return f"{v:,.0f} /s"
    if unit == "KiB":
        return f"{v:,.0f} KiB"
    if unit == "B":
        return f"{v:,.0f} B"
    if unit == "x":
        return f"{v:.2f}"
    return f"{v:.3g} {unit}".strip()


def per_row_growth(runs):
    big = value(runs, "window/append/window/100000", "ns_per_row")
    small = value(runs, "window/append/window/1000", "ns_per_row")
    return big / small if big and small else None


# figure: (label, ours (benchmark, metric), baseline (benchmark, metric), unit, ratio metric of ours,
#          targets [(text, metric source, limit)] where a source is (benchmark, metric) and holds when <= limit)
FIGURES = [
    ("encode request + decode status answer", ("protocol/codec/classes", "time_ns"),
     ("protocol/codec/handwritten", "time_ns"), "ns", "ratio",
     [("<= 500 ns per pair", ("protocol/codec/classes", "time_ns"), 500.0)]),
    ("GetAcoGpioInfo round trip (simulator)", ("protocol/round_trip/client", "time_ns"),
     ("protocol/round_trip/raw", "time_ns"), "ns", "ratio",
     [("ratio <= 1.3 against raw sendto/recv", ("protocol/round_trip/client", "ratio"), 1.3)]),
    ("four threads on one client: throughput", ("protocol/round_trip/four_threads", "exchanges_per_s"),
     ("protocol/round_trip/four_threads", "baseline"), "/s", "ratio",
     [(f"{role} thread's worst wait <= 3 exchanges",
       ("protocol/round_trip/four_threads", f"worst_wait_{role}"), 3.0)
      for role in ("poller", "alive", "remote", "ui")]),
    ("login to a 2x1 simulator until 19 rows shown", ("window/login/window", "time_ns"),
     ("window/login/raw", "time_ns"), "ns", "ratio",
     [("<= 50 ms", ("window/login/window", "time_ns"), 50e6)]),
    ("record of 20 changes appended, 1,000 rows", ("window/append/window/1000", "time_ns"),
     ("window/append/bare/1000", "time_ns"), "ns", "ratio",
     [("ratio <= 1.2 against a bare QTableWidget", ("window/append/window/1000", "ratio"), 1.2)]),
    ("record of 20 changes appended, 100,000 rows", ("window/append/window/100000", "time_ns"),
     ("window/append/bare/100000", "time_ns"), "ns", "ratio",
     [("ratio <= 1.2 against a bare QTableWidget", ("window/append/window/100000", "ratio"), 1.2),
      ("cost per row at 100,000 rows <= 1.5 x the cost at 1,000", (per_row_growth, None), 1.5)]),
    ("heap bytes per alarm row at 100,000 rows", ("window/memory/window", "heap_bytes_per_row"),
     ("window/memory/bare", "heap_bytes_per_row"), "B", "ratio",
     [("ratio <= 1.2 against a bare QTableWidget", ("window/memory/window", "ratio"), 1.2)]),
    ("WriteLogFile of 100,000 rows", ("window/write/window", "time_ns"), ("window/write/bare", "time_ns"), "ns",
     "ratio", [("ratio <= 1.5 against QTextStream", ("window/write/window", "ratio"), 1.5)]),
    ("alarm filter on 100,000 rows", ("window/filter/window", "time_ns"), ("window/filter/bare", "time_ns"), "ns",
     "ratio", [("<= 100 ms", ("window/filter/window", "time_ns"), 100e6)]),
    ("OnClear on 100,000 rows", ("window/clear/window", "time_ns"), ("window/clear/table", "time_ns"), "ns", "ratio",
     [("ratio <= 1.5 against setRowCount(0)", ("window/clear/window", "ratio"), 1.5),
      ("<= 100 ms", ("window/clear/window", "time_ns"), 100e6)]),
    ("start-up until shown: wall", ("session/startup/window", "time_ns"), ("session/startup/bare", "time_ns"), "ns",
     "ratio", [("wall <= 2 x a bare Qt window", ("session/startup/window", "ratio"), 2.0)]),
    ("start-up until shown: peak resident", ("session/startup/window", "peak_rss_KiB"),
     ("session/startup/bare", "peak_rss_KiB"), "KiB", "memory_ratio",
     [("memory <= 1.5 x a bare Qt window", ("session/startup/window", "memory_ratio"), 1.5)]),
    ("logged-in minute: CPU % of one core", ("session/session/logged_in", "cpu_percent_of_core"),
     ("session/session/idle", "cpu_percent_of_core"), "%", "ratio",
     [("<= 1 % of a core above idle", ("session/session/logged_in", "cpu_percent_above_idle"), 1.0)]),
    ("logged-in minute: resident growth", ("session/session/logged_in", "resident_growth_KiB"),
     ("session/session/idle", "resident_growth_KiB"), "KiB", None,
     [("growth <= 2 MB beyond the alarm rows", ("session/session/logged_in", "growth_beyond_rows_KiB"), 2048.0)]),
    ("divevod-cli check, process start to exit", ("cli/check/single", "time_ns"), ("cli/startup/bare", "time_ns"),
     "ns", "ratio", [("wall <= 2 x a bare Qt Core process", ("cli/check/single", "ratio"), 2.0),
                     ("<= 50 ms", ("cli/check/single", "time_ns"), 50e6)]),
    ("check --inventory, 100 units, 16 in flight", ("cli/inventory/answering", "time_ns"),
     ("cli/inventory/processes", "time_ns"), "ns", "ratio",
     [("<= 2 s", ("cli/inventory/answering", "time_ns"), 2e9)]),
    ("the same, every 4th unit silent", ("cli/inventory/quarter_silent", "time_ns"),
     ("cli/inventory/processes", "time_ns"), "ns", "ratio",
     [("<= 5 s", ("cli/inventory/quarter_silent", "time_ns"), 5e9)]),
    ("the same with -t 2", ("cli/inventory/quarter_silent_t2", "time_ns"),
     ("cli/inventory/processes", "time_ns"), "ns", "ratio",
     [("<= 5 s", ("cli/inventory/quarter_silent_t2", "time_ns"), 5e9)]),
    ("watch on a lively unit: CPU % of one core", ("cli/watch/session", "cpu_percent_of_core"),
     ("cli/watch/session", "baseline_cpu_percent"), "%", None,
     [("<= 0.5 % of a core", ("cli/watch/session", "cpu_percent_of_core"), 0.5)]),
    ("watch on a lively unit: resident growth", ("cli/watch/session", "resident_growth_KiB"),
     ("cli/watch/session", "baseline_growth_KiB"), "KiB", None,
     [("growth <= 1 MB", ("cli/watch/session", "resident_growth_KiB"), 1024.0)]),
] + [
    # The window's longest stall while a command waits on the device: now, beside the same command with the
    # calls made on the user-interface thread as before (same run), and the figure first measured for it.
    (f"UI stall: {label} [was {before}]", (f"wait/stall/{name}/window", "time_ns"),
     (f"wait/stall/{name}/blocking", "time_ns"), "ns", None,
     [("longest stall <= 100 ms", (f"wait/stall/{name}/window", "time_ns"), 100e6)])
    for name, label, before in (
        ("login_silent", "login, silent address", "4.0 s"),
        ("param_silent", "Config Parameter, silent", "6.7 s"),
        ("general_silent", "Device Information, silent", "6.9 s"),
        ("network_silent", "Config Network, silent", "11.4 s"),
        ("key_outage", "input key, outage", "11.3 s"),
        ("param_late", "Config Parameter, 1.5 s late", "14.7 s"))
] + [
    ("2x1 panel repaint, record changed", ("panels/panel/repaint_changed", "time_ns"),
     ("panels/panel/restyle_all_labels", "time_ns"), "ns", "ratio", []),
    ("2x1 panel repaint, same record", ("panels/panel/repaint_same", "time_ns"),
     ("panels/panel/restyle_all_labels", "time_ns"), "ns", "ratio", []),
    ("resident growth over flashing records", ("panels/panel/flashing_memory", "growth_KiB"),
     ("panels/panel/flashing_memory", "resident_before_KiB"), "KiB", None, []),
]


def main(paths):
    # Figures are named "<program>/<benchmark>", the program taken from the file name (bench_<program>.json).
    runs, context = {}, {}
    for path in paths:
        program = os.path.basename(path).rsplit(".", 1)[0].replace("bench_", "")
        sub, sub_context = load([path])
        context = context or sub_context
        for name, entry in sub.items():
            runs[f"{program}/{name}"] = entry

    print(f"date {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}; host {context.get('host_name', '?')}, "
          f"{context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz; load average "
          f"{', '.join(f'{x:.2f}' for x in context.get('load_avg', []))} at the start")
    print(f"{'figure':<44} {'ours':>14} {'baseline':>14} {'ratio':>7}")
    for label, ours, base, unit, ratio, _ in FIGURES:
        r = value(runs, ours[0], ratio) if ratio else None
        print(f"{label:<44} {fmt(value(runs, *ours), unit):>14} {fmt(value(runs, *base), unit):>14} "
              f"{fmt(r, 'x'):>7}")
    print()
    failed = 0
    for label, ours, _, _, _, targets in FIGURES:
        for text, source, limit in targets:
            v = value(runs, *source)
            if v is None:
                verdict = "not measured"
                failed += 1
            elif v <= limit:
                verdict = "holds"
            else:
                verdict = "falls short"
                failed += 1
            print(f"{label}: {text}: {verdict} ({v if v is None else round(v, 3)})")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
