#pragma once
// The reader of iCalendar files on libical, linked into the module solvane-ical.so
// (and into the tests and the fuzzer directly).

#include "agendas/ics_reader.h"

namespace agendas {

// The one reader; libical is set up on the first call.
const IcsReader& LibicalReader();

}  // namespace agendas
