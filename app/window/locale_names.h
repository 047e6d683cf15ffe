#pragma once

#include <QLocale>

class QCoreApplication;

#include "calendar/format_date.h"

// The locale of the day and month names that the gadget shows, in its panels and
// in its calendar, decided from the system's locale: the system's own French when
// its language is French (France, Belgium, Canada, Switzerland...), the French of
// France otherwise, since every other word of the gadget is French. Always a plain
// French locale of that country, never the system locale itself, whose names come
// from LC_TIME and may be of another language than the one it reports.
QLocale GadgetLocale(const QLocale& system);

// The day and month names of a locale, as the plain values that the date
// formatting takes. The time separator stays the colon.
calendar::LocaleNames LocaleNamesOf(const QLocale& locale);

// Qt's own words, those of the menus and screen-reader roles that Qt gives the
// controls (the year field's "Annuler", "Couper"...), in French as every other word
// of the gadget, whatever the desktop's language: Qt's French translations, where Qt
// keeps its translations (package qt6-translations-l10n). Where they are missing,
// those words stay Qt's English. Call it once the application exists.
void LoadQtFrenchTexts(QCoreApplication& application);
