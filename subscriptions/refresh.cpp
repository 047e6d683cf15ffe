#include "subscriptions/refresh.h"

#include <ctime>

#include "subscriptions/address.h"

namespace subscriptions {

namespace {

constexpr calendar::UnixSeconds kIntervalSeconds =
    std::chrono::duration_cast<std::chrono::seconds>(kFetchInterval).count();

}  // namespace

bool IsDue(const Record& record, calendar::UnixSeconds now) { return NextDue(record, now) <= now; }

calendar::UnixSeconds NextDue(const Record& record, calendar::UnixSeconds now) {
    if (record.attempted == 0 || record.attempted > now) return now;
    return std::max(now, record.attempted + kIntervalSeconds);
}

Refreshed Refresh(const std::string& folder, const std::string& address, calendar::UnixSeconds now,
                  const FetchLimits& limits, const std::atomic<bool>* stop) {
    Record record = ReadRecord(folder, address);
    const Fetched fetched =
        Fetch(FetchedAddress(address), record.hasCopy ? record.validators : Validators{}, limits, stop);
    if (fetched.kind == Fetched::Kind::Stopped) return {.record = record, .copyChanged = false};
    record.attempted = now;
    record.sentence.clear();
    switch (fetched.kind) {
    case Fetched::Kind::Fresh:
        record.outcome = Record::Outcome::UpToDate;
        record.fetched = now;
        record.validators = fetched.validators;
        record.hasCopy = WriteRecord(folder, record, &fetched.body);
        return {.record = record, .copyChanged = record.hasCopy};
    case Fetched::Kind::NotModified:
        // Without a copy no version was asked about: a 304 then confirms nothing.
        record.outcome = record.hasCopy ? Record::Outcome::UpToDate : Record::Outcome::Failed;
        if (record.hasCopy) record.fetched = now;
        if (!record.hasCopy) record.sentence = "le serveur répond « pas changé » à une première demande.";
        break;
    case Fetched::Kind::Offline: record.outcome = Record::Outcome::Offline; break;
    case Fetched::Kind::Failed:
    case Fetched::Kind::Stopped:
        record.outcome = Record::Outcome::Failed;
        record.sentence = fetched.sentence;
        break;
    }
    WriteRecord(folder, record);
    return {.record = record, .copyChanged = false};
}

calendar::UnixSeconds Now() { return std::time(nullptr); }

}  // namespace subscriptions
