#!/usr/bin/env python3
"""The checks at the end of bench/soak.sh: do the log, the data file and the images agree with
what the simulated router served (its --record file) and with the schedule of router states?

Times: the simulator records real time; the program, running LINTROVE_TIME_SCALE=S@T, writes
program time T + (real - T) x S, which is mapped back here. Exits 1 when a check fails.
"""
import argparse
import datetime
import os
import sys

VALUES = 8  # noise margin, sync rate, user graph 1 and 2; upstream then downstream each
failures = []


def fail(message):
    failures.append(message)
    # One fault shifts everything after it: the first few messages say what happened.
    if len(failures) <= 12:
        print("FAIL: " + message, file=sys.stderr)
    elif len(failures) == 13:
        print("FAIL: ... (further failures counted, not shown)", file=sys.stderr)


def parse_number(text):
    text = text.strip()
    if not text:
        return 0.0
    return float(text)


def read_log(path, origin, scale):
    """Rows as (real ms, program time, values or None for a row of zeros)."""
    rows = []
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().splitlines()
    for number, line in enumerate(lines, 1):
        if line.startswith("Date/Time") or set(line) <= {"-"}:
            continue  # a header pair
        fields = line.split(",")
        try:
            when = datetime.datetime.strptime(fields[0].strip(), "%a %d %b %Y  %H:%M:%S")
            values = [parse_number(v) for v in fields[2:]]
        except (ValueError, IndexError):
            fail(f"log line {number} cannot be read: {line!r}")
            continue
        program_ms = when.timestamp() * 1000
        real_ms = origin + (program_ms - origin) / scale
        if all(v == 0 for v in values):
            rows.append((real_ms, when, None))
        elif len(values) != VALUES:
            fail(f"log line {number} has {len(values)} values, not {VALUES}: {line!r}")
        else:
            rows.append((real_ms, when, values))
    return rows


def read_record(path):
    entries = []
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) < 2:
                continue
            entry = {"ms": int(parts[0]), "kind": parts[1]}
            if parts[1] == "stats":
                entry["synced"] = parts[2] == "1"
                n = [float(p) for p in parts[3:13]]
                # The log's user graphs are the defaults: maximum data rate, line attenuation.
                entry["values"] = n[0:4] + n[4:6] + n[6:8]
            entries.append(entry)
    return entries


def read_phases(path):
    phases = []
    with open(path) as f:
        for line in f:
            ms, state = line.split()
            phases.append((int(ms), state))
    return phases


def same(a, b):
    return all(abs(x - y) < 1e-6 for x, y in zip(a, b)) and len(a) == len(b)


def check_log_against_record(rows, record, sample_ms):
    """Every row with values is a statistics page the simulator served, in the order served,
    each page at most once, logged within a few samples; every synced page served was logged."""
    synced = [e for e in record if e["kind"] == "stats" and e["synced"]]
    unsynced = [e for e in record if e["kind"] == "stats" and not e["synced"]]
    j = 0
    matched = []
    for real_ms, when, values in rows:
        if values is None:
            continue
        start = j
        while j < len(synced) and not same(synced[j]["values"], values):
            j += 1
        if j == len(synced):
            fail(f"log row of {when} {values} matches no statistics page served after the "
                 f"page matched before it (a duplicate, a reordering or values never served)")
            j = start
            continue
        lag = real_ms - synced[j]["ms"]
        # Log times have whole program seconds: 1000 / scale ms of slack each way.
        if lag < -sample_ms or lag > 5 * sample_ms:
            fail(f"log row of {when} is {lag:.0f} ms away from the page it shows")
        matched.append(j)
        j += 1
    last_row_ms = max((r[0] for r in rows), default=0)
    missed = [k for k in range(len(synced)) if k not in set(matched)
              and synced[k]["ms"] < last_row_ms - sample_ms]
    print(f"statistics pages served: {len(synced)} in sync, {len(unsynced)} without sync; "
          f"log rows: {len(rows)}, {len(matched)} matched to a page, "
          f"{sum(1 for r in rows if r[2] is None)} of zeros")
    # A page the browser was still loading when the next sample's load replaced it was served
    # but never completed (a machine too busy for the fast time line); more than one in a
    # hundred is a fault.
    if missed:
        print(f"statistics pages in sync served and never logged: {len(missed)}, at "
              f"{[synced[k]['ms'] for k in missed[:10]]}")
    if len(missed) > len(synced) / 100:
        fail(f"{len(missed)} of {len(synced)} statistics pages in sync were served and never "
             f"logged")
    # Without sync the page's values are zeros: each such page is a row of zeros.
    zero_ms = [r[0] for r in rows if r[2] is None]
    for e in unsynced:
        if e["ms"] >= last_row_ms - sample_ms:
            continue
        if not any(-sample_ms <= z - e["ms"] <= 5 * sample_ms for z in zero_ms):
            fail(f"the page without sync served at {e['ms']} has no row of zeros")


def check_phases(rows, phases, sample_ms, end_ms):
    """Per router state, what the log must show once the program has had time to see it."""
    grace = 3 * sample_ms + 400  # two samples to notice, plus the slow router's delay
    for i, (start, state) in enumerate(phases):
        stop = phases[i + 1][0] if i + 1 < len(phases) else end_ms
        lo, hi = start + grace, stop
        if hi - lo < 3 * sample_ms:
            continue
        inside = [r for r in rows if lo <= r[0] < hi]
        expected = (hi - lo) / sample_ms
        zeros = sum(1 for r in inside if r[2] is None)
        label = f"{state} phase at {start} ({len(inside)} rows, {zeros} of zeros, " \
                f"about {expected:.0f} samples)"
        if state in ("answers", "slow"):
            if zeros:
                fail(f"{label}: rows of zeros while the router answered")
            if len(inside) < expected / 2:
                fail(f"{label}: the program did not keep sampling")
        elif state in ("nosync", "down", "garbage", "empty"):
            if zeros != len(inside):
                fail(f"{label}: rows with values while the router had none to give")
            if len(inside) < expected / 2:
                fail(f"{label}: the program did not keep sampling (zeros expected)")
        elif state == "wrongpassword":
            if inside:
                fail(f"{label}: rows were written while the router refused the password")


def read_data(path):
    lines = []
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f.read().splitlines(), 1):
            fields = line.split(",")
            try:
                label = fields[0]
                day, clock = label.split(" ", 1)[1].split("!")
                h, m, s = (int(x) for x in clock.split(":"))
                values = [float(v) for v in fields[1:]]
            except (ValueError, IndexError):
                fail(f"data file line {number} cannot be read: {line!r}")
                continue
            lines.append((int(day), h * 3600 + m * 60 + s, values, label))
    return lines


def check_data(data, rows):
    """The data file: one line per logged sample, same times and values, in time order, no
    duplicates."""
    if len(data) != len(rows):
        fail(f"data file has {len(data)} lines, the log {len(rows)} rows")
    previous = None
    month_days = 0
    last_day = None
    for (day, seconds, values, label), (real_ms, when, logged) in zip(data, rows):
        if last_day is not None and day < last_day:
            month_days += 31  # a new month: only the order matters
        last_day = day
        key = (day + month_days) * 86400 + seconds
        if previous is not None and key <= previous:
            fail(f"data file line {label} is not later than the line before it")
        previous = key
        if day != when.day or seconds != when.hour * 3600 + when.minute * 60 + when.second:
            fail(f"data file line {label} and log row of {when} differ in time")
        wanted = logged if logged is not None else [0.0] * VALUES
        if len(values) != VALUES or not same(values, wanted):
            fail(f"data file line {label} has {values}, the log {wanted}")


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--log", required=True)
    p.add_argument("--data", required=True)
    p.add_argument("--record", required=True)
    p.add_argument("--phases", required=True)
    p.add_argument("--capture", required=True)
    p.add_argument("--scale", type=float, required=True)
    p.add_argument("--origin", type=int, required=True)
    p.add_argument("--sample-ms", type=int, required=True)
    a = p.parse_args()

    for path in (a.log, a.data, a.record, a.phases):
        if not os.path.exists(path):
            fail(f"{path} is missing")
    if failures:
        return 1
    rows = read_log(a.log, a.origin, a.scale)
    record = read_record(a.record)
    phases = read_phases(a.phases)
    if not rows:
        fail("the log has no rows")
        return 1
    end_ms = max(r[0] for r in rows) + a.sample_ms
    check_log_against_record(rows, record, a.sample_ms)
    check_phases(rows, phases, a.sample_ms, end_ms)
    check_data(read_data(a.data), rows)
    images = [f for f in os.listdir(a.capture) if f.lower().endswith(".jpg")] \
        if os.path.isdir(a.capture) else []
    # One capture per full page of 60 samples, and one at close.
    pages = len(rows) // 60
    print(f"captured images: {len(images)} for {pages} full pages and the close")
    if len(images) < pages + 1:
        fail(f"only {len(images)} captured images for {pages} full pages and the close")
    kinds = {}
    for e in record:
        kinds[e["kind"]] = kinds.get(e["kind"], 0) + 1
    print("simulator answers: " + ", ".join(f"{k} {v}" for k, v in sorted(kinds.items())))
    if failures:
        print(f"{len(failures)} check failures", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
