// What the gadget refuses to write, and what its safety net keeps. Each hostile thing
// is made in the test's own folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "agendas/safety_net.h"
#include "agendas/writable_sources.h"
#include "tests/namedays/temp_folder.h"

namespace {

using namedays::testing::TempFolder;
namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

// A link to the user's own file would write there through a name the user did not
// mark; a FIFO or a device would hang or harm; contacts are not calendars.
TEST(WritableSources, OnlyTheUsersOwnOrdinaryCalendarsAreWritten) {
    const TempFolder folder;
    const fs::path root = folder.path();
    const struct {
        const char* what;
        agendas::Source::Kind kind;
        std::function<void(const fs::path&)> make;
        const char* refusal;  // the start of the phrase; "" when it may be written
    } rows[] = {
        {"an ordinary .ics file", agendas::Source::Kind::File, [](const fs::path& p) { Write(p, "x"); }, ""},
        {"a vdir", agendas::Source::Kind::Folder, [](const fs::path& p) { fs::create_directory(p); }, ""},
        {"a link to a file", agendas::Source::Kind::File,
         [&](const fs::path& p) {
             Write(root / "cible.ics", "x");
             fs::create_symlink(root / "cible.ics", p);
         },
         "est un lien"},
        {"a link to a folder", agendas::Source::Kind::Folder,
         [&](const fs::path& p) {
             fs::create_directory(root / "dossier");
             fs::create_directory_symlink(root / "dossier", p);
         },
         "est un lien"},
        {"a FIFO", agendas::Source::Kind::File, [](const fs::path& p) { mkfifo(p.c_str(), 0600); }, "n'est ni"},
        {"a contacts folder", agendas::Source::Kind::Folder,
         [](const fs::path& p) {
             fs::create_directory(p);
             Write(p / "lea.vcf", "BEGIN:VCARD");
         },
         "est un dossier de contacts"},
        {"a contacts file", agendas::Source::Kind::File, [](const fs::path& p) { Write(p, "x"); },
         "est un carnet de contacts"},
        {"nothing", agendas::Source::Kind::File, [](const fs::path&) {}, "n'existe pas"},
    };
    int number = 0;
    for (const auto& row : rows) {
        const fs::path path = root / ("source" + std::to_string(++number) +
                                      (std::string(row.refusal).starts_with("est un carnet") ? ".vcf" : ".ics"));
        row.make(path);
        const std::string refusal =
            agendas::WriteRefusal({.kind = row.kind, .location = path, .name = {}, .writable = true});
        EXPECT_TRUE(refusal.starts_with(row.refusal) && refusal.empty() == (*row.refusal == '\0'))
            << row.what << ": « " << refusal << " »";
    }
    EXPECT_EQ(
        agendas::WriteRefusal(
            {.kind = agendas::Source::Kind::Url, .location = "https://exemple.fr/a.ics", .name = {}, .writable = true}),
        "est un abonnement : il n'est jamais modifié");
}

// Days past thirty go, and the oldest while the whole is past its bound; today's
// folder stays whatever its size, and so does every recent one under the bound.
TEST(SafetyNet, KeepsThirtyDaysWithinItsBound) {
    const TempFolder folder;
    const std::string net = agendas::SafetyNetFolder(folder.path());
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    const std::int64_t now = 1'797'764'400;  // 2026-12-20 12:00 in Paris
    ASSERT_TRUE(agendas::KeepBeforeChange(net, "/srv/a.ics", "AVANT", "Réunion/équipe", now));
    for (const char* day : {"2026-11-19", "2026-11-20", "2026-12-01", "2026-12-19", "notes"}) {
        fs::create_directories(fs::path(net) / day);
    }
    agendas::TrimSafetyNet(net, now);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(net)) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"2026-11-20", "2026-12-01", "2026-12-19", "2026-12-20", "notes"}));
    const fs::path today = fs::path(net) / "2026-12-20";
    std::ifstream index(today / "index.txt");
    std::string line;
    std::getline(index, line);
    EXPECT_EQ(line, "12:00:00\t12-00-00 Réunion_équipe -- a.ics\t/srv/a.ics\tRéunion_équipe");
    std::ifstream kept(today / "12-00-00 Réunion_équipe -- a.ics");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "AVANT");

    // Past the bound, the oldest days go first, never today's.
    std::ofstream(fs::path(net) / "2026-12-01" / "gros", std::ios::binary)
        .seekp(std::streamoff(agendas::kLargestSafetyNetBytes))
        .put('x');
    agendas::TrimSafetyNet(net, now);
    EXPECT_FALSE(fs::exists(fs::path(net) / "2026-11-20"));
    EXPECT_FALSE(fs::exists(fs::path(net) / "2026-12-01"));
    EXPECT_TRUE(fs::exists(fs::path(net) / "2026-12-19"));
    EXPECT_TRUE(fs::exists(today));
}

}  // namespace
