#!/usr/bin/python3
"""Outside oracles for the almanac's tests, one line per fact on standard output.

  oracles.py holidays FIRST LAST   python3-holidays' version as version|MAJOR.MINOR|,
                                   then the days of each French region that the nation
                                   does not keep: REGION|YYYY-MM-DD|NAME, REGION its
                                   ISO 3166-2 code (GES for Alsace-Moselle)
  oracles.py places FIRST LAST     python3-holidays' version as version|MAJOR.MINOR|, then,
                                   from version 0.71 on (older ones lack Monaco and the
                                   French names), the public holidays of the places beyond
                                   France: PLACE|YYYY-MM-DD|NAME, PLACE BE, LU, MC, CA-QC or
                                   CH-XX (a canton; CH-TI for its Epiphany alone)
  oracles.py changes FIRST LAST   zoneinfo's days whose length is not 24 hours, in
                                   every zone of the system's database: zone|NAME, then
                                   that zone's days as YYYY-MM-DD|SENTENCE
  oracles.py phases FIRST LAST     PyEphem's principal phases: PHASE|UNIX SECONDS
  oracles.py sun FILE              PyEphem's sunrises and sunsets on the local days of FILE,
                                   one request a line, LATITUDE|LONGITUDE|ZONE|YYYY-MM-DD
                                   (ZONE a zoneinfo key, or a fixed offset written as TZ
                                   writes it, <+05>-5); one answer a line, UP|MARGIN|EVENTS:
                                   whether the upper limb is above the horizon as the day
                                   begins (1 or 0), how near the horizon, in degrees, the sun
                                   passes at its highest or lowest within the day and an hour
                                   on either side (-1 when it stays 3° away or more, or at 60°
                                   of latitude or less), then each rise and set of the day in
                                   time order, R or S and its unix seconds (R1718940000)
  oracles.py seasons FIRST LAST    PyEphem's equinoxes and solstices: K|UNIX SECONDS, K 0 for
                                   the March equinox, 1 the June solstice, 2 the September
                                   equinox, 3 the December solstice
  oracles.py geonames [fr]         the towns of libgeonames0 (GeoNames): NAME|COUNTRY|LAT|LON,
                                   then with fr, in French where its translations have the
                                   names, |REGION|COUNTRY NAME as well
"""
import calendar
import datetime
import math
import os
import re
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


PLACES = (('BE', 'BE', None), ('LU', 'LU', None), ('MC', 'MC', None), ('CA-QC', 'CA', 'QC'),
          ('CH-GE', 'CH', 'GE'), ('CH-VD', 'CH', 'VD'), ('CH-NE', 'CH', 'NE'), ('CH-JU', 'CH', 'JU'),
          ('CH-FR', 'CH', 'FR'), ('CH-VS', 'CH', 'VS'), ('CH-TI', 'CH', 'TI'))


def places_lines(first, last):
    import holidays
    version = tuple(int(part) for part in holidays.__version__.split('.')[:2])
    print(f'version|{version[0]}.{version[1]}|')
    if version < (0, 71):
        return
    years = range(first, last + 1)
    for place, country, subdivision in PLACES:
        days = holidays.country_holidays(country, subdiv=subdivision, years=years, language='fr')
        for day in sorted(days):
            for name in days.get_list(day):
                print(f'{place}|{day.isoformat()}|{name}')


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


def unix(date):
    return round((float(date) - 25567.5) * 86400)  # ephem counts days from 1899-12-31 12:00 UTC


def window(zone, year, month, day):
    """The UTC instants [start, end) of the local day."""
    fixed = re.fullmatch(r'<([+-])(\d\d)(\d\d)?>.*', zone)
    if fixed:
        offset = (int(fixed.group(2)) * 3600 + int(fixed.group(3) or 0) * 60) * (1 if fixed.group(1) == '+' else -1)
        start = calendar.timegm((year, month, day, 0, 0, 0)) - offset
        return start, start + 86400
    from zoneinfo import ZoneInfo
    tz = ZoneInfo(zone)
    first = datetime.datetime(year, month, day, tzinfo=tz)
    following = (first.replace(tzinfo=None) + datetime.timedelta(days=1)).replace(tzinfo=tz)
    return int(first.timestamp()), int(following.timestamp())


def sun_lines(path):
    import ephem
    sun = ephem.Sun()
    observer = ephem.Observer()
    observer.pressure = 0
    # The sun's centre 50′ below the horizon (34′ of refraction, 16′ of semidiameter),
    # seen from the earth's centre as almanacs have it: PyEphem's place is topocentric,
    # lower by the sun's horizontal parallax, 8.8″ at the horizon.
    horizon = -(50 / 60 + 8.8 / 3600)
    observer.horizon = math.radians(horizon)
    for line in open(path, encoding='utf-8'):
        latitude, longitude, zone, date = line.rstrip('\n').split('|')
        observer.lat, observer.lon = math.radians(float(latitude)), math.radians(float(longitude))
        start, end = window(zone, *map(int, date.split('-')))
        first, last = ephem.Date(start / 86400 + 25567.5), ephem.Date(end / 86400 + 25567.5)
        observer.date = first
        sun.compute(observer)
        up = math.degrees(sun.alt) > horizon
        found = []
        for letter, search in (('R', observer.next_rising), ('S', observer.next_setting)):
            # A search skips an event at its very start: begin a minute before the day.
            at = ephem.Date(first - ephem.minute)
            for _ in range(5):
                try:
                    event = search(sun, start=at, use_center=True)
                except ephem.CircumpolarError:
                    # No event by the lower (for a setting, upper) culmination after
                    # `at`: look on from the next one.
                    turn = observer.next_antitransit if letter == 'R' else observer.next_transit
                    at = ephem.Date(turn(sun, start=at) + ephem.hour)
                    if at >= last:
                        break
                    continue
                if unix(event) >= end:
                    break
                if unix(event) >= start:
                    found.append((unix(event), letter))
                at = ephem.Date(event + ephem.minute)
        margin = -1
        if abs(float(latitude)) > 60:
            for turn in (observer.next_transit, observer.next_antitransit):
                at = ephem.Date(first - ephem.hour)
                while True:
                    at = turn(sun, start=at)
                    if at >= last + ephem.hour:
                        break
                    observer.date = at
                    sun.compute(observer)
                    distance = abs(math.degrees(sun.alt) - horizon)
                    if distance < 3 and (margin < 0 or distance < margin):
                        margin = distance
                    at = ephem.Date(at + ephem.hour)
        print('|'.join([str(int(up)), f'{margin:.4f}'] + [f'{letter}{instant}' for instant, letter in sorted(found)]))


def seasons_lines(first, last):
    import ephem
    steps = (ephem.next_vernal_equinox, ephem.next_summer_solstice, ephem.next_autumnal_equinox,
             ephem.next_winter_solstice)
    for year in range(first, last + 1):
        for k, step in enumerate(steps):
            print(f'{k}|{unix(step(ephem.Date(f"{year}/1/1")))}')


def geonames_lines(language):
    import ctypes
    import locale
    if language:
        # The library translates by gettext, which reads LANGUAGE in any locale but C,
        # and, from Debian 13's C library on, but C.UTF-8 too: the C.UTF-8 locale is
        # taken under another name from a folder of this run's own (LOCPATH), as the
        # town table's generator does.
        import atexit
        import shutil
        import tempfile
        os.environ['LANGUAGE'] = language
        locales = tempfile.mkdtemp(prefix='locales-')
        atexit.register(shutil.rmtree, locales, True)
        os.symlink('/usr/lib/locale/C.utf8', os.path.join(locales, 'fr_FR.UTF-8'))
        os.environ['LOCPATH'] = locales
        try:
            locale.setlocale(locale.LC_ALL, 'fr_FR.UTF-8')
        except locale.Error:
            locale.setlocale(locale.LC_ALL, 'C.UTF-8')
    library = ctypes.CDLL('libgeonames.so.0')
    library.geonames_get_n_cities.restype = ctypes.c_int
    library.geonames_get_city.restype = ctypes.c_void_p
    library.geonames_get_city.argtypes = [ctypes.c_int]
    for field, kind in (('name', ctypes.c_char_p), ('country_code', ctypes.c_char_p),
                        ('latitude', ctypes.c_double), ('longitude', ctypes.c_double),
                        ('state', ctypes.c_char_p), ('country', ctypes.c_char_p)):
        getter = getattr(library, 'geonames_city_get_' + field)
        getter.restype, getter.argtypes = kind, [ctypes.c_void_p]
    for index in range(library.geonames_get_n_cities()):
        city = library.geonames_get_city(index)
        line = (f'{library.geonames_city_get_name(city).decode()}|{library.geonames_city_get_country_code(city).decode()}|'
                f'{library.geonames_city_get_latitude(city)!r}|{library.geonames_city_get_longitude(city)!r}')
        if language:
            line += (f'|{library.geonames_city_get_state(city).decode()}'
                     f'|{library.geonames_city_get_country(city).decode()}')
        print(line)


if __name__ == '__main__':
    what, arguments = sys.argv[1], sys.argv[2:]
    if what == 'holidays':
        holidays_lines(int(arguments[0]), int(arguments[1]))
    elif what == 'places':
        places_lines(int(arguments[0]), int(arguments[1]))
    elif what == 'changes':
        changes_lines(int(arguments[0]), int(arguments[1]))
    elif what == 'phases':
        phases_lines(int(arguments[0]), int(arguments[1]))
    elif what == 'sun':
        sun_lines(arguments[0])
    elif what == 'seasons':
        seasons_lines(int(arguments[0]), int(arguments[1]))
    elif what == 'geonames':
        geonames_lines(arguments[0] if arguments else None)
    else:
        sys.exit(f'oracles.py : oracle inconnu : {what}')
