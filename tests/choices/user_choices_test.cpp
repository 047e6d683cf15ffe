// The agendas as both faces take them from one settings text: the file's in its
// order with the names given, then the options'; each of its kind, a subscription
// only when it names a host, the agendas and the fetchers agreeing on which is one;
// the folders that tell of their changes, each once. Which of the option, the file
// and the locale gives the region and the place, terminal.options and the
// window's tests check through each face.

#include "choices/user_choices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "settings/settings_file.h"
#include "subscriptions/address.h"
#include "subscriptions/cache.h"

namespace choices {
namespace {

using Kind = agendas::Source::Kind;

TEST(UserChoicesTest, TheAgendasTheirKindsAndTheirFolders) {
    setenv("HOME", "/tmp", 1);  // a folder that is there: "~" is one
    const std::string cache = subscriptions::CacheFolder();
    const struct {
        std::string written;
        Kind kind;
        std::string location, watched;
    } rows[] = {
        {"/srv/agendas/travail.ics", Kind::File, "/srv/agendas/travail.ics", "/srv/agendas"},
        {"~", Kind::Folder, "/tmp", "/tmp"},
        {"https://exemple.fr/a.ics", Kind::Url, "https://exemple.fr/a.ics", cache},
        {"WEBCAL://exemple.fr/b.ics", Kind::Url, "WEBCAL://exemple.fr/b.ics", cache},
        {"http://[::1]:8080/c.ics", Kind::Url, "http://[::1]:8080/c.ics", cache},
        {"http://moi@exemple.fr:80", Kind::Url, "http://moi@exemple.fr:80", cache},
        // No host: nothing to fetch, a path that says it is missing when read.
        {"http://", Kind::File, "http://", "http:/"},
        {"https:///agenda.ics", Kind::File, "https:///agenda.ics", "https://"},
        {"http://moi@:80/d.ics", Kind::File, "http://moi@:80/d.ics", "http://moi@:80"},
        {"webcal://[]/e.ics", Kind::File, "webcal://[]/e.ics", "webcal://[]"},
    };
    std::string file = "[agendas]\n";
    for (std::size_t at = 1; at <= std::size(rows); ++at) {
        if (at % 2 == 1) file += std::to_string(at) + "\\nom=Agenda " + std::to_string(at) + "\n";
        file += std::to_string(at) + "\\source=" + rows[at - 1].written + "\n";
    }
    file += "size=" + std::to_string(std::size(rows)) + "\n";
    const UserChoices chosen = ChoicesOf(settings::IniText::Parse(file).value(),
                                         {.region = {}, .place = {}, .agendas = {"/srv/agendas/perso.ics"}});

    ASSERT_EQ(chosen.agendas.size(), std::size(rows) + 1);
    std::vector<std::string> watched;
    for (std::size_t at = 0; at < std::size(rows); ++at) {
        const agendas::Source& source = chosen.agendas[at];
        EXPECT_EQ(source.kind, rows[at].kind) << rows[at].written;
        EXPECT_EQ(source.location, rows[at].location) << rows[at].written;
        EXPECT_EQ(source.name, at % 2 == 0 ? "Agenda " + std::to_string(at + 1) : "") << rows[at].written;
        EXPECT_EQ(subscriptions::IsSubscriptionAddress(rows[at].written), rows[at].kind == Kind::Url);
        if (std::find(watched.begin(), watched.end(), rows[at].watched) == watched.end()) {
            watched.push_back(rows[at].watched);
        }
    }
    EXPECT_EQ(chosen.agendas.back().location, "/srv/agendas/perso.ics");
    EXPECT_EQ(chosen.agendaFolders, watched);
}

// The « modifiable » mark survives the window's rewriting of the list; a subscription
// is never writable whatever the file says; new events go to the file's choice when it
// is writable, else to the first writable agenda.
TEST(UserChoicesTest, TheWritableAgendasAndTheOneForNewEvents) {
    const std::vector<settings::AgendaEntry> entries = {
        {.source = "/srv/a.ics", .name = "A", .writable = false},
        {.source = "https://exemple.fr/b.ics", .name = {}, .writable = true},
        {.source = "/srv/c.ics", .name = {}, .writable = true},
        {.source = "/srv/d.ics", .name = {}, .writable = true},
    };
    const struct {
        const char* preferred;  // agenda_par_defaut, "" for none
        const char* chosen;
    } rows[] = {{"", "/srv/c.ics"},
                {"/srv/d.ics", "/srv/d.ics"},
                {"/srv/a.ics", "/srv/c.ics"},
                {"https://exemple.fr/b.ics", "/srv/c.ics"}};
    for (const auto& row : rows) {
        settings::IniText text = settings::IniText::Parse("").value();
        settings::SetAgendaEntries(text, entries);
        if (*row.preferred != '\0') text.Set(settings::kGroup, settings::kDefaultAgendaKey, row.preferred);
        const settings::IniText reread = settings::IniText::Parse(text.Text()).value();
        EXPECT_EQ(settings::AgendaEntries(reread), entries);
        const UserChoices chosen = ChoicesOf(reread);
        EXPECT_EQ(chosen.defaultAgenda, row.chosen) << row.preferred;
        EXPECT_FALSE(chosen.agendas[1].writable);
    }
    // A file written before the mark existed: every agenda read only, none for new events.
    const UserChoices old = ChoicesOf(settings::IniText::Parse("[agendas]\n1\\source=/srv/a.ics\nsize=1\n").value());
    EXPECT_FALSE(old.agendas.at(0).writable);
    EXPECT_EQ(old.defaultAgenda, "");
}

}  // namespace
}  // namespace choices
