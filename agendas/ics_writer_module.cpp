#include "agendas/ics_module_loading.h"
#include "agendas/ics_writer.h"

namespace agendas {

const IcsWriter* ModuleIcsWriter(const std::string& programFolder, std::string& problem) {
    return ModuleInterface<IcsWriter>(programFolder, kIcsWriterEntry, "l'écriture", problem);
}

}  // namespace agendas
