// The one function that the module solvane-ical.so exports (ics_module.h).

#include "agendas/ics/reader.h"

extern "C" __attribute__((visibility("default"))) const agendas::IcsReader* SolvaneIcsReader() {
    return &agendas::LibicalReader();
}
