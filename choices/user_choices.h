#pragma once
// The user's choices, as the window and the terminal both take them: decoded from the
// settings file's text (settings/settings_file.h), with what the command's options
// put over it. Neither face reads the keys of these choices itself.
//   - The region whose holidays add to the nation's: the option's, else the file's,
//     else the country of the locale, as the window's first start takes it.
//   - The place of the sun and the seasons: the option's, else the file's, else the
//     chef-lieu of that region. A text that names no place counts as none.
//   - The agendas: the file's, in its order and with the names the user gave them,
//     then the options', each of its kind (agendas/source.h).
//   - The folders whose changes can change the agendas' events.

#include <optional>
#include <string>
#include <vector>

#include "agendas/source.h"
#include "calendar/places.h"
#include "calendar/regional_holidays.h"
#include "settings/ini_text.h"

namespace choices {

// What the command's options put over the file: --region, --lieu and --agenda, as
// written.
struct Overrides {
    std::optional<std::string> region;
    std::optional<std::string> place;
    std::vector<std::string> agendas;  // added after the file's
};

struct UserChoices {
    calendar::Region region = calendar::Region::National;
    calendar::Place place;
    // Whether `place` is one the user gave; when not, it is the region's chef-lieu.
    bool placeGiven = false;
    std::vector<agendas::Source> agendas;
    // The location of the writable agenda new events go to: the file's choice when it
    // names a writable one, else the first writable; empty when none is writable.
    std::string defaultAgenda;
    // The folder of each file (an editor saves by renaming), each folder, and the
    // cache folder when a subscription is among them (a fetch renames a new copy
    // there); each once, in the agendas' order.
    std::vector<std::string> agendaFolders;
    bool operator==(const UserChoices&) const = default;
};

// `localeRegion` stands where neither names a region: calendar::LocaleRegion() for
// the running program.
UserChoices ChoicesOf(const settings::IniText& text, const Overrides& overrides, calendar::Region localeRegion);
UserChoices ChoicesOf(const settings::IniText& text, const Overrides& overrides = {});

}  // namespace choices
