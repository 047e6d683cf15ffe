#!/usr/bin/python3
"""A calendar for the agendas' benchmarks: COUNT events over 2025 and 2026, one in
ten repeated (weekly, monthly on a weekday, yearly), in four zones and floating,
a tenth of them whole days; written on standard output.

    bench/agenda_calendar.py [COUNT]      (5000 by default)

With --vdir FOLDER, the same events one per file in FOLDER, each file named after
its event's UID, as vdirsyncer keeps a calendar.
"""
import os
import random
import sys

arguments = sys.argv[1:]
vdir = None
if arguments[:1] == ["--vdir"]:
    vdir, arguments = arguments[1], arguments[2:]
count = int(arguments[0]) if arguments else 5000
rng = random.Random(5000)
zones = ["Europe/Paris", "America/New_York", "Asia/Tokyo", "UTC", None]
days = ["MO", "TU", "WE", "TH", "FR"]
lines = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Solvane//bench//FR", "X-WR-CALNAME:Mesures"]
for index in range(count):
    year, month, day = rng.choice([2025, 2026]), rng.randint(1, 12), rng.randint(1, 28)
    zone = zones[index % len(zones)]
    lines += ["BEGIN:VEVENT", f"UID:{index}@bench", "DTSTAMP:20250101T000000Z", f"SUMMARY:Évènement {index}",
              "LOCATION:Salle " + str(index % 20)]
    if index % 10 == 5:
        lines += [f"DTSTART;VALUE=DATE:{year}{month:02d}{day:02d}", "DURATION:P2D"]
    else:
        stamp = f"{year}{month:02d}{day:02d}T{rng.randint(7, 20):02d}{rng.choice([0, 30]):02d}00"
        start = (f"DTSTART:{stamp}Z" if zone == "UTC" else f"DTSTART:{stamp}" if zone is None
                 else f"DTSTART;TZID={zone}:{stamp}")
        lines += [start, "DURATION:PT1H"]
    if index % 10 == 0:
        lines.append(rng.choice([f"RRULE:FREQ=WEEKLY;BYDAY={rng.choice(days)},{rng.choice(days)}",
                                 f"RRULE:FREQ=MONTHLY;BYDAY=2{rng.choice(days)}",
                                 "RRULE:FREQ=YEARLY", "RRULE:FREQ=DAILY;INTERVAL=3;COUNT=200"]))
    lines.append("END:VEVENT")
lines.append("END:VCALENDAR")
if vdir is None:
    sys.stdout.write("\r\n".join(lines) + "\r\n")
    sys.exit(0)
os.makedirs(vdir, exist_ok=True)
head, at = lines[:4], 4
while lines[at] == "BEGIN:VEVENT":
    end = lines.index("END:VEVENT", at) + 1
    uid = lines[at + 1][len("UID:"):].replace("@", "-")
    with open(os.path.join(vdir, uid + ".ics"), "w", encoding="utf-8", newline="") as file:
        file.write("\r\n".join(head + lines[at:end] + ["END:VCALENDAR"]) + "\r\n")
    at = end
