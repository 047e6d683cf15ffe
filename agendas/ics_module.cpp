#include "agendas/ics_module.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace agendas {

const IcsReader* ModuleIcsReader(const std::string& programFolder, std::string& problem) {
    static std::mutex mutex;
    static std::map<std::string, std::pair<const IcsReader*, std::string>> loaded;  // by folder
    const std::lock_guard lock(mutex);
    if (const auto found = loaded.find(programFolder); found != loaded.end()) {
        problem = found->second.second;
        return found->second.first;
    }
    const std::string path = programFolder + "/" + kIcsModuleName;
    const IcsReader* reader = nullptr;
    problem.clear();
    // Kept loaded for the rest of the process: its reader outlives every agenda.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module != nullptr) {
        using Entry = const IcsReader* (*)();
        if (auto* entry = reinterpret_cast<Entry>(dlsym(module, kIcsModuleEntry))) reader = entry();
    }
    if (reader == nullptr) {
        const char* why = dlerror();
        problem = "la lecture des fichiers iCalendar (" + path + ") n'a pas pu être chargée" +
                  (why != nullptr ? std::string(" : ") + why : std::string());
    }
    loaded.emplace(programFolder, std::make_pair(reader, problem));
    return reader;
}

}  // namespace agendas
