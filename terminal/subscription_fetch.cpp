#include "terminal/subscription_fetch.h"

#include "subscriptions/address.h"
#include "subscriptions/cache.h"
#include "subscriptions/keeper.h"
#include "subscriptions/refresh.h"
#include "subscriptions/state_sentence.h"

namespace {

std::vector<std::string> AddressesAmong(const std::vector<std::string>& sources) {
    std::vector<std::string> addresses;
    for (const std::string& source : sources) {
        if (subscriptions::IsSubscriptionAddress(source)) addresses.push_back(source);
    }
    return addresses;
}

}  // namespace

std::string FetchDueSubscriptions(const std::vector<std::string>& sources) {
    const std::string folder = subscriptions::CacheFolder();
    std::string lines;
    for (const std::string& address : AddressesAmong(sources)) {
        subscriptions::Record record = subscriptions::ReadRecord(folder, address);
        const calendar::UnixSeconds now = subscriptions::Now();
        if (subscriptions::IsDue(record, now)) record = subscriptions::Refresh(folder, address, now).record;
        if (record.outcome == subscriptions::Record::Outcome::Offline ||
            record.outcome == subscriptions::Record::Outcome::Failed) {
            lines += "solvane: " + address + " : " + subscriptions::StateSentence(record, now) + "\n";
        }
    }
    return lines;
}

FollowedSubscriptions::FollowedSubscriptions() : folder_(subscriptions::CacheFolder()) {}

FollowedSubscriptions::~FollowedSubscriptions() = default;

void FollowedSubscriptions::SetSources(const std::vector<std::string>& sources) {
    const std::vector<std::string> addresses = AddressesAmong(sources);
    if (addresses.empty() && !keeper_) return;
    // Nothing to say on the keeper's thread: the cache folder's change wakes the follower.
    if (!keeper_) keeper_ = std::make_unique<subscriptions::Keeper>(folder_, [](const auto&, const auto&) {});
    keeper_->SetAddresses(addresses);
}
