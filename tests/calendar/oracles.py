#!/usr/bin/python3
"""Outside oracles for the almanac's tests, one line per fact on standard output.

  oracles.py holidays FIRST LAST   python3-holidays' version as version|MAJOR.MINOR|,
                                   then the days of each French region that the nation
                                   does not keep: REGION|YYYY-MM-DD|NAME, REGION its
                                   ISO 3166-2 code (GES for Alsace-Moselle)
  oracles.py changes ZONE FIRST LAST
                                   zoneinfo's changes of offset: YYYY-MM-DD|SENTENCE,
                                   the date the clock shows when it reaches the change
  oracles.py phases FIRST LAST     PyEphem's principal phases: PHASE|UNIX SECONDS
"""
import calendar
import datetime
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


def clock(seconds):
    hour, minute = seconds // 3600 % 24, seconds // 60 % 60
    return f'{hour} h' + (f' {minute:02d}' if minute else '')


def changes_lines(zone, first, last):
    from zoneinfo import ZoneInfo
    tz = ZoneInfo(zone)

    def reading(t):
        return datetime.datetime.fromtimestamp(t, tz)

    t = calendar.timegm((first - 1, 12, 31, 0, 0, 0)) - 86400
    end = calendar.timegm((last + 1, 1, 2, 0, 0, 0))
    previous = reading(t).utcoffset()
    while t < end:
        probe = t + 3600
        offset = reading(probe).utcoffset()
        if offset != previous:
            low, high = t, probe  # the offset changes in (low, high]
            while high - low > 1:
                middle = (low + high) // 2
                if reading(middle).utcoffset() == previous:
                    low = middle
                else:
                    high = middle
            before, after = reading(high - 1), reading(high)
            reached = high + int(before.utcoffset().total_seconds())
            day = datetime.datetime.fromtimestamp(reached, datetime.timezone.utc).date()
            if first <= day.year <= last:
                if bool(before.dst()) == bool(after.dst()):
                    kind = "Changement d'heure"
                elif after.utcoffset() > before.utcoffset():
                    kind = "Passage à l'heure d'été"
                else:
                    kind = "Passage à l'heure d'hiver"
                wall_after = after.hour * 3600 + after.minute * 60
                print(f'{day.isoformat()}|{kind} : à {clock(reached % 86400)} il est {clock(wall_after)}')
        previous = offset
        t = probe


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
        changes_lines(arguments[0], int(arguments[1]), int(arguments[2]))
    elif what == 'phases':
        phases_lines(int(arguments[0]), int(arguments[1]))
    else:
        sys.exit(f'oracles.py : oracle inconnu : {what}')
