#pragma once
// One blocking HTTP(S) exchange over WinHTTP for the account client's worker threads.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "account/account_api_client.h"

namespace tarvo::account {

struct ServiceUrl {
    bool secure = true;         // https
    std::wstring host;
    std::uint16_t port = 443;
    std::wstring basePath;      // without a trailing '/', e.g. "/api/v1"
};

// http:// or https:// with a host; no query or fragment. Empty when unusable.
std::optional<ServiceUrl> ParseServiceUrl(std::wstring_view url);

struct HttpExchange {
    bool answered = false;  // a whole reply arrived
    std::uint32_t status = 0;
    std::string body;
    AccountFailure failure = AccountFailure::None;  // why there is no usable answer
};

// `relativePath` is appended to the base path after a '/'. `bearer` may be empty. A JSON body is sent with
// "Content-Type: application/json; charset=utf-8"; GET sends none. Redirects are not followed. A request
// that `mustFinish` is not cut short by CancelHttpRequests (it still ends by its deadline).
HttpExchange PerformRequest(const ServiceUrl& url, std::wstring_view method, std::wstring_view relativePath,
                            std::wstring_view bearer, std::string_view body, bool mustFinish = false);

inline constexpr std::size_t kMaxReplyBytes = 8u * 1024u * 1024u;

}  // namespace tarvo::account
