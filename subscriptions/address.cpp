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

}  // namespace

bool IsSubscriptionAddress(std::string_view source) {
    return StartsWithWord(source, "http://") || StartsWithWord(source, "https://") ||
           StartsWithWord(source, "webcal://");
}

std::string FetchedAddress(std::string_view address) {
    if (StartsWithWord(address, "webcal://")) return "https://" + std::string(address.substr(9));
    return std::string(address);
}

}  // namespace subscriptions
