#!/usr/bin/python3
"""The events the gadget writes, read by other programs.

  - khal (Debian's) lists, over eight weeks of a vdir, exactly the events written: a
    single one, whole days, two series, one occurrence moved, one removed, a series
    split by « celle-ci et les suivantes », and a whole series moved to other days with
    its exceptions; series written by hand: one split with its description, attendee,
    reminder, a removed and a moved occurrence after the split; one of extra dates
    only, one of them removed; one of New York renamed; one whose first occurrence was
    removed, made single; every file parses with python3-icalendar. A series with an
    extra period, split, as python3-icalendar reads it.
  - In an .ics file of 200 varied components, every component the gadget did not
    touch is equal before and after, property by property, after an event is added,
    changed and an occurrence removed; the old versions are in the safety net.
  - A file changed between reading and writing: a French sentence, nothing written.
  - `solvane --ajouter` killed (SIGKILL) at random points of 500 writes: the file is
    always the old or the new version, whole, and no temporary file reads as an event.
Usage: writing_oracle.py WRITE_EVENTS SOLVANE
"""
import os, random, signal, subprocess, sys, time
import icalendar
from private_home import private_home

write_events, solvane = sys.argv[1], sys.argv[2]
work, env = private_home("solvane-writing.")
failures = []


def run(*args, status=0):
    done = subprocess.run([write_events, *args], env=env, capture_output=True, text=True)
    if done.returncode != status:
        sys.exit(f"write_events {args}: {done.returncode}, {done.stdout}{done.stderr}")
    return done.stdout.strip()


def files_of(folder):
    return sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".ics") and n[0] != ".")


# --- khal over a vdir -------------------------------------------------------------
vdir = work + "/vdir"
os.mkdir(vdir)
meeting = run("add", vdir, "lundi 9h Réunion chaque semaine")
run("add", vdir, "mardi 14h-15h30 Dentiste")
run("add", vdir, "12 janvier toute la journée Anniversaire de Léa")
run("add", vdir, "mercredi 18 h 30 Piscine chaque semaine 4 fois")
before_change = open(f"{vdir}/{meeting}.ics", "rb").read()
run("change", vdir, meeting, "this", "2027-01-11T09:00", "11 janvier 10h Réunion déplacée")
run("remove", vdir, meeting, "this", "2027-01-18T09:00")
run("change", vdir, meeting, "following", "2027-02-01T09:00", "1 février 11h Réunion B chaque semaine")
# A whole series moved from Thursdays 8 h to Saturdays 7 h: its removed and its changed
# occurrences move with it (RFC 5545 has EXDATE and RECURRENCE-ID name occurrences).
yoga = run("add", vdir, "jeudi 8h Yoga chaque semaine")
run("remove", vdir, yoga, "this", "2027-01-14T08:00")
run("change", vdir, yoga, "this", "2027-01-21T08:00", "21 janvier 12h Yoga décalé")
run("change", vdir, yoga, "all", "-", "samedi 7h Yoga chaque semaine")
# Series written by other programs, with what the dialog's fields cannot say.
paris = open(f"{vdir}/{meeting}.ics", newline="").read().split("BEGIN:VTIMEZONE", 1)[1].split("END:VTIMEZONE", 1)[0]
new_york = """\r\nTZID:America/New_York\r\nBEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nTZNAME:EDT
DTSTART:19700308T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nEND:DAYLIGHT\r\nBEGIN:STANDARD
TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nTZNAME:EST\r\nDTSTART:19701101T020000
RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nEND:STANDARD\r\n""".replace("\r\n", "\n").replace("\n", "\r\n")


def by_hand(uid, zone, *events):
    with open(f"{vdir}/{uid}.ics", "w", newline="") as out:
        out.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Exemple//Test//FR\r\nBEGIN:VTIMEZONE" + zone +
                  "END:VTIMEZONE\r\n" + "".join(f"BEGIN:VEVENT\r\nUID:{uid}\r\nDTSTAMP:20261201T000000Z\r\n"
                                                 + "\r\n".join(lines) + "\r\nEND:VEVENT\r\n" for lines in events)
                  + "END:VCALENDAR\r\n")


# « Celle-ci et les suivantes » an hour later: the following occurrences keep the
# description, the attendee, the categories, the other programs' properties and the
# reminder; the occurrence removed after the split stays removed, the one moved stays
# moved.
by_hand("cours", paris, ["DTSTART;TZID=Europe/Paris:20270105T100000", "DTEND;TZID=Europe/Paris:20270105T110000",
                         "RRULE:FREQ=WEEKLY", "SUMMARY:Cours", "DESCRIPTION:Salle 4", "CATEGORIES:Travail",
                         "ATTENDEE;CN=Léa:mailto:lea@exemple.org", "X-MOZ-GENERATION:3",
                         "EXDATE;TZID=Europe/Paris:20270126T100000",
                         "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:Cours", "TRIGGER;RELATED=END:-PT5M",
                         "END:VALARM"],
        ["RECURRENCE-ID;TZID=Europe/Paris:20270202T100000", "DTSTART;TZID=Europe/Paris:20270203T100000",
         "DTEND;TZID=Europe/Paris:20270203T110000", "SUMMARY:Cours déplacé"])
run("change", vdir, "cours", "following", "2027-01-19T10:00", "19 janvier 11h Cours chaque semaine")
# A series of extra dates only: one of them removed, another moved, the others stay.
by_hand("concert", paris, ["DTSTART;TZID=Europe/Paris:20270107T200000", "DTEND;TZID=Europe/Paris:20270107T220000",
                           "RDATE;TZID=Europe/Paris:20270114T200000,20270121T200000,20270128T200000",
                           "SUMMARY:Concert"])
run("remove", vdir, "concert", "this", "2027-01-14T20:00")
run("change", vdir, "concert", "this", "2027-01-21T20:00", "21 janvier 21h Concert retardé")
# A meeting of New York renamed: it stays at 9 h in New York, an hour earlier in Paris
# in the weeks between the two changes of time, its removed occurrence still removed.
by_hand("point", new_york, ["DTSTART;TZID=America/New_York:20270104T090000",
                            "DTEND;TZID=America/New_York:20270104T100000", "RRULE:FREQ=WEEKLY", "SUMMARY:Point US",
                            "EXDATE;TZID=America/New_York:20270322T090000"])
run("change", vdir, "point", "all", "-", "4 janvier 15h Point américain chaque semaine")
# A series whose first occurrence was removed, made a single event: it takes place.
by_hand("atelier", paris, ["DTSTART;TZID=Europe/Paris:20270106T170000", "DTEND;TZID=Europe/Paris:20270106T180000",
                           "RRULE:FREQ=WEEKLY", "SUMMARY:Atelier", "EXDATE;TZID=Europe/Paris:20270106T170000"])
run("change", vdir, "atelier", "all", "-", "6 janvier 17h Atelier unique")
expected = sorted([
    *[f"2027-01-{d} 10:00 2027-01-{d} 11:00 Cours Salle 4" for d in ("05", "12")],
    *[f"2027-{d} 11:00 2027-{d} 12:00 Cours Salle 4" for d in ("01-19", "02-09", "02-16", "02-23")],
    "2027-02-03 10:00 2027-02-03 11:00 Cours déplacé",
    "2027-01-07 20:00 2027-01-07 22:00 Concert", "2027-01-28 20:00 2027-01-28 22:00 Concert",
    "2027-01-21 21:00 2027-01-21 22:00 Concert retardé",
    *[f"2027-{d} 15:00 2027-{d} 16:00 Point américain"
      for d in ("01-04", "01-11", "01-18", "01-25", "02-01", "02-08", "02-15", "02-22")],
    "2027-01-06 17:00 2027-01-06 18:00 Atelier unique",
    "2027-01-04 09:00 2027-01-04 10:00 Réunion", "2027-01-25 09:00 2027-01-25 10:00 Réunion",
    "2027-01-11 10:00 2027-01-11 11:00 Réunion déplacée",
    *[f"2027-{d} 11:00 2027-{d} 12:00 Réunion B" for d in ("02-01", "02-08", "02-15", "02-22")],
    "2027-01-05 14:00 2027-01-05 15:30 Dentiste", "2027-01-12 2027-01-12 Anniversaire de Léa",
    *[f"2027-01-{d} 18:30 2027-01-{d} 19:30 Piscine" for d in ("06", "13", "20", "27")],
    *[f"2027-{d} 07:00 2027-{d} 08:00 Yoga" for d in ("01-02", "01-23", "01-30", "02-06", "02-13", "02-20")],
    "2027-01-21 12:00 2027-01-21 13:00 Yoga décalé",
])
with open(work + "/khal.conf", "w") as conf:
    conf.write(f"""[calendars]
[[gadget]]
path = {vdir}
type = calendar
[locale]
timeformat = %H:%M
dateformat = %Y-%m-%d
longdateformat = %Y-%m-%d
datetimeformat = %Y-%m-%d %H:%M
longdatetimeformat = %Y-%m-%d %H:%M
local_timezone = Europe/Paris
default_timezone = Europe/Paris
""")


def khal_list(*days):
    khal = subprocess.run(["khal", "-c", work + "/khal.conf", "list", "--day-format", "",
                           "--format", "{start} {end} {title} {description}", *days],
                          env=dict(env, XDG_DATA_HOME=work + "/khal"), capture_output=True, text=True)
    return khal.returncode, sorted(line.strip() for line in khal.stdout.splitlines() if line.strip()), khal.stderr


status, listed, said = khal_list("2027-01-01", "56d")
if status != 0 or listed != expected:
    failures.append(f"khal lists {[l for l in listed if l not in expected]} not expected, misses "
                    f"{[l for l in expected if l not in listed]} ({said.strip()})")
# The weeks when New York has changed its time and Paris not yet.
status, listed, said = khal_list("2027-03-15", "16d")
march = ["2027-03-15 14:00 2027-03-15 15:00 Point américain", "2027-03-29 15:00 2027-03-29 16:00 Point américain"]
if [line for line in listed if "Point" in line] != march:
    failures.append(f"khal lists in March {listed} ({said.strip()}), expected {march}")
following = [c for path in files_of(vdir) for c in icalendar.Calendar.from_ical(open(path, "rb").read()).walk("VEVENT")
             if str(c["SUMMARY"]) == "Cours" and str(c["UID"]) != "cours"]
if len(following) != 1 or [str(following[0].get(p)) for p in ("DESCRIPTION", "ATTENDEE", "X-MOZ-GENERATION")] != \
        ["Salle 4", "mailto:lea@exemple.org", "3"] or len(following[0].walk("VALARM")) != 1 or \
        following[0]["CATEGORIES"].to_ical() != b"Travail":
    failures.append(f"the following occurrences of « Cours »: {[c.to_ical() for c in following]}")
for path in files_of(vdir):
    icalendar.Calendar.from_ical(open(path, "rb").read())
# An extra date that is a period (which khal and python3-recurring-ical-events do not
# expand with a rule): after « celle-ci et les suivantes » an hour later, only the
# following series has it, an hour later, as python3-icalendar reads them.
period = work + "/periode.ics"
with open(period, "w", newline="") as out:
    out.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Exemple//Test//FR\r\nBEGIN:VEVENT\r\nUID:stage\r\n"
              "DTSTAMP:20261201T000000Z\r\nDTSTART:20270105T090000Z\r\nDTEND:20270105T100000Z\r\n"
              "RRULE:FREQ=WEEKLY;COUNT=4\r\nRDATE;VALUE=PERIOD:20270211T150000Z/PT1H\r\nSUMMARY:Stage\r\n"
              "END:VEVENT\r\nEND:VCALENDAR\r\n")
run("change", period, "stage", "following", "2027-01-19T10:00", "19 janvier 11h Stage chaque semaine 4 fois")


def periods(event):
    """The extra periods of `event`, each as its start and end in UTC."""
    values = event.get("RDATE", [])
    found = []
    for value in values if isinstance(values, list) else [values]:
        for start, stop in (p.dt for p in value.dts):
            found.append(str(start) + " " + str(stop if hasattr(stop, "hour") else start + stop))
    return found


extra = {str(e["UID"]): periods(e) for e in icalendar.Calendar.from_ical(open(period, "rb").read()).walk("VEVENT")}
if len(extra) != 2 or extra.pop("stage") != [] or \
        list(extra.values()) != [["2027-02-11 16:00:00+00:00 2027-02-11 17:00:00+00:00"]]:
    failures.append(f"a series with an extra period, split: {open(period).read()}")
kept = {open(os.path.join(root, name), "rb").read()
        for root, _, names in os.walk(work + "/state") for name in names if name != "index.txt"}
if before_change not in kept:
    failures.append("the series' file before its change is not in the safety net")

# A file changed between reading and writing is left as the synchronisation wrote it.
stale_file = f"{vdir}/{meeting}.ics"
sentence = run("stale", vdir, meeting, "lundi 9h Autre chose", status=1)
if "a changé entre-temps" not in sentence or b"Autre chose" in open(stale_file, "rb").read():
    failures.append(f"a file changed meanwhile: « {sentence} »")


# A whole event removed from a vdir: its file goes, and its bytes are in the safety net.
dentist = run("add", vdir, "mardi 14h Contrôle")
dentist_bytes = open(f"{vdir}/{dentist}.ics", "rb").read()
run("remove", vdir, dentist, "all", "-")
kept = {open(os.path.join(root, name), "rb").read()
        for root, _, names in os.walk(work + "/state") for name in names if name != "index.txt"}
if os.path.exists(f"{vdir}/{dentist}.ics") or dentist_bytes not in kept:
    failures.append("a removed event's file is still there, or not in the safety net")

# --ajouter: the event it prints is the one python3-icalendar reads in the file; a
# phrase without a day or a time writes nothing, with status 2.
import json
local = work + "/data/solvane/agenda"
said = subprocess.run([solvane, "--ajouter", "demain 14h-15h30 Dentiste", "--json"], env=env,
                      capture_output=True, text=True)
shown = json.loads(said.stdout)
written = [c for f in files_of(local) for c in icalendar.Calendar.from_ical(open(f, "rb").read()).walk("VEVENT")]
if said.returncode != 0 or len(written) != 1 or shown["titre"] != str(written[0]["SUMMARY"]) or \
        shown["debut"] != written[0]["DTSTART"].dt.strftime("%Y-%m-%dT%H:%M") or \
        shown["fin"] != written[0]["DTEND"].dt.strftime("%Y-%m-%dT%H:%M") or \
        str(written[0]["DTSTART"].dt.tzinfo) != "Europe/Paris" or "VTIMEZONE" not in open(files_of(local)[0]).read():
    failures.append(f"--ajouter --json printed {said.stdout} {said.stderr}, wrote {[c.to_ical() for c in written]}")
refused = subprocess.run([solvane, "--ajouter", "Piscine avec Léa"], env=env, capture_output=True, text=True)
if refused.returncode != 2 or not refused.stderr.startswith("solvane: ") or len(files_of(local)) != 1:
    failures.append(f"a phrase without a date: {refused.returncode} « {refused.stderr} »")

# --- an .ics file of 200 components ------------------------------------------------
def component(i):
    kind = i % 8
    uid = f"composant-{i}@exemple.org"
    if kind == 0:
        return f"BEGIN:VTODO\r\nUID:{uid}\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Tâche {i}\r\nPRIORITY:{i % 9}\r\nDUE;VALUE=DATE:20270{1 + i % 9}15\r\nEND:VTODO\r\n"
    if kind == 1:
        return f"BEGIN:VJOURNAL\r\nUID:{uid}\r\nDTSTAMP:20260101T000000Z\r\nDESCRIPTION:Note {i}\\, avec virgule\\; et point-virgule\\nligne deux\r\nEND:VJOURNAL\r\n"
    if kind == 2:
        return (f"BEGIN:VFREEBUSY\r\nUID:{uid}\r\nDTSTAMP:20260101T000000Z\r\n"
                f"FREEBUSY;FBTYPE=BUSY:20270{1 + i % 9}01T090000Z/PT1H\r\nX-VALEUR;X-PARAM=\"a:b\":{i}\r\nEND:VFREEBUSY\r\n")
    start = f"2027{1 + i % 12:02d}{1 + i % 28:02d}"
    extra = {
        3: f"RRULE:FREQ=WEEKLY;COUNT={2 + i % 5};BYDAY=MO,WE\r\nEXDATE;TZID=Europe/Paris:{start}T100000\r\n",
        4: "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Rappel\r\nTRIGGER;RELATED=END:-PT15M\r\nEND:VALARM\r\n",
        5: f"ATTENDEE;CN=\"Léa Martin\";ROLE=REQ-PARTICIPANT;PARTSTAT=ACCEPTED:mailto:lea{i}@exemple.org\r\nCATEGORIES:Travail,Équipe\r\n",
        6: f"X-MOZ-GENERATION:{i}\r\nX-APPLE-TRAVEL-ADVISORY-BEHAVIOR;X-P=1:AUTOMATIC\r\nGEO:48.85;2.35\r\n",
        7: "CLASS:PRIVATE\r\nTRANSP:TRANSPARENT\r\nURL:https://exemple.org/a?b=c&d=e\r\nSTATUS:TENTATIVE\r\n",
    }[kind]
    times = (f"DTSTART;VALUE=DATE:{start}\r\nDTEND;VALUE=DATE:{start[:6]}{2 + i % 28:02d}\r\n" if kind == 7 else
             f"DTSTART;TZID=Europe/Paris:{start}T100000\r\nDTEND;TZID=Europe/Paris:{start}T113000\r\n")
    return (f"BEGIN:VEVENT\r\nUID:{uid}\r\nDTSTAMP:20260101T000000Z\r\nSEQUENCE:{i % 4}\r\n{times}"
            f"SUMMARY:Évènement {i}\r\nLOCATION:Salle {i}\\, bâtiment B\r\n{extra}END:VEVENT\r\n")


zone = icalendar.Timezone.from_ical(open(f"{vdir}/{meeting}.ics", "rb").read().split(b"BEGIN:VTIMEZONE", 1)[1]
                                    .split(b"END:VTIMEZONE", 1)[0].join([b"BEGIN:VTIMEZONE", b"END:VTIMEZONE"]))
big = work + "/agenda.ics"
with open(big, "w", newline="") as out:
    out.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Exemple//Test//FR\r\nX-WR-CALNAME:Grand agenda\r\n")
    out.write(zone.to_ical().decode())
    out.write("".join(component(i) for i in range(200)) + "END:VCALENDAR\r\n")


def properties(c):
    """Each property with its parameters and value; the values of CATEGORIES merged, which
    libical writes one to a line (RFC 5545 3.8.1.2 lets a component hold several)."""
    items = [(name, sorted(value.params.items()) if hasattr(value, "params") else [],
              value.to_ical() if hasattr(value, "to_ical") else value) for name, value in c.property_items(recursive=False)
             if name != "CATEGORIES"]
    categories = c.get("CATEGORIES", [])
    categories = categories if isinstance(categories, list) else [categories]
    return items + [("CATEGORIES", [b for v in categories for b in v.to_ical().split(b",")])]


def components(path):
    cal = icalendar.Calendar.from_ical(open(path, "rb").read())
    return cal, {(c.name, str(c.get("UID", i))): (properties(c), [properties(s) for s in c.subcomponents])
                 for i, c in enumerate(cal.subcomponents)}


_, original = components(big)
# An addition leaves every byte of the file as it was and inserts the new event before
# END:VCALENDAR, without a second VTIMEZONE for the zone the file holds already.
text_before = open(big, "rb").read()
added = run("add", big, "lundi 9h Point hebdo chaque semaine")
text_added = open(big, "rb").read()
at = text_before.rindex(b"END:VCALENDAR")
inserted = text_added[at:len(text_added) - (len(text_before) - at)]
if not (text_added.startswith(text_before[:at]) and text_added.endswith(text_before[at:])) or \
        b"VTIMEZONE" in inserted:
    failures.append(f"the addition changed other bytes of the file, or added a zone: {inserted[:200]}")
new_event = icalendar.Calendar.from_ical(text_added).walk("VEVENT")[-1]
if (str(new_event["UID"]), str(new_event["SUMMARY"]), str(new_event["DTSTART"].dt), new_event["RRULE"].to_ical()) \
        != (added, "Point hebdo", "2027-01-04 09:00:00+01:00", b"FREQ=WEEKLY"):
    failures.append(f"the event added: {new_event.to_ical()}")
run("change", big, added, "this", "2027-01-11T09:00", "11 janvier 10h Point déplacé")
run("remove", big, added, "this", "2027-01-18T09:00")
run("change", big, "composant-11@exemple.org", "all", "-", "3 mars 15h Évènement changé")
calendar, after = components(big)
for key, value in original.items():
    if key[1] == "composant-11@exemple.org":
        continue
    if after.get(key) != value:
        failures.append(f"{key} changed: {value} became {after.get(key)}")
if calendar.get("X-WR-CALNAME") != "Grand agenda":
    failures.append("the calendar's own properties were lost")
changed = [c for c in calendar.walk("VEVENT") if c.get("UID") == "composant-11@exemple.org"][0]
if str(changed["SUMMARY"]) != "Évènement changé" or int(changed["SEQUENCE"]) != 11 % 4 + 1:
    failures.append(f"the changed event: {changed.to_ical()}")

# Files that are not one calendar, or that libical reads otherwise than their lines say
# (a component of a kind it does not know, which it leaves out; BEGIN and END lines
# that do not pair), take no event: a French sentence, not a byte written.
head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Exemple//Test//FR\r\n"
event = "BEGIN:VEVENT\r\nUID:u1\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20270104T090000Z\r\nEND:VEVENT\r\n"
for name, hostile, sentence in [
    ("inconnu", head + "BEGIN:X-INCONNU\r\nX-VALEUR:1\r\nEND:X-INCONNU\r\nEND:VCALENDAR\r\n", "ne comprend pas"),
    ("tronque", head + event, "pas un seul agenda"),
    ("deux", (head + event + "END:VCALENDAR\r\n") * 2, "pas un seul agenda"),
    ("evenement-seul", event, "pas un seul agenda"),
    ("mal-apparie", head + event.replace("END:VEVENT", "END:VTODO") + "END:VCALENDAR\r\n", "ne comprend pas"),
]:
    path = f"{work}/{name}.ics"
    open(path, "w", newline="").write(hostile)
    said = run("add", path, "lundi 9h Essai", status=1)
    if sentence not in said or open(path, newline="").read() != hostile:
        failures.append(f"{name}: « {said} », or the file was written")

# An empty file, made by `touch` and marked « modifiable », is the user's new calendar:
# it takes one, with the event and its zone.
for name, blank in (("vide", ""), ("blanc", "\r\n  \n")):
    path = f"{work}/{name}.ics"
    open(path, "w", newline="").write(blank)
    uid = run("add", path, "lundi 9h Essai")
    made = icalendar.Calendar.from_ical(open(path, "rb").read())
    if [str(e["UID"]) for e in made.walk("VEVENT")] != [uid] or \
            [str(c["TZID"]) for c in made.walk("VTIMEZONE")] != ["Europe/Paris"]:
        failures.append(f"{name}: {open(path, 'rb').read()[:300]}")

# A file of LF line ends keeps them, and takes the zone's VTIMEZONE it lacks.
plain = work + "/lf.ics"
plain_text = (head + event + "END:VCALENDAR\r\n").replace("\r\n", "\n").encode()
open(plain, "wb").write(plain_text)
in_plain = run("add", plain, "mardi 14h Dentiste")
plain_after = open(plain, "rb").read()
plain_calendar = icalendar.Calendar.from_ical(plain_after)
if b"\r" in plain_after or not plain_after.startswith(plain_text[:-len(b"END:VCALENDAR\n")]) or \
        [str(c["TZID"]) for c in plain_calendar.walk("VTIMEZONE")] != ["Europe/Paris"] or \
        [str(e["UID"]) for e in plain_calendar.walk("VEVENT")] != ["u1", in_plain]:
    failures.append(f"an addition to a file of LF line ends: {plain_after[-300:]}")

# --- writes killed midway ----------------------------------------------------------
# Each kill falls at a random point of a write's life, measured first on this machine
# as it is loaded now (a whole write, then kept by the median of three).
target = work + "/tue.ics"
with open(target, "w") as out:
    out.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Exemple//Test//FR\r\nEND:VCALENDAR\r\n")
KILLS = 500


def lifetime():
    began = time.monotonic()
    subprocess.run([solvane, "--ajouter", "lundi 9h Mesure", "--agenda", target], env=env, capture_output=True)
    return time.monotonic() - began


life = sorted(lifetime() for _ in range(3))[1]
count = 3
random.seed(43)
killing = time.monotonic()
for attempt in range(KILLS):
    process = subprocess.Popen([solvane, "--ajouter", f"lundi 9h Essai {attempt}", "--agenda", target], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(random.uniform(0, life))  # a random kill point, not a wait for a result
    os.kill(process.pid, signal.SIGKILL)
    process.wait()
    # Whole: the text ends as a calendar ends, and every event begun is ended; read by
    # python3-icalendar every 25 kills and at the end.
    text = open(target, "rb").read()
    events = text.count(b"BEGIN:VEVENT")
    whole = text.endswith(b"END:VCALENDAR\r\n") and text.count(b"END:VEVENT") == events
    if attempt % 25 == 24 or attempt == KILLS - 1:
        whole = whole and len(icalendar.Calendar.from_ical(text).walk("VEVENT")) == events
    if not whole or events not in (count, count + 1):
        failures.append(f"after kill {attempt}: {events} events, {count} before, whole: {whole}")
    count = events
killing = time.monotonic() - killing
if count == 3:
    failures.append("no write ever finished before its kill")
for name in os.listdir(work):
    if name.endswith(".ics") and name.startswith(".tue.ics"):
        failures.append(f"a temporary file that reads as an event: {name}")

for failure in failures:
    print("ÉCHEC :", failure)
print(f"writing_oracle : {len(expected)} occurrences par khal, 200 composants, {count - 3} écritures finies sur "
      f"{KILLS} tuées en {killing:.0f} s (une écriture : {life * 1000:.0f} ms)")
sys.exit(1 if failures else 0)
