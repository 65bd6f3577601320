#pragma once
// One blocking HTTP(S) exchange over WinHTTP, shared by the program's web clients. Each
// client keeps its own user agent, timeouts, headers, reply limit and error texts; every
// exchange returns by its deadline, the sum of its four timeouts, whatever the server does,
// and its connection is closed right after.

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
// would hold its thread for good. A request with a step of 0 or less is refused unsent (Refused).
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
    Refused,      // not sent: bad arguments, or too many exchanges still closing (kMaxLingeringHttpExchanges)
    Unreachable,  // no status line: no session, connection, send or response
    CutOff,       // the reply body broke off, is shorter than its Content-Length, or came in chunks
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

// Exchanges whose caller has returned while WinHTTP still works on their closed request (it ends
// its pending receive first); past this many a new request is refused unsent (Refused), so a
// server that holds every connection cannot pile up threads and sockets. Twice the most
// exchanges the program runs at once (the account slot, the match status, the match identity
// and an owner-console request).
inline constexpr std::size_t kMaxLingeringHttpExchanges = 8;

// Redirects are never followed: a request may carry credentials or signed commands that must
// not reach another address. The request line says HTTP/1.0, so no reply comes in chunks (one
// that does is CutOff). Runs WinHTTP asynchronously on the calling thread and returns by
// the deadline (timeouts.Total()) at the latest, closing its handles before it returns. A wait
// WinHTTP started before the close still ends on its own receive timeout, which is cut down to
// what is left of the deadline as the deadline nears, so no receive outlasts it by much.
HttpReply SendHttpRequest(const HttpRequest& request);

// Stops waiting for every exchange in flight at once (they return Cancelled) so that closing
// the program never waits for the network; those marked keepOnCancel go on to their deadline.
// Exchanges started later are not affected. Returns how many were stopped.
std::size_t CancelHttpRequests();

}  // namespace tarvo::distribution
