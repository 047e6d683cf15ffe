#!/usr/bin/python3
"""Every day of two years of the user's agendas, as Solvane computes them, against
python3-recurring-ical-events (on python3-icalendar and python3-dateutil): calendars
made here with hundreds of events in several zones (an IANA name without VTIMEZONE,
a Windows name without it, a zone of the file's own VTIMEZONE, UTC, floating times,
a name known nowhere), repeated by RRULE
(FREQ, INTERVAL, COUNT, UNTIL, BYDAY with and without a position, BYMONTHDAY,
BYSETPOS), with EXDATE, RDATE, RECURRENCE-ID (moved or cancelled), DURATION, whole
days over several days, events across midnight and cancelled ones; one big file and a
vdir of one event per file. Each day must hold the same events at the same local
times, in each time zone the test runs Solvane in, whether the files are read once
(the window) or a month at a time (the terminal). Birthdays from a contacts folder
are checked against the dates Python's own calendar gives. Then every change of time
of 2000-2037 in ten zones, an event in the hour it skips or repeats and weekly series
that meet it (one whose DTEND the skipped hour would put before its start), with the
instants that zoneinfo gives (check_transitions). Then events of 1604 to 1899 seen
then and in later years (check_old_years), and yearly rules without BYMONTH
(check_yearly_rules).

    agenda_oracle.py PRINT_AGENDA_DAYS [SEED]
"""

import datetime as dt
import os
import random
import subprocess
import sys
import resource
import tempfile
import time
import zoneinfo

import recurring_ical_events
import icalendar

FIRST, LAST = dt.date(2024, 1, 1), dt.date(2025, 12, 31)
IANA_NAMES = zoneinfo.available_timezones()
VIEWER_ZONES = os.environ.get("ORACLE_ZONES", "Europe/Paris America/New_York Asia/Kolkata").split()
# "Romance Standard Time" is Windows' name of Paris, as Outlook writes it without a
# VTIMEZONE; "Heure de Mars" is known nowhere, and both readings take its hours as
# written (Solvane says so, UNKNOWN_ZONE).
EVENT_ZONES = ["Europe/Paris", "America/New_York", "Asia/Tokyo", "Australia/Sydney", "UTC", None, "Heure de Paris",
               "Romance Standard Time", "Heure de Mars"]
UNKNOWN_ZONE = "nomme un fuseau horaire inconnu, « Heure de Mars » : ses heures sont lues telles qu'elles sont écrites."
# The zones whose every change of time from 2000 to 2037 is checked (TRANSITIONS).
CHANGING_ZONES = ["Europe/Paris", "America/Santiago", "America/Sao_Paulo", "Asia/Beirut", "Africa/Cairo",
                  "Australia/Lord_Howe", "Pacific/Apia", "America/St_Johns", "Asia/Tehran", "Europe/Chisinau"]
# The changes that libical's own copy of a zone, made from the system's zoneinfo,
# puts on another day than zoneinfo does (its offset at those instants differs by an
# hour: São Paulo's 2014 changes, moved for the carnival and the elections; Tehran's
# of 2002, 2018 and 2019, set by the Persian calendar): no reading of a wall time there can
# agree, and they are left out.
LIBICAL_ZONE_FAULTS = {("America/Sao_Paulo", dt.date(2014, 2, 15)), ("America/Sao_Paulo", dt.date(2014, 10, 19)),
                       ("Asia/Tehran", dt.date(2002, 3, 22)), ("Asia/Tehran", dt.date(2002, 9, 21)),
                       ("Asia/Tehran", dt.date(2018, 3, 22)), ("Asia/Tehran", dt.date(2018, 9, 21)),
                       ("Asia/Tehran", dt.date(2019, 3, 22)), ("Asia/Tehran", dt.date(2019, 9, 21))}
WEEKDAYS = ["MO", "TU", "WE", "TH", "FR", "SA", "SU"]

# A zone the file defines itself, as Outlook and Exchange write theirs.
OWN_ZONE = """BEGIN:VTIMEZONE
TZID:Heure de Paris
BEGIN:STANDARD
DTSTART:16011028T030000
RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10
TZOFFSETFROM:+0200
TZOFFSETTO:+0100
END:STANDARD
BEGIN:DAYLIGHT
DTSTART:16010325T020000
RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3
TZOFFSETFROM:+0100
TZOFFSETTO:+0200
END:DAYLIGHT
END:VTIMEZONE"""


def stamp(moment, zone):
    """A DTSTART-like property's parameters and value."""
    if isinstance(moment, dt.datetime):
        text = moment.strftime("%Y%m%dT%H%M%S")
        if zone == "UTC":
            return "", text + "Z"
        return ("" if zone is None else f";TZID={zone}"), text
    return ";VALUE=DATE", moment.strftime("%Y%m%d")


def until_of(moment, zone):
    """UNTIL in UTC for a zoned start, as RFC 5545 asks; floating or a date otherwise."""
    if not isinstance(moment, dt.datetime):
        return moment.strftime("%Y%m%d")
    if zone in (None, "Heure de Mars"):
        return moment.strftime("%Y%m%dT%H%M%S")
    tz = zoneinfo.ZoneInfo("Europe/Paris" if zone in ("Heure de Paris", "Romance Standard Time") else zone)
    return moment.replace(tzinfo=tz).astimezone(dt.timezone.utc).strftime("%Y%m%dT%H%M%SZ")


class Maker:
    def __init__(self, seed):
        self.rng = random.Random(seed)
        self.count = 0

    def day(self, start=dt.date(2023, 6, 1), end=dt.date(2025, 12, 20)):
        return start + dt.timedelta(days=self.rng.randrange((end - start).days))

    def wall(self, date, hours=range(6, 22)):
        # No local time from 01:00 to 03:59, where a change of time makes a wall time
        # missing or doubled, which readings may settle differently.
        return dt.datetime.combine(date, dt.time(self.rng.choice(list(hours)), self.rng.choice([0, 15, 30, 45])))

    def event(self, lines, kind):
        self.count += 1
        title = f"É{self.count:04d} {kind}"
        return ["BEGIN:VEVENT", f"UID:{self.count}-{kind}@solvane.test", "DTSTAMP:20240101T000000Z",
                f"SUMMARY:{title}"] + lines + ["END:VEVENT"]

    def timed(self, start, zone, minutes):
        params, value = stamp(start, zone)
        lines = [f"DTSTART{params}:{value}"]
        if self.rng.random() < 0.5:
            lines.append(f"DURATION:PT{minutes // 60}H{minutes % 60}M")
        else:
            end_params, end_value = stamp(start + dt.timedelta(minutes=minutes), zone)
            lines.append(f"DTEND{end_params}:{end_value}")
        return lines

    def single(self):
        zone = self.rng.choice(EVENT_ZONES)
        kind = self.rng.randrange(5)
        if kind == 4:  # a stay of days, timed or whole: shorter and longer than a week
            first, days = self.day(), self.rng.randrange(5, 40)
            if self.rng.random() < 0.5:
                lines = self.timed(self.wall(first), zone, days * 24 * 60 + self.rng.choice([-45, 0, 45]))
            else:
                lines = [f"DTSTART;VALUE=DATE:{first:%Y%m%d}", f"DTEND;VALUE=DATE:{first + dt.timedelta(days=days):%Y%m%d}"]
            return self.event(lines, "séjour")
        if kind == 0:
            lines = self.timed(self.wall(self.day()), zone, self.rng.choice([30, 45, 60, 90, 120, 180]))
        elif kind == 1:  # across midnight, ending before one o'clock
            start = self.wall(self.day(), hours=[22, 23])
            lines = self.timed(start, zone, (24 * 60 + 60) - (start.hour * 60 + start.minute) - 15)
        elif kind == 2:  # whole days
            first = self.day()
            lines = [f"DTSTART;VALUE=DATE:{first:%Y%m%d}"]
            if self.rng.random() < 0.8:
                lines.append(f"DTEND;VALUE=DATE:{first + dt.timedelta(days=self.rng.randrange(1, 6)):%Y%m%d}")
        else:  # cancelled
            lines = self.timed(self.wall(self.day()), zone, 60) + ["STATUS:CANCELLED"]
        return self.event(lines, ["heure", "nuit", "journées", "annulé"][kind])

    def repeated(self):
        zone = self.rng.choice(EVENT_ZONES)
        kind = self.rng.randrange(8)
        date = self.day(dt.date(2022, 1, 1), dt.date(2025, 10, 1))
        whole = kind == 6
        start = date if whole else self.wall(date)
        end_rule = self.rng.choice(["", f";COUNT={self.rng.randrange(3, 80)}", "until"])
        if end_rule == "until":
            # At 23:59, on no instance: for an UNTIL on an instance, which RFC 5545
            # includes, this library leaves the instance out (agendas_tests has that row).
            until = start + dt.timedelta(days=self.rng.randrange(20, 500))
            if isinstance(until, dt.datetime):
                until = until.replace(hour=23, minute=59)
            end_rule = f";UNTIL={until_of(until, zone)}"
        weekday = WEEKDAYS[date.weekday()]
        extra = []
        simple_step = None  # days between instances, for a rule whose instances are plain
        if kind == 0:
            rule = f"FREQ=WEEKLY;INTERVAL={self.rng.choice([1, 2])}"
            simple_step = 7 * int(rule[-1])
        elif kind == 1:
            others = self.rng.sample(WEEKDAYS, 2)
            rule = "FREQ=WEEKLY;BYDAY=" + ",".join(sorted({weekday, *others}, key=WEEKDAYS.index))
        elif kind == 2:
            step = self.rng.choice([1, 2, 3])
            rule = f"FREQ=DAILY;INTERVAL={step}"
            simple_step = step
        elif kind == 3:
            date = date.replace(day=min(date.day, 28))
            start = self.wall(date)
            rule = f"FREQ=MONTHLY;BYMONTHDAY={date.day}"
        elif kind == 4:  # the nth weekday, or the last, of each month
            last = (date.replace(day=28) + dt.timedelta(days=4)).replace(day=1) - dt.timedelta(days=1)
            position = "-1" if last.day - date.day < 7 else str((date.day - 1) // 7 + 1)
            rule = f"FREQ=MONTHLY;BYDAY={position}{weekday}"
        elif kind == 5:  # the last working day of each month
            date = (date.replace(day=28) + dt.timedelta(days=4)).replace(day=1) - dt.timedelta(days=1)
            while date.weekday() > 4:
                date -= dt.timedelta(days=1)
            start = self.wall(date)
            rule = "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1"
        elif kind == 6:  # a whole day each year, or each week
            rule = self.rng.choice(["FREQ=YEARLY", f"FREQ=WEEKLY;BYDAY={weekday}"])
        else:
            rule = f"FREQ=YEARLY;BYMONTH={date.month};BYMONTHDAY={date.day}"
        if zone is not None and not whole and self.rng.random() < 0.2:
            rdate = self.wall(self.day(dt.date(2024, 1, 1)))
            params, value = stamp(rdate, zone)
            extra.append(f"RDATE{params}:{value}")
        lines = ([f"DTSTART;VALUE=DATE:{start:%Y%m%d}"] if whole else
                 self.timed(start, zone, self.rng.choice([30, 60, 90])))
        lines.append("RRULE:" + rule + end_rule)
        events = []
        if simple_step and "COUNT" not in end_rule and "UNTIL" not in end_rule:
            # An instance taken away, and one moved or cancelled, in the years shown.
            skip = max(1, ((dt.datetime.combine(FIRST, dt.time()) - start).days // simple_step) + 1)
            instances = [start + dt.timedelta(days=simple_step * (skip + k)) for k in range(0, 60, 7)]
            removed, replaced = instances[self.rng.randrange(len(instances))], instances[0]
            params, value = stamp(removed, zone)
            if removed != replaced:
                lines.append(f"EXDATE{params}:{value}")
            params, value = stamp(replaced, zone)
            moved = replaced + dt.timedelta(days=1, hours=2)
            override = self.timed(moved, zone, 45) + [f"RECURRENCE-ID{params}:{value}"]
            if self.rng.random() < 0.3:
                override.append("STATUS:CANCELLED")
            events.append((override, "remplacé"))
        master = self.event(lines + extra, f"répété{kind}")
        uid = master[1]
        out = [master]
        for override, name in events:
            self.count += 1
            out.append(["BEGIN:VEVENT", uid, "DTSTAMP:20240101T000000Z", f"SUMMARY:É{self.count:04d} {name}"] +
                       override + ["END:VEVENT"])
        return out


def calendar_text(events, name=None):
    lines = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Solvane//tests//FR"]
    if name:
        lines.append(f"X-WR-CALNAME:{name}")
    lines += OWN_ZONE.split("\n")
    for event in events:
        lines += event
    lines.append("END:VCALENDAR")
    return "\r\n".join(lines) + "\r\n"


def expected(path, agenda, viewer, first=FIRST, last=LAST):
    """The oracle's lines for one file: (day, kind, start, end, title, agenda)."""
    calendar = icalendar.Calendar.from_ical(open(path, "rb").read())
    local = zoneinfo.ZoneInfo(viewer)
    lines = set()
    query = (first - dt.timedelta(days=3), last + dt.timedelta(days=3))
    for event in recurring_ical_events.of(calendar).between(query[0], query[1]):
        # A cancelled event, or instance, is not shown; this library keeps them.
        if str(event.get("STATUS", "")).upper() == "CANCELLED":
            continue
        title = str(event["SUMMARY"])
        start, end = event["DTSTART"].dt, event["DTEND"].dt if "DTEND" in event else None
        if not isinstance(start, dt.datetime):
            end = end if end is not None and end > start else start + dt.timedelta(days=1)
            final = end - dt.timedelta(days=1)
            day = start
            while day <= final:
                if first <= day <= last:
                    lines.add((day.isoformat(), "J", start.isoformat(), final.isoformat(), title, agenda))
                day += dt.timedelta(days=1)
            continue
        if end is None:
            end = start
        if getattr(start.tzinfo, "zone", None) in IANA_NAMES:
            # This library reads a wall time with pytz, which takes a repeated hour as
            # its second (is_dst=False), where RFC 5545 3.3.5 takes the first; zoneinfo
            # with fold=0 reads both a repeated and a skipped hour as RFC 5545 does, with
            # the offset before the change. The instance and its exact duration stay
            # this library's.
            length = end - start
            start = start.replace(tzinfo=zoneinfo.ZoneInfo(start.tzinfo.zone)).astimezone(dt.timezone.utc)
            end = start + length
        elif getattr(start.tzinfo, "key", None) in IANA_NAMES:
            # The same library on zoneinfo (python3-icalendar 6, Debian 13): its times
            # are already read with fold=0, but Python subtracts and converts two times of
            # one zone by their wall clocks, and gives a time back unchanged in its own
            # zone. The instant is taken through UTC; the length stays the library's.
            length = end.replace(tzinfo=None) - start.replace(tzinfo=None)
            start = start.astimezone(dt.timezone.utc)
            end = start + length
        if start.tzinfo is not None:
            start, end = start.astimezone(local).replace(tzinfo=None), end.astimezone(local).replace(tzinfo=None)
        day = start.date()
        while True:
            day_start = dt.datetime.combine(day, dt.time())
            on = (start == end and day == start.date()) or (start < day_start + dt.timedelta(days=1) and end > day_start)
            if not on and day > start.date():
                break
            if on and first <= day <= last:
                lines.add((day.isoformat(), "H", start.strftime("%Y-%m-%dT%H:%M"), end.strftime("%Y-%m-%dT%H:%M"),
                           title, agenda))
            day += dt.timedelta(days=1)
    return lines


def birthdays_expected(cards, agenda):
    lines = set()
    for name, born in cards:
        for year in range(FIRST.year, LAST.year + 1):
            try:
                day = born.replace(year=year)
            except ValueError:  # 29 February, on the 28th in a common year
                day = dt.date(year, 2, 28)
            if year < born.year:
                continue
            age = year - born.year
            title = f"Anniversaire : {name}" + (f" ({age} an{'s' if age > 1 else ''})" if age > 0 else "")
            lines.add((day.isoformat(), "J", day.isoformat(), day.isoformat(), title, agenda))
    return lines


def differences(label, want, out, said=None):
    """1 when the printed lines `out` differ from `want`, or say a problem other than `said`."""
    problems = [line for line in out.splitlines() if line.startswith("!")]
    got = {tuple(line.split("\t")) for line in out.splitlines() if line and not line.startswith("!")}
    failed = 0
    others = [line for line in problems if said is None or not line.endswith(said)]
    if others or (said is not None and len(others) == len(problems)):
        failed = 1
        print(f"ÉCHEC {label} : problèmes signalés : {others[:3]}, « {said} » attendu")
    missing, extra = sorted(want - got), sorted(got - want)
    if missing or extra:
        failed = 1
        print(f"ÉCHEC {label} : {len(missing)} manquent, {len(extra)} en trop")
        for line in missing[:8]:
            print("  manque  ", "\t".join(line))
        for line in extra[:8]:
            print("  en trop ", "\t".join(line))
    else:
        print(f"{label} : {len(got)} évènements-jours identiques")
    return failed


def changes_of_time(name, first=2000, last=2037):
    """Each change of offset of the zone in those years: (UTC instant, offset before, after)."""
    zone, utc = zoneinfo.ZoneInfo(name), dt.timezone.utc
    offset = lambda moment: moment.astimezone(zone).utcoffset()
    found = []
    day = dt.datetime(first, 1, 1, tzinfo=utc)
    while day.year <= last:
        following = day + dt.timedelta(hours=12)
        if offset(day) != offset(following):
            low, high = day, following  # the change is in (low, high]
            while high - low > dt.timedelta(seconds=1):
                middle = low + (high - low) / 2
                low, high = (middle, high) if offset(middle) == offset(low) else (low, middle)
            found.append((high, offset(low), offset(high)))
        day = following
    return found


def transition_events(name):
    """For each change of time of the zone, an event in its skipped or repeated hour and
    two weekly series: one that starts there, one that meets it on its second week."""
    events, count = [], 0
    for when, before, after in changes_of_time(name):
        # The middle of the wall times that the change skips or repeats, to the minute.
        low = (when + min(before, after)).replace(tzinfo=None)
        wall = low + abs(after - before) / 2
        wall = wall.replace(second=0, microsecond=0)
        kind = "saut" if after > before else "double"
        if (name, wall.date()) in LIBICAL_ZONE_FAULTS:
            continue
        rows = [(wall, "", "seul", "DURATION:PT1H"), (wall, "FREQ=WEEKLY;COUNT=3", "série", "DURATION:PT1H"),
                (wall - dt.timedelta(days=7), "FREQ=WEEKLY;COUNT=3", "série avant", "DURATION:PT1H")]
        if kind == "saut":
            # A series whose DTEND, three quarters of the gap after its start, falls past
            # the gap, so before the moved start as a wall time: the occurrence keeps its
            # exact length (RFC 5545 3.8.5.3).
            length = dt.timedelta(minutes=(after - before).total_seconds() * 3 // 4 // 60)
            before_end = wall - dt.timedelta(days=7) + length
            rows.append((wall - dt.timedelta(days=7), "FREQ=WEEKLY;COUNT=3", "série avant, fin",
                         f"DTEND;TZID={name}:{before_end:%Y%m%dT%H%M%S}"))
        for start, rule, what, length in rows:
            count += 1
            lines = [f"BEGIN:VEVENT", f"UID:{count}@changement.test", "DTSTAMP:20240101T000000Z",
                     f"SUMMARY:{name} {wall:%Y-%m-%d %H:%M} {kind} {what}", f"DTSTART;TZID={name}:{start:%Y%m%dT%H%M%S}",
                     length] + ([f"RRULE:{rule}"] if rule else []) + ["END:VEVENT"]
            events.append(lines)
    return events


def check_transitions(program, folder):
    """Every change of time of 2000-2037 in CHANGING_ZONES, read in the zone itself (the
    local times shown) and in UTC (which of a repeated hour's two readings)."""
    failed, first, last = 0, dt.date(2000, 1, 1), dt.date(2038, 1, 31)
    started = time.process_time(), resource.getrusage(resource.RUSAGE_CHILDREN)
    for name in CHANGING_ZONES:
        path = os.path.join(folder, name.replace("/", "-") + ".ics")
        open(path, "w", encoding="utf-8", newline="").write(calendar_text(transition_events(name), name))
        for viewer in (name, "UTC"):
            out = subprocess.run([program, first.isoformat(), last.isoformat(), path], env=dict(os.environ, TZ=viewer),
                                 capture_output=True, text=True, check=True).stdout
            failed += differences(f"changements d'heure {name} vus de {viewer}",
                                  expected(path, name, viewer, first, last), out)
    children = resource.getrusage(resource.RUSAGE_CHILDREN)
    print(f"changements d'heure : {time.process_time() - started[0]:.1f} s de processeur pour l'oracle, "
          f"{children.ru_utime + children.ru_stime - started[1].ru_utime - started[1].ru_stime:.1f} s pour Solvane")
    return failed


# Events before 1902, where a count of seconds on 32 bits stops, and series from then
# seen in later years: a birthday of 1604 (a date each year), a leap-day birthday,
# a weekly meeting in Paris of 1890 (local mean time then, +00:09:21) with an EXDATE
# and a RECURRENCE-ID of that year, a daily series whose UNTIL is in 1890, a monthly
# one on each month's last day with an RDATE, a night across New Year's Eve 1899.
OLD_EVENTS = [
    ("naissance", ["DTSTART;VALUE=DATE:16040512", "RRULE:FREQ=YEARLY"]),
    ("bissextile", ["DTSTART;VALUE=DATE:18960229", "DTEND;VALUE=DATE:18960301", "RRULE:FREQ=YEARLY"]),
    ("réunion", ["DTSTART;TZID=Europe/Paris:18900106T093000", "DTEND;TZID=Europe/Paris:18900106T110000",
                 "RRULE:FREQ=WEEKLY", "EXDATE;TZID=Europe/Paris:18900113T093000"]),
    ("réunion", ["DTSTART;TZID=Europe/Paris:18900127T140000", "DURATION:PT45M",
                 "RECURRENCE-ID;TZID=Europe/Paris:18900120T093000"]),
    ("quotidien", ["DTSTART:18891230T080000", "DURATION:PT2H", "RRULE:FREQ=DAILY;INTERVAL=3;UNTIL=18900210T080000"]),
    ("mensuel", ["DTSTART;TZID=America/New_York:18990131T170000", "DURATION:PT1H", "RRULE:FREQ=MONTHLY;BYMONTHDAY=-1",
                 "RDATE;TZID=America/New_York:18990215T120000"]),
    ("nuit", ["DTSTART:18991231T220000Z", "DTEND:19000101T020000Z"]),
]
OLD_WINDOWS = [(dt.date(1889, 12, 1), dt.date(1890, 3, 31)), (dt.date(1899, 1, 1), dt.date(1900, 3, 31)),
               (dt.date(2024, 1, 1), dt.date(2025, 12, 31)), (dt.date(2039, 12, 1), dt.date(2040, 3, 31))]


def check_old_years(program, folder):
    """OLD_EVENTS in OLD_WINDOWS, read in Paris, New York and UTC."""
    events = [["BEGIN:VEVENT", f"UID:{uid}@ancien.test", "DTSTAMP:20240101T000000Z", f"SUMMARY:Ancien {index} {uid}"] +
              lines + ["END:VEVENT"] for index, (uid, lines) in enumerate(OLD_EVENTS)]
    path = os.path.join(folder, "ancien.ics")
    open(path, "w", encoding="utf-8", newline="").write(calendar_text(events, "Ancien"))
    failed = 0
    for viewer in ("Europe/Paris", "America/New_York", "UTC"):
        for first, last in OLD_WINDOWS:
            out = subprocess.run([program, first.isoformat(), last.isoformat(), path], env=dict(os.environ, TZ=viewer),
                                 capture_output=True, text=True, check=True).stdout
            failed += differences(f"avant 1902 vu de {viewer}, {first} à {last}",
                                  expected(path, "Ancien", viewer, first, last), out)
    return failed


# Yearly rules without BYMONTH: BYMONTHDAY names its days in every month, BYDAY its
# weekdays over the whole year, a rank counted in the year (RFC 5545 3.3.10), which
# libical's own iterator does not follow for BYMONTHDAY (rule_steps_test.cpp leaves
# those rules to this check). Each crossed with dates, floating and zoned starts, and
# an end.
YEARLY_PARTS = [";BYMONTHDAY=1,15", ";BYMONTHDAY=-1", ";BYMONTHDAY=31", ";BYMONTHDAY=29,-30",
                ";BYMONTHDAY=13;BYDAY=FR", ";BYMONTHDAY=1,2,3,4,5,6,7;BYDAY=1MO", ";BYMONTHDAY=1,15;BYSETPOS=-1,2",
                ";BYDAY=SU,WE", ";BYDAY=-1FR,1MO"]
YEARLY_STARTS = [(dt.date(2024, 1, 31), None), (dt.datetime(2024, 2, 29, 9, 30), None),
                 (dt.datetime(2024, 5, 30, 18, 0), "Europe/Paris")]
YEARLY_ENDS = ["", ";COUNT=7", "until", ";INTERVAL=3"]


def check_yearly_rules(program, folder):
    """YEARLY_PARTS × YEARLY_STARTS × YEARLY_ENDS over 2024-2027, in Paris."""
    events = []
    for part in YEARLY_PARTS:
        for start, zone in YEARLY_STARTS:
            for end in YEARLY_ENDS:
                if end == "until":
                    until = dt.date(2025, 6, 15)
                    if isinstance(start, dt.datetime):
                        until = dt.datetime.combine(until, dt.time(23, 59))
                    end = f";UNTIL={until_of(until, zone)}"
                rule = "FREQ=YEARLY" + part + end
                params, value = stamp(start, zone)
                lines = ["BEGIN:VEVENT", f"UID:{len(events)}@annuel.test", "DTSTAMP:20240101T000000Z",
                         f"SUMMARY:{rule} depuis {value}", f"DTSTART{params}:{value}",
                         "DURATION:PT1H" if isinstance(start, dt.datetime) else "DURATION:P1D"]
                events.append(lines + [f"RRULE:{rule}", "END:VEVENT"])
    first, last = dt.date(2024, 1, 1), dt.date(2027, 12, 31)
    path = os.path.join(folder, "annuel.ics")
    open(path, "w", encoding="utf-8", newline="").write(calendar_text(events, "Annuel"))
    out = subprocess.run([program, first.isoformat(), last.isoformat(), path], env=dict(os.environ, TZ="Europe/Paris"),
                         capture_output=True, text=True, check=True).stdout
    return differences(f"{len(events)} règles annuelles sans BYMONTH",
                       expected(path, "Annuel", "Europe/Paris", first, last), out)


def main():
    program = sys.argv[1]
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 20250508
    maker = Maker(seed)
    folder = tempfile.mkdtemp(prefix="solvane-agendas-oracle.")
    big = [maker.single() for _ in range(400)]
    for _ in range(300):
        big += maker.repeated()
    # In no particular order: a replacement may come before its master, or hundreds of
    # events after it, in another of the batches that the reading lets go one by one.
    random.Random(seed).shuffle(big)
    big_path = os.path.join(folder, "travail.ics")
    open(big_path, "w", encoding="utf-8", newline="").write(calendar_text(big, "Travail"))
    vdir = os.path.join(folder, "perso")
    os.mkdir(vdir)
    open(os.path.join(vdir, "displayname"), "w").write("Perso\n")
    vdir_files = []
    for index in range(60):
        events = [maker.single()] if index % 2 else maker.repeated()
        path = os.path.join(vdir, f"evenement-{index:03d}.ics")
        open(path, "w", encoding="utf-8", newline="").write(calendar_text(events))
        vdir_files.append(path)
    contacts = os.path.join(folder, "contacts")
    os.mkdir(contacts)
    rng = random.Random(seed)
    cards = []
    for index in range(40):
        born = dt.date(1940, 1, 1) + dt.timedelta(days=rng.randrange(365 * 84))
        if index < 3:
            born = dt.date(2000 - 4 * index, 2, 29)
        name = f"Contact {index} Élodie"
        cards.append((name, born))
        with open(os.path.join(contacts, f"{index}.vcf"), "w", encoding="utf-8", newline="") as card:
            card.write(f"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:{name}\r\nBDAY:{born:%Y-%m-%d}\r\nEND:VCARD\r\n")

    failures = 0
    total = 0
    for viewer in VIEWER_ZONES:
        want = expected(big_path, "Travail", viewer) | birthdays_expected(cards, "contacts")
        for path in vdir_files:
            want |= expected(path, "Perso", viewer)
        total += len(want)
        for mode in ([], ["--par-mois"], ["--a-rebours"]):
            env = dict(os.environ, TZ=viewer)
            out = subprocess.run([program, FIRST.isoformat(), LAST.isoformat(), *mode, big_path, vdir, contacts],
                                 env=env, capture_output=True, text=True, check=True).stdout
            label = {"--par-mois": "par mois", "--a-rebours": "à rebours"}.get(mode[0] if mode else "", "en une fois")
            failures += differences(f"{viewer} {label}", want, out, UNKNOWN_ZONE)
    print(f"{len(big)} blocs VEVENT dans travail.ics, {len(vdir_files)} fichiers dans le vdir, {len(cards)} contacts ;"
          f" {total} évènements-jours attendus en tout")
    failures += check_transitions(program, folder)
    failures += check_old_years(program, folder)
    failures += check_yearly_rules(program, folder)
    if failures == 0:
        subprocess.run(["rm", "-rf", folder], check=True)
    else:
        print(f"Les fichiers sont gardés dans {folder}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
