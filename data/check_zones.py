#!/usr/bin/python3
"""Compare the program's zone conversions with Debian's tzdata.

    check_zones.py --probe "<command running zoneprobe.exe>" --folder <program folder>
                   [--years 2026 2027] [--jobs 4] [--zones NAME ...]

For every zone of timezones.txt that CLDR maps to an IANA zone, one probe call
converts a set of UTC instants: instants spread over the years plus each
transition with +-1 s and +-1 h. The probe prints per instant
"<instant> <local> <state> [<local by the own arithmetic>]"; both local times
must equal zoneinfo's. Disagreements listed in gen_timezones.py as accepted
are skipped. Prints every disagreement, then "N passed, M failed" (zones);
the exit status is 1 when any zone failed.
"""

import argparse
import concurrent.futures
import datetime as dt
import os
import shlex
import subprocess
import sys
from zoneinfo import ZoneInfo

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from gen_timezones import (is_accepted, read_timezones, utc_ts,  # noqa: E402
                           windows_zone_map, zone_transitions, zoneinfo_local)

# keeps each command line near 8 KB
MAX_INSTANTS = 390


def instants_for(iana, years):
    """Sorted naive UTC datetimes to probe for one zone."""
    spans = [(utc_ts(y), utc_ts(y + 1)) for y in sorted(set(years))]
    moments = set()
    for start, end in spans:
        for t, _before, _after in zone_transitions(iana, start - 86400, end + 86400):
            for d in (-3600, -1, 0, 1, 3600):
                if start <= t + d < end:
                    moments.add(t + d)
    budget = max(MAX_INSTANTS - len(moments), len(spans))
    total = sum(end - start for start, end in spans)
    step = -(-total // budget)
    step += -step % 3600
    if step % 86400 == 0:
        step += 3600   # let the hour of day wander
    spread = {t for start, end in spans for t in range(start, end, step)}
    return [dt.datetime.fromtimestamp(t, dt.timezone.utc).replace(tzinfo=None)
            for t in sorted(moments | spread)]


def fmt_utc(u):
    return u.strftime("%Y-%m-%dT%H:%M:%SZ")


def probe_zone(cmd, folder, zone, iana, years, timeout):
    """Returns (zone, list of disagreement lines, accepted count)."""
    instants = instants_for(iana, years)
    args = cmd + [folder, zone] + [fmt_utc(u) for u in instants]
    # The probe itself exits with 0 or 2; any other code is Wine failing to
    # start the process (seen under heavy load), so such a call is tried once more.
    for attempt in range(2):
        try:
            proc = subprocess.run(args, capture_output=True, text=True, errors="replace",
                                  timeout=timeout)
        except subprocess.TimeoutExpired:
            return zone, ["%s: probe timed out after %d s" % (zone, timeout)], 0
        except OSError as e:
            return zone, ["%s: cannot run probe: %s" % (zone, e)], 0
        if proc.returncode in (0, 2):
            break
    if proc.returncode != 0:
        err = (proc.stderr.strip() or proc.stdout.strip()).splitlines()[-1:] or [""]
        return zone, ["%s: probe exited with %d: %s" % (zone, proc.returncode, err[0])], 0

    got = {}
    for line in proc.stdout.splitlines():
        f = line.split()
        if len(f) >= 3 and f[0].endswith("Z"):
            got[f[0]] = f[1:]
    z = ZoneInfo(iana)
    bad, accepted = [], 0
    for u in instants:
        key = fmt_utc(u)
        want = zoneinfo_local(z, u).strftime("%Y-%m-%dT%H:%M:%S")
        fields = got.get(key)
        if fields is None:
            bad.append("%s: %s no output" % (zone, key))
            continue
        results = [("", fields[0])]
        if len(fields) >= 3:
            results.append((" (own arithmetic)", fields[2]))
        for label, value in results:
            if value == want:
                continue
            if is_accepted(zone, u):
                accepted += 1
                continue
            bad.append("%s%s: %s expected %s got %s" % (zone, label, key, want, value))
    return zone, bad, accepted


def main():
    this_year = dt.datetime.now(dt.timezone.utc).year
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--probe", required=True,
                    help="command prefix that runs zoneprobe.exe, e.g. \"wine build/zoneprobe.exe\"")
    ap.add_argument("--folder", required=True,
                    help="program folder holding timezones.txt, as the probe sees it")
    ap.add_argument("--years", type=int, nargs="+", default=[this_year, this_year + 1])
    ap.add_argument("--jobs", type=int, default=4, help="probe calls run at once (default 4)")
    ap.add_argument("--timeout", type=int, default=120, help="seconds per probe call")
    ap.add_argument("--zones", nargs="+", help="only these Windows zone names")
    ap.add_argument("--zones-file", default=os.path.join(HERE, "timezones.txt"),
                    help="timezones.txt naming the zones to probe")
    args = ap.parse_args()

    cmd = shlex.split(args.probe)
    with open(args.zones_file, encoding="latin-1") as f:
        names = [r.name for r in read_timezones(f.read())]
    zone_map = windows_zone_map()
    zones = [n for n in names if n in zone_map and (not args.zones or n in args.zones)]
    if not zones:
        print("no zones to probe")
        return 1

    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        futures = [pool.submit(probe_zone, cmd, args.folder, n, zone_map[n], args.years, args.timeout)
                   for n in zones]
        results = [f.result() for f in futures]

    passed = failed = accepted = 0
    for zone, bad, acc in results:
        accepted += acc
        for line in bad:
            print(line)
        if bad:
            failed += 1
        else:
            passed += 1
    if accepted:
        print("%d accepted disagreements skipped" % accepted)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
