#include "choices/user_choices.h"

#include <algorithm>

#include "calendar/locale_region.h"
#include "settings/settings_file.h"
#include "subscriptions/cache.h"

namespace choices {

namespace {

std::string FolderOf(const agendas::Source& source) {
    switch (source.kind) {
    case agendas::Source::Kind::Folder: return source.location;
    case agendas::Source::Kind::Url: return subscriptions::CacheFolder();
    case agendas::Source::Kind::File: break;
    }
    const std::size_t slash = source.location.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : source.location.substr(0, slash);
}

}  // namespace

UserChoices ChoicesOf(const settings::IniText& text, const Overrides& overrides, calendar::Region localeRegion) {
    const auto chosen = [&](const std::optional<std::string>& option, std::string_view key) {
        return option ? option : text.Value(settings::kGroup, key);
    };
    UserChoices choices;
    const std::optional<std::string> region = chosen(overrides.region, settings::kRegionKey);
    choices.region = calendar::RegionNamed(region.value_or("")).value_or(localeRegion);
    const std::optional<std::string> place = chosen(overrides.place, settings::kPlaceKey);
    const std::optional<calendar::Place> given = place ? calendar::PlaceOfText(*place) : std::nullopt;
    choices.placeGiven = given.has_value();
    choices.place = given ? *given : calendar::SeatOf(choices.region);

    for (const settings::AgendaEntry& entry : settings::AgendaEntries(text)) {
        agendas::Source source = agendas::SourceOf(entry.source);
        source.name = entry.name;
        source.writable = entry.writable && source.kind != agendas::Source::Kind::Url;
        choices.agendas.push_back(std::move(source));
    }
    const std::optional<std::string> preferred = text.Value(settings::kGroup, settings::kDefaultAgendaKey);
    for (const agendas::Source& source : choices.agendas) {
        if (!source.writable) continue;
        if (choices.defaultAgenda.empty() || (preferred && agendas::SourceOf(*preferred).location == source.location))
            choices.defaultAgenda = source.location;
    }
    for (const std::string& written : overrides.agendas) choices.agendas.push_back(agendas::SourceOf(written));
    for (const agendas::Source& source : choices.agendas) {
        std::string folder = FolderOf(source);
        if (std::find(choices.agendaFolders.begin(), choices.agendaFolders.end(), folder) ==
            choices.agendaFolders.end()) {
            choices.agendaFolders.push_back(std::move(folder));
        }
    }
    return choices;
}

UserChoices ChoicesOf(const settings::IniText& text, const Overrides& overrides) {
    return ChoicesOf(text, overrides, calendar::LocaleRegion());
}

}  // namespace choices
