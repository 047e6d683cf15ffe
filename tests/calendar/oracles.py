#!/usr/bin/python3
"""Outside oracles for the almanac's tests, one line per fact on standard output.

  oracles.py holidays FIRST LAST   python3-holidays' version as version|MAJOR.MINOR|,
                                   then the days of each French region that the nation
                                   does not keep: REGION|YYYY-MM-DD|NAME, REGION its
                                   ISO 3166-2 code (GES for Alsace-Moselle)
  oracles.py changes FIRST LAST   zoneinfo's days whose length is not 24 hours, in
                                   every zone of the system's database: zone|NAME, then
                                   that zone's days as YYYY-MM-DD|SENTENCE
  oracles.py phases FIRST LAST     PyEphem's principal phases: PHASE|UNIX SECONDS
"""
import datetime
import os
import sys


# The regions by their ISO 3166-2 code, as the versions since 0.20 name them
# (Debian 13: 0.71); Debian 12's 0.10 names them in French.
REGION_CODES = {'Alsace-Moselle': 'GES', 'Guadeloupe': 'GP', 'Guyane': 'GY', 'Martinique': 'MQ',
                'Mayotte': 'YT', 'La Réunion': 'RE', 'Saint-Barthélémy': 'BL', 'Saint-Martin': 'MF',
                'Nouvelle-Calédonie': 'NC', 'Polynésie Française': 'PF', 'Wallis-et-Futuna': 'WF'}


def holidays_lines(first, last):
    import holidays
    years = range(first, last + 1)
    if hasattr(holidays.France, 'subdivisions'):
        national = holidays.France(years=years, language='fr')
        regions = {code: holidays.France(subdiv=code, years=years, language='fr')
                   for code in holidays.France.subdivisions}
    else:
        national = holidays.France(years=years)
        regions = {REGION_CODES[name]: holidays.France(prov=name, years=years)
                   for name in holidays.France.PROVINCES if name in REGION_CODES}
    major, minor = holidays.__version__.split('.')[:2]
    print(f'version|{major}.{minor}|')
    for code, regional in regions.items():
        for day in sorted(regional):
            kept = national.get_list(day) if day in national else []
            for name in regional.get_list(day):
                if name not in kept:
                    print(f'{code}|{day.isoformat()}|{name}')


SYSTEM_ZONES = '/usr/share/zoneinfo'  # where the C library finds a zone named by TZ
MIDNIGHT = datetime.time(0)
EPOCH_DAY = datetime.date(1970, 1, 1).toordinal()


def clock(seconds):
    hour, minute = seconds // 3600 % 24, seconds // 60 % 60
    return f'{hour} h' + (f' {minute:02d}' if minute else '')


def wall_text(seconds, midnight_as_word):
    """A wall time counted from the day's 00:00, the day before or after named."""
    if midnight_as_word and seconds in (0, 86400):
        return 'minuit'
    if seconds < 0:
        return clock(seconds) + ' la veille'
    if seconds >= 86400:
        return clock(seconds) + ' le lendemain'
    return clock(seconds)


def offset(tz, t):
    return int(datetime.datetime.fromtimestamp(t, tz).utcoffset().total_seconds())


def first_change(tz, low, high):
    """The first second of (low, high] whose offset differs from that of low."""
    at_low = offset(tz, low)
    while high - low > 1:
        middle = (low + high) // 2
        if offset(tz, middle) == at_low:
            low = middle
        else:
            high = middle
    return high


def day_start(tz, ordinal):
    """The first instant of a local day: its 00:00, the first where the clock shows it
    twice (fold 0); where the clock skips it, the change that skips it, which lies
    between the skipped time read with the offset after the change (fold 1) and with
    the one before (fold 0)."""
    midnight = datetime.datetime.combine(datetime.date.fromordinal(ordinal), MIDNIGHT, tz)
    t = int(midnight.timestamp())
    if datetime.datetime.fromtimestamp(t, tz).replace(tzinfo=None) == midnight.replace(tzinfo=None):
        return t
    return first_change(tz, int(midnight.replace(fold=1).timestamp()), t)


def zone_changes(tz, first, last):
    """The days of FIRST..LAST whose length is not 24 hours, and the change in each."""
    first_day, last_day = datetime.date(first, 1, 1).toordinal(), datetime.date(last, 12, 31).toordinal()
    # Where the clock shows a day's 00:00, its offset there (fold 0: the first of two)
    # gives the day's first instant; a skipped 00:00 is read with the offset before the
    # change, so the next day's differs. The days next to a change of that offset are
    # measured exactly, and every other day has 24 hours.
    offsets = list(map(tz.utcoffset, map(datetime.datetime.fromordinal, range(first_day - 1, last_day + 3))))
    odd = {first_day - 1 + i for i in range(len(offsets) - 1) if offsets[i + 1] != offsets[i]}
    for day in sorted({near for day in odd for near in (day - 1, day, day + 1)}):
        if not first_day <= day <= last_day:
            continue
        start, end = day_start(tz, day), day_start(tz, day + 1)
        if end - start == 86400:
            continue
        change = first_change(tz, start - 1, end)
        before = datetime.datetime.fromtimestamp(change - 1, tz)
        after = datetime.datetime.fromtimestamp(change, tz)
        midnight = (day - EPOCH_DAY) * 86400  # the day's 00:00 read as UTC
        wall_before = change + int(before.utcoffset().total_seconds()) - midnight
        wall_after = change + int(after.utcoffset().total_seconds()) - midnight
        if bool(before.dst()) == bool(after.dst()):
            kind = "Changement d'heure"
        elif wall_after > wall_before:
            kind = "Passage à l'heure d'été"
        else:
            kind = "Passage à l'heure d'hiver"
        skipped_date = wall_before == 0 and wall_after == 86400
        yield (f'{datetime.date.fromordinal(day).isoformat()}|{kind} : à {wall_text(wall_before, True)} '
               f'il est {wall_text(wall_after, not skipped_date)}')


def changes_lines(first, last):
    from zoneinfo import ZoneInfo, available_timezones
    for name in sorted(available_timezones()):
        path = os.path.join(SYSTEM_ZONES, name)
        if os.path.isfile(path):  # not a zone that only the tzdata module holds
            print(f'zone|{name}')
            with open(path, 'rb') as file:
                tz = ZoneInfo.from_file(file, key=name)
            for line in zone_changes(tz, first, last):
                print(line)


def phases_lines(first, last):
    import ephem
    steps = (('Nouvelle lune', ephem.next_new_moon), ('Premier quartier', ephem.next_first_quarter_moon),
             ('Pleine lune', ephem.next_full_moon), ('Dernier quartier', ephem.next_last_quarter_moon))
    end = ephem.Date(f'{last + 1}/1/1')
    for name, step in steps:
        instant = step(ephem.Date(f'{first}/1/1'))
        while instant < end:
            moment = instant.datetime().replace(tzinfo=datetime.timezone.utc)
            print(f'{name}|{round(moment.timestamp())}')
            instant = step(ephem.Date(instant + 1))


if __name__ == '__main__':
    what, arguments = sys.argv[1], sys.argv[2:]
    if what == 'holidays':
        holidays_lines(int(arguments[0]), int(arguments[1]))
    elif what == 'changes':
        changes_lines(int(arguments[0]), int(arguments[1]))
    elif what == 'phases':
        phases_lines(int(arguments[0]), int(arguments[1]))
    else:
        sys.exit(f'oracles.py : oracle inconnu : {what}')
