#pragma once
// The names that a French (France) system gives, for the tests that format dates.

#include "calendar/format_date.h"

namespace calendar::test {

inline LocaleNames FrenchLocaleNames() { return FrenchNames(); }

}  // namespace calendar::test
