#!/usr/bin/python3
"""The iCalendar files of `solvane --ics` and `--ics-fetes`, read by a real parser
(python3-icalendar): for every year of the calendar, 1583 to 9999, the holiday file
parses and holds exactly the nation's public holidays of the holiday table, their
dates computed here from dateutil's Easter and Python's own calendar; a region's file
adds its own rows, and a place abroad its own and those of its groups, checked in the
years around each row's first and last; the lines
end in CRLF and are folded at 75 octets. The name-day files of a few years parse,
hold one event a day that has a name, and agree with `--json` for each day of 2023.

The table comes from print_holiday_table, the rules' days from here.

Usage: ics_years.py PROGRAM PRINT_HOLIDAY_TABLE"""
import calendar
import datetime
import json
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

import icalendar
from dateutil.easter import easter, EASTER_WESTERN

program, table_program = sys.argv[1], sys.argv[2]
failures = []

# The regions and the groups, each with the one it inherits, and the table's rows of
# holidays; the celebrations are in no file.
inherits, places, rows = {}, [], []
for line in subprocess.run([table_program], capture_output=True, check=True, text=True).stdout.splitlines():
    fields = line.split("|")
    if fields[0] in ("region", "group"):
        inherits[fields[1]] = fields[2] or None
        if fields[0] == "region":
            places.append(fields[1])
    elif fields[0] == "holiday":
        region, key, name, kind = fields[1:5]
        month, day, after_easter, weekday, nth, since, until, later, yields_to = map(int, fields[5:14])
        rows.append(dict(region=region, key=key, name=name, kind=kind, month=month, day=day,
                         after_easter=after_easter, weekday=weekday, nth=nth, since=since, until=until,
                         later=later, yields_to=yields_to, on_sunday=fields[14]))

SUNDAY = 6  # Python's


def kind_day(row, year):
    """The day of the row's kind in `year`; the weekdays of a month by Python's calendar."""
    if row["kind"] == "easter":
        return easter(year, EASTER_WESTERN) + datetime.timedelta(days=row["after_easter"])
    if row["kind"] == "fixed":
        return datetime.date(year, row["month"], row["day"])
    python_weekday = (row["weekday"] + 5) % 7  # Sunday 1 is Python's 6, Monday 2 its 0
    if row["kind"] == "before":
        return max(datetime.date(year, row["month"], d) for d in range(1, row["day"])
                   if datetime.date(year, row["month"], d).weekday() == python_weekday)
    days = [datetime.date(year, row["month"], d) for d in range(1, calendar.monthrange(year, row["month"])[1] + 1)]
    days = [d for d in days if d.weekday() == python_weekday]
    return days[-1] if row["kind"] == "last" else days[row["nth"] - 1]


def day_of(row, year):
    """The row's day in `year`, or None in a year it is not kept."""
    day = kind_day(row, year) + datetime.timedelta(days=row["later"])
    if row["yields_to"] and day == easter(year, EASTER_WESTERN) + datetime.timedelta(days=row["yields_to"]):
        day += datetime.timedelta(days=7)
    if row["on_sunday"] == "stays":
        return day
    if day.weekday() == SUNDAY:
        return day + datetime.timedelta(days=1)
    return day if row["on_sunday"] == "moves" else None


def expected_holidays(year, region):
    """(date, UID, summary) of each holiday the region keeps: its own rows and those of
    the regions it inherits."""
    lineage = [region]
    while inherits[lineage[-1]]:
        lineage.append(inherits[lineage[-1]])
    days = []
    for row in rows:
        if row["region"] in lineage and year >= row["since"] and (row["until"] == 0 or year <= row["until"]):
            date = day_of(row, year)
            if date:
                days.append((date, f"{date:%Y%m%d}-{row['key']}@solvane", row["name"]))
    return sorted(days)


def run(*arguments):
    return subprocess.run([program, *arguments], capture_output=True, check=True).stdout


def events(year, raw, what):
    """The (date, UID, summary) of each event, after checking the file's form."""
    lines = raw.split(b"\r\n")
    if lines[-1] != b"" or any(b"\n" in line or b"\r" in line for line in lines):
        failures.append(f"{what} {year} : une ligne ne finit pas par CRLF")
    if any(len(line) > 75 for line in lines):
        failures.append(f"{what} {year} : une ligne de plus de 75 octets")
    ical = icalendar.Calendar.from_ical(raw)
    found, uids = [], set()
    for event in ical.walk("VEVENT"):
        start = event.decoded("DTSTART")
        # 9999-12-31 lasts a day by DURATION: the day after has no four-digit year.
        length = event.decoded("DTEND") - start if "DTEND" in event else event.decoded("DURATION")
        if type(start) is not datetime.date or length != datetime.timedelta(days=1):
            failures.append(f"{what} {year} : {start} n'est pas un jour entier")
        if "DTSTAMP" not in event or str(event["UID"]) in uids:
            failures.append(f"{what} {year} : DTSTAMP absent ou UID répété ({event['UID']})")
        uids.add(str(event["UID"]))
        found.append((start, str(event["UID"]), str(event["SUMMARY"])))
    return sorted(found)


def check_holidays(year, region="national"):
    raw = run("--ics", str(year), "--region", region)
    found = events(year, raw, f"--ics --region {region}")
    if found != expected_holidays(year, region):
        failures.append(f"--ics {year} --region {region} : {found} au lieu de {expected_holidays(year, region)}")


# Each place in the first and last years of the calendar, around the first and last
# years of each of its rows and its groups', and in a week of years, which holds every
# weekday of each fixed date (a Monday after a Sunday, a day moved off a Sunday).
regional_years = []
for region in places:
    lineage = [region]
    while inherits[lineage[-1]]:
        lineage.append(inherits[lineage[-1]])
    years = {1583, 9999} | set(range(2020, 2028))
    for row in rows:
        if row["region"] in lineage:
            years |= {y for y in (row["since"] - 1, row["since"], row["until"], row["until"] + 1) if 1583 <= y <= 9999}
    regional_years += [(year, region) for year in sorted(years)]

with ThreadPoolExecutor(max_workers=2) as pool:
    list(pool.map(check_holidays, range(1583, 10000)))
    list(pool.map(lambda pair: check_holidays(*pair), regional_years))

# The same year gives the same identifiers.
first, second = (icalendar.Calendar.from_ical(run("--ics", "2024")) for _ in range(2))
if [e["UID"] for e in first.walk("VEVENT")] != [e["UID"] for e in second.walk("VEVENT")]:
    failures.append("--ics 2024 : les UID changent d'une fois à l'autre")

for year in (1583, 1600, 1900, 2023, 2024, 9999):
    found = events(year, run("--ics-fetes", str(year)), "--ics-fetes")
    days = (datetime.date(year, 12, 31) - datetime.date(year, 1, 1)).days + 1
    if len(found) != days or any(not summary.startswith("Fête : ") for _, _, summary in found):
        failures.append(f"--ics-fetes {year} : {len(found)} fêtes pour {days} jours")
    if year == 2023:
        for day, _, summary in found:
            fete = json.loads(run("--json", day.isoformat()))["fete"]
            if summary != f"Fête : {fete}":
                failures.append(f"--ics-fetes {day} : « {summary} », --json dit « {fete} »")

for failure in failures[:20]:
    print("ics_years: ÉCHEC :", failure, file=sys.stderr)
if failures:
    sys.exit(1)
print(f"ics_years: les jours fériés de 1583 à 9999, ceux des régions en {len(regional_years)} années "
      "et les fêtes de six années, lus par icalendar")
