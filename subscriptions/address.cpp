#include "subscriptions/address.h"

#include <algorithm>
#include <cctype>

namespace subscriptions {

namespace {

bool StartsWithWord(std::string_view text, std::string_view start) {
    return text.size() > start.size() &&
           std::equal(start.begin(), start.end(), text.begin(), [](char expected, char written) {
               return std::tolower(static_cast<unsigned char>(written)) == expected;
           });
}

// The host of an address after its scheme: its authority (up to the path, the query
// or the fragment) without the user's part and the port.
std::string_view HostOf(std::string_view afterScheme) {
    std::string_view authority = afterScheme.substr(0, afterScheme.find_first_of("/?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (authority.starts_with('[')) return authority.substr(1, authority.find(']') - 1);  // an IPv6 address
    return authority.substr(0, authority.find(':'));
}

}  // namespace

bool IsSubscriptionAddress(std::string_view source) {
    for (const std::string_view scheme : {"http://", "https://", "webcal://"}) {
        if (StartsWithWord(source, scheme)) return !HostOf(source.substr(scheme.size())).empty();
    }
    return false;
}

std::string FetchedAddress(std::string_view address) {
    if (StartsWithWord(address, "webcal://")) return "https://" + std::string(address.substr(9));
    return std::string(address);
}

}  // namespace subscriptions
