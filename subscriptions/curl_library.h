#pragma once
// libcurl, loaded from the system (libcurl.so.4) at its first use rather than linked:
// the command answers the terminal without loading a network library, and loads one
// only to fetch a subscription. The functions are those of <curl/curl.h>.

#include <curl/curl.h>

namespace subscriptions {

struct CurlLibrary {
    CURL* (*easyInit)();
    CURLcode (*easySetopt)(CURL*, CURLoption, ...);
    CURLcode (*easyGetinfo)(CURL*, CURLINFO, ...);
    void (*easyCleanup)(CURL*);
    curl_slist* (*slistAppend)(curl_slist*, const char*);
    void (*slistFreeAll)(curl_slist*);
    // Several transfers at once, on one thread (libcurl 7.68 and later).
    CURLM* (*multiInit)();
    CURLMcode (*multiAddHandle)(CURLM*, CURL*);
    CURLMcode (*multiRemoveHandle)(CURLM*, CURL*);
    CURLMcode (*multiPerform)(CURLM*, int*);
    CURLMcode (*multiPoll)(CURLM*, curl_waitfd*, unsigned int, int, int*);
    CURLMcode (*multiWakeup)(CURLM*);
    CURLMsg* (*multiInfoRead)(CURLM*, int*);
    CURLMcode (*multiCleanup)(CURLM*);
};

// The library, loaded and initialised once for the whole process, from any thread;
// null when the system has none.
const CurlLibrary* Curl();

}  // namespace subscriptions
