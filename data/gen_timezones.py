#!/usr/bin/python3
"""Generate timezones.txt and tz_changes.txt from Debian's tzdata.

One record per Windows zone of CLDR's windowsZones.xml (territory 001 gives
the IANA zone that defines its rules). Rules come from Python's zoneinfo;
names come from the time-zone list Wine installs in its registry, so the file
agrees with what the program later reads there. Wine's rule data is never
used: it lags behind tzdata.

A zone whose daylight saving follows one weekday rule in every year from the
current year to LAST_YEAR gets that rule and no change lines. Any other zone
gets fixed dates (week rule 0, no year) for one daylight period, and change
lines replace them period by period, each effective half-way between two
periods; a new standard offset takes effect at its own moment. Change lines
always restate every rule field because the program applies each one to the
zone as loaded, not to the previous change, and they cannot clear the
daylight dates: "no daylight saving" after a zone had it is written as both
dates on 1 January 00:00 with daylight bias 0.

The module also holds a model of how the program reads the two files and
converts UTC to zone time; after writing, the files are read back through it
and compared with zoneinfo. check_zones.py imports the shared pieces.

    gen_timezones.py [--out DIR] [--first-year YEAR] [--check-only]
"""

import argparse
import bisect
import calendar
import datetime as dt
import glob
import os
import re
import subprocess
import sys
import unicodedata
from zoneinfo import ZoneInfo

LAST_YEAR = 2037
HERE = os.path.dirname(os.path.abspath(__file__))
UTC = dt.timezone.utc

# Disagreements with tzdata that the record format cannot avoid. Each entry:
# (Windows zone name, first UTC instant, end UTC instant (exclusive), reason),
# instants as naive UTC datetimes. None is needed with tzdata 2025b: a
# transition a weekday rule cannot state exactly (Egypt's "last Thursday
# 24:00", Chile's "Sunday on or after the 2nd") makes the zone use yearly fixed
# dates, which are exact. The usual weekday fallback of 23:59:59 would even be
# a minute off under Wine, whose conversion ignores the rule's seconds.
ACCEPTED_DISAGREEMENTS = []


def is_accepted(zone_name, utc):
    """utc: naive UTC datetime."""
    for name, start, end, _reason in ACCEPTED_DISAGREEMENTS:
        if name == zone_name and start <= utc < end:
            return True
    return False


# ---------------------------------------------------------------- sources

def windows_zones_xml():
    try:
        out = subprocess.run(["dpkg", "-L", "unicode-cldr-core"], capture_output=True,
                             text=True, check=True).stdout
        for line in out.splitlines():
            if line.endswith("/windowsZones.xml"):
                return line
    except (OSError, subprocess.CalledProcessError):
        pass
    return "/usr/share/unicode/cldr/common/supplemental/windowsZones.xml"


def windows_zone_map():
    """{Windows zone name: IANA zone} from the territory 001 entries."""
    with open(windows_zones_xml(), encoding="utf-8") as f:
        text = f.read()
    result = {}
    for attrs in re.findall(r"<mapZone\s([^>]*)/>", text):
        a = dict(re.findall(r'(\w+)="([^"]*)"', attrs))
        if a.get("territory") == "001":
            result[a["other"]] = a["type"].split()[0]
    return result


def cldr_version():
    try:
        return subprocess.run(["dpkg-query", "-W", "-f=${Version}", "unicode-cldr-core"],
                              capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return "unknown"


def tzdata_version():
    with open("/usr/share/zoneinfo/tzdata.zi", encoding="ascii", errors="replace") as f:
        for line in f:
            if line.startswith("# version"):
                return line.split()[2]
    return "unknown"


def _wine_inf_names(path):
    """Time Zones entries of a wine.inf that still carries them (Wine 7 and older)."""
    names = {}
    if not os.path.exists(path):
        return names
    pat = re.compile(r'^HKLM,[^,]*\\Time Zones\\([^,]+),"(Display|Std|Dlt)",[^,]*,"(.*)"\s*$')
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = pat.match(line)
            if m:
                names.setdefault(m.group(1), {})[m.group(2)] = m.group(3)
    return names


def _wine_registry_script_names():
    """Wine 8 ships the zone list as a registry script inside kernelbase.dll."""
    names = {}
    for path in sorted(glob.glob("/usr/lib/*/wine/*-windows/kernelbase.dll")):
        with open(path, "rb") as f:
            data = f.read()
        start = data.find(b"'Time Zones'")
        if start < 0:
            continue
        end = data.find(b"\0", start)
        text = data[start:end].decode("latin-1")
        depth, zone = 0, None
        for line in text.splitlines()[1:]:
            s = line.strip()
            if s == "{":
                depth += 1
                continue
            if s == "}":
                depth -= 1
                if depth <= 0:
                    break
                continue
            if depth == 1 and not s.startswith("val "):
                zone = s[1:-1] if s.startswith("'") else s
                names[zone] = {}
                continue
            m = re.match(r"^val '(Display|Std|Dlt)' = s '(.*)'$", s)
            if depth == 2 and zone and m:
                names[zone][m.group(1)] = m.group(2).replace("''", "'")
        if names:
            break
    return names


def wine_zone_names():
    names = _wine_registry_script_names()
    names.update(_wine_inf_names("/usr/share/wine/wine.inf"))
    return names


def ascii_text(s):
    s = unicodedata.normalize("NFKD", s).encode("ascii", "ignore").decode("ascii")
    return s.replace("\t", " ")


# ------------------------------------------------------------ transitions

def utc_ts(y, mo=1, d=1):
    return int(dt.datetime(y, mo, d, tzinfo=UTC).timestamp())


def zone_state(z, t):
    """(utc offset, standard offset, in daylight saving) at UTC second t; offsets in minutes."""
    loc = dt.datetime.fromtimestamp(t, UTC).astimezone(z)
    off = int(loc.utcoffset().total_seconds()) // 60
    dst = int(loc.dst().total_seconds()) // 60 if loc.dst() else 0
    return off, off - dst, dst != 0


def zone_transitions(iana, start, end, step=6 * 3600):
    """[(UTC second, state before, state after)] where the UTC offset or the
    daylight flag changes, start <= t < end."""
    z = ZoneInfo(iana)
    out = []
    t, st = start, zone_state(z, start)
    while t < end:
        t2 = min(t + step, end)
        st2 = zone_state(z, t2)
        if st2 != st:
            lo, hi = t, t2
            while hi - lo > 1:
                mid = (lo + hi) // 2
                if zone_state(z, mid) == st:
                    lo = mid
                else:
                    hi = mid
            out.append((hi, st, zone_state(z, hi)))
            # a second change inside one step would be lost; rescan from there
            t, st = hi, zone_state(z, hi)
            continue
        t, st = t2, st2
    return out


def zoneinfo_local(z, utc):
    """utc: naive UTC datetime -> naive local datetime."""
    return utc.replace(tzinfo=UTC).astimezone(z).replace(tzinfo=None)


# ----------------------------------------------------------------- records

class Record:
    """The rule part of a zone record. Dates are [wYear, wMonth, wDayOfWeek,
    wDay, wHour, wMinute, wSecond]."""

    def __init__(self):
        self.zone_id = 0
        self.name = ""
        self.display = ""
        self.bias = 0
        self.std_name = ""
        self.std_bias = 0
        self.std_date = [0] * 7
        self.std_rule = 0
        self.dlt_name = ""
        self.dlt_bias = 0
        self.dlt_date = [0] * 7
        self.dlt_rule = 0

    def copy(self):
        r = Record()
        r.__dict__.update(self.__dict__)
        r.std_date = list(self.std_date)
        r.dlt_date = list(self.dlt_date)
        return r

    def rules(self):
        return (self.bias, self.std_bias, tuple(self.std_date), self.std_rule,
                self.dlt_bias, tuple(self.dlt_date), self.dlt_rule)


def _date_fields(date, rule):
    y, mo, dow, day, h, mi, s = date
    return [str(y), str(mo), str(day), str(dow), str(rule), "%02d:%02d:%02d" % (h, mi, s)]


def rule_fields(rec):
    """Fields 3..19 of a line (field 2 is left to the caller)."""
    f = [str(rec.bias), rec.std_name]
    if rec.std_date[1]:
        f += [str(rec.std_bias)] + _date_fields(rec.std_date, rec.std_rule)
        f += [rec.dlt_name, str(rec.dlt_bias)] + _date_fields(rec.dlt_date, rec.dlt_rule)
    else:
        f += [""] * 7 + [rec.dlt_name] + [""] * 7
    return f


def weekday_of(d):
    """wDayOfWeek (0 = Sunday) of a date."""
    return (d.weekday() + 1) % 7


def fixed_date(local):
    return [0, local.month, 0, local.day, local.hour, local.minute, local.second]


def weekday_candidates(local):
    """Week rules (1-4, -1 = last) that name this local date in its year."""
    last = calendar.monthrange(local.year, local.month)[1]
    c = set()
    n = (local.day - 1) // 7 + 1
    if n <= 4:
        c.add(n)
    if local.day + 7 > last:
        c.add(-1)
    return c


def offset_text(minutes):
    sign = "+" if minutes >= 0 else "-"
    return "(UTC%s%02d:%02d)" % (sign, abs(minutes) // 60, abs(minutes) % 60)


# ------------------------------------------------------------ zone builder

class ZonePlan:
    def __init__(self, record, changes, kind):
        self.record = record      # as loaded
        self.changes = changes    # [(UTC second, Record)]
        self.kind = kind          # "fixed offset", "weekday rule", "dated"


ALWAYS = "always"   # an epoch that is daylight saving throughout
DAY = 86400


def _epochs(iana, range_start, range_end):
    """Split the time around [range_start, range_end) into epochs that one
    yearly record can describe: one standard offset and at most one daylight
    period each. Returns [(epoch start UTC or None for the first, standard
    offset, period)]; period is (start UTC, end UTC, daylight offset), None
    (no daylight saving) or ALWAYS (paired with that daylight offset in a
    tuple (ALWAYS, None, offset)). Offsets in minutes."""
    scan_start = range_start - 3 * 366 * DAY
    scan_end = range_end + 3 * 366 * DAY
    z = ZoneInfo(iana)
    intervals = []
    t0, st = scan_start, zone_state(z, scan_start)
    for t, _before, after in zone_transitions(iana, scan_start, scan_end):
        intervals.append((t0, t, st))
        t0, st = t, after
    intervals.append((t0, scan_end, st))
    periods = [(a, b, off) for a, b, (off, _std, isdst) in intervals if isdst]

    bounds = set()
    for (a, _b, (_o, std, _d)), (_a2, _b2, (_o2, std2, _d2)) in zip(intervals, intervals[1:]):
        if std != std2:
            bounds.add(_a2)    # a new standard offset takes effect at its transition
    for p, q in zip(periods, periods[1:]):
        if q[0] - p[1] > 400 * DAY:
            # a year or more without daylight saving in between
            bounds.update((p[1] + 30 * DAY, q[0] - 30 * DAY))
        elif not any(p[1] < t < q[0] for t in bounds):
            # switch to the next period's record half-way between the two
            mid = (p[1] + q[0]) // 2
            day = mid - mid % DAY
            bounds.add(day if day > p[1] else mid)
    for s, e, _off in periods:
        if e - s > 330 * DAY:
            bounds.update((s + 30 * DAY, e - 30 * DAY))
    if periods and periods[0][0] - scan_start > 400 * DAY:
        bounds.add(periods[0][0] - 30 * DAY)
    if periods and scan_end - periods[-1][1] > 400 * DAY:
        bounds.add(periods[-1][1] + 30 * DAY)

    starts = [scan_start] + sorted(t for t in bounds if scan_start < t < scan_end)
    ends = starts[1:] + [scan_end]
    epochs = []
    for u, v in zip(starts, ends):
        std = next(s for a, b, (_o, s, _d) in intervals if a <= u < b)
        inside = [p for p in periods if p[0] < v and p[1] > u]
        if not inside:
            period = None
        elif len(inside) > 1:
            raise RuntimeError("%s: two daylight periods in one epoch at %s" % (iana, format_time(u)))
        else:
            s, e, off = inside[0]
            if e - s > 330 * DAY and u >= s + 30 * DAY and v <= e - 30 * DAY:
                period = (ALWAYS, None, off)
            else:
                period = (s if s > scan_start else None, e if e < scan_end else None, off)
        epochs.append((None if u == scan_start else u, std, period))
    return epochs


def _period_dates(std_off, period):
    """(daylight date local, standard date local) of a daylight period: the
    start in standard time, the end in daylight time."""
    s, e, dst_off = period
    start_local = dt.datetime.fromtimestamp(s + std_off * 60, UTC).replace(tzinfo=None)
    end_local = dt.datetime.fromtimestamp(e + dst_off * 60, UTC).replace(tzinfo=None)
    return start_local, end_local


def plan_zone(zone_id, win_name, iana, names, range_start, range_end):
    epochs = _epochs(iana, range_start, range_end)
    idx = max(k for k, e in enumerate(epochs) if e[0] is None or e[0] <= range_start)
    # last year's daylight period is over and this year's has not begun: the
    # loaded record gets this year's dates
    if idx + 1 < len(epochs) and _bounded(epochs[idx][2]) and _bounded(epochs[idx + 1][2]) \
            and epochs[idx][2][1] <= range_start < epochs[idx + 1][2][0] \
            and epochs[idx + 1][1] == epochs[idx][1]:
        idx += 1
    used = [e for e in epochs[idx:] if e[0] is None or e[0] < range_end]
    for _start, _std, period in used:
        if period and period[0] != ALWAYS and not _bounded(period):
            raise RuntimeError("%s: daylight period without both ends near the range" % iana)

    base = Record()
    base.zone_id = zone_id
    base.name = win_name[:40]
    std0 = used[0][1]
    base.bias = -std0
    wine = names.get(win_name, {})
    base.display = _display_name(win_name, iana, std0, wine.get("Display"))
    base.std_name = ascii_text(wine.get("Std") or win_name)[:32]
    dlt = win_name.replace("Standard", "Daylight") if "Standard" in win_name else win_name
    base.dlt_name = ascii_text(wine.get("Dlt") or dlt)[:32]

    def record_for(std, period, with_dst_base):
        r = base.copy()
        r.bias = -std
        if period is None and not with_dst_base:
            return r
        r.std_bias = 0
        if period is None or period[0] == ALWAYS:
            # both dates on one moment mean daylight all year; with bias 0 that
            # also stands for no daylight saving, which a change line cannot
            # express by clearing the dates
            r.dlt_bias = -(period[2] - std) if period else 0
            r.std_date = [0, 1, 0, 1, 0, 0, 0]
            r.dlt_date = [0, 1, 0, 1, 0, 0, 0]
            return r
        start_local, end_local = _period_dates(std, period)
        r.dlt_bias = -(period[2] - std)
        end_base = end_local + dt.timedelta(minutes=r.dlt_bias)
        if end_local.year > end_base.year:
            # ends at the turn of the year in daylight time: the record is
            # judged by the base-time year and 24:00 cannot be written
            end_local = dt.datetime(end_base.year, 12, 31, 23, 59, 59)
        r.dlt_date = fixed_date(start_local)
        r.std_date = fixed_date(end_local)
        return r

    has_dst = [e[2] is not None for e in used]
    # one weekday rule for the whole range?
    if all(_bounded(e[2]) for e in used) and len({e[1] for e in used}) == 1 \
            and len({e[2][2] for e in used}) == 1:
        starts, ends = [], []
        for _s, std, period in used:
            sl, el = _period_dates(std, period)
            starts.append(sl)
            ends.append(el)
        rule = _common_weekday_rule(starts), _common_weekday_rule(ends)
        if rule[0] and rule[1]:
            r = record_for(used[0][1], used[0][2], False)
            (r.dlt_rule, r.dlt_date), (r.std_rule, r.std_date) = rule
            return ZonePlan(r, [], "weekday rule")

    if not any(has_dst) and len({e[1] for e in used}) == 1:
        return ZonePlan(record_for(used[0][1], None, False), [], "fixed offset")

    first = record_for(used[0][1], used[0][2], False)
    changes = []
    prev = first
    for start, std, period in used[1:]:
        r = record_for(std, period, bool(first.std_date[1]))
        if r.rules() != prev.rules():
            if r.bias != base.bias:
                r.display = _display_name(win_name, iana, std, wine.get("Display"))
            changes.append((start, r))
            prev = r
    return ZonePlan(first, changes, "dated")


def _bounded(period):
    return bool(period) and period[0] not in (None, ALWAYS) and period[1] is not None


def _common_weekday_rule(locals_):
    """(week rule, date) naming every one of these local times, or None."""
    if len({(l.month, weekday_of(l), l.time()) for l in locals_}) != 1:
        return None
    common = set.intersection(*(weekday_candidates(l) for l in locals_))
    if not common:
        return None
    rule = -1 if -1 in common else min(common)
    l = locals_[0]
    return rule, [0, l.month, weekday_of(l), 5 if rule == -1 else rule, l.hour, l.minute, l.second]


def _display_name(win_name, iana, std_minutes, wine_display):
    prefix = offset_text(std_minutes)
    if wine_display:
        m = re.match(r"^\(UTC(?:[+-]\d\d:\d\d)?\)\s*(.*)$", wine_display)
        if m:
            if wine_display.startswith("(UTC)") and std_minutes == 0:
                return ascii_text(wine_display)[:128]
            # Wine's offsets are partly outdated; the cities stay
            return ascii_text(prefix + " " + m.group(1))[:128]
        return ascii_text(wine_display)[:128]
    city = iana.split("/")[-1].replace("_", " ")
    if iana.startswith("Etc/"):
        city = "Coordinated Universal Time"
    return ascii_text(prefix + " " + city)[:128]


# ------------------------------------------------------------ file writing

def format_time(t):
    return dt.datetime.fromtimestamp(t, UTC).strftime("%Y.%m.%d %H:%M:%S")


def zone_line(rec):
    return "\t".join([str(rec.zone_id), rec.name, rec.display] + rule_fields(rec))


def change_line(t, rec, base):
    # names stay empty so the localised names read from the registry survive;
    # the display name is restated only when the offset changes
    display = rec.display if rec.bias != base.bias else ""
    f = rule_fields(rec)
    f[1] = ""   # standard name
    f[9] = ""   # daylight name
    return "\t".join([str(rec.zone_id), format_time(t), display] + f)


def write_files(out_dir, plans, header):
    zlines = ["# Time zones of the program, generated by gen_timezones.py from " + header,
              "# Do not edit; regenerate. Fields (TAB-separated): id, name, display name, bias,",
              "# standard name, standard bias, year, month, day, weekday, week rule, time,",
              "# daylight name, daylight bias, year, month, day, weekday, week rule, time."]
    for p in plans:
        zlines.append(zone_line(p.record))
    clines = ["# Dated zone rule changes, generated by gen_timezones.py from " + header,
              "# Do not edit; regenerate. Fields: zone id, effective UTC time, then fields 2-19",
              "# of timezones.txt; each line applies to the zone as loaded. Sorted by time."]
    changes = sorted(((t, p.record.zone_id, rec, p.record) for p in plans for t, rec in p.changes),
                     key=lambda c: (c[0], c[1]))
    for t, _zid, rec, base in changes:
        clines.append(change_line(t, rec, base))
    for name, lines in (("timezones.txt", zlines), ("tz_changes.txt", clines)):
        data = "\n".join(lines) + "\n"
        data.encode("ascii")
        with open(os.path.join(out_dir, name), "w", encoding="ascii", newline="\n") as f:
            f.write(data)
    return len(changes)


# =========================================== model of the program's reading

def _num(s):
    s = s.strip()
    return int(s) if re.fullmatch(r"[+-]?\d+", s) else None


def _time3(s):
    parts = s.split(":")
    if len(parts) != 3:
        return None
    v = [_num(p) for p in parts]
    if None in v or not (0 <= v[0] < 24 and 0 <= v[1] < 60 and 0 <= v[2] < 60):
        return None
    return v


def _split(line, minimum):
    line = re.split(r"[\r\n]", line, maxsplit=1)[0]
    if not line or line[0] in "#;":
        return None
    f = line.split("\t")
    if len(f) < minimum:
        return None
    f = f[:20]
    return f + [""] * (20 - len(f))


def _read_date(rec, f, first, which):
    """Fields first..first+5: year, month, day, weekday, week rule, time; an
    empty or malformed field leaves the value as it was."""
    date = rec.std_date if which == "std" else rec.dlt_date
    date[1] = _num(f[first + 1])
    for field, slot in ((first, 0), (first + 2, 3), (first + 3, 2)):
        v = _num(f[field])
        if v is not None:
            date[slot] = v
    rule = _num(f[first + 4])
    if rule is not None and (1 <= rule <= 5 or rule == -1):
        setattr(rec, which + "_rule", rule)
        if date[0] == 0:
            date[3] = 5 if rule == -1 else rule
    t = _time3(f[first + 5])
    if t:
        date[4:7] = t


def _read_rules(rec, f, is_change):
    m = _num(f[7])
    std_ok = m is not None and 1 <= m <= 12
    if std_ok:
        v = _num(f[5])
        if v is not None:
            rec.std_bias = v
        _read_date(rec, f, 6, "std")
    m2 = _num(f[15])
    # a change line may restate the daylight part of a zone loaded with one
    if (std_ok or is_change) and rec.std_date[1] and m2 is not None and 1 <= m2 <= 12:
        v = _num(f[13])
        if v is not None:
            rec.dlt_bias = v
        _read_date(rec, f, 14, "dlt")
    elif not is_change:
        rec.std_date = [0] * 7


def read_timezones(text):
    table = []
    for line in text.splitlines():
        f = _split(line, 20)
        if f is None:
            continue
        zid, bias = _num(f[0]), _num(f[3])
        if zid is None or not f[1] or not f[2] or bias is None:
            continue
        r = Record()
        r.zone_id, r.name, r.display, r.bias = zid, f[1][:40], f[2][:128], bias
        r.std_name, r.dlt_name = f[4][:32], f[12][:32]
        _read_rules(r, f, False)
        table.append(r)
    return table


def packed_key(y, mo, d, h, mi, s):
    return ((y * 16 + mo) * 32 + d - 33) * 100000 + h * 3600 + mi * 60 + s


def read_changes(text, table):
    """[(zone id, key, replacement)] in file order (unknown zones dropped)."""
    out = []
    for line in text.splitlines():
        f = _split(line, 3)
        if f is None:
            continue
        zid = _num(f[0])
        m = re.fullmatch(r"\s*(\d+)\.(\d+)\.(\d+)(?:\s+(\d+)(?::(\d+)(?::(\d+))?)?)?\s*", f[1])
        if zid is None or not m:
            continue
        y, mo, d = int(m.group(1)), int(m.group(2)), int(m.group(3))
        h, mi, s = (int(g) if g else 0 for g in m.group(4, 5, 6))
        if not (2000 <= y <= 2999 and 1 <= mo <= 12 and 1 <= d <= 31 and h < 24 and mi < 60 and s < 60):
            continue
        found = [r for r in table if r.zone_id == zid]
        if not found:
            continue
        rep = found[-1].copy()
        v = _num(f[3])
        if v is not None:
            rep.bias = v
        if f[2]:
            rep.display = f[2][:128]
        if f[4]:
            rep.std_name = f[4][:32]
        if f[12]:
            rep.dlt_name = f[12][:32]
        _read_rules(rep, f, True)
        out.append((zid, packed_key(y, mo, d, h, mi, s), rep))
    return out


class ProgramModel:
    """The zone table after the changes due at a given UTC moment."""

    def __init__(self, zones_text, changes_text):
        self.table = read_timezones(zones_text)
        self.changes = read_changes(changes_text, self.table)
        self.by_name = {r.name: r for r in self.table}
        # changes are applied in file order and stop at the first one not due
        self.prefix_max = []
        m = None
        for _zid, key, _rep in self.changes:
            m = key if m is None else max(m, key)
            self.prefix_max.append(m)
        self.per_zone = {}
        for i, (zid, key, rep) in enumerate(self.changes):
            self.per_zone.setdefault(zid, []).append((i, key, rep))

    def record_at(self, name, utc):
        rec = self.by_name[name]
        key = packed_key(utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second)
        n = bisect.bisect_right(self.prefix_max, key)
        for i, _key, rep in reversed(self.per_zone.get(rec.zone_id, [])):
            if i < n:
                return rep
        return rec

    def record_for_moment(self, name, utc):
        """Every change of the zone not after the moment, the last wins."""
        rec = self.by_name[name]
        key = packed_key(utc.year, utc.month, utc.day, utc.hour, utc.minute, utc.second)
        for _i, k, rep in reversed(self.per_zone.get(rec.zone_id, [])):
            if k <= key:
                return rep
        return rec


# ======================================== model of the program's conversion

def is_leap(y):
    return y % 4 == 0 and (y % 100 != 0 or y % 400 == 0)


_MONTHS = [0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]


def days_in_month(mo, y):
    mo %= 13
    if mo == 2 and is_leap(y):
        return 29
    return _MONTHS[mo]


def nth_weekday(mo, y, n, wd):
    if n == 0 or wd > 6 or not 1 <= mo <= 12:
        return 0
    last = days_in_month(mo, y)
    w1 = weekday_of(dt.date(y, mo, 1))
    first = 1 + (wd - w1 + 7) % 7
    if n <= 4:
        day = first + 7 * (n - 1)
        return 0 if day > last else day
    day = first + 42
    while day > last:
        day -= 7
    return day


def add_minutes(st, off):
    """st: [y, mo, d, h, mi, s]; |off| < one day."""
    y, mo, d, h, mi, s = st
    t = h * 60 + mi + off
    if t < 0:
        t += 1440
        d -= 1
        if d == 0:
            leap_year = y
            mo -= 1
            if mo == 0:
                mo, y = 12, y - 1
            d = 29 if mo == 2 and is_leap(leap_year) else _MONTHS[mo]
    h, mi = divmod(t, 60)
    if h >= 24:
        h -= 24
        d += 1
        if d > days_in_month(mo, y):
            d = 1
            mo += 1
            if mo > 12:
                mo, y = 1, y + 1
    return [y, mo, d, h, mi, s]


def transition_kind(date, rule):
    y, mo, day = date[0], date[1], date[3]
    if y != 0:
        return 0
    if rule == 0:
        return 0 if mo != 0 else 1
    if not (-1 <= rule <= 5) or not (1 <= day <= 5):
        return 0
    return 2


def has_system_rules(rec):
    k1 = transition_kind(rec.std_date, rec.std_rule)
    k2 = transition_kind(rec.dlt_date, rec.dlt_rule)
    return k1 == k2 and k1 != 0


def transition_keys(year, rec):
    if rec.std_date[1] == 0 and rec.dlt_date[1] == 0:
        return None
    moved = []
    for date, rule, bias in ((rec.std_date, rec.std_rule, rec.dlt_bias),
                             (rec.dlt_date, rec.dlt_rule, rec.std_bias)):
        y, mo, dow, day, h, mi, s = date
        if transition_kind(date, rule) != 0:
            y = year
            day = nth_weekday(mo, year, day, dow)
        elif y == 0:
            y = year
        moved.append(packed_key(*add_minutes([y, mo, day, h, mi, s], bias)))
    return moved[0], moved[1]


def daylight_state(rec, base):
    keys = transition_keys(base[0], rec)
    if keys is None:
        return 0
    e, s = keys
    a = packed_key(*base)
    if rec.std_date[0] == 0 and rec.dlt_date[0] == 0:
        if e > s:
            return 1 if s <= a < e else -1
        return 1 if a < e or a >= s else -1
    if e < s:
        return 0 if a < e else (-1 if a < s else 1)
    if s < e:
        return 0 if a < s else (1 if a < e else -1)
    return 0


def _st(d):
    return [d.year, d.month, d.day, d.hour, d.minute, d.second]


def own_local_time(rec, utc):
    """The program's own arithmetic: (naive local datetime, state)."""
    base = add_minutes(_st(utc), -rec.bias)
    state = daylight_state(rec, base)
    if state == -1:
        base = add_minutes(base, -rec.std_bias)
    elif state == 1:
        base = add_minutes(base, -rec.dlt_bias)
    return dt.datetime(*base), state


def _compare_tzdate(tf, date):
    """Wine's comparison of a time with a transition date; it ignores wSecond."""
    if tf.month < date[1]:
        return -1
    if tf.month > date[1]:
        return 1
    if date[0] == 0:
        first = (6 + date[2] - weekday_of(tf) + tf.day) % 7 + 1
        last = calendar.monthrange(tf.year, tf.month)[1]
        limit = first + 7 * (date[3] - 1)
        if limit > last:
            limit -= 7
    else:
        limit = date[3]
    limit = ((limit * 24 + date[4]) * 60 + date[5]) * 60
    return ((tf.day * 24 + tf.hour) * 60 + tf.minute) * 60 + tf.second - limit


def system_local_time(rec, utc):
    """SystemTimeToTzSpecificLocalTime as Wine implements it: (local, state) or (None, None)."""
    std, dlt = rec.std_date, rec.dlt_date
    if not dlt[1]:
        return utc - dt.timedelta(minutes=rec.bias), 0
    if std[1] == 0 or (std[0] == 0 and not (1 <= std[3] <= 5 and 1 <= dlt[3] <= 5)):
        return None, None
    base = utc - dt.timedelta(minutes=rec.bias)
    year = base.year
    t2 = base - dt.timedelta(minutes=rec.dlt_bias)
    before_std = _compare_tzdate(t2, std) < 0 if t2.year == year else t2.year < year
    t3 = base - dt.timedelta(minutes=rec.std_bias)
    after_dlt = _compare_tzdate(t3, dlt) >= 0 if t3.year == year else t3.year > year
    if dlt[1] < std[1]:
        daylight = before_std and after_dlt
    else:
        daylight = before_std or after_dlt
    if daylight:
        return base - dt.timedelta(minutes=rec.dlt_bias), 1
    return base - dt.timedelta(minutes=rec.std_bias), -1


def program_local_time(rec, utc):
    if has_system_rules(rec):
        return system_local_time(rec, utc)
    return own_local_time(rec, utc)


# ------------------------------------------------------------- self-check

def check_instants(iana, range_start, range_end, dense_end, extra=()):
    """UTC seconds: every 3 h up to dense_end, every 7 h after, and each
    transition and extra moment with +-1 s and +-1 h."""
    pts = set(range(range_start, dense_end, 3 * 3600))
    pts.update(range(dense_end, range_end, 7 * 3600))
    moments = [t for t, _a, _b in zone_transitions(iana, range_start - 86400, range_end)]
    for t in list(moments) + list(extra):
        for d in (-3600, -1, 0, 1, 3600):
            if range_start <= t + d < range_end:
                pts.add(t + d)
    return sorted(pts)


def self_check(out_dir, zone_map, range_start, range_end, dense_end):
    with open(os.path.join(out_dir, "timezones.txt"), encoding="ascii") as f:
        ztext = f.read()
    with open(os.path.join(out_dir, "tz_changes.txt"), encoding="ascii") as f:
        ctext = f.read()
    model = ProgramModel(ztext, ctext)
    keys = [k for _z, k, _r in model.changes]
    problems = 0
    if keys != sorted(keys):
        print("tz_changes.txt is not in time order")
        problems += 1
    accepted = 0
    change_moments = {}
    for zid, key, _rep in model.changes:
        change_moments.setdefault(zid, []).append(key)
    for rec in model.table:
        iana = zone_map.get(rec.name)
        if not iana:
            continue
        z = ZoneInfo(iana)
        extra = []
        for key in change_moments.get(rec.zone_id, []):
            d, sec = divmod(key, 100000)
            d += 33
            day, ym = d % 32, d // 32
            t = dt.datetime(ym // 16, ym % 16, day, tzinfo=UTC) + dt.timedelta(seconds=sec)
            extra.append(int(t.timestamp()))
        for t in check_instants(iana, range_start, range_end, dense_end, extra):
            utc = dt.datetime.fromtimestamp(t, UTC).replace(tzinfo=None)
            want = zoneinfo_local(z, utc)
            r = model.record_at(rec.name, utc)
            if r is not model.record_for_moment(rec.name, utc):
                print("%s: %s: due changes and changes for the moment differ" % (rec.name, utc))
                problems += 1
            got, _state = program_local_time(r, utc)
            paths = [("", got)]
            if has_system_rules(r):
                paths.append((" (own arithmetic)", own_local_time(r, utc)[0]))
            for label, value in paths:
                if value != want:
                    if is_accepted(rec.name, utc):
                        accepted += 1
                        continue
                    problems += 1
                    print("%s%s: %sZ expected %s got %s" % (rec.name, label, utc.isoformat(),
                                                            want.isoformat(), value and value.isoformat()))
    return problems, accepted


# ------------------------------------------------------------------- main

def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=HERE, help="folder for the two files (default: beside this script)")
    ap.add_argument("--first-year", type=int, default=dt.datetime.now(UTC).year,
                    help="year the loaded records must be right for (default: the current year)")
    ap.add_argument("--check-only", action="store_true", help="only check the existing files")
    args = ap.parse_args()

    range_start = utc_ts(args.first_year)
    range_end = utc_ts(LAST_YEAR + 1)
    dense_end = utc_ts(args.first_year + 2)
    zone_map = windows_zone_map()

    if not args.check_only:
        names = wine_zone_names()
        plans = []
        for zid, win_name in enumerate(sorted(zone_map), start=1):
            plans.append(plan_zone(zid, win_name, zone_map[win_name], names, range_start, range_end))
        header = "tzdata %s and CLDR %s windowsZones.xml, rules for %d-%d." % (
            tzdata_version(), cldr_version(), args.first_year, LAST_YEAR)
        nchanges = write_files(args.out, plans, header)
        kinds = {}
        for p in plans:
            kinds[p.kind] = kinds.get(p.kind, 0) + 1
        print("%d zones (%s), %d change lines" % (
            len(plans), ", ".join("%d %s" % (n, k) for k, n in sorted(kinds.items())), nchanges))
        for p in plans:
            if p.kind == "dated":
                print("  dated rules: %s (%d change lines)" % (p.record.name, len(p.changes)))

    problems, accepted = self_check(args.out, zone_map, range_start, range_end, dense_end)
    print("self-check %d-%d: %d disagreements, %d accepted" % (
        args.first_year, LAST_YEAR, problems, accepted))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
