#include "subscriptions/refresh.h"

#include <ctime>

#include "subscriptions/address.h"

namespace subscriptions {

namespace {

constexpr calendar::UnixSeconds kIntervalSeconds =
    std::chrono::duration_cast<std::chrono::seconds>(kFetchInterval).count();

// What the state says when the cache refused `what` (« l'agenda reçu »…).
std::string NotKeptSentence(const std::string& what, const std::string& folder) {
    if (folder.empty())
        return what + " n'a pas pu être enregistré : aucun dossier de cache n'est connu (ni XDG_CACHE_HOME ni HOME).";
    return what + " n'a pas pu être enregistré dans " + folder + ".";
}

// Writes `record` and returns it; an outcome « à jour » that the cache could not
// keep is not one: the record returned says so.
Record Written(const std::string& folder, Record record) {
    if (WriteRecord(folder, record) || record.outcome != Record::Outcome::UpToDate) return record;
    record.outcome = Record::Outcome::Failed;
    record.sentence = NotKeptSentence("l'état de cet abonnement", folder);
    return record;
}

}  // namespace

bool IsDue(const Record& record, calendar::UnixSeconds now) { return NextDue(record, now) <= now; }

calendar::UnixSeconds NextDue(const Record& record, calendar::UnixSeconds now) {
    if (record.attempted == 0 || record.attempted > now) return now;
    return std::max(now, record.attempted + kIntervalSeconds);
}

void StartRefresh(Fetches& fetches, const std::string& folder, const std::string& address, const FetchLimits& limits) {
    const Record record = ReadRecord(folder, address);
    fetches.Add(address, FetchedAddress(address), record.hasCopy ? record.validators : Validators{}, limits);
}

Refreshed WriteOutcome(const std::string& folder, const std::string& address, calendar::UnixSeconds started,
                       const Fetched& fetched) {
    // Read again: the other program may have fetched it meanwhile.
    Record record = ReadRecord(folder, address);
    record.attempted = started;
    record.sentence.clear();
    switch (fetched.kind) {
    case Fetched::Kind::Fresh:
        // The copy first, then the record that names its version.
        if (!WriteCopy(folder, address, fetched.body)) {
            // The copy that was there, if any, stays, with its record.
            record.outcome = Record::Outcome::Failed;
            record.sentence = NotKeptSentence("l'agenda reçu", folder);
            WriteRecord(folder, record);
            return {.record = record, .copyChanged = false};
        }
        record.outcome = Record::Outcome::UpToDate;
        record.hasCopy = true;
        record.fetched = started;
        record.validators = fetched.validators;
        return {.record = Written(folder, record), .copyChanged = true};
    case Fetched::Kind::NotModified:
        // Without a copy no version was asked about: a 304 then confirms nothing.
        record.outcome = record.hasCopy ? Record::Outcome::UpToDate : Record::Outcome::Failed;
        if (record.hasCopy) record.fetched = started;
        if (!record.hasCopy) record.sentence = "le serveur répond « pas changé » à une première demande.";
        break;
    case Fetched::Kind::Offline: record.outcome = Record::Outcome::Offline; break;
    case Fetched::Kind::Failed:
        record.outcome = Record::Outcome::Failed;
        record.sentence = fetched.sentence;
        break;
    }
    return {.record = Written(folder, record), .copyChanged = false};
}

Refreshed Refresh(const std::string& folder, const std::string& address, calendar::UnixSeconds now,
                  const FetchLimits& limits) {
    const Record record = ReadRecord(folder, address);
    return WriteOutcome(folder, address, now,
                        Fetch(FetchedAddress(address), record.hasCopy ? record.validators : Validators{}, limits));
}

std::map<std::string, Refreshed> RefreshAll(const std::string& folder, const std::vector<std::string>& addresses,
                                            std::chrono::milliseconds longest, const FetchLimits& limits) {
    const calendar::UnixSeconds started = Now();
    const auto until = std::chrono::steady_clock::now() + longest;
    Fetches fetches;
    for (const std::string& address : addresses) {
        if (!fetches.UnderWay(address)) StartRefresh(fetches, folder, address, limits);
    }
    std::map<std::string, Refreshed> outcomes;
    for (auto now = std::chrono::steady_clock::now(); !fetches.Empty() && now < until;
         now = std::chrono::steady_clock::now()) {
        for (const auto& [address, fetched] :
             fetches.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(until - now))) {
            outcomes[address] = WriteOutcome(folder, address, started, fetched);
        }
    }
    return outcomes;
}

calendar::UnixSeconds Now() { return std::time(nullptr); }

}  // namespace subscriptions
