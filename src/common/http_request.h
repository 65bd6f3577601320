#pragma once
// One blocking HTTP(S) exchange over WinHTTP, shared by the program's web clients. Each
// client keeps its own user agent, timeouts, headers, reply limit and error texts; every
// exchange ends by its deadline, the sum of its four timeouts, whatever the server does.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::distribution {

struct HttpAddress {
    bool secure = true;  // https
    std::wstring host;
    std::uint16_t port = 443;
    std::wstring path;  // without a trailing '/'
    bool hasUserName = false;
};

// http:// or https:// with a host and nothing after the path (no query), at most 2048 characters. Empty when
// unusable. A user name is reported, not refused: each caller decides.
std::optional<HttpAddress> CrackHttpUrl(std::wstring_view url);

// Each step must be positive: WinHTTP reads 0 as "wait for ever", and an exchange without an end
// would hold its thread for good. A request with a step of 0 or less is refused unsent.
struct HttpTimeouts {
    int resolveMs = 0;
    int connectMs = 0;
    int sendMs = 0;
    int receiveMs = 0;

    // The whole exchange, from opening the session to the last byte of the body.
    std::chrono::milliseconds Total() const;
};

struct HttpRequest {
    std::wstring_view userAgent;
    HttpTimeouts timeouts;
    const HttpAddress* address = nullptr;  // scheme, host and port; the path is `target`
    std::wstring_view method;
    std::wstring_view target;   // the whole request path
    std::wstring_view headers;  // "Name: value\r\n" lines; may be empty
    std::string_view body;      // may be empty
    std::size_t maxReplyBytes = 0;
    bool keepOnCancel = false;  // data that must not be lost: CancelHttpRequests leaves it to its deadline
};

enum class HttpOutcome {
    Unreachable,  // no status line: no session, connection, send or response
    CutOff,       // the reply body broke off
    TooLarge,     // the reply body went past maxReplyBytes; nothing of it is kept
    TimedOut,     // no whole reply before the deadline, or a step's timeout passed
    Cancelled,    // stopped by CancelHttpRequests
    Answered,
};

struct HttpReply {
    HttpOutcome outcome = HttpOutcome::Unreachable;
    std::uint32_t status = 0;  // set only when answered
    std::string body;          // set only when answered
};

// Exchanges whose caller stopped waiting (deadline or cancel) while their thread still runs; past
// this many a new request is refused unsent (Unreachable), so a server that holds every connection
// cannot pile up threads and sockets. Twice the most exchanges the program runs at once (the
// account slot, the match status, the match identity and an owner-console request).
inline constexpr std::size_t kMaxAbandonedHttpExchanges = 8;

// Redirects are never followed: a request may carry credentials or signed commands that must
// not reach another address. Returns by the deadline (timeouts.Total()) at the latest: WinHTTP's
// own timeouts do not bound every wait (under Wine the wait for reply headers is unbounded), so
// the exchange runs on a thread of its own that is left behind when the deadline passes. That
// thread alone uses and closes its handles, and ends when WinHTTP gives up or the server does.
HttpReply SendHttpRequest(const HttpRequest& request);

// Stops waiting for every exchange in flight at once (they return Cancelled) so that closing
// the program never waits for the network; those marked keepOnCancel go on to their deadline.
// Exchanges started later are not affected. Returns how many were stopped.
std::size_t CancelHttpRequests();

}  // namespace tarvo::distribution
