#!/usr/bin/python3
"""The iCalendar files of `solvane --ics` and `--ics-fetes`, read by a real parser
(python3-icalendar): for every year of the calendar, 1583 to 9999, the holiday file
parses and holds exactly the public holidays that the panel shows that year, their
dates computed here from dateutil's Easter and the law's fixed days; its lines end
in CRLF and are folded at 75 octets. The name-day files of a few years parse, hold
one event a day that has a name, and agree with `--json` for each day of 2023.

Usage: ics_years.py PROGRAM"""
import datetime
import json
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

import icalendar
from dateutil.easter import easter, EASTER_WESTERN

program = sys.argv[1]
failures = []

# (month, day) or Easter plus days, the French name, the first year the panel shows it.
FIXED = [((1, 1), "Jour de l'an", 0), ((5, 1), "Fête du Travail", 0), ((5, 8), "Victoire 1945", 1946),
         ((7, 14), "Fête nationale", 0), ((8, 15), "Assomption", 0), ((11, 1), "Toussaint", 0),
         ((11, 11), "Armistice 1918", 1919), ((12, 25), "Noël", 0)]
FROM_EASTER = [(0, "Pâques"), (1, "Lundi de Pâques"), (39, "Ascension"), (50, "Lundi de Pentecôte")]


def expected_holidays(year):
    sunday = easter(year, EASTER_WESTERN)
    days = [(datetime.date(year, *when), name) for when, name, since in FIXED if year >= since]
    days += [(sunday + datetime.timedelta(days=shift), name) for shift, name in FROM_EASTER]
    return sorted(days)


def run(*arguments):
    return subprocess.run([program, *arguments], capture_output=True, check=True).stdout


def events(year, raw, what):
    """The (date, summary) of each event, after checking the file's form."""
    lines = raw.split(b"\r\n")
    if lines[-1] != b"" or any(b"\n" in line or b"\r" in line for line in lines):
        failures.append(f"{what} {year} : une ligne ne finit pas par CRLF")
    if any(len(line) > 75 for line in lines):
        failures.append(f"{what} {year} : une ligne de plus de 75 octets")
    calendar = icalendar.Calendar.from_ical(raw)
    found, uids = [], set()
    for event in calendar.walk("VEVENT"):
        start = event.decoded("DTSTART")
        # 9999-12-31 lasts a day by DURATION: the day after has no four-digit year.
        length = event.decoded("DTEND") - start if "DTEND" in event else event.decoded("DURATION")
        if type(start) is not datetime.date or length != datetime.timedelta(days=1):
            failures.append(f"{what} {year} : {start} n'est pas un jour entier")
        if "DTSTAMP" not in event or str(event["UID"]) in uids:
            failures.append(f"{what} {year} : DTSTAMP absent ou UID répété ({event['UID']})")
        uids.add(str(event["UID"]))
        found.append((start, str(event["SUMMARY"])))
    return sorted(found)


def check_holidays(year):
    raw = run("--ics", str(year))
    found = events(year, raw, "--ics")
    if found != expected_holidays(year):
        failures.append(f"--ics {year} : {found} au lieu de {expected_holidays(year)}")


with ThreadPoolExecutor(max_workers=2) as pool:
    list(pool.map(check_holidays, range(1583, 10000)))

# The same year gives the same identifiers.
first, second = (icalendar.Calendar.from_ical(run("--ics", "2024")) for _ in range(2))
if [e["UID"] for e in first.walk("VEVENT")] != [e["UID"] for e in second.walk("VEVENT")]:
    failures.append("--ics 2024 : les UID changent d'une fois à l'autre")

for year in (1583, 1600, 1900, 2023, 2024, 9999):
    found = events(year, run("--ics-fetes", str(year)), "--ics-fetes")
    days = (datetime.date(year, 12, 31) - datetime.date(year, 1, 1)).days + 1
    if len(found) != days or any(not summary.startswith("Fête : ") for _, summary in found):
        failures.append(f"--ics-fetes {year} : {len(found)} fêtes pour {days} jours")
    if year == 2023:
        for day, summary in found:
            fete = json.loads(run("--json", day.isoformat()))["fete"]
            if summary != f"Fête : {fete}":
                failures.append(f"--ics-fetes {day} : « {summary} », --json dit « {fete} »")

for failure in failures[:20]:
    print("ics_years: ÉCHEC :", failure, file=sys.stderr)
if failures:
    sys.exit(1)
print("ics_years: les jours fériés de 1583 à 9999 et les fêtes de six années, lus par icalendar")
