#pragma once
// The gadget writes French, in UTF-8, whatever the user's locale. Under a locale whose
// character set is not UTF-8 (LANG=C, LC_ALL=POSIX, no locale at all, as a cron job or
// a bare terminal starts it), Qt switches the character set itself, and Qt 6.8 says so
// on standard error in four English lines. The program settles on UTF-8 first: the
// character set only, every other category and the names Qt reads for QLocale::system()
// staying as the user set them.

// Called before anything of Qt; the environment and the C library's locale both
// change, so that Qt's own setlocale(LC_ALL, "") lands on a UTF-8 character set.
void SettleOnUtf8CharacterSet();
