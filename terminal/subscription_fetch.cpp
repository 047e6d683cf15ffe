#include "terminal/subscription_fetch.h"

#include <algorithm>
#include <chrono>
#include <map>

#include "subscriptions/address.h"
#include "subscriptions/cache.h"
#include "subscriptions/keeper.h"
#include "subscriptions/refresh.h"
#include "subscriptions/state_sentence.h"

namespace {

// How long a one-shot answer waits for the network in all: a status bar that asks
// is not held longer, whatever the servers do.
constexpr std::chrono::seconds kLongestWait{10};

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
    const std::vector<std::string> addresses = AddressesAmong(sources);
    std::vector<std::string> due;
    for (const std::string& address : addresses) {
        if (subscriptions::IsDue(subscriptions::ReadRecord(folder, address), subscriptions::Now())) {
            due.push_back(address);
        }
    }
    const std::map<std::string, subscriptions::Refreshed> fetched =
        due.empty() ? std::map<std::string, subscriptions::Refreshed>{}
                    : subscriptions::RefreshAll(folder, due, kLongestWait);
    const calendar::UnixSeconds now = subscriptions::Now();
    std::string lines;
    for (const std::string& address : addresses) {
        const auto outcome = fetched.find(address);
        const subscriptions::Record record =
            outcome != fetched.end() ? outcome->second.record : subscriptions::ReadRecord(folder, address);
        if (outcome == fetched.end() && std::find(due.begin(), due.end(), address) != due.end()) {
            lines += "solvane: " + address + " : " + subscriptions::LateSentence(record, kLongestWait, now) + "\n";
        } else if (record.outcome == subscriptions::Record::Outcome::Offline ||
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
