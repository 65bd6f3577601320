#pragma once
// One blocking HTTP(S) exchange over WinHTTP for the owner console's services. The
// scheme of the base URL is honoured (http is for local services and tests).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "release_control/release_control_client.h"

namespace tarvo::release_control {

inline constexpr std::size_t kMaxReplyBytes = 1u << 20;
inline constexpr unsigned kRequestTimeoutMs = 5000;  // each of resolve, connect, send and receive: 20 s in all

struct WebAddress {
    bool secure = true;
    std::wstring host;
    unsigned port = 443;
    std::wstring path;  // without a trailing '/'
};

// http:// or https:// with a host; no user name, query or fragment. Empty when unusable.
std::optional<WebAddress> ParseWebAddress(std::wstring_view url);

// `path` is appended to the address's own path. A non-empty body is sent as
// "application/json; charset=utf-8". Redirects are not followed; replies above
// kMaxReplyBytes are refused.
HttpResult SendWebRequest(std::wstring_view baseUrl, std::wstring_view method, std::wstring_view path,
                          std::string_view body);

}  // namespace tarvo::release_control
