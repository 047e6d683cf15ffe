#include "agendas/ics_module.h"

#include "agendas/ics_module_loading.h"

namespace agendas {

const IcsReader* ModuleIcsReader(const std::string& programFolder, std::string& problem) {
    return ModuleInterface<IcsReader>(programFolder, kIcsModuleEntry, "la lecture", problem);
}

}  // namespace agendas
