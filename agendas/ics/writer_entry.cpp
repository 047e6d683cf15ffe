// The writer that the module solvane-ical.so exports beside its reader (ics_writer.h).

#include "agendas/ics/writer.h"

extern "C" __attribute__((visibility("default"))) const agendas::IcsWriter* SolvaneIcsWriter() {
    return &agendas::LibicalWriter();
}
