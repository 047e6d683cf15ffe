// Starts Qt as the program does, after SettleOnUtf8CharacterSet() or, with --as-is,
// without it, and prints what Qt and the C library then use: the character set, the
// C library's categories beside it, and QLocale::system()'s name and languages.
#include <langinfo.h>

#include <QCoreApplication>
#include <QLocale>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/platform/character_set.h"

int main(int argc, char* argv[]) {
    if (argc < 2 || std::strcmp(argv[1], "--as-is") != 0) SettleOnUtf8CharacterSet();
    const QCoreApplication application(argc, argv);
    std::printf("codeset %s\n", nl_langinfo(CODESET));
    for (const int category : {LC_NUMERIC, LC_TIME, LC_MONETARY, LC_MESSAGES, LC_COLLATE})
        std::printf("category %s\n", std::setlocale(category, nullptr));
    std::printf("qlocale %s %s\n", qPrintable(QLocale::system().name()),
                qPrintable(QLocale::system().uiLanguages().join(QLatin1Char(','))));
    return 0;
}
