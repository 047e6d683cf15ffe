#include <dlfcn.h>

#include <map>
#include <mutex>

#include "agendas/ics_module.h"
#include "agendas/ics_writer.h"

namespace agendas {

const IcsWriter* ModuleIcsWriter(const std::string& programFolder, std::string& problem) {
    static std::mutex mutex;
    static std::map<std::string, std::pair<const IcsWriter*, std::string>> loaded;  // by folder
    const std::lock_guard lock(mutex);
    if (const auto found = loaded.find(programFolder); found != loaded.end()) {
        problem = found->second.second;
        return found->second.first;
    }
    const std::string path = programFolder + "/" + kIcsModuleName;
    const IcsWriter* writer = nullptr;
    problem.clear();
    // The same module as the reader's, loaded once by the system for both; kept loaded.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module != nullptr) {
        using Entry = const IcsWriter* (*)();
        if (auto* entry = reinterpret_cast<Entry>(dlsym(module, kIcsWriterEntry))) writer = entry();
    }
    if (writer == nullptr) {
        const char* why = dlerror();
        problem = "l'écriture des fichiers iCalendar (" + path + ") n'a pas pu être chargée" +
                  (why != nullptr ? std::string(" : ") + why : std::string());
    }
    loaded.emplace(programFolder, std::make_pair(writer, problem));
    return writer;
}

}  // namespace agendas
