#include "common/http_request.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tarvo::distribution {
namespace {

// One exchange, shared by its caller and the thread that talks to the server. The thread alone
// opens, uses and closes the WinHTTP handles: a handle closed from another thread could be given
// out again before the thread's next call on it. A stopped exchange only stops being waited for.
struct Exchange {
    // Copies of the request: a thread that is left behind outlives the caller's views.
    std::wstring agent;
    HttpTimeouts timeouts;
    HttpAddress address;
    std::wstring verb;
    std::wstring target;
    std::wstring headers;  // may carry a bearer token
    std::string body;      // may carry a password
    std::size_t maxReplyBytes = 0;
    bool keepOnCancel = false;

    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    bool stopped = false;
    bool cancelled = false;
    HttpReply reply;

    // Kept by the registry's lock.
    bool threadEnded = false;
    bool abandoned = false;

    ~Exchange() {
        SecureZeroMemory(headers.data(), headers.size() * sizeof(wchar_t));
        SecureZeroMemory(body.data(), body.size());
    }

    bool Live() {
        std::lock_guard lock(mutex);
        return !stopped;
    }

    void Finish(HttpReply result) {
        std::lock_guard lock(mutex);
        reply = std::move(result);
        done = true;
        changed.notify_all();
    }

    // True when this call stopped it; a finished or already stopped exchange is left alone.
    bool Stop(bool byCancel) {
        std::lock_guard lock(mutex);
        if (done || stopped) return false;
        stopped = true;
        cancelled = byCancel;
        changed.notify_all();
        return true;
    }
};

// The handles of one conversation, closed innermost first when it ends, on its own thread.
class OpenHandles {
public:
    OpenHandles() = default;
    OpenHandles(const OpenHandles&) = delete;
    OpenHandles& operator=(const OpenHandles&) = delete;
    ~OpenHandles() {
        for (auto it = handles_.rbegin(); it != handles_.rend(); ++it) WinHttpCloseHandle(*it);
    }

    HINTERNET Keep(HINTERNET handle) {
        if (handle) handles_.push_back(handle);
        return handle;
    }

private:
    std::vector<HINTERNET> handles_;
};

// The exchanges in flight, for CancelHttpRequests, and the count of abandoned ones. Never
// destroyed: it must outlive every thread that may still reach it while the process ends.
class InFlight {
public:
    static InFlight& Get() {
        static InFlight* const registry = new InFlight;
        return *registry;
    }

    // False when too many abandoned exchanges still run.
    bool Add(const std::shared_ptr<Exchange>& exchange) {
        std::lock_guard lock(mutex_);
        if (abandoned_ >= kMaxAbandonedHttpExchanges) return false;
        exchanges_.push_back(exchange);
        return true;
    }

    // The caller stopped waiting; a thread that still runs is now abandoned.
    void Release(const std::shared_ptr<Exchange>& exchange) {
        std::lock_guard lock(mutex_);
        std::erase(exchanges_, exchange);
        if (!exchange->threadEnded && !exchange->abandoned) {
            exchange->abandoned = true;
            ++abandoned_;
        }
    }

    void ThreadEnded(Exchange& exchange) {
        std::lock_guard lock(mutex_);
        exchange.threadEnded = true;
        if (exchange.abandoned) --abandoned_;
    }

    std::size_t StopAll() {
        std::vector<std::shared_ptr<Exchange>> live;
        {
            std::lock_guard lock(mutex_);
            for (const auto& exchange : exchanges_) {
                if (!exchange->keepOnCancel) live.push_back(exchange);
            }
        }
        std::size_t stopped = 0;
        for (const auto& exchange : live) stopped += exchange->Stop(true) ? 1 : 0;
        return stopped;
    }

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<Exchange>> exchanges_;
    std::size_t abandoned_ = 0;
};

// A failed call that gave up waiting (Wine reports the socket's own timeout).
bool WaitedTooLong() {
    constexpr DWORD kSocketTimedOut = 10060;  // WSAETIMEDOUT
    const DWORD error = GetLastError();
    return error == ERROR_WINHTTP_TIMEOUT || error == kSocketTimedOut;
}

// The WinHTTP conversation, on the exchange's own thread. Between steps it checks that the
// caller still waits, so a stopped exchange ends at its next step; a request once sent waits
// for its reply's headers until WinHTTP or the server ends that wait.
HttpReply Converse(Exchange& x) {
    HttpReply reply;
    OpenHandles open;
    const HttpTimeouts& t = x.timeouts;
    const HINTERNET session = open.Keep(WinHttpOpen(x.agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                                    WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session || !x.Live()) return reply;
    WinHttpSetTimeouts(session, t.resolveMs, t.connectMs, t.sendMs, t.receiveMs);
    const HINTERNET connection = open.Keep(WinHttpConnect(session, x.address.host.c_str(), x.address.port, 0));
    if (!connection || !x.Live()) return reply;
    const HINTERNET request = open.Keep(
        WinHttpOpenRequest(connection, x.verb.c_str(), x.target.c_str(), nullptr, WINHTTP_NO_REFERER,
                           WINHTTP_DEFAULT_ACCEPT_TYPES, x.address.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request || !x.Live()) return reply;
    DWORD disable = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);
    // Bounds the wait for the reply headers where the receive timeout does not (Wine), so a
    // thread left behind by a silent server still ends.
    DWORD headerWait = static_cast<DWORD>(t.receiveMs);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headerWait, sizeof headerWait);

    const wchar_t* headers = x.headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : x.headers.c_str();
    const DWORD headerLength = static_cast<DWORD>(x.headers.size());
    const DWORD length = static_cast<DWORD>(x.body.size());
    LPVOID data = length ? x.body.data() : WINHTTP_NO_REQUEST_DATA;
    if (!WinHttpSendRequest(request, headers, headerLength, data, length, length, 0) ||
        !WinHttpReceiveResponse(request, nullptr)) {
        if (WaitedTooLong()) reply.outcome = HttpOutcome::TimedOut;
        return reply;
    }

    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!x.Live() || !WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                          WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                                          WINHTTP_NO_HEADER_INDEX)) {
        return reply;
    }

    std::vector<char> chunk(16384);
    std::string received;
    while (true) {
        DWORD read = 0;
        if (!x.Live() || !WinHttpReadData(request, chunk.data(), static_cast<DWORD>(chunk.size()), &read)) {
            reply.outcome = WaitedTooLong() ? HttpOutcome::TimedOut : HttpOutcome::CutOff;
            return reply;
        }
        if (read == 0) break;
        if (received.size() + read > x.maxReplyBytes) {
            reply.outcome = HttpOutcome::TooLarge;  // refused whole, not cut
            return reply;
        }
        received.append(chunk.data(), read);
    }
    reply.outcome = HttpOutcome::Answered;
    reply.status = status;
    reply.body = std::move(received);
    return reply;
}

}  // namespace

std::chrono::milliseconds HttpTimeouts::Total() const {
    std::int64_t total = 0;
    for (int step : {resolveMs, connectMs, sendMs, receiveMs}) total += std::max(step, 0);
    return std::chrono::milliseconds(total);
}

std::optional<HttpAddress> CrackHttpUrl(std::wstring_view url) {
    if (url.empty() || url.size() > 2048) return std::nullopt;
    std::wstring text(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUserNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(text.c_str(), static_cast<DWORD>(text.size()), 0, &parts)) return std::nullopt;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
    if (parts.dwHostNameLength == 0 || parts.dwExtraInfoLength != 0) return std::nullopt;

    HttpAddress address;
    address.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    address.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    address.port = parts.nPort;
    if (parts.dwUrlPathLength) address.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    while (!address.path.empty() && address.path.back() == L'/') address.path.pop_back();
    address.hasUserName = parts.dwUserNameLength != 0;
    return address;
}

HttpReply SendHttpRequest(const HttpRequest& request) {
    HttpReply reply;
    const HttpTimeouts& t = request.timeouts;
    if (!request.address || request.body.size() > std::numeric_limits<DWORD>::max() ||
        request.headers.size() > std::numeric_limits<DWORD>::max() ||
        std::min({t.resolveMs, t.connectMs, t.sendMs, t.receiveMs}) <= 0) {
        return reply;
    }
    const auto deadline = std::chrono::steady_clock::now() + t.Total();
    auto exchange = std::make_shared<Exchange>();
    exchange->agent = request.userAgent;
    exchange->timeouts = t;
    exchange->address = *request.address;
    exchange->verb = request.method;
    exchange->target = request.target;
    exchange->headers = request.headers;
    exchange->body = request.body;
    exchange->maxReplyBytes = request.maxReplyBytes;
    exchange->keepOnCancel = request.keepOnCancel;

    InFlight& inFlight = InFlight::Get();
    if (!inFlight.Add(exchange)) return reply;
    try {
        std::thread([exchange] {
            HttpReply result = Converse(*exchange);  // its handles are closed when it returns
            InFlight::Get().ThreadEnded(*exchange);
            exchange->Finish(std::move(result));
        }).detach();
    } catch (...) {
        inFlight.ThreadEnded(*exchange);  // no thread: nothing was sent
        inFlight.Release(exchange);
        return reply;
    }
    {
        std::unique_lock lock(exchange->mutex);
        exchange->changed.wait_until(lock, deadline, [&] { return exchange->done || exchange->stopped; });
    }
    exchange->Stop(false);  // the deadline passed, unless it finished or was cancelled
    inFlight.Release(exchange);

    std::lock_guard lock(exchange->mutex);
    if (exchange->cancelled) {
        reply.outcome = HttpOutcome::Cancelled;
    } else if (exchange->stopped) {
        reply.outcome = HttpOutcome::TimedOut;
    } else {
        reply = std::move(exchange->reply);
    }
    return reply;
}

std::size_t CancelHttpRequests() { return InFlight::Get().StopAll(); }

}  // namespace tarvo::distribution
