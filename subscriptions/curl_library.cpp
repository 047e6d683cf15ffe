#include "subscriptions/curl_library.h"

#include <dlfcn.h>

namespace subscriptions {

namespace {

// The soname of libcurl 7 and 8, the same in Debian 12 (libcurl4) and 13 (libcurl4t64).
constexpr const char* kLibraryName = "libcurl.so.4";

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

const CurlLibrary* Load() {
    void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    static CurlLibrary curl{};
    CURLcode (*globalInit)(long) = nullptr;
    const bool found =
        Find(library, "curl_global_init", globalInit) && Find(library, "curl_easy_init", curl.easyInit) &&
        Find(library, "curl_easy_setopt", curl.easySetopt) && Find(library, "curl_easy_getinfo", curl.easyGetinfo) &&
        Find(library, "curl_easy_cleanup", curl.easyCleanup) && Find(library, "curl_slist_append", curl.slistAppend) &&
        Find(library, "curl_slist_free_all", curl.slistFreeAll) && Find(library, "curl_multi_init", curl.multiInit) &&
        Find(library, "curl_multi_add_handle", curl.multiAddHandle) &&
        Find(library, "curl_multi_remove_handle", curl.multiRemoveHandle) &&
        Find(library, "curl_multi_perform", curl.multiPerform) && Find(library, "curl_multi_poll", curl.multiPoll) &&
        Find(library, "curl_multi_wakeup", curl.multiWakeup) &&
        Find(library, "curl_multi_info_read", curl.multiInfoRead) &&
        Find(library, "curl_multi_cleanup", curl.multiCleanup);
    // Initialised once, before any transfer: curl_global_init is not safe to call
    // from two threads at once in every libcurl. The library stays loaded.
    if (!found || globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
    return &curl;
}

}  // namespace

const CurlLibrary* Curl() {
    static const CurlLibrary* const curl = Load();  // a thread-safe static: loaded once
    return curl;
}

}  // namespace subscriptions
