#pragma once

#include <curl/curl.h>
#include <mutex>

// libcurl's global set-up, done once before the first handle of any client.
inline void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}
