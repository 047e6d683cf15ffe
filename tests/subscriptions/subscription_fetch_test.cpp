// Subscriptions fetched from a real web server on 127.0.0.1 (calendar_server.py):
// the conditional second fetch, the server gone, and each hostile answer, which
// must give its own French sentence and leave the copy that was shown.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "calendar/local_zone.h"
#include "subscriptions/address.h"
#include "subscriptions/cache.h"
#include "subscriptions/fetch.h"
#include "subscriptions/keeper.h"
#include "subscriptions/refresh.h"
#include "subscriptions/state_sentence.h"
#include "tests/subscriptions/calendar_server.h"

namespace subscriptions {
namespace {

using namedays::testing::TempFolder;
using testing::CalendarServer;

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The requests the server received, one line each: path, If-None-Match, If-Modified-Since.
std::vector<std::string> Requests(const std::string& folder) {
    std::vector<std::string> lines;
    std::ifstream log(folder + "/requests.log");
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}

// Processor time of the whole process, in seconds.
double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The record of `address` whose copy was fetched at `fetched` (none when 0), and
// whose last fetch, then too, ended with `outcome`.
Record RecordOf(const std::string& address, calendar::UnixSeconds fetched, Record::Outcome outcome) {
    Record record;
    record.address = address;
    record.hasCopy = fetched != 0;
    record.fetched = record.attempted = fetched;
    record.outcome = outcome;
    return record;
}

class SubscriptionFetchTest : public ::testing::Test {
protected:
    TempFolder served;  // the server's folder
    TempFolder cache;
    CalendarServer server{served.path().string()};
};

TEST_F(SubscriptionFetchTest, theSecondFetchAsksWhetherTheCalendarChangedAndIsAnswered304) {
    const std::string address = server.Address("/agenda.ics");
    const Refreshed first = Refresh(cache.path().string(), address, 1'000'000);
    ASSERT_EQ(first.record.outcome, Record::Outcome::UpToDate) << first.record.sentence;
    EXPECT_TRUE(first.copyChanged);
    EXPECT_TRUE(first.record.hasCopy);
    EXPECT_EQ(first.record.fetched, 1'000'000);
    EXPECT_FALSE(first.record.validators.etag.empty());
    const std::string copy = FileText(CopyPath(cache.path().string(), address));
    EXPECT_TRUE(copy.starts_with("BEGIN:VCALENDAR")) << copy;

    const Refreshed second = Refresh(cache.path().string(), address, 1'000'600);
    EXPECT_EQ(second.record.outcome, Record::Outcome::UpToDate);
    EXPECT_FALSE(second.copyChanged);
    EXPECT_EQ(second.record.fetched, 1'000'600);
    EXPECT_EQ(FileText(CopyPath(cache.path().string(), address)), copy);
    EXPECT_EQ(ReadRecord(cache.path().string(), address), second.record);
    const std::vector<std::string> requests = Requests(served.path().string());
    ASSERT_EQ(requests.size(), 2U);
    EXPECT_EQ(requests[0], "/agenda.ics\t\t");
    EXPECT_EQ(requests[1],
              "/agenda.ics\t" + first.record.validators.etag + "\t" + first.record.validators.lastModified);

    // A new version on the server: the next fetch brings it.
    std::ofstream(served.path().string() + "/agenda.ics") << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n";
    const Refreshed third = Refresh(cache.path().string(), address, 1'002'400);
    EXPECT_TRUE(third.copyChanged);
    EXPECT_EQ(FileText(CopyPath(cache.path().string(), address)),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n");
}

TEST_F(SubscriptionFetchTest, aServerWithoutETagIsAskedByItsLastModifiedDate) {
    const std::string address = server.Address("/sans-etiquette.ics");
    const Refreshed first = Refresh(cache.path().string(), address, 1'000'000);
    ASSERT_TRUE(first.copyChanged) << first.record.sentence;
    EXPECT_TRUE(first.record.validators.etag.empty());
    EXPECT_EQ(first.record.validators.lastModified, "Tue, 01 Sep 2026 08:00:00 GMT");
    const Refreshed second = Refresh(cache.path().string(), address, 1'001'000);
    EXPECT_EQ(second.record.outcome, Record::Outcome::UpToDate);
    EXPECT_FALSE(second.copyChanged);
    ASSERT_EQ(Requests(served.path().string()).size(), 2U);
    EXPECT_EQ(Requests(served.path().string())[1], "/sans-etiquette.ics\t\tTue, 01 Sep 2026 08:00:00 GMT");
}

TEST_F(SubscriptionFetchTest, theServerGoneTheCopyStaysAndIsSaidOfflineSinceTheLastFetch) {
    const std::string address = server.Address("/agenda.ics");
    const calendar::UnixSeconds fetched = Now() - 600;
    ASSERT_TRUE(Refresh(cache.path().string(), address, fetched).copyChanged);
    const std::string copy = FileText(CopyPath(cache.path().string(), address));
    server.Stop();

    const Refreshed offline = Refresh(cache.path().string(), address, Now());
    EXPECT_EQ(offline.record.outcome, Record::Outcome::Offline);
    EXPECT_FALSE(offline.copyChanged);
    EXPECT_EQ(offline.record.fetched, fetched);
    EXPECT_EQ(FileText(CopyPath(cache.path().string(), address)), copy);
    const calendar::LocalReading when = calendar::LocalReadingOf(fetched);
    const calendar::LocalReading now = calendar::LocalReadingOf(Now());
    if (when.day == now.day) {
        EXPECT_EQ(StateSentence(offline.record, Now()),
                  "hors ligne depuis " + calendar::ClockText(when.hour, when.minute, " h "));
    }
    // Read again by the other program, the cache says the same.
    EXPECT_EQ(StateSentence(ReadRecord(cache.path().string(), address), Now()), StateSentence(offline.record, Now()));
}

struct HostileAnswer {
    const char* name;
    const char* path;
    const char* sentence;
};

// Each answer a server may give that is refused, after the same address had brought
// a calendar: the sentence is the address's own, and its copy stays as it was.
TEST_F(SubscriptionFetchTest, eachHostileAnswerGivesItsSentenceAndLeavesTheCopy) {
    const HostileAnswer answers[] = {
        {.name = "50 MB with their length",
         .path = "/grand.ics",
         .sentence = "la réponse dépasse 20 Mo : elle est refusée."},
        {.name = "50 MB in chunks",
         .path = "/grand-sans-longueur.ics",
         .sentence = "la réponse dépasse 20 Mo : elle est refusée."},
        {.name = "an answer that never ends",
         .path = "/sans-fin.ics",
         .sentence = "la réponse n'a pas fini d'arriver en 3 secondes : elle est abandonnée."},
        {.name = "a server that never answers",
         .path = "/muet.ics",
         .sentence = "la réponse n'a pas fini d'arriver en 3 secondes : elle est abandonnée."},
        {.name = "a redirect loop",
         .path = "/boucle",
         .sentence = "l'adresse renvoie vers une autre plus de 5 fois de suite : le chargement est abandonné."},
        {.name = "a redirect to a file",
         .path = "/vers-fichier",
         .sentence = "l'adresse mène vers un autre protocole que http et https : elle n'est pas suivie."},
        {.name = "an HTML page", .path = "/page.html", .sentence = "la réponse n'est pas un agenda iCalendar."},
        {.name = "404", .path = "/absent.ics", .sentence = "le serveur ne connaît pas cette adresse (réponse 404)."},
    };
    FetchLimits limits;
    limits.longest = std::chrono::seconds(3);
    for (const HostileAnswer& answer : answers) {
        SCOPED_TRACE(answer.name);
        const std::string address = server.Address(answer.path);
        const std::string shown = "BEGIN:VCALENDAR\r\nX-SHOWN:" + std::string(answer.name) + "\r\nEND:VCALENDAR\r\n";
        ASSERT_TRUE(WriteRecord(cache.path().string(), RecordOf(address, 1000, Record::Outcome::UpToDate), &shown));
        const double before = ProcessorSeconds();
        const Refreshed refused = Refresh(cache.path().string(), address, 5000, limits);
        EXPECT_LT(ProcessorSeconds() - before, 2.0);
        EXPECT_EQ(refused.record.outcome, Record::Outcome::Failed);
        EXPECT_EQ(refused.record.sentence, answer.sentence);
        EXPECT_EQ(StateSentence(refused.record, 5000), answer.sentence);
        EXPECT_FALSE(refused.copyChanged);
        EXPECT_EQ(refused.record.fetched, 1000);
        EXPECT_EQ(refused.record.attempted, 5000);
        EXPECT_EQ(FileText(CopyPath(cache.path().string(), address)), shown);
    }
    // A redirect to a calendar is followed.
    EXPECT_TRUE(Refresh(cache.path().string(), server.Address("/vers-agenda"), 5000).copyChanged);
}

TEST(SubscriptionTlsTest, aSelfSignedCertificateIsRefused) {
    TempFolder served, cache;
    const auto [certificate, key] = testing::SelfSignedCertificate(served.path().string());
    CalendarServer server(served.path().string(), certificate, key);
    const std::string address = server.Address("/agenda.ics");
    const Refreshed refused = Refresh(cache.path().string(), address, 5000);
    EXPECT_EQ(refused.record.outcome, Record::Outcome::Failed);
    EXPECT_EQ(refused.record.sentence,
              "le certificat du serveur n'est pas reconnu : la connexion n'est pas sûre, rien n'est chargé.");
    EXPECT_FALSE(refused.record.hasCopy);
}

// A good subscription among two that never end (an answer that never stops, a
// server that never answers): the keeper fetches and says the good one while the
// others are still under way, whether it is listed after them or added once they
// have started, and abandons them, with nothing written, when it is destroyed.
TEST_F(SubscriptionFetchTest, theKeeperFetchesEachSubscriptionWithoutWaitingForTheOthers) {
    const std::string good = server.Address("/agenda.ics");
    const std::vector<std::string> endless = {server.Address("/sans-fin.ics"), server.Address("/muet.ics")};
    const struct {
        const char* name;
        bool addedLater;
    } rows[] = {
        {.name = "listed after them", .addedLater = false},
        {.name = "added while they are fetched", .addedLater = true},
    };
    FetchLimits limits;
    limits.longest = std::chrono::seconds(30);  // one after the other, the good one would come after 60 s
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TempFolder rowCache;
        std::mutex mutex;
        std::condition_variable said;
        std::vector<std::string> order;
        {
            Keeper keeper(
                rowCache.path().string(),
                [&](const std::string& address, const Refreshed&) {
                    const std::lock_guard lock(mutex);
                    order.push_back(address);
                    said.notify_all();
                },
                limits);
            if (row.addedLater) {
                const std::size_t asked = Requests(served.path().string()).size();
                keeper.SetAddresses(endless);
                while (Requests(served.path().string()).size() < asked + 2) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
            }
            keeper.SetAddresses({endless[0], endless[1], good});
            std::unique_lock lock(mutex);
            said.wait(lock, [&] { return !order.empty(); });
            EXPECT_EQ(order, std::vector<std::string>{good});
        }
        EXPECT_EQ(order, std::vector<std::string>{good});
        for (const std::string& address : endless) {
            EXPECT_EQ(ReadRecord(rowCache.path().string(), address).outcome, Record::Outcome::Never) << address;
        }
        EXPECT_TRUE(ReadRecord(rowCache.path().string(), good).hasCopy);
    }
}

// A subscription whose outcome the cache cannot keep, as a full disk or a folder
// that refuses writing would not: a file where the cache folder should be; an ETag
// of 100 KB, more than a record may hold to be read back. Fetched once, it is not
// due again at once: over rounds in which another subscription comes and is fetched,
// the server sees it once, not at each turn of the keeper. The state then says
// whether the outcome was kept.
TEST_F(SubscriptionFetchTest, aSubscriptionWhoseOutcomeCannotBeKeptIsNotFetchedAgainAtOnce) {
    const TempFolder rowsFolder;
    const std::string fileForFolder = rowsFolder.path().string() + "/un-fichier";
    std::ofstream(fileForFolder) << "pas un dossier\n";
    const struct {
        const char* name;
        std::string folder;
        std::string path;
        std::string state;  // of the outcome announced
        bool keptOnDisk;    // the other program, reading the cache, waits too
    } rows[] = {
        {.name = "a file where the cache folder should be",
         .folder = fileForFolder,
         .path = "/agenda.ics",
         .state = "l'agenda reçu n'a pas pu être enregistré dans " + fileForFolder + ".",
         .keptOnDisk = false},
        {.name = "an ETag of 100 KB",
         .folder = rowsFolder.path().string() + "/cache",
         .path = "/grande-etiquette.ics",
         .state = "à jour",
         .keptOnDisk = true},
    };
    constexpr int kRounds = 10;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string address = server.Address(row.path);
        std::mutex mutex;
        std::condition_variable said;
        std::map<std::string, std::vector<Record>> announced;
        {
            Keeper keeper(row.folder, [&](const std::string& which, const Refreshed& refreshed) {
                const std::lock_guard lock(mutex);
                announced[which].push_back(refreshed.record);
                said.notify_all();
            });
            for (int round = 0; round < kRounds; ++round) {
                const std::string other = server.Address("/agenda.ics?tour=" + std::to_string(round));
                keeper.SetAddresses({address, other});
                std::unique_lock lock(mutex);
                said.wait(lock, [&] { return announced.contains(address) && announced.contains(other); });
            }
        }
        const std::vector<std::string> requests = Requests(served.path().string());
        EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                                [&](const std::string& line) { return line.starts_with(row.path + "\t"); }),
                  1);
        ASSERT_FALSE(announced[address].empty());
        EXPECT_EQ(StateSentence(announced[address].front(), Now()), row.state);
        EXPECT_EQ(IsDue(ReadRecord(row.folder, address), Now()), !row.keptOnDisk);
    }
}

// A subscription removed while it is fetched: its answer, when it ends, leaves no
// record and is not announced. The one that replaced it, started later with the
// same limit of 1 s, ends after it: once that one is announced, the removed one has
// ended too.
TEST_F(SubscriptionFetchTest, aSubscriptionRemovedWhileItIsFetchedLeavesNothing) {
    const std::string removed = server.Address("/muet.ics");
    const std::string kept = server.Address("/muet.ics?suivant");
    FetchLimits limits;
    limits.longest = std::chrono::seconds(1);
    std::mutex mutex;
    std::condition_variable said;
    std::vector<std::string> announced;
    {
        Keeper keeper(
            cache.path().string(),
            [&](const std::string& address, const Refreshed&) {
                const std::lock_guard lock(mutex);
                announced.push_back(address);
                said.notify_all();
            },
            limits);
        keeper.SetAddresses({removed});
        while (Requests(served.path().string()).empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        keeper.SetAddresses({kept});
        std::unique_lock lock(mutex);
        said.wait(lock, [&] { return std::find(announced.begin(), announced.end(), kept) != announced.end(); });
    }
    EXPECT_EQ(announced, std::vector<std::string>{kept});
    EXPECT_EQ(ReadRecord(cache.path().string(), removed).outcome, Record::Outcome::Never);
    EXPECT_EQ(ReadRecord(cache.path().string(), kept).outcome, Record::Outcome::Failed);
}

// The terminal's wait: what ends within it is written, what does not is abandoned
// and leaves the cache as it was, with no file but the good one's copy and record.
TEST_F(SubscriptionFetchTest, fetchingAllAtOnceAbandonsWhatHasNotEndedInTime) {
    const std::string good = server.Address("/agenda.ics");
    const std::vector<std::string> addresses = {server.Address("/sans-fin.ics"), server.Address("/muet.ics"), good};
    const std::map<std::string, Refreshed> outcomes =
        RefreshAll(cache.path().string(), addresses, std::chrono::seconds(2));
    ASSERT_EQ(outcomes.size(), 1U);
    EXPECT_TRUE(outcomes.at(good).copyChanged);
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(cache.path())) {
        files.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(files.size(), 2U) << ::testing::PrintToString(files);
    EXPECT_EQ(ReadRecord(cache.path().string(), addresses[0]).outcome, Record::Outcome::Never);
    EXPECT_EQ(ReadRecord(cache.path().string(), addresses[1]).outcome, Record::Outcome::Never);
}

TEST(SubscriptionRulesTest, aSubscriptionIsDueThirtyMinutesAfterItsLastFetch) {
    const Record never = RecordOf("https://exemple.fr/a.ics", 0, Record::Outcome::Never);
    EXPECT_TRUE(IsDue(never, 1000));
    const Record fetched = RecordOf("https://exemple.fr/a.ics", 1000, Record::Outcome::UpToDate);
    EXPECT_FALSE(IsDue(fetched, 1000 + 29 * 60 + 59));
    EXPECT_TRUE(IsDue(fetched, 1000 + 30 * 60));
    EXPECT_EQ(NextDue(fetched, 1100), 1000 + 30 * 60);
    EXPECT_TRUE(IsDue(fetched, 900));  // the clock was set back
}

TEST(SubscriptionRulesTest, addressesAreHttpHttpsAndWebcal) {
    EXPECT_TRUE(IsSubscriptionAddress("https://exemple.fr/a.ics"));
    EXPECT_TRUE(IsSubscriptionAddress("HTTP://exemple.fr/a.ics"));
    EXPECT_FALSE(IsSubscriptionAddress("/home/moi/agenda.ics"));
    EXPECT_FALSE(IsSubscriptionAddress("file:///home/moi/agenda.ics"));
    EXPECT_FALSE(IsSubscriptionAddress("https://"));
    EXPECT_TRUE(IsSubscriptionAddress("webcal://exemple.fr/a.ics"));
    EXPECT_EQ(FetchedAddress("webcal://exemple.fr/a.ics"), "https://exemple.fr/a.ics");
    EXPECT_EQ(FetchedAddress("WEBCAL://exemple.fr/a.ics"), "https://exemple.fr/a.ics");
    EXPECT_EQ(FetchedAddress("http://exemple.fr/a.ics"), "http://exemple.fr/a.ics");
}

TEST(SubscriptionRulesTest, theStateSaysWhenTheCopyWasFetched) {
    setenv("TZ", "Europe/Paris", 1);
    calendar::RefreshLocalZone();
    const calendar::UnixSeconds now = calendar::UtcMidnightOf(2026, 12, 8) + 15 * 3600;  // 16 h 00 in Paris
    const calendar::UnixSeconds today = calendar::UtcMidnightOf(2026, 12, 8) + 13 * 3600 + 5 * 60;
    const calendar::UnixSeconds yesterday = today - 86400;
    const calendar::UnixSeconds lastYear = calendar::UtcMidnightOf(2025, 12, 1) + 13 * 3600 + 5 * 60;
    Record failed = RecordOf("a", 0, Record::Outcome::Failed);
    failed.sentence = "la réponse n'est pas un agenda iCalendar.";
    const struct {
        Record record;
        const char* sentence;
    } rows[] = {
        {RecordOf("a", 0, Record::Outcome::Never), "pas encore chargé"},
        {RecordOf("a", today, Record::Outcome::UpToDate), "à jour"},
        {RecordOf("a", today, Record::Outcome::Offline), "hors ligne depuis 14 h 05"},
        {RecordOf("a", yesterday, Record::Outcome::Offline), "hors ligne depuis le 7 décembre à 14 h 05"},
        {RecordOf("a", lastYear, Record::Outcome::Offline), "hors ligne depuis le 1er décembre 2025 à 14 h 05"},
        {RecordOf("a", 0, Record::Outcome::Offline), "hors ligne : rien n'a encore été chargé"},
        {failed, "la réponse n'est pas un agenda iCalendar."},
    };
    for (const auto& row : rows) EXPECT_EQ(StateSentence(row.record, now), row.sentence);
    const struct {
        Record record;
        const char* sentence;
    } late[] = {
        {RecordOf("a", 0, Record::Outcome::Never),
         "le chargement n'a pas fini en 10 secondes : rien n'a encore été chargé."},
        {RecordOf("a", today, Record::Outcome::UpToDate),
         "le chargement n'a pas fini en 10 secondes : la copie de 14 h 05 est montrée."},
        {RecordOf("a", yesterday, Record::Outcome::Offline),
         "le chargement n'a pas fini en 10 secondes : la copie du 7 décembre à 14 h 05 est montrée."},
    };
    for (const auto& row : late) EXPECT_EQ(LateSentence(row.record, std::chrono::seconds(10), now), row.sentence);
    unsetenv("TZ");
    calendar::RefreshLocalZone();
}

}  // namespace
}  // namespace subscriptions
