#pragma once

#include <QLocale>

#include "calendar/format_date.h"

// The day and month names and the time separator of a locale, as the plain
// values that the date formatting takes.
calendar::LocaleNames LocaleNamesOf(const QLocale& locale);
