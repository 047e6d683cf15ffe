#pragma once
// The place whose holidays a user keeps before choosing one: the country of the
// locale of dates. The window, at its first start, and the terminal both ask
// LocaleRegion; the user's choice in the menu, or --region, then wins.

#include <string>
#include <string_view>

#include "calendar/regional_holidays.h"

namespace calendar {

// The place of a locale name as the environment writes it ("fr_BE.UTF-8",
// "fr_CH@euro"): Belgium for fr_BE, Luxembourg for fr_LU, Monaco for fr_MC, Québec
// for fr_CA, Vaud for fr_CH (the largest French-speaking canton); the nation for
// any other.
Region RegionOfLocale(std::string_view locale);

// The locale of dates as the C library resolves it from the environment: LC_ALL,
// then LC_TIME, then LANG, the first that is set and not empty; empty when none is.
std::string TimeLocaleName();

// RegionOfLocale(TimeLocaleName()).
Region LocaleRegion();

}  // namespace calendar
