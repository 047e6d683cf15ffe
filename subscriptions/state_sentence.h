#pragma once
// What the « Agendas… » window and the terminal say of a subscription, in French:
// « à jour », « hors ligne depuis 14 h 05 » (the time of the last fetch that
// reached the server, the date too when it was another day), or the sentence of
// its last failure.

#include <string>

#include "calendar/local_zone.h"
#include "subscriptions/cache.h"

namespace subscriptions {

// The state of `record` at `now`, in the process's time zone.
std::string StateSentence(const Record& record, calendar::UnixSeconds now);

}  // namespace subscriptions
