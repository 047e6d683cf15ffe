// What the gadget refuses to write, what its safety net keeps, and an event read back
// for the dialog that changes it. Each hostile thing is made in the test's own folder.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "agendas/agenda.h"
#include "agendas/event_writing.h"
#include "agendas/ics/reader.h"
#include "agendas/ics/writer.h"
#include "agendas/safety_net.h"
#include "agendas/writable_sources.h"
#include "calendar/local_zone.h"
#include "calendar/utf8_text.h"
#include "tests/namedays/temp_folder.h"

namespace {

using namedays::testing::TempFolder;
namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

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

// A UID already used in any of the user's calendars would make two items of one UID,
// which vdirsyncer refuses to sync: each UID tried is searched in every calendar, and
// the next one is tried. A random source that never gives a free one writes nothing.
TEST(EventWriter, NewUidsAreFreeInEveryCalendar) {
    const TempFolder folder;
    const fs::path root = folder.path();
    for (const char* vdir : {"vdir", "autre-vdir"}) fs::create_directory(root / vdir);
    Write(root / "agenda.ics",
          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//FR\r\nBEGIN:VEVENT\r\nUID:DANS-UN-FICHIER\r\n"
          "DTSTAMP:20270101T000000Z\r\nDTSTART:20270104T090000Z\r\nSUMMARY:Réunion\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    // A UID folded over two lines, which a plain search of the text does not find.
    Write(root / "plie.ics",
          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//FR\r\nBEGIN:VTODO\r\nUID:PLIE-EN\r\n -DEUX\r\n"
          "DTSTAMP:20270101T000000Z\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    Write(root / "autre-vdir" / "NOM-DE-FICHIER.ics", "");
    Write(root / "vdir" / "DANS-LE-MEME.ics", "");
    const auto source = [&](const char* name) {
        const bool file = std::string(name).ends_with(".ics");
        return agendas::Source{.kind = file ? agendas::Source::Kind::File : agendas::Source::Kind::Folder,
                               .location = root / name,
                               .name = {},
                               .writable = true};
    };
    const std::vector<agendas::Source> all = {source("agenda.ics"), source("autre-vdir"), source("vdir")};
    const struct {
        const char* what;
        const char* calendar;
        std::vector<std::string> offered;
        const char* written;  // the UID written; "" when nothing is
    } rows[] = {
        {"a free UID is kept", "vdir", {"LIBRE-1"}, "LIBRE-1"},
        {"a UID of another calendar's .ics file", "vdir", {"DANS-UN-FICHIER", "LIBRE-2"}, "LIBRE-2"},
        {"a file name of another vdir", "vdir", {"NOM-DE-FICHIER", "LIBRE-3"}, "LIBRE-3"},
        {"a file name of the same vdir", "vdir", {"DANS-LE-MEME", "LIBRE-4"}, "LIBRE-4"},
        {"a vdir's file name, for an .ics file", "agenda.ics", {"DANS-LE-MEME", "LIBRE-5"}, "LIBRE-5"},
        {"none free", "vdir", {"DANS-UN-FICHIER"}, ""},
        {"a folded UID of any component of the file written", "plie.ics", {"PLIE-EN-DEUX"}, ""},
    };
    agendas::EventFields fields;
    fields.title = "Piscine";
    fields.start = {2027, 1, 7, 18, 30};
    fields.end = {2027, 1, 7, 19, 30};
    for (const auto& row : rows) {
        std::size_t next = 0;
        const agendas::EventWriter writer(agendas::LibicalWriter(), root / "filet", {.now = 1'798'786'800, .zone = {}},
                                          all, [&] { return row.offered[std::min(next++, row.offered.size() - 1)]; });
        const agendas::EventWriting written = writer.Add(source(row.calendar), fields);
        EXPECT_EQ(written.status == agendas::EventWriting::Status::Written ? written.uid : "", row.written)
            << row.what << ": « " << written.sentence << " »";
    }
    EXPECT_FALSE(agendas::UidIsFree("LIBRE-5", all));
}

// 28 March 2027 in Paris: 2 h 00 becomes 3 h 00. A start in the gap is read an hour
// later; an end before that would make an event that readers shorten to nothing.
TEST(EventWriter, AStartTheChangeOfTimeSkipsIsNotWrittenAfterItsEnd) {
    const TempFolder folder;
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    calendar::RefreshLocalZone();
    const struct {
        agendas::LocalTime start, end;
        const char* refusal;  // "" when written
    } rows[] = {
        {{2027, 3, 28, 2, 30},
         {2027, 3, 28, 3, 15},
         "Le 28 mars 2027, l'heure avance : 02 h 30 n'existe pas et se lit 03 h 30, ce qui ferait finir "
         "l'évènement (à 03 h 15) avant son début. Rien n'est écrit."},
        {{2027, 3, 28, 2, 0}, {2027, 3, 28, 3, 0}, "02 h 00 n'existe pas et se lit 03 h 00"},
        {{2027, 3, 28, 2, 30}, {2027, 3, 28, 4, 0}, ""},
        {{2027, 3, 28, 1, 30}, {2027, 3, 28, 3, 15}, ""},
        {{2027, 10, 31, 2, 30}, {2027, 10, 31, 2, 45}, ""},  // the hour repeated
    };
    const agendas::Source vdir{
        .kind = agendas::Source::Kind::Folder, .location = folder.path(), .name = {}, .writable = true};
    for (const auto& row : rows) {
        const agendas::EventWriter writer(agendas::LibicalWriter(), folder.path() / "filet",
                                          {.now = 1'798'786'800, .zone = "Europe/Paris"}, {vdir});
        agendas::EventFields fields;
        fields.title = "Garde";
        fields.start = row.start;
        fields.end = row.end;
        const agendas::EventWriting written = writer.Add(vdir, fields);
        const std::string refusal = row.refusal;
        EXPECT_EQ(written.status == agendas::EventWriting::Status::Written, refusal.empty()) << written.sentence;
        EXPECT_NE(written.sentence.find(refusal), std::string::npos) << written.sentence;
    }
}

// An event is changed in the file it was read from. Its UID comes from whoever wrote
// the file (a server, through a synchronisation): one holding « .. » must not lead out
// of the folder, two files may hold one UID, and an event without one cannot be found
// again: it is shown, never offered for change.
TEST(EventWriter, AnEventIsFoundInTheFileItWasReadFrom) {
    const TempFolder folder;
    const fs::path vdir = folder.path() / "vdir";
    fs::create_directory(vdir);
    const auto calendarOf = [](const std::string& uid, const std::string& title) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//FR\r\nBEGIN:VEVENT\r\n" +
               (uid.empty() ? "" : "UID:" + uid + "\r\n") +
               "DTSTAMP:20270101T000000Z\r\nDTSTART:20270104T120000Z\r\nSUMMARY:" + title +
               "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    };
    // The file outside the vdir where the UID leads; the vdir's files.
    for (const auto& [file, uid, title] : {std::tuple{"../dehors.ics", "../dehors", "Dehors"},
                                           {"a.ics", "../dehors", "Grimpe"},
                                           {"DOUBLE.ics", "DOUBLE", "Premier"},
                                           {"autre.ics", "DOUBLE", "Second"},
                                           {"c.ics", "", "Sans UID"}}) {
        Write(vdir / file, calendarOf(uid, title));
    }
    const agendas::Source source{.kind = agendas::Source::Kind::Folder, .location = vdir, .name = {}, .writable = true};
    agendas::Agenda agenda({source}, [](std::string&) { return &agendas::LibicalReader(); });
    const agendas::AgendaDays days = agenda.DaysBetween({2027, 1, 4}, {2027, 1, 4});
    ASSERT_NE(days.On({2027, 1, 4}), nullptr);
    std::map<std::string, std::string> opened;  // by title, the file found from the event's origin
    for (const auto& event : *days.On({2027, 1, 4})) {
        const std::shared_ptr<const agendas::EventOrigin>& origin = event->origin;
        opened[event->title] =
            origin ? agendas::FindEventFile(source, origin->uid, agendas::LibicalWriter(), origin->file).path : "-";
    }
    EXPECT_EQ(opened, (std::map<std::string, std::string>{{"Grimpe", vdir / "a.ics"},
                                                          {"Premier", vdir / "DOUBLE.ics"},
                                                          {"Second", vdir / "autre.ics"},
                                                          {"Sans UID", "-"}}));
    // By its UID alone, as --ajouter's tests name it: never the file outside.
    EXPECT_EQ(agendas::FindEventFile(source, "../dehors", agendas::LibicalWriter()).path, vdir / "a.ics");
    // An empty UID names no event, not every one without a UID.
    EXPECT_FALSE(agendas::LibicalWriter()
                     .Remove(calendarOf("", "Sans UID"), "", std::nullopt, agendas::Scope::All, {.now = 0, .zone = {}})
                     .problem.empty());
}

// The zone written is the one the C library reads, named; a zone file it cannot name
// gives none. A database of the test's own, of tzdata's files.
TEST(MachineZone, IsTheZoneTheCLibraryReadsNamed) {
    const TempFolder folder;
    const fs::path root = folder.path(), database = root / "zoneinfo", etc = root / "etc";
    fs::create_directories(etc);
    for (const char* zone : {"Europe/Paris", "America/New_York"}) {
        fs::create_directories((database / zone).parent_path());
        fs::copy_file(fs::path("/usr/share/zoneinfo") / zone, database / zone);  // tzdata
    }
    fs::copy_file(database / "Europe/Paris", etc / "copie");
    fs::create_symlink("../zoneinfo/Europe/Paris", etc / "lien");
    fs::create_symlink(etc / "lien", etc / "lien-de-lien");
    fs::create_symlink(etc / "copie", database / "localtime");  // as tzdata links it to /etc/localtime
    Write(etc / "paris", "Europe/Paris\n");
    Write(etc / "new-york", "America/New_York\n");
    const std::string link = ":" + (etc / "lien").string();
    const struct {
        const char* what;
        const char* tz;  // null: unset
        const char* localtime;
        const char* timezone;
        const char* name;
    } rows[] = {
        {"TZ naming a zone", ":Europe/Paris", "copie", "new-york", "Europe/Paris"},
        {"TZ=:/etc/localtime, a link", link.c_str(), "copie", "new-york", "Europe/Paris"},
        {"/etc/localtime, a link to a link", nullptr, "lien-de-lien", "new-york", "Europe/Paris"},
        {"/etc/localtime, a copy that /etc/timezone names", nullptr, "copie", "paris", "Europe/Paris"},
        {"/etc/localtime, a copy that /etc/timezone names otherwise", nullptr, "copie", "new-york", ""},
        {"a POSIX rule", "CET-1CEST,M3.5.0,M10.5.0/3", "lien", "paris", ""},
        {"the database's link out of it", "localtime", "lien", "new-york", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(
            agendas::ZoneNameOf(
                {.tz = row.tz, .localtime = etc / row.localtime, .timezone = etc / row.timezone, .database = database}),
            row.name)
            << row.what;
    }
    // Without its name, a timed series would be written in UTC and drift an hour at
    // each change of time: refused. A single event in UTC is exact; whole days have no zone.
    const agendas::EventWriter writer(agendas::LibicalWriter(), root / "filet", {.now = 0, .zone = {}});
    for (const auto& [phrase, written] : {std::pair{"jeudi 18h30 Piscine chaque semaine", false},
                                          {"jeudi 18h30 Piscine", true},
                                          {"jeudi toute la journée Piscine chaque semaine", true}}) {
        const agendas::EventWriting writing =
            writer.Add({.kind = agendas::Source::Kind::Folder, .location = etc, .name = {}, .writable = true},
                       agendas::FieldsOfQuickEntry(agendas::ReadQuickEntry(phrase, {2027, 1, 1, 8, 0})));
        EXPECT_EQ(writing.status == agendas::EventWriting::Status::Written, written) << phrase;
    }
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
    EXPECT_EQ(Names(net), (std::vector<std::string>{"2026-11-20", "2026-12-01", "2026-12-19", "2026-12-20", "notes"}));
    const fs::path today = fs::path(net) / "2026-12-20";
    std::ifstream index(today / "index.txt");
    std::string line;
    std::getline(index, line);
    EXPECT_EQ(line, "12:00:00\t12-00-00 Réunion_équipe -- a.ics\t/srv/a.ics\tRéunion_équipe");
    std::ifstream kept(today / "12-00-00 Réunion_équipe -- a.ics");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "AVANT");
    // A vdir names its files after their UIDs, without a bound: one as long as a name
    // may be (125 « é » and .ics) is kept under a name cut between two letters.
    std::string name = "/srv/vdir/";
    for (int letter = 0; letter < 125; ++letter) name += "é";
    ASSERT_TRUE(agendas::KeepBeforeChange(net, name + ".ics", "AVANT", std::string(80, 't'), now));
    std::ifstream again(today / "index.txt");  // written anew beside the first
    std::getline(std::getline(again, line), line);
    EXPECT_TRUE(line.ends_with("\t" + name + ".ics\t" + std::string(60, 't'))) << line;
    EXPECT_EQ(Names(today).size(), 3u);
    const std::string keptName = line.substr(9, line.find('\t', 9) - 9);
    EXPECT_EQ(calendar::CleanText(keptName), keptName) << "a name cut within a letter";

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

// Ten changes of a large file in a day stay within the bound: the oldest kept files
// go first, today's too, never the one just kept; an older day stays while the bound
// allows. Sparse files stand for large kept versions.
TEST(SafetyNet, TheBoundHoldsForTodayToo) {
    const TempFolder folder;
    const fs::path net = agendas::SafetyNetFolder(folder.path());
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    const std::int64_t now = 1'797'764'400;  // 2026-12-20 12:00 in Paris
    const auto make = [&](const std::string& file, std::uintmax_t megabytes) {
        fs::create_directories((net / file).parent_path());
        std::ofstream(net / file, std::ios::binary).seekp(std::streamoff(megabytes * 1'000'000)).put('x');
    };
    make("2026-12-19/09-00-00 Petit -- a.ics", 0);
    make("2026-12-20/08-00-00 Gros -- a.ics", 50);
    make("2026-12-20/23-00-00 Gros -- a.ics", 250);  // after the one kept now
    ASSERT_TRUE(agendas::KeepBeforeChange(net, "/srv/a.ics", "AVANT", "Gros", now));
    EXPECT_EQ(Names(net), std::vector<std::string>{"2026-12-20"});
    EXPECT_EQ(Names(net / "2026-12-20"), (std::vector<std::string>{"12-00-00 Gros -- a.ics", "index.txt"}));
    make("2026-12-19/09-00-00 Petit -- a.ics", 0);
    ASSERT_TRUE(agendas::KeepBeforeChange(net, "/srv/a.ics", "AVANT", "Gros", now + 60));
    EXPECT_EQ(Names(net), (std::vector<std::string>{"2026-12-19", "2026-12-20"}));
}

}  // namespace

// The count the removal of a series names, the end of its repetition and the
// reminders the dialog cannot say, read from a meeting of Monday 30 November 2026 at
// 9 h in Paris. Counts by the calendar: the Mondays and Wednesdays from the 30th are
// the 30th, 2, 7, 9, 14 and 16 December.
TEST(WrittenEvents, AnEventIsReadBackWithWhatItsFieldsCannotSay) {
    const char* before = getenv("TZ");
    const std::optional<std::string> zone = before != nullptr ? std::optional<std::string>(before) : std::nullopt;
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    const struct {
        const char* what;
        const char* lines;  // after DTSTART and DTEND
        std::optional<int> occurrences;
        std::optional<agendas::LocalDate> until;
        bool keepReminders;
    } rows[] = {
        {"five weeks less one left out", "RRULE:FREQ=WEEKLY;COUNT=5\r\nEXDATE;TZID=Europe/Paris:20261214T090000\r\n", 4,
         std::nullopt, false},
        {"every day to Friday, UNTIL in UTC", "RRULE:FREQ=DAILY;UNTIL=20261204T225959Z\r\n", 5,
         agendas::LocalDate{2026, 12, 4}, false},
        {"two weekdays six times", "RRULE:FREQ=WEEKLY;BYDAY=MO,WE;COUNT=6\r\n", 6, std::nullopt, false},
        {"every week without end", "RRULE:FREQ=WEEKLY\r\n", std::nullopt, std::nullopt, false},
        {"once, reminded before its end",
         "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\nTRIGGER;RELATED=END:-PT5M\r\nEND:VALARM\r\n", 1,
         std::nullopt, true},
    };
    for (const auto& row : rows) {
        const std::string text = std::string(
                                     "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Essai//FR\r\nBEGIN:VEVENT\r\n"
                                     "UID:reunion\r\nDTSTAMP:20261101T000000Z\r\nSUMMARY:Réunion\r\n"
                                     "DTSTART;TZID=Europe/Paris:20261130T090000\r\n"
                                     "DTEND;TZID=Europe/Paris:20261130T100000\r\n") +
                                 row.lines + "END:VEVENT\r\nEND:VCALENDAR\r\n";
        const agendas::WrittenEvent read = agendas::LibicalWriter().FieldsOf(text, "reunion", std::nullopt);
        ASSERT_TRUE(read.found) << row.what;
        EXPECT_EQ(read.occurrences, row.occurrences) << row.what;
        EXPECT_EQ(read.fields.repeatUntil, row.until) << row.what;
        EXPECT_EQ(read.fields.keepReminders, row.keepReminders) << row.what;
        EXPECT_EQ(read.fields.start, (agendas::LocalTime{2026, 11, 30, 9, 0})) << row.what;
        EXPECT_EQ(read.fields.end, (agendas::LocalTime{2026, 11, 30, 10, 0})) << row.what;
    }
    if (zone) {
        setenv("TZ", zone->c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

namespace {

// A meeting of Monday 6 January 1890 at 9 h 30 in Paris, weekly but on the 13th, from
// before the years that libical counts in seconds (1902 on): read back at its own
// times, then moved whole two hours later, the Monday left out with it.
TEST(WrittenEvents, ASeriesOf1890IsReadAndMovedWithTheDayItLeavesOut) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    const std::string text =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Essai//FR\r\nBEGIN:VEVENT\r\nUID:reunion\r\n"
        "DTSTAMP:20261101T000000Z\r\nSUMMARY:Réunion\r\nDTSTART;TZID=Europe/Paris:18900106T093000\r\n"
        "DTEND;TZID=Europe/Paris:18900106T103000\r\nRRULE:FREQ=WEEKLY\r\n"
        "EXDATE;TZID=Europe/Paris:18900113T093000\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    const agendas::WrittenEvent read = agendas::LibicalWriter().FieldsOf(text, "reunion", std::nullopt);
    ASSERT_TRUE(read.found);
    EXPECT_EQ(read.fields.start, (agendas::LocalTime{1890, 1, 6, 9, 30}));
    EXPECT_EQ(read.fields.end, (agendas::LocalTime{1890, 1, 6, 10, 30}));
    agendas::EventFields later = read.fields;
    later.start.hour += 2;
    later.end.hour += 2;
    const agendas::TextChange changed = agendas::LibicalWriter().Change(
        text, "reunion", std::nullopt, agendas::Scope::All, later, "", true, {.now = 0, .zone = "Europe/Paris"});
    EXPECT_EQ(changed.problem, "");
    EXPECT_NE(changed.text.find("DTSTART;TZID=Europe/Paris:18900106T113000"), std::string::npos) << changed.text;
    EXPECT_NE(changed.text.find("EXDATE;TZID=Europe/Paris:18900113T113000"), std::string::npos) << changed.text;
}

}  // namespace
