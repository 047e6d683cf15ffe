#!/usr/bin/python3
"""The quick-add line's phrases, as Solvane reads them, against python3-dateparser's
reading (French, the same moment of reference, dates from the future): each row gives
the phrase, the title left, and the day and time in words dateparser reads (« 18 h 30 »
written 18:30, which dateparser takes for a length of time); the day, the time and the
end must be dateparser's, at two moments of reference. The rows dateparser does not read
give their expected values, with the reason, at the first moment.

    quick_entry_oracle.py PRINT_QUICK_ENTRIES
"""

import datetime as dt
import subprocess
import sys
import warnings

import dateparser

warnings.simplefilter("ignore")  # dateparser's own warnings about pytz

THURSDAY = dt.datetime(2026, 12, 10, 15, 20)  # Thursday 10 December 2026, 15:20
SUNDAY = dt.datetime(2027, 2, 28, 8, 5)  # Sunday 28 February 2027, the last day of a common February

# (phrase, title, dateparser's words for the start, and for the end or None, what else is expected)
ROWS = [
    ("jeudi 18 h 30 Piscine", "Piscine", "jeudi 18:30", None, {}),
    ("Jeudi 18h30 piscine", "piscine", "jeudi 18:30", None, {}),
    ("JEUDI 10h Piscine", "Piscine", "jeudi 10:00", None, {}),
    ("jeudi Piscine", "Piscine", "jeudi", None, {}),
    ("vendredi Marché", "Marché", "vendredi", None, {}),
    ("samedi à midi Déjeuner chez Paul", "Déjeuner chez Paul", "samedi 12:00", None, {}),
    ("dimanche minuit Feu d'artifice", "Feu d'artifice", "dimanche 00:00", None, {}),
    ("lundi 9h réunion chaque semaine", "réunion", "lundi 09:00", None, {"repetition": "semaine"}),
    ("mardi 7h45 Train", "Train", "mardi 7:45", None, {}),
    ("mercredi 20:15 Cinéma", "Cinéma", "mercredi 20:15", None, {}),
    ("ce samedi Brocante", "Brocante", "samedi", None, {}),
    ("le lundi 8h Rentrée", "Rentrée", "lundi 08:00", None, {}),
    ("demain 14h-15h30 Dentiste", "Dentiste", "demain 14:00", "demain 15:30", {}),
    ("demain de 14h à 15h30 Dentiste", "Dentiste", "demain 14:00", "demain 15:30", {}),
    ("Dentiste demain de 14 h à 15 h 30", "Dentiste", "demain 14:00", "demain 15:30", {}),
    ("demain 14:00-15:45 Dentiste", "Dentiste", "demain 14:00", "demain 15:45", {}),
    ("Kiné demain", "Kiné", "demain", None, {}),
    ("demain à 23h30 Train de nuit", "Train de nuit", "demain 23:30", "après-demain 00:30", {}),
    ("demain 22h-1h Fête", "Fête", "demain 22:00", "après-demain 01:00", {}),
    ("demain midi Pique-nique", "Pique-nique", "demain 12:00", None, {}),
    ("demain toute la journée Salon", "Salon", "demain", None, {}),
    ("après-demain Vernissage", "Vernissage", "après-demain", None, {}),
    ("après demain 8h15 Vol", "Vol", "après-demain 8:15", None, {}),
    ("aujourd'hui 20h Concert", "Concert", "aujourd'hui 20:00", None, {}),
    ("aujourd’hui Ménage", "Ménage", "aujourd'hui", None, {}),
    ("Aujourd'hui 23:59 Réveillon", "Réveillon", "aujourd'hui 23:59", "demain 00:59", {}),
    ("12 mai toute la journée Anniversaire de Léa", "Anniversaire de Léa", "12 mai", None, {}),
    ("12 mai 18h Vernissage", "Vernissage", "12 mai 18:00", None, {}),
    ("le 12 mai à 18h30 Vernissage", "Vernissage", "12 mai 18:30", None, {}),
    ("3 mai 2027 Mariage", "Mariage", "3 mai 2027", None, {}),
    ("3 mai 2027 15h Mariage", "Mariage", "3 mai 2027 15:00", None, {}),
    ("1er mai Muguet", "Muguet", "1er mai", None, {}),
    ("1er mai 2028 Muguet", "Muguet", "1 mai 2028", None, {}),
    ("1er janvier Jour de l'an", "Jour de l'an", "1 janvier", None, {}),
    ("31 décembre 20h Réveillon", "Réveillon", "31 décembre 20:00", None, {}),
    ("31 decembre Réveillon", "Réveillon", "31 décembre", None, {}),
    ("15 aout Plage", "Plage", "15 août", None, {}),
    ("15 AOÛT Plage", "Plage", "15 août", None, {}),
    ("2 février Chandeleur", "Chandeleur", "2 février", None, {}),
    ("2 fevrier Chandeleur", "Chandeleur", "2 février", None, {}),
    ("29 février Anniversaire", "Anniversaire", "29 février", None, {}),
    ("14 juillet 22h Feu d'artifice", "Feu d'artifice", "14 juillet 22:00", None, {}),
    ("21 juin Fête de la musique", "Fête de la musique", "21 juin", None, {}),
    ("11 novembre Cérémonie", "Cérémonie", "11 novembre", None, {}),
    ("30 septembre Rapport", "Rapport", "30 septembre", None, {}),
    ("10 octobre Vidange", "Vidange", "10 octobre", None, {}),
    ("5 avril Pâques", "Pâques", "5 avril", None, {}),
    ("8 mars Journée", "Journée", "8 mars", None, {}),
    ("20 janvier 2028 Soldes", "Soldes", "20 janvier 2028", None, {}),
    ("20 janv Soldes", "Soldes", "20 janvier", None, {}),
    ("3 sept Rentrée", "Rentrée", "3 septembre", None, {}),
    ("3 sept. Rentrée", "Rentrée", "3 septembre", None, {}),
    ("7 déc. Réunion", "Réunion", "7 décembre", None, {}),
    ("10 décembre 16h Réunion", "Réunion", "10 décembre 16:00", None, {}),
    ("10 décembre 15h Réunion", "Réunion", "10 décembre 15:00", None, {}),
    ("27 février Réunion", "Réunion", "27 février", None, {}),
    ("28 février 7h Réunion", "Réunion", "28 février 07:00", None, {}),
    ("1er mars Réunion", "Réunion", "1 mars", None, {}),
    ("03/05 Rendez-vous", "Rendez-vous", "03/05", None, {}),
    ("03/05 09:00 Rendez-vous", "Rendez-vous", "03/05 09:00", None, {}),
    ("3/5/2027 Rendez-vous", "Rendez-vous", "3/5/2027", None, {}),
    ("29/02 Rendez-vous", "Rendez-vous", "29/02", None, {}),
    ("29/02/2028 Rendez-vous", "Rendez-vous", "29/02/2028", None, {}),
    ("31/12/2026 23h Fête", "Fête", "31/12/2026 23:00", "1/1/2027 00:00", {}),
    ("01/01 Bonne année", "Bonne année", "01/01", None, {}),
    ("le 03/05 Rendez-vous", "Rendez-vous", "03/05", None, {}),
    ("18h Yoga", "Yoga", "18:00", None, {}),
    ("10h Yoga", "Yoga", "10:00", None, {}),
    ("Yoga à 20h", "Yoga", "20:00", None, {}),
    ("Yoga à 15h20", "Yoga", "15:20", None, {}),
    ("Yoga à 15h21", "Yoga", "15:21", None, {}),
    ("00:00 Réveil", "Réveil", "00:00", None, {}),
    ("à minuit Réveil", "Réveil", "00:00", None, {}),
    ("à midi Déjeuner", "Déjeuner", "12:00", None, {}),
    ("19 heures Dîner", "Dîner", "19:00", None, {}),
    ("de 9h à 12h Atelier", "Atelier", "09:00", "09:00 +3h", {}),
    ("dans 2 heures Appel", "Appel", "dans 2 heures", None, {}),
    ("dans 30 minutes Appel", "Appel", "dans 30 minutes", None, {}),
    ("dans 90 min Appel", "Appel", "dans 90 minutes", None, {}),
    ("Appel dans 10 heures", "Appel", "dans 10 heures", None, {}),
    ("dans 3 jours Colis", "Colis", "dans 3 jours", None, {}),
    ("dans 3 jours à 10h Colis", "Colis", "dans 3 jours", None, {"time": "10:00"}),
    ("dans 2 semaines Vaccin", "Vaccin", "dans 2 semaines", None, {}),
    ("la semaine prochaine Bilan", "Bilan", "la semaine prochaine", None, {}),
    ("semaine prochaine Bilan", "Bilan", "la semaine prochaine", None, {}),
    ("Natation à la piscine jeudi 18h", "Natation à la piscine", "jeudi 18:00", None, {}),
    ("Piscine jeudi 18h @ Centre aquatique", "Piscine", "jeudi 18:00", None, {"place": "Centre aquatique"}),
    ("Piscine @ Centre aquatique jeudi 18h", "Piscine", "jeudi 18:00", None, {"place": "Centre aquatique"}),
    ("Réunion lieu : Salle 3 demain 9h", "Réunion", "demain 09:00", None, {"place": "Salle 3"}),
    ("Réunion demain 9h lieu: mairie de Lyon", "Réunion", "demain 09:00", None, {"place": "mairie de Lyon"}),
    ("Yoga chaque jour 7h", "Yoga", "07:00", None, {"repetition": "jour"}),
    ("Yoga tous les jours à 7h", "Yoga", "07:00", None, {"repetition": "jour"}),
    ("Yoga toutes les semaines jeudi 18h", "Yoga", "jeudi 18:00", None, {"repetition": "semaine"}),
    ("tous les lundis 9h Réunion", "Réunion", "lundi 09:00", None, {"repetition": "semaine"}),
    ("Réunion chaque mardi 9h", "Réunion", "mardi 09:00", None, {"repetition": "semaine"}),
    ("tous les vendredis Marché", "Marché", "vendredi", None, {"repetition": "semaine"}),
    ("le 5 chaque mois Loyer", "Loyer", None, None, {"start": "2027-01-05", "repetition": "mois",
                                                      "why": "dateparser lit « le 5 » dans le mois en cours, passé"}),
    ("5 janvier tous les mois Loyer", "Loyer", "5 janvier", None, {"repetition": "mois"}),
    ("12 mai chaque année Anniversaire", "Anniversaire", "12 mai", None, {"repetition": "an"}),
    ("12 mai tous les ans Anniversaire", "Anniversaire", "12 mai", None, {"repetition": "an"}),
    ("lundi 9h Réunion chaque semaine jusqu'au 30 juin", "Réunion", "lundi 09:00", None,
     {"repetition": "semaine", "until": "30 juin"}),
    ("lundi 9h Réunion chaque semaine jusqu’au 30/06/2028", "Réunion", "lundi 09:00", None,
     {"repetition": "semaine", "until": "30/06/2028"}),
    ("Yoga chaque jour 7h jusqu'à 15 janvier", "Yoga", "07:00", None, {"repetition": "jour", "until": "15 janvier"}),
    ("Cours mercredi 14h toutes les semaines 10 fois", "Cours", "mercredi 14:00", None,
     {"repetition": "semaine", "count": "10"}),
    ("cet après-midi 15h Sieste", "cet après-midi Sieste", "15:00", None, {}),
    # Rows dateparser does not read as the quick-add line does.
    ("le 3 à 20h Concert", "Concert", None, None,
     {"start": "2027-01-03T20:00", "why": "dateparser lit « le 3 » dans le mois en cours même passé"}),
    ("le 3 Concert", "Concert", None, None, {"start": "2027-01-03", "why": "le 3 décembre est passé"}),
    ("10 décembre Réunion", "Réunion", None, None,
     {"start": "2026-12-10", "why": "dateparser passe à l'an prochain le jour même, dit sans heure"}),
    ("le 10 Concert", "Concert", None, None, {"start": "2026-12-10", "why": "aujourd'hui, toute la journée"}),
    ("dans 8 heures toute la journée Salon", "Salon", None, None,
     {"start": "2026-12-10", "why": "le jour où tombent ces huit heures, toute la journée"}),
    ("18h toute la journée Salon", "Salon", None, None,
     {"start": "2026-12-10", "why": "le jour où tombe 18 h, toute la journée"}),
    ("9h toute la journée Salon", "Salon", None, None, {"start": "2026-12-11", "why": "9 h est passé : demain"}),
    ("le 10 à 15h Concert", "Concert", None, None, {"start": "2027-01-10T15:00", "why": "15 h est passé"}),
    ("le 1er Concert", "Concert", None, None, {"start": "2027-01-01", "why": "le 1er décembre est passé"}),
    ("le 31 Concert", "Concert", None, None, {"start": "2026-12-31", "why": "dateparser lit « 31 » comme une heure"}),
    ("midi Déjeuner", "Déjeuner", None, None, {"start": "2026-12-11T12:00", "why": "dateparser ne lit pas midi"}),
    ("jeudi prochain Réunion", "Réunion", None, None,
     {"start": "2026-12-17", "why": "dateparser ne lit pas « jeudi prochain »"}),
    ("lundi 9h-10h Réunion", "Réunion", None, None,
     {"start": "2026-12-14T09:00", "end": "2026-12-14T10:00", "why": "dateparser lit 9h comme une durée"}),
    ("premier mai Muguet", "Muguet", None, None, {"start": "2027-05-01", "why": "dateparser ne lit pas « premier »"}),
    ("Réunion 3/5/27", "Réunion", None, None, {"start": "2027-05-03", "why": "dateparser lit 27 comme un jour"}),
    ("31 avril Réunion", "", None, None, {"problem": "« 31 avril » n'est pas un jour"}),
    ("29/02/2027 Réunion", "", None, None, {"problem": "« 29/02/2027 » n'est pas un jour"}),
    ("3 mai 1200 Réunion", "", None, None, {"problem": "« 3 mai 1200 » n'est pas un jour"}),
    ("Réunion", "", None, None, {"problem": "Ni date ni heure"}),
    ("Réunion chaque semaine", "", None, None, {"problem": "Ni date ni heure"}),
    ("toute la journée Salon", "", None, None, {"problem": "Ni date ni heure"}),
    ("", "", None, None, {"problem": "Ni date ni heure"}),
    ("Cours de 14h", "Cours de", None, None, {"start": "2026-12-11T14:00", "why": "« de » sans fin reste au titre"}),
]


unread = []  # the rows dateparser answered with a day before the reference


def read(text, base):
    return dateparser.parse(text, languages=["fr"], settings={"RELATIVE_BASE": base, "PREFER_DATES_FROM": "future"})


def oracle_moment(text, base):
    """dateparser's reading: a datetime when the words say a time, a date otherwise."""
    if text.endswith(" +3h"):  # an end written as the start plus a length
        return oracle_moment(text[:-4], base) + dt.timedelta(hours=3)
    moment = read(text, base)
    if moment is None:
        raise SystemExit(f"dateparser ne lit pas « {text} »")
    says_time = ":" in text or text.startswith("dans") and ("heure" in text or "minute" in text)
    moment = moment.replace(second=0, microsecond=0) if says_time else moment.date()
    # Asked for the future, an answer before the moment of reference is no reading:
    # dateparser 1.2 (Debian 13) keeps the month of a reference at a month's end
    # (« jeudi » from Sunday 28 February 2027 gives 4 February).
    if moment < (base.replace(second=0, microsecond=0) if says_time else base.date()):
        raise NotRead(f"dateparser donne {moment} pour « {text} », avant le {base:%Y-%m-%d %H:%M}")
    return moment


class NotRead(Exception):
    pass


def solvane(program, base, phrases):
    out = subprocess.run([program, base.strftime("%Y-%m-%dT%H:%M")], input="".join(p + "\n" for p in phrases),
                         check=True, capture_output=True, text=True).stdout.splitlines()
    assert len(out) == len(phrases), out
    return [line.split("\t") for line in out]


def parse_moment(text):
    return dt.datetime.fromisoformat(text) if "T" in text else dt.date.fromisoformat(text)


def check(row, got, base, with_expected):
    try:
        return check_against_oracle(row, got, base, with_expected)
    except NotRead as why:
        unread.append(f"« {row[0]} » : {why}")
        return []


def check_against_oracle(row, got, base, with_expected):
    phrase, title, start_words, end_words, extra = row
    faults = []
    if "problem" in extra:
        if got[0] != "!" or extra["problem"] not in got[1]:
            faults.append(f"attendu « {extra['problem']} », lu {got}")
        return faults
    if got[0] == "!":
        return [f"non lue : {got[1]}"]
    kind, start, end, got_title, place, repetition, until, count = got[:8]
    if start_words is not None:
        want = oracle_moment(start_words, base)
        if "time" in extra:
            hour, minute = map(int, extra["time"].split(":"))
            want = dt.datetime(want.year, want.month, want.day, hour, minute)
    elif with_expected:
        want = parse_moment(extra["start"])
    else:
        return faults
    if (kind == "J") != (not isinstance(want, dt.datetime)):
        faults.append(f"journée entière {kind} au lieu de {want}")
    if parse_moment(start) != want:
        faults.append(f"début {start} au lieu de {want.isoformat()}")
    if end_words is not None:
        want_end = oracle_moment(end_words, base)
    elif "end" in extra:
        want_end = parse_moment(extra["end"])
    else:
        want_end = want + dt.timedelta(hours=1) if isinstance(want, dt.datetime) else want
    if parse_moment(end) != want_end:
        faults.append(f"fin {end} au lieu de {want_end.isoformat()}")
    if got_title != title:
        faults.append(f"titre « {got_title} » au lieu de « {title} »")
    # The parts read, taken out of the phrase (offsets in bytes of its UTF-8), leave the title.
    rest = bytearray(phrase.encode())
    for part in got[8:]:
        offset, length = map(int, part.split(":")[1].split("+"))
        rest[offset:offset + length] = b" " * length
    if " ".join(rest.decode().split()).strip(" ,;:-") != " ".join(got_title.split()):
        faults.append(f"les parties lues {got[8:]} ne laissent pas le titre")
    if place != extra.get("place", ""):
        faults.append(f"lieu « {place} »")
    if repetition != extra.get("repetition", "-"):
        faults.append(f"répétition {repetition}")
    if "until" in extra:
        want_until = read(extra["until"], dt.datetime.combine(want if not isinstance(want, dt.datetime)
                                                              else want.date(), dt.time()))
        if until != want_until.date().isoformat():
            faults.append(f"jusqu'au {until} au lieu de {want_until.date()}")
    elif until:
        faults.append(f"jusqu'au {until}")
    if count != extra.get("count", ""):
        faults.append(f"{count} fois")
    return faults


def main():
    program = sys.argv[1]
    failures, compared = 0, 0
    for base, with_expected in ((THURSDAY, True), (SUNDAY, False)):
        for row, got in zip(ROWS, solvane(program, base, [row[0] for row in ROWS])):
            faults = check(row, got, base, with_expected)
            compared += 1 if row[2] is not None else 0
            if faults:
                failures += 1
                print(f"ÉCHEC « {row[0] } » le {base:%Y-%m-%d %H:%M} : " + " ; ".join(faults))
    for why in unread:
        print("non comparée :", why)
    print(f"{len(ROWS)} phrases, {compared - len(unread)} lectures comparées à dateparser, {failures} en désaccord")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
