#pragma once
// What the « Agendas… » window and the terminal say of a subscription, in French:
// « à jour », « hors ligne depuis 14 h 05 » (the time of the last fetch that
// reached the server, the date too when it was another day), or the sentence of
// its last failure; and what the terminal says of one still fetching when it must
// answer.

#include <chrono>
#include <string>

#include "calendar/local_zone.h"
#include "subscriptions/cache.h"

namespace subscriptions {

// The state of `record` at `now`, in the process's time zone.
std::string StateSentence(const Record& record, calendar::UnixSeconds now);

// A fetch not ended after `waited`, of the subscription whose copy is `record`:
// « le chargement n'a pas fini en 10 secondes : la copie de 14 h 05 est montrée. »
std::string LateSentence(const Record& record, std::chrono::seconds waited, calendar::UnixSeconds now);

}  // namespace subscriptions
