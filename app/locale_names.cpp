#include "app/locale_names.h"

namespace {

// The locale writes no separator of its own; its short time format does ("HH:mm",
// "H.mm"): the separator is what stands between the hour and the minutes.
std::string TimeSeparatorOf(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype hour = format.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
    if (hour < 0) return ":";
    qsizetype start = hour;
    while (start < format.size() && format[start].toLower() == QLatin1Char('h')) ++start;
    qsizetype end = start;
    while (end < format.size() && !format[end].isLetter()) ++end;
    const QString separator = format.mid(start, end - start).remove(QLatin1Char('\''));
    return separator.isEmpty() ? std::string(":") : separator.toStdString();
}

}  // namespace

calendar::LocaleNames LocaleNamesOf(const QLocale& locale)
{
    calendar::LocaleNames names;
    // The calendar numbers Sunday first; the locale numbers Monday 1 to Sunday 7.
    for (int weekday = 0; weekday < 7; ++weekday)
        names.weekdayNames[weekday] = locale.dayName(weekday == 0 ? 7 : weekday).toStdString();
    for (int month = 1; month <= 12; ++month) {
        names.monthNames[month - 1] = locale.monthName(month, QLocale::LongFormat).toStdString();
        names.abbreviatedMonthNames[month - 1] = locale.monthName(month, QLocale::ShortFormat).toStdString();
    }
    names.timeSeparator = TimeSeparatorOf(locale);
    return names;
}
