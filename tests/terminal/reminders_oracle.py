#!/usr/bin/python3
"""`solvane --rappels --json` against a second reckoning: the occurrences of a table of
events by python3-recurring-ical-events (on python3-icalendar), their VALARMs timed
here by RFC 5545 3.8.6.3 with zoneinfo: a relative TRIGGER from the start or the end,
its days and weeks as wall time in the event's zone, its hours and minutes as elapsed
time; an absolute one in UTC; REPEAT and DURATION; DISPLAY, AUDIO and EMAIL alike.
The program runs in Europe/Paris and in America/Santiago, whose clocks change at
midnight, with its clock set by libfaketime half a day before each change of time of
2026 and at each week of a month around it: every reminder of the next 24 hours must
be listed, at the same instant, with the local time and summary that zoneinfo gives,
and nothing else.

    reminders_oracle.py SOLVANE
"""

import datetime as dt
import glob
import json
import os
import subprocess
import sys
import tempfile
import zoneinfo

import icalendar
import recurring_ical_events

UTC = dt.timezone.utc
VIEWER_ZONES = ["Europe/Paris", "America/Santiago"]

# The table: each row an event, its zone (None: floating; "date": whole days), its
# start, length, rule, and its VALARMs as written.
EVENTS = [
    ("hebdo-paris", "Europe/Paris", "20260105T100000", "PT1H", "FREQ=WEEKLY;BYDAY=MO,SA,SU",
     [("DISPLAY", "TRIGGER:-PT15M", ""), ("AUDIO", "TRIGGER;RELATED=END:-PT5M", "")]),
    ("hebdo-santiago", "America/Santiago", "20260103T233000", "PT2H", "FREQ=WEEKLY;BYDAY=SA,SU",
     [("DISPLAY", "TRIGGER:-PT45M", ""), ("EMAIL", "TRIGGER:-P1D", "")]),
    ("minuit-santiago", "America/Santiago", "20260101T083000", "PT30M", "FREQ=DAILY",
     [("DISPLAY", "TRIGGER:-PT9H", ""), ("DISPLAY", "TRIGGER:-P1DT1H", "REPEAT:2 DURATION:PT10M")]),
    ("quotidien-utc", "UTC", "20260101T120000", "PT1H", "FREQ=DAILY;INTERVAL=2",
     [("DISPLAY", "TRIGGER;RELATED=END:PT10M", "REPEAT:3 DURATION:PT1H")]),
    ("paris-nuit", "Europe/Paris", "20260102T013000", "PT2H", "FREQ=DAILY",
     [("DISPLAY", "TRIGGER:-PT2H", ""), ("DISPLAY", "TRIGGER:-P1W", "")]),
    ("flottant", None, "20260101T090000", "PT1H", "FREQ=DAILY", [("DISPLAY", "TRIGGER:-PT30M", "")]),
    ("journee", "date", "20260101", "P1D", "FREQ=WEEKLY", [("DISPLAY", "TRIGGER:-PT15H", "")]),
    ("absolu", "Europe/Paris", "20260329T150000", "PT1H", None,
     [("DISPLAY", "TRIGGER;VALUE=DATE-TIME:20260328T230000Z", ""),
      ("DISPLAY", "TRIGGER;VALUE=DATE-TIME:20260906T030000Z", "")]),
]


def calendar_text():
    lines = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//oracle//rappels//FR"]
    for uid, zone, start, length, rule, alarms in EVENTS:
        lines += ["BEGIN:VEVENT", f"UID:{uid}", f"SUMMARY:Titre {uid}", f"LOCATION:Salle {uid[:3]}",
                  "DTSTAMP:20260101T000000Z"]
        if zone == "date":
            lines.append(f"DTSTART;VALUE=DATE:{start}")
        elif zone == "UTC":
            lines.append(f"DTSTART:{start}Z")
        elif zone is None:
            lines.append(f"DTSTART:{start}")
        else:
            lines.append(f"DTSTART;TZID={zone}:{start}")
        lines.append(f"DURATION:{length}")
        if rule:
            lines.append(f"RRULE:{rule}")
        for action, trigger, extra in alarms:
            lines += ["BEGIN:VALARM", f"ACTION:{action}", trigger] + extra.split() + ["END:VALARM"]
        lines.append("END:VEVENT")
    lines.append("END:VCALENDAR")
    return "\r\n".join(lines) + "\r\n"


def duration_parts(delta):
    """A timedelta as python-icalendar reads a DURATION: whole days (nominal) and seconds (exact)."""
    sign = -1 if delta < dt.timedelta(0) else 1
    whole = abs(delta)
    return sign * whole.days, sign * whole.seconds


def as_instant(value, viewer):
    """The instant of a DTSTART or DTEND value, a date or a floating time read in the viewer's zone."""
    if isinstance(value, dt.datetime) and value.tzinfo is not None:
        return value
    if not isinstance(value, dt.datetime):
        value = dt.datetime(value.year, value.month, value.day)
    return value.replace(tzinfo=viewer)


def zone_of(value):
    name = getattr(value.tzinfo, "zone", None) or getattr(value.tzinfo, "key", None) or "UTC"
    return UTC if name == "UTC" else zoneinfo.ZoneInfo(name)


def wall_plus_days(value, days, viewer):
    """`value` moved by whole days of its own wall clock, as an instant."""
    if isinstance(value, dt.datetime) and value.tzinfo is not None:
        zone = zone_of(value)
        wall = value.astimezone(zone).replace(tzinfo=None) + dt.timedelta(days=days)
        return wall.replace(tzinfo=zone)
    return as_instant(value + dt.timedelta(days=days), viewer)


def end_of(start, length, viewer):
    """The end of an occurrence: its DURATION's days as wall time, its hours as elapsed time."""
    days, seconds = duration_parts(length)
    if isinstance(start, dt.datetime) and start.tzinfo is not None:
        return (wall_plus_days(start, days, viewer).astimezone(UTC) + dt.timedelta(seconds=seconds)).astimezone(
            zone_of(start))
    return start + length


def oracle(text, now, viewer_name):
    viewer = zoneinfo.ZoneInfo(viewer_name)
    calendar = icalendar.Calendar.from_ical(text)
    local_now = now.astimezone(viewer)
    first, last = local_now.date() - dt.timedelta(days=2), local_now.date() + dt.timedelta(days=9)
    expected = set()
    for event in recurring_ical_events.of(calendar).between(first, last):
        start = event["DTSTART"].dt
        if isinstance(start, dt.datetime) and start.tzinfo is not None:
            # A wall time that a change of time repeats is the first of the two (RFC
            # 5545 3.3.5), which zoneinfo's fold 0 is; pytz, under python3-icalendar,
            # takes the second.
            start = start.replace(tzinfo=None).replace(tzinfo=zone_of(start))
        end = end_of(start, event["DURATION"].dt, viewer) if "DURATION" in event else event["DTEND"].dt
        starts_at = as_instant(start, viewer)
        for alarm in event.walk("VALARM"):
            trigger = alarm["TRIGGER"]
            if isinstance(trigger.dt, dt.datetime):
                fires = trigger.dt
            else:
                days, seconds = duration_parts(trigger.dt)
                related = trigger.params.get("RELATED", "START")
                # Python adds a timedelta to a zoned time on its wall clock: the
                # elapsed seconds are added in UTC.
                fires = wall_plus_days(end if related == "END" else start, days, viewer).astimezone(UTC) + \
                    dt.timedelta(seconds=seconds)
            repeat = int(alarm.get("REPEAT", 0))
            every = alarm["DURATION"].dt if repeat else dt.timedelta(0)
            for count in range(repeat + 1):
                at = (fires.astimezone(UTC) + count * every)
                if now <= at < now + dt.timedelta(hours=24):
                    local = at.astimezone(viewer)
                    start_local = starts_at.astimezone(viewer)
                    clock = "" if not isinstance(start, dt.datetime) else start_local.strftime("%H h %M ")
                    expected.add((int(at.timestamp()), local.strftime("%Y-%m-%dT%H:%M"),
                                  clock + str(event["SUMMARY"]), str(event["LOCATION"])))
    return expected


def faketime_library():
    found = glob.glob("/usr/lib/*/faketime/libfaketime.so.1") + glob.glob("/usr/lib/faketime/libfaketime.so.1")
    if not found:
        sys.exit("reminders_oracle: libfaketime est absente (paquet faketime)")
    return found[0]


def run(program, folder, agenda, now, viewer_name):
    local = now.astimezone(zoneinfo.ZoneInfo(viewer_name)).strftime("%Y-%m-%d %H:%M:%S")
    environment = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "TZ": viewer_name, "HOME": folder,
                   "XDG_CONFIG_HOME": folder + "/config", "XDG_CACHE_HOME": folder + "/cache",
                   "XDG_STATE_HOME": folder + "/state", "LD_PRELOAD": faketime_library(),
                   "FAKETIME": "@" + local, "FAKETIME_DONT_FAKE_MONOTONIC": "1"}
    answer = subprocess.run([program, "--rappels", "--json", "--agenda", agenda], env=environment,
                            capture_output=True, text=True, check=False)
    if answer.returncode != 0 or answer.stderr:
        sys.exit(f"reminders_oracle: {now} : état {answer.returncode}, « {answer.stderr} »")
    listed = json.loads(answer.stdout)["rappels"]
    instants = [row["instant"] for row in listed]
    if instants != sorted(instants):
        sys.exit(f"reminders_oracle: {now} : les rappels ne sont pas dans l'ordre où ils tombent")
    return {(row["instant"], row["quand"], row["resume"], row["lieu"]) for row in listed}


def change_instants(zone_name, year):
    """The instants of the changes of time of `year` in the zone, to the minute."""
    zone = zoneinfo.ZoneInfo(zone_name)
    instant = dt.datetime(year, 1, 1, tzinfo=UTC)
    changes, offset = [], instant.astimezone(zone).utcoffset()
    while instant.year == year:
        later = instant + dt.timedelta(hours=1)
        if later.astimezone(zone).utcoffset() != offset:
            changes.append(later)
            offset = later.astimezone(zone).utcoffset()
        instant = later
    return changes


def main():
    program = sys.argv[1]
    failures = compared = 0
    with tempfile.TemporaryDirectory(prefix="solvane-rappels-") as folder:
        agenda = os.path.join(folder, "rappels.ics")
        text = calendar_text()
        with open(agenda, "w", encoding="utf-8", newline="") as file:
            file.write(text)
        for viewer in VIEWER_ZONES:
            for change in change_instants(viewer, 2026):
                for shift in [-12, -36, -60, 12, 7 * 24 - 12]:
                    # Half a minute past the hour: a reminder never falls as the run begins.
                    now = change + dt.timedelta(hours=shift, seconds=30)
                    expected = oracle(text.encode(), now, viewer)
                    got = run(program, folder, agenda, now, viewer)
                    compared += len(expected)
                    if not expected:
                        failures += 1
                        print(f"reminders_oracle: ÉCHEC : {viewer} {now} : la table n'a aucun rappel à vérifier")
                    for missing in sorted(expected - got):
                        failures += 1
                        print(f"reminders_oracle: ÉCHEC : {viewer} {now} : manque {missing}")
                    for extra in sorted(got - expected):
                        failures += 1
                        print(f"reminders_oracle: ÉCHEC : {viewer} {now} : de trop {extra}")
    print(f"reminders_oracle: {compared} rappels comparés")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
