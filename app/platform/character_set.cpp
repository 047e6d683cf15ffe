#include "app/platform/character_set.h"

#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

// The categories LC_ALL stands for, beside the character set (LC_CTYPE): when LC_ALL
// must go, each gets its value, so that the C library and Qt's QLocale::system(),
// which reads LC_ALL, then LC_NUMERIC, LC_TIME, LC_MONETARY, LC_MESSAGES,
// LC_MEASUREMENT and LC_COLLATE, see the same locale as before (locale(7)).
constexpr const char* kCategoriesBesideCharacterSet[] = {
    "LC_COLLATE", "LC_MESSAGES", "LC_MONETARY",  "LC_NUMERIC",     "LC_TIME",           "LC_PAPER",
    "LC_NAME",    "LC_ADDRESS",  "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION",
};

// The C library says "UTF-8"; some systems "utf8".
bool IsUtf8(const char* codeset) { return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0; }

}  // namespace

void SettleOnUtf8CharacterSet() {
    // A locale that the environment names and the system lacks makes this fail as a
    // whole: the C library then stays at "C", as it started.
    std::setlocale(LC_ALL, "");
    if (IsUtf8(nl_langinfo(CODESET))) return;
    // The same language in UTF-8 ("fr_FR.ISO-8859-15" and "fr_FR@euro" become
    // "fr_FR.UTF-8"), or else C.UTF-8, which the C library always has.
    std::string language = std::setlocale(LC_CTYPE, nullptr);
    language = language.substr(0, language.find_first_of(".@"));
    std::string utf8 = language + ".UTF-8";
    if (!std::setlocale(LC_CTYPE, utf8.c_str())) {
        utf8 = "C.UTF-8";
        std::setlocale(LC_CTYPE, utf8.c_str());
    }
    // LC_ALL would hide LC_CTYPE: its value goes to each other category instead.
    if (const char* all = std::getenv("LC_ALL"); all && *all) {
        const std::string value = all;
        for (const char* category : kCategoriesBesideCharacterSet) setenv(category, value.c_str(), 1);
        unsetenv("LC_ALL");
    }
    setenv("LC_CTYPE", utf8.c_str(), 1);
}
