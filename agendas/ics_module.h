#pragma once
// The iCalendar reader of the module solvane-ical.so, found beside the programs and
// loaded the first time a source needs it.

#include <string>

#include "agendas/ics_reader.h"

namespace agendas {

// The module's file name, and the function it exports.
inline constexpr const char* kIcsModuleName = "solvane-ical.so";
inline constexpr const char* kIcsModuleEntry = "SolvaneIcsReader";

// The reader of the module in `programFolder`, loaded once; null when it cannot be
// loaded, with the reason in French in `problem`.
const IcsReader* ModuleIcsReader(const std::string& programFolder, std::string& problem);

}  // namespace agendas
