#pragma once
// The loading of the iCalendar module (solvane-ical.so, the only part of the program
// that links libical) for one of its entry points: the reader's and the writer's.
// The module is loaded once by the system for both, and kept loaded for the rest of
// the process: what its entries give outlives every agenda. Each folder's answer,
// or the reason there is none, is remembered.

#include <dlfcn.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "agendas/ics_module.h"

namespace agendas {

// The interface that `entry` of the module in `programFolder` gives, or null and
// `problem`, a sentence that begins with `job` (« la lecture »).
template <class Interface>
const Interface* ModuleInterface(const std::string& programFolder, const char* entry, const char* job,
                                 std::string& problem) {
    static std::mutex mutex;
    static std::map<std::string, std::pair<const Interface*, std::string>> loaded;  // by folder
    const std::lock_guard lock(mutex);
    if (const auto found = loaded.find(programFolder); found != loaded.end()) {
        problem = found->second.second;
        return found->second.first;
    }
    const std::string path = programFolder + "/" + kIcsModuleName;
    const Interface* answer = nullptr;
    problem.clear();
    if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); module != nullptr) {
        using Entry = const Interface* (*)();
        if (auto* function = reinterpret_cast<Entry>(dlsym(module, entry))) answer = function();
    }
    if (answer == nullptr) {
        // The loader's own words, in English, follow as a detail for whoever repairs it.
        const char* why = dlerror();
        problem = std::string(job) + " des fichiers iCalendar (" + path + ") n'a pas pu être chargée" +
                  (access(path.c_str(), F_OK) != 0
                       ? " : le fichier manque, réinstallez Solvane"
                       : " : une bibliothèque qu'elle demande manque-t-elle ?" +
                             (why != nullptr ? std::string(" (« ") + why + " »)" : std::string()));
    }
    loaded.emplace(programFolder, std::make_pair(answer, problem));
    return answer;
}

}  // namespace agendas
