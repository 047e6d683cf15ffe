#pragma once
// Which sources of agendas are subscriptions: the address of a calendar on the web,
// fetched and kept in the cache, rather than a file or a folder on the disk.

#include <string>
#include <string_view>

namespace subscriptions {

// Whether `source` is an http://, https:// or webcal:// address (the scheme in any
// case) that names a host: "http://" alone, or "https:///agenda.ics", is nothing to
// fetch, and both faces take it for a path. webcal:// is how many sites offer a
// calendar to subscribe to: it is the same address over https.
bool IsSubscriptionAddress(std::string_view source);

// The address that is fetched: a webcal:// address over https, the others as written.
std::string FetchedAddress(std::string_view address);

}  // namespace subscriptions
