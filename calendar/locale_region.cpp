// With system_clock.cpp and local_zone.cpp, the one file of calendar/ that reads the
// system: three variables of the environment.

#include "calendar/locale_region.h"

#include <array>
#include <cstdlib>

namespace calendar {

namespace {

struct LocaleCountry {
    std::string_view country;  // the territory of the locale name, after "fr_"
    Region region;
};
constexpr std::array kLocaleCountries{
    LocaleCountry{"BE", Region::Belgium}, LocaleCountry{"LU", Region::Luxembourg}, LocaleCountry{"MC", Region::Monaco},
    LocaleCountry{"CA", Region::Quebec},  LocaleCountry{"CH", Region::Vaud},
};

}  // namespace

Region RegionOfLocale(std::string_view locale) {
    // language_TERRITORY, then .codeset and @modifier, either of which may be missing.
    const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    if (!name.starts_with("fr_")) return Region::National;
    for (const LocaleCountry& each : kLocaleCountries) {
        if (name.substr(3) == each.country) return each.region;
    }
    return Region::National;
}

std::string TimeLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return value;
    }
    return {};
}

Region LocaleRegion() { return RegionOfLocale(TimeLocaleName()); }

}  // namespace calendar
