#pragma once
// The writer of iCalendar files on libical, linked into the module solvane-ical.so
// (and into the tests directly).

#include "agendas/ics_writer.h"

namespace agendas {

const IcsWriter& LibicalWriter();

}  // namespace agendas
