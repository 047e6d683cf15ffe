#!/usr/bin/python3
"""The events of every .ics file in a folder, as python3-icalendar reads them: one line
each, SUMMARY|DTSTART|DTEND|RRULE|LOCATION|TRIGGER, and |RECURRENCE-ID for an
occurrence changed alone, times as local wall times with the zone's name after them,
a trigger in seconds from the start, in the order of their files' names."""

import pathlib
import sys

import icalendar


def written(value):
    if value is None:
        return ""
    moment = value.dt
    zone = getattr(getattr(moment, "tzinfo", None), "zone", None) or getattr(moment, "tzinfo", None)
    text = moment.replace(tzinfo=None).isoformat(timespec="minutes") if hasattr(moment, "hour") else moment.isoformat()
    return text + (" " + str(zone) if zone else "")


for path in sorted(pathlib.Path(sys.argv[1]).glob("*.ics")):
    calendar = icalendar.Calendar.from_ical(path.read_bytes())
    for event in calendar.walk("VEVENT"):
        rule = event.get("RRULE")
        alarms = [str(int(alarm.get("TRIGGER").dt.total_seconds())) for alarm in event.walk("VALARM")]
        fields = [str(event.get("SUMMARY")), written(event.get("DTSTART")), written(event.get("DTEND")),
                  rule.to_ical().decode() if rule else "", str(event.get("LOCATION") or ""), ",".join(alarms)]
        if event.get("RECURRENCE-ID") is not None:
            fields.append(written(event.get("RECURRENCE-ID")))
        print("|".join(fields))
