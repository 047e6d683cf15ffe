#pragma once

#include <QLocale>

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
