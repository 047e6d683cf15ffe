#include "app/window/locale_names.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/text/qt_text.h"

QLocale GadgetLocale(const QLocale& system) {
    if (system.language() == QLocale::French) return QLocale(QLocale::French, system.territory());
    return QLocale(QLocale::French, QLocale::France);
}

// The clock keeps the colon of every French clock, 09:05:07: the locale's short
// time format would give Canada's "09 h 05 h 07".
calendar::LocaleNames LocaleNamesOf(const QLocale& locale) {
    calendar::LocaleNames names;
    // The calendar numbers Sunday first; the locale numbers Monday 1 to Sunday 7.
    for (int weekday = 0; weekday < 7; ++weekday)
        names.weekdayNames[weekday] = Utf8Of(locale.dayName(weekday == 0 ? 7 : weekday));
    for (int month = 1; month <= 12; ++month) {
        names.monthNames[month - 1] = Utf8Of(locale.monthName(month, QLocale::LongFormat));
        names.abbreviatedMonthNames[month - 1] = Utf8Of(locale.monthName(month, QLocale::ShortFormat));
    }
    return names;
}

void LoadQtFrenchTexts(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}
