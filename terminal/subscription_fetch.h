#pragma once
// The terminal's side of the subscriptions: the same fetch, cache and interval as
// the window's (subscriptions/). A one-shot answer fetches first, all at once, the
// subscriptions whose 30 minutes are up, and waits for them 10 seconds at most in
// all: one still fetching then is abandoned, its copy shown; `--suivre`
// keeps them fetched in the background, and writes again when a fetch brings a new
// calendar, which it sees as a change of the cache folder. Without a subscription
// among the sources, nothing of the network is loaded.

#include <memory>
#include <string>
#include <vector>

namespace subscriptions {
class Keeper;
}

// Fetches the subscriptions among `sources` that are due, and returns the French
// line "solvane: ADDRESS : SENTENCE" of each whose fetch did not end in time, or
// whose last fetch failed or found no server, for standard error; the copies kept
// show all the same.
std::string FetchDueSubscriptions(const std::vector<std::string>& sources);

// The subscriptions of `--suivre`, fetched on their own thread for as long as this
// lives.
class FollowedSubscriptions {
public:
    FollowedSubscriptions();
    ~FollowedSubscriptions();
    // The sources as the answer reads them now; the subscriptions among them are kept.
    void SetSources(const std::vector<std::string>& sources);
    // The folder whose changes the follower watches: the cache.
    std::string Folder() const { return folder_; }

private:
    std::string folder_;
    std::unique_ptr<subscriptions::Keeper> keeper_;
};
