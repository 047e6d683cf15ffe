// Files that no calendar program writes, in the place of one agenda among two: each
// is read, or refused, within a bounded processor time, says one French sentence
// for its own source, and the other agenda's event still shows.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "agendas/agenda.h"
#include "agendas/ics/reader.h"
#include "tests/namedays/temp_folder.h"

namespace {

using namedays::testing::TempFolder;

std::string Calendar(const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n";
}

std::string Event(const std::string& uid, const std::string& lines) {
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\n" + lines + "END:VEVENT\r\n";
}

std::string Repeated(const std::string& rule, const std::string& start = "20250101T100000") {
    return Calendar(Event(
        "r", "DTSTART;TZID=Europe/Paris:" + start + "\r\nDURATION:PT1H\r\nRRULE:" + rule + "\r\nSUMMARY:Répété\r\n"));
}

struct HostileRow {
    const char* what;
    // Puts the hostile thing at `path`.
    std::function<void(const std::filesystem::path& path)> make;
    const char* problem;  // what the sentence of its source says; empty when none is due
};

void WriteText(const std::filesystem::path& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

std::string ManyEvents(int count) {
    std::string events;
    events.reserve(std::size_t(count) * 120);
    for (int at = 0; at < count; ++at) {
        events += Event(std::to_string(at), "DTSTART:20250508T100000Z\r\nDURATION:PT1H\r\nSUMMARY:Tous\r\n");
    }
    return Calendar(events);
}

const HostileRow kHostileRows[] = {
    {"a calendar cut in the middle of an event",
     [](const auto& path) {
         WriteText(path, Calendar(Event("1", "DTSTART:20250508T100000Z\r\nSUMMARY:Entier\r\n")).substr(0, 90));
     },
     "est tronqué"},
    {"a megabyte of random bytes",
     [](const auto& path) {
         std::mt19937 random(8);
         std::string bytes(1 << 20, '\0');
         for (char& byte : bytes) byte = char(random());
         WriteText(path, bytes);
     },
     "n'est pas du texte"},
    {"100 MB, sparse",
     [](const auto& path) {
         const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
         ASSERT_EQ(ftruncate(fd, 100L * 1024 * 1024), 0);
         close(fd);
     },
     "dépasse 20 Mo"},
    {"100,000 events", [](const auto& path) { WriteText(path, ManyEvents(100'000)); }, "a plus de 20 000 évènements"},
    {"a FIFO", [](const auto& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); }, "n'est pas un fichier ordinaire"},
    {"a link to /dev/zero", [](const auto& path) { std::filesystem::create_symlink("/dev/zero", path); },
     "n'est pas un fichier ordinaire"},
    {"nothing", [](const auto&) {}, "n'existe pas"},
    {"a link to nothing", [](const auto& path) { std::filesystem::create_symlink("absent.ics", path); },
     "n'existe pas"},
    // An RRULE without end is no fault: its instances of the month show.
    {"an RRULE without end since 1600",
     [](const auto& path) { WriteText(path, Repeated("FREQ=DAILY", "16000101T100000")); }, ""},
    {"an hourly RRULE counted from 1600",
     [](const auto& path) { WriteText(path, Repeated("FREQ=HOURLY;COUNT=2000000000", "16000101T100000")); },
     "est trop longue à suivre"},
    {"days that never meet, hour by hour",
     [](const auto& path) { WriteText(path, Repeated("FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=30")); },
     "ses jours ne se rencontrent jamais"},
    {"days that never meet, month by month",
     [](const auto& path) { WriteText(path, Repeated("FREQ=MONTHLY;BYMONTH=4;BYMONTHDAY=31")); },
     "ses jours ne se rencontrent jamais"},
    {"a position no month has", [](const auto& path) { WriteText(path, Repeated("FREQ=MONTHLY;BYSETPOS=7;BYDAY=MO")); },
     "n'est dans aucune période"},
    {"every second", [](const auto& path) { WriteText(path, Repeated("FREQ=SECONDLY;BYMONTH=2;BYMONTHDAY=30")); },
     "à la seconde ou à la minute"},
    {"a Monday 29 February, hour by hour",
     [](const auto& path) { WriteText(path, Repeated("FREQ=HOURLY;BYMONTH=2;BYMONTHDAY=29;BYDAY=MO")); },
     "trop rares pour sa fréquence"},
    {"BY lists full to their last value",
     [](const auto& path) {
         std::string days, hours;
         for (int day = 1; day <= 31; ++day) days += (day > 1 ? "," : "") + std::to_string(day);
         for (int hour = 0; hour <= 23; ++hour) hours += (hour > 0 ? "," : "") + std::to_string(hour);
         WriteText(path, Repeated("FREQ=DAILY;BYMONTHDAY=" + days +
                                  ";BYMONTH=1,2,3,4,5,6,7,8,9,10,11,12;BYHOUR=" + hours + ";BYMINUTE=0,15,30,45"));
     },
     ""},
    {"a BY list longer than its values",
     [](const auto& path) {
         std::string days;
         for (int day = 1; day <= 31; ++day)
             days += (day > 1 ? "," : "") + std::to_string(day) + ",-" + std::to_string(day);
         WriteText(path, Repeated("FREQ=DAILY;BYMONTHDAY=" + days));
     },
     "n'est pas comprise"},
    // Read a batch at a time, yet counted over the whole text and named by the first.
    {"300 rules that libical cannot read",
     [](const auto& path) {
         std::string events;
         for (int at = 0; at < 300; ++at) {
             const std::string lines = "DTSTART:20250101T100000Z\r\nRRULE:FREQ=DAILY;BYHOUR=25\r\nSUMMARY:Mauvais ";
             events += Event(std::to_string(at), lines + std::to_string(at) + "\r\n");
         }
         WriteText(path, Calendar(events));
     },
     "la valeur RRULE de « Mauvais 0 » et 299 autres ne sont pas comprises"},
    // Rules slow one by one but let through, by the thousand, and stepped by libical
    // (a BYHOUR is left to it): the source's time runs out.
    {"2,000 slow rules",
     [](const auto& path) {
         std::string events;
         for (int at = 0; at < 2000; ++at) {
             events +=
                 Event(std::to_string(at),
                       "DTSTART:20250101T100000\r\nRRULE:FREQ=DAILY;BYMONTH=2;BYMONTHDAY=29;BYDAY=MO;BYHOUR=10\r\n"
                       "SUMMARY:Lent\r\n");
         }
         WriteText(path, Calendar(events));
     },
     "trop longues à calculer"},
};

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

TEST(HostileSources, EachIsReadOrRefusedQuicklyAndTheOtherAgendaStillShows) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    for (const HostileRow& row : kHostileRows) {
        TempFolder folder;
        const auto good = folder.Write("bon.ics", Calendar(Event("b",
                                                                 "DTSTART:20250508T120000Z\r\nDURATION:PT1H\r\n"
                                                                 "SUMMARY:Toujours là\r\n")));
        const auto hostile = folder.path() / "hostile.ics";
        row.make(hostile);
        const double before = ProcessorSeconds();
        agendas::Agenda agenda({agendas::SourceOf(hostile.string()), agendas::SourceOf(good.string())},
                               [](std::string&) { return &agendas::LibicalReader(); });
        const agendas::AgendaDays days = agenda.DaysBetween({2025, 5, 1}, {2025, 5, 31});
        const double spent = ProcessorSeconds() - before;
        // The source's own second, and the longest single step that libical takes
        // among the rules let through.
        EXPECT_LT(spent, 3.0) << row.what;
        std::printf("%-45s %6.0f ms de processeur\n", row.what, spent * 1000);
        const agendas::SharedEvents* may8 = days.On({2025, 5, 8});
        ASSERT_NE(may8, nullptr) << row.what;
        EXPECT_TRUE(std::any_of(may8->begin(), may8->end(), [](const auto& event) {
            return event->title == "Toujours là";
        })) << row.what;
        if (std::string(row.problem).empty()) {
            EXPECT_TRUE(days.problems.empty()) << row.what << ": " << days.problems.front();
            EXPECT_TRUE(std::any_of(may8->begin(), may8->end(), [](const auto& event) {
                return event->title == "Répété";
            })) << row.what;
            continue;
        }
        ASSERT_EQ(days.problems.size(), 1U) << row.what;
        EXPECT_TRUE(days.problems[0].starts_with("L'agenda « hostile » : « " + hostile.string() + " » "))
            << days.problems[0];
        EXPECT_NE(days.problems[0].find(row.problem), std::string::npos) << row.what << ": " << days.problems[0];
    }
}

// The resident memory of the test, in bytes.
long long ResidentBytes() {
    long long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr || std::fscanf(statm, "%lld %lld", &pages, &resident) != 2) resident = -1;
    if (statm != nullptr) std::fclose(statm);
    return resident * sysconf(_SC_PAGESIZE);
}

// `events` and « Voisin », an ordinary event that must still show beside them.
std::string WithNeighbour(const std::string& events) {
    return Calendar(events + Event("v", "DTSTART:20250508T110000Z\r\nSUMMARY:Voisin\r\n"));
}

// Calendars small on disk that would hold hundreds of megabytes for as long as they
// are shown; « Voisin » still shows.
const HostileRow kMemoryRows[] = {
    // libical reads the zone file of a name its list lacks, and keeps it for the
    // process: each spelling of the same path would be loaded again (some 90 kB).
    {"2,400 spellings of Europe/Paris",
     [](const auto& path) {
         std::string events;
         for (int slashes = 1; slashes <= 60; ++slashes) {
             for (int dots = 1; dots <= 40; ++dots) {
                 std::string zone = "Europe" + std::string(std::size_t(slashes), '/');
                 for (int dot = 0; dot < dots; ++dot) zone += "./";
                 events += Event(zone, "DTSTART;TZID=" + zone + "Paris:20250508T100000\r\nSUMMARY:Épelé\r\n");
             }
         }
         WriteText(path, WithNeighbour(events));
     },
     "nomme des fuseaux horaires inconnus"},
    // Real zone files, each under a name outside libical's list: a calendar may have it
    // load a few of them only.
    {"every zone of zone.tab again under posix/",
     [](const auto& path) {
         std::string events;
         std::ifstream table("/usr/share/zoneinfo/zone.tab");
         for (std::string line; std::getline(table, line);) {
             if (line.empty() || line[0] == '#') continue;
             const std::size_t third = line.find('\t', line.find('\t') + 1) + 1;
             const std::string zone = "posix/" + line.substr(third, line.find('\t', third) - third);
             events += Event(zone, "DTSTART;TZID=" + zone + ":20250508T100000\r\nSUMMARY:Ancien\r\n");
         }
         WriteText(path, WithNeighbour(events));
     },
     "nomme des fuseaux horaires inconnus"},
    // 400 kB of text: each rule's 20,000 instances, from 1970 to 2024, before the
    // windows of 2025.
    {"4,000 daily rules of 20,000 instances since 1970",
     [](const auto& path) {
         std::string events;
         for (int at = 0; at < 4000; ++at) {
             events += Event(std::to_string(at),
                             "DTSTART:19700101T100000\r\nRRULE:FREQ=DAILY;COUNT=20000\r\nSUMMARY:Compté\r\n");
         }
         WriteText(path, WithNeighbour(events));
     },
     ""},
};

TEST(HostileSources, EachHoldsBoundedMemoryOverThreeMonths) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    for (const HostileRow& row : kMemoryRows) {
        TempFolder folder;
        const auto hostile = folder.path() / "hostile.ics";
        row.make(hostile);
        const long long before = ResidentBytes();
        agendas::Agenda agenda({agendas::SourceOf(hostile.string())},
                               [](std::string&) { return &agendas::LibicalReader(); });
        agendas::AgendaDays may;
        for (const int month : {5, 6, 7}) {
            const agendas::AgendaDays days = agenda.DaysBetween({2025, month, 1}, {2025, month, 28});
            if (month == 5) may = days;
        }
        const long long grown = ResidentBytes() - before;
        std::printf("%-50s %6lld Mo de plus\n", row.what, grown >> 20);
        // The file's entries, and libical's zones of the zoneinfo folder at most once.
        EXPECT_LT(grown, 16LL << 20) << row.what;
        const agendas::SharedEvents* may8 = may.On({2025, 5, 8});
        ASSERT_NE(may8, nullptr) << row.what;
        EXPECT_TRUE(std::any_of(may8->begin(), may8->end(), [](const auto& event) { return event->title == "Voisin"; }))
            << row.what;
        if (std::string(row.problem).empty()) {
            EXPECT_TRUE(may.problems.empty()) << row.what << ": " << may.problems.front();
        } else {
            ASSERT_EQ(may.problems.size(), 1U) << row.what;
            EXPECT_NE(may.problems[0].find(row.problem), std::string::npos) << row.what << ": " << may.problems[0];
        }
    }
}

// TZIDs that name a file outside the zoneinfo folder, here a FIFO of the test's
// folder: libical would open it, and wait on it for ever under libicalMutex.
struct ZoneRow {
    const char* what;
    std::function<std::string(const std::string& fifo)> tzid;
};

const ZoneRow kZoneRows[] = {
    {"up from the zoneinfo folder to a FIFO", [](const std::string& fifo) { return "../../../../../../../.." + fifo; }},
    {"after libical's own prefix, up to a FIFO",
     [](const std::string& fifo) { return "/freeassociation.sourceforge.net/../../../../../../../.." + fifo; }},
    {"a zone with a « . » part", [](const std::string&) { return std::string("America/./New_York"); }},
};

TEST(HostileSources, AZoneNameOpensNoFileOutsideTheZoneFolder) {
    setenv("TZ", "Europe/Paris", 1);
    tzset();
    for (const ZoneRow& row : kZoneRows) {
        TempFolder folder;
        const auto fifo = folder.path() / "zone";
        ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
        const std::string tzid = row.tzid(fifo.string());
        const auto path = folder.Write(
            "a.ics",
            Calendar(Event("z", "DTSTART;TZID=" + tzid + ":20250508T100000\r\nDURATION:PT1H\r\nSUMMARY:Écrit\r\n")));
        // A writer waits for a reader of the FIFO: one while the calendar is read is
        // libical, which then reads it to its end.
        std::atomic<bool> read = false, openedWhileRead = false;
        std::thread writer([&] {
            const int fd = open(fifo.c_str(), O_WRONLY);
            if (fd >= 0 && !read) openedWhileRead = true;
            if (fd >= 0) close(fd);
        });
        agendas::Agenda agenda({agendas::SourceOf(path.string())},
                               [](std::string&) { return &agendas::LibicalReader(); });
        const agendas::AgendaDays days = agenda.DaysBetween({2025, 5, 1}, {2025, 5, 31});
        read = true;
        const int release = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        writer.join();
        close(release);
        EXPECT_FALSE(openedWhileRead) << row.what;
        // Read as written, and said.
        const agendas::SharedEvents* may8 = days.On({2025, 5, 8});
        ASSERT_NE(may8, nullptr) << row.what;
        ASSERT_EQ(may8->size(), 1U) << row.what;
        EXPECT_EQ(may8->front()->start.hour, 10) << row.what;
        EXPECT_EQ(may8->front()->end.hour, 11) << row.what;
        ASSERT_EQ(days.problems.size(), 1U) << row.what;
        EXPECT_NE(days.problems[0].find("nomme un fuseau horaire inconnu, « " + tzid + " »"), std::string::npos)
            << row.what << ": " << days.problems[0];
    }
}

}  // namespace
