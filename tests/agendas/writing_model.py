#!/usr/bin/python3
"""1,000 random changes to the user's calendars, against a model the test keeps.

A vdir and an .ics file receive additions (through `solvane --ajouter` and through
agendas/event_writing.h driven by `write_events batch`), changes and removals, of
single and repeated events, of one occurrence, of one and the following, of all.
The test keeps its own model of every event (the series' rule, its removed
occurrences, its changed ones), expanded by python3-dateutil; every hundred steps,
the files read by python3-icalendar and expanded by python3-recurring-ical-events
give exactly the model's occurrences over two years. At the end, every version of a
file that a step replaced or removed is in the safety net, byte for byte.
Seeded: the same run each time (SOLVANE_MODEL_SEED changes the seed).
Usage: writing_model.py WRITE_EVENTS SOLVANE
"""
import datetime as dt
import os, random, shutil, subprocess, sys, time, zoneinfo
import icalendar, recurring_ical_events
from dateutil import rrule
from private_home import private_home

write_events, solvane = sys.argv[1], sys.argv[2]
STEPS, CHECK_EVERY = 1000, 100
seed = int(os.environ.get("SOLVANE_MODEL_SEED", "5545"))
random.seed(seed)
# In memory when the system has a tmpfs for it: every step flushes its files to the disk
# (fsync) and that, not the work, would take most of the time; what the test checks,
# the events, does not depend on the disk.
work, env = private_home("solvane-model.", "/dev/shm" if os.access("/dev/shm", os.W_OK) else None)
vdir, ics = work + "/vdir", work + "/agenda.ics"
os.mkdir(vdir)
with open(ics, "w", newline="") as out:
    out.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Exemple//Test//FR\r\nEND:VCALENDAR\r\n")
PARIS = zoneinfo.ZoneInfo("Europe/Paris")
PERIOD = (dt.datetime(2027, 1, 1), dt.datetime(2029, 1, 1))
HORIZON = dt.datetime(2040, 1, 1)  # a rule without end, followed far past the period: a move may bring it back
FREQUENCIES = {"DAILY": ("chaque jour", rrule.DAILY), "WEEKLY": ("chaque semaine", rrule.WEEKLY),
               "MONTHLY": ("chaque mois", rrule.MONTHLY), "YEARLY": ("chaque année", rrule.YEARLY)}
LETTERS = "bcdfgklnprstvz"
WORDS = ["Piscine", "Dentiste", "Réunion", "Yoga", "Concert", "Atelier", "Cinéma", "Marché"]


class Fields:
    """What a phrase says: a title, a whole day or a start and an end, a repetition."""

    def __init__(self):
        self.title = f"{random.choice(WORDS)} {''.join(random.choice(LETTERS) for _ in range(4)).capitalize()}"
        day = dt.date(2027, 1, 4) + dt.timedelta(days=random.randrange(150))
        self.whole = random.random() < 0.2
        if self.whole:
            self.start, self.end = dt.datetime.combine(day, dt.time()), None
        else:  # 7 h to 21 h: never in the hour a change of time skips or repeats
            self.start = dt.datetime.combine(day, dt.time(random.randrange(7, 21), random.choice((0, 15, 30, 45))))
            self.end = self.start + dt.timedelta(minutes=random.choice((30, 60, 90, 120)))
        self.freq = random.choice((None, None, "DAILY", "WEEKLY", "WEEKLY", "MONTHLY", "YEARLY"))
        self.count = self.until = None
        end = random.random()
        if self.freq == "DAILY" or (self.freq and end < 0.3):
            self.count = random.randrange(2, 16)
        elif self.freq and end < 0.6:
            self.until = day + dt.timedelta(days=random.randrange(1, 200))
        if self.freq == "YEARLY" and self.until:
            self.until = None

    def phrase(self):
        words = [f"{self.start.day}/{self.start.month}/{self.start.year}"]
        if self.whole:
            words.append("toute la journée")
        else:
            words.append(f"{hour(self.start)}-{hour(self.end)}")
        words.append(self.title)
        if self.freq:
            words.append(FREQUENCIES[self.freq][0])
            if self.count:
                words.append(f"{self.count} fois")
            if self.until:
                words.append(f"jusqu'au {self.until.day:02d}/{self.until.month:02d}/{self.until.year}")
        return " ".join(words)


def hour(moment):
    return f"{moment.hour}h{moment.minute:02d}" if moment.minute else f"{moment.hour}h"


class Series:
    """An event of the model: its fields, its removed occurrences and its changed ones
    (by the start the rule gives them: their RECURRENCE-ID)."""

    def __init__(self, calendar, fields):
        self.calendar, self.fields = calendar, fields
        self.until = dt.datetime.combine(fields.until, dt.time(23, 59, 59)) if fields.until else None
        self.count = fields.count
        self.removed, self.changed = set(), {}

    def starts(self):
        """The starts the rule gives, removed ones included."""
        if not self.fields.freq:
            return [self.fields.start]
        return list(rrule.rrule(FREQUENCIES[self.fields.freq][1], dtstart=self.fields.start, count=self.count,
                                until=self.until if self.until else HORIZON))

    def occurrences(self):
        for start in self.starts():
            if start in self.removed:
                continue
            yield self.changed.get(start) or shown(self.fields, start)


def shown(fields, start):
    """An occurrence as the reading gives it: whole days by their dates, the end exclusive."""
    if fields.whole:
        return ("jour", start.date(), start.date() + dt.timedelta(days=1), fields.title)
    return ("heure", start, start + (fields.end - fields.start), fields.title)


def whole_change(series, fields, origin=None):
    """The whole series changed (or its part from `origin` on): its exceptions move as
    its start moved, those that name no occurrence of the new rule go; an event that no
    longer repeats has no occurrence removed (RFC 5545 3.8.5.1 has EXDATE exclude from
    a recurrence set)."""
    origin = origin or series.fields.start
    moved = fields.start - origin
    new = Series(series.calendar, fields)
    starts = set(new.starts())
    new.removed = {start + moved for start in series.removed
                   if start >= origin and start + moved in starts and fields.freq}
    new.changed = {start + moved: value for start, value in series.changed.items()
                   if start >= origin and start + moved in starts}
    return new


model = {}  # UID: Series
kept_versions = []  # the bytes of every file replaced or removed
said = {"ajouter": 0, "batch": 0}
gadget = subprocess.Popen([write_events, "batch", vdir, ics], env=env, text=True,
                          stdin=subprocess.PIPE, stdout=subprocess.PIPE)


history = []  # (step, words, answer): what a failure shows of the events it names


def batch(*words):
    gadget.stdin.write("\t".join(words) + "\n")
    gadget.stdin.flush()
    answer = gadget.stdout.readline().strip()
    history.append((step, words, answer))
    said["batch"] += 1
    if not answer.startswith("ok "):
        sys.exit(f"step {step}: write_events {words}: « {answer} »")
    return answer[3:]


def event_file(series_uid):
    return ics if model[series_uid].calendar == "ics" else f"{vdir}/{series_uid}.ics"


def keep_version(path):
    kept_versions.append((step, path, open(path, "rb").read()))


def uids_of(path):
    return {str(c["UID"]) for c in icalendar.Calendar.from_ical(open(path, "rb").read()).walk("VEVENT")}


def add(fields):
    calendar = random.choice(("vdir", "vdir", "ics"))
    path = vdir if calendar == "vdir" else ics
    if calendar == "ics":
        keep_version(ics)
    if random.random() < 0.1:
        before = set(os.listdir(vdir)) if calendar == "vdir" else uids_of(ics)
        done = subprocess.run([solvane, "--ajouter", fields.phrase(), "--agenda", path], env=env,
                              capture_output=True, text=True)
        said["ajouter"] += 1
        if done.returncode != 0:
            sys.exit(f"step {step}: --ajouter « {fields.phrase()} »: {done.stderr}")
        after = set(os.listdir(vdir)) if calendar == "vdir" else uids_of(ics)
        (new,) = after - before
        uid = new.removesuffix(".ics")
        history.append((step, ("--ajouter", path, fields.phrase()), "ok " + uid))
    else:
        uid = batch("add", path, fields.phrase())
    model[uid] = Series(calendar, fields)


def occurrence_of(series):
    starts = [s for s in series.starts() if s not in series.removed and s < PERIOD[1]]
    return random.choice(starts) if starts else None


def text_of(moment, whole):
    return moment.strftime("%Y-%m-%dT00:00" if whole else "%Y-%m-%dT%H:%M")


def change_or_remove(uid, removal):
    series = model[uid]
    scope = random.choice(("all", "this", "following")) if series.fields.freq else "all"
    target = occurrence_of(series) if scope != "all" else None
    if scope != "all" and target is None:
        scope = "all"
    fields = None if removal else Fields()
    calendar = vdir if series.calendar == "vdir" else ics
    keep_version(event_file(uid))
    words = ("remove", calendar, uid, scope) if removal else ("change", calendar, uid, scope)
    words += (text_of(target, series.fields.whole) if target else "-",)
    if fields:
        if scope == "following" and series.count and random.random() < 0.3:
            fields.count, fields.until = series.count, None  # the count the dialog shows, the whole series'
        words += (fields.phrase(),)
    answer = batch(*words)
    whole = scope == "all" or (scope == "following" and target == series.fields.start)
    if removal and whole:
        del model[uid]
    elif removal and scope == "this":
        series.removed.add(target)
        series.changed.pop(target, None)
    elif removal:
        series.until, series.count = target - dt.timedelta(seconds=1), None
        series.changed = {s: v for s, v in series.changed.items() if s < target}
    elif whole:
        model[uid] = whole_change(series, fields)
    elif scope == "this":
        series.changed[target] = shown(fields, fields.start)
    else:
        before = len([s for s in series.starts() if s < target])
        if series.count and fields.count == series.count:
            fields.count = max(1, series.count - before)
        # The following occurrences keep their exceptions, moved as their start moved.
        model[answer] = whole_change(series, fields, target)
        series.until, series.count = target - dt.timedelta(seconds=1), None
        series.changed = {s: v for s, v in series.changed.items() if s < target}


def read_back():
    """Every occurrence in the period that python3-recurring-ical-events reads in the files."""
    found = []
    paths = [ics] + [os.path.join(vdir, n) for n in os.listdir(vdir) if n.endswith(".ics") and not n.startswith(".")]
    for path in paths:
        calendar = icalendar.Calendar.from_ical(open(path, "rb").read())
        for event in recurring_ical_events.of(calendar).between(*PERIOD):
            start, end = event["DTSTART"].dt, event["DTEND"].dt
            if isinstance(start, dt.datetime):
                found.append(("heure", start.astimezone(PARIS).replace(tzinfo=None),
                              end.astimezone(PARIS).replace(tzinfo=None), str(event["SUMMARY"])))
            else:
                found.append(("jour", start, end, str(event["SUMMARY"])))
    return sorted(found, key=repr)


def expected():
    return sorted((o for s in model.values() for o in s.occurrences()
                   if (o[1] if o[0] == "heure" else dt.datetime.combine(o[1], dt.time())) < PERIOD[1]), key=repr)


began = time.process_time()
failures = []
checks = 0
for step in range(1, STEPS + 1):
    choice = random.random()
    if len(model) < 10 or choice < (0.2 if len(model) > 50 else 0.35):
        add(Fields())
    else:
        change_or_remove(random.choice(list(model)), removal=choice > 0.75)
    if step % CHECK_EVERY == 0:
        checks += 1
        read, wanted = read_back(), expected()
        if read != wanted:
            missing = [o for o in wanted if o not in read][:5]
            extra = [o for o in read if o not in wanted][:5]
            titles = {o[3] for o in missing + extra}
            uids = {a[3:] for _, w, a in history if any(t in w[-1] for t in titles)}
            steps = "\n".join(f"  {s}: {' | '.join(w)} -> {a}" for s, w, a in history
                               if uids & {a[3:], *w})
            sys.exit(f"after step {step} (seed {seed}): missing {missing}, not in the model {extra}; "
                     f"the steps of those events:\n{steps}")
gadget.stdin.close()
gadget.wait()

kept = set()
for folder, _, names in os.walk(work + "/state"):
    kept |= {open(os.path.join(folder, n), "rb").read() for n in names if n != "index.txt"}
lost = [(s, p) for s, p, b in kept_versions if b not in kept]
if lost:
    failures.append(f"{len(lost)} versions replaced or removed are not in the safety net, first: {lost[:3]}")
for failure in failures:
    print("ÉCHEC :", failure)
occurrences = len(expected())
print(f"writing_model : {STEPS} pas ({said['ajouter']} par --ajouter), {checks} comparaisons, {len(model)} évènements "
      f"et {occurrences} occurrences à la fin, {len(kept_versions)} versions dans le filet, "
      f"{time.process_time() - began:.1f} s de processeur pour Python")
shutil.rmtree(work)
sys.exit(1 if failures else 0)
