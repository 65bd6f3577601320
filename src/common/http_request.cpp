#include "common/http_request.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tarvo::distribution {
namespace {

using Clock = std::chrono::steady_clock;

// One exchange. The calling thread alone calls WinHTTP on its handles; the status callback only
// records what finished and wakes it. WinHTTP may still write into `buffer` and call back after
// the handles are closed, so the callback holds its own reference until the request handle's
// last notification (HANDLE_CLOSING).
struct Exchange {
    std::wstring headers;  // may carry a bearer token; kept until the send completes
    std::string body;      // may carry a password; WinHTTP reads it until the send completes
    std::vector<char> buffer = std::vector<char>(16384);
    bool keepOnCancel = false;

    std::mutex mutex;
    std::condition_variable changed;
    bool completed = false;  // the pending call finished
    bool failed = false;
    DWORD failedCall = 0;    // API_* of a failed call
    DWORD error = 0;
    DWORD count = 0;         // bytes read, or bytes ready to be read
    bool finished = false;   // the caller no longer waits
    bool cancelled = false;

    // Kept by the registry's lock.
    bool handleClosed = false;
    bool lingering = false;

    ~Exchange() {
        SecureZeroMemory(headers.data(), headers.size() * sizeof(wchar_t));
        SecureZeroMemory(body.data(), body.size());
    }

    // True when this call stopped it; a finished or already stopped exchange is left alone.
    bool Cancel() {
        std::lock_guard lock(mutex);
        if (finished || cancelled) return false;
        cancelled = true;
        changed.notify_all();
        return true;
    }
};

// The exchanges whose callers wait, for CancelHttpRequests, and the count of those whose
// request WinHTTP still holds after their caller returned. Never destroyed: WinHTTP may call
// back while the process ends.
class InFlight {
public:
    static InFlight& Get() {
        static InFlight* const registry = new InFlight;
        return *registry;
    }

    // False when too many closed exchanges still linger.
    bool Add(const std::shared_ptr<Exchange>& exchange) {
        std::lock_guard lock(mutex_);
        if (lingering_ >= kMaxLingeringHttpExchanges) return false;
        exchanges_.push_back(exchange);
        return true;
    }

    // The caller returns; an exchange whose request has not closed yet now lingers.
    void Release(const std::shared_ptr<Exchange>& exchange) {
        std::lock_guard lock(mutex_);
        std::erase(exchanges_, exchange);
        if (!exchange->handleClosed) {
            exchange->lingering = true;
            ++lingering_;
        }
    }

    void HandleClosed(Exchange& exchange) {
        std::lock_guard lock(mutex_);
        exchange.handleClosed = true;
        if (exchange.lingering) --lingering_;
        exchange.lingering = false;
    }

    std::size_t CancelAll() {
        std::vector<std::shared_ptr<Exchange>> live;
        {
            std::lock_guard lock(mutex_);
            for (const auto& exchange : exchanges_) {
                if (!exchange->keepOnCancel) live.push_back(exchange);
            }
        }
        std::size_t stopped = 0;
        for (const auto& exchange : live) stopped += exchange->Cancel() ? 1 : 0;
        return stopped;
    }

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<Exchange>> exchanges_;
    std::size_t lingering_ = 0;
};

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD length) {
    if (!context) return;  // the session and connection handles, or before the request was set up
    auto* const reference = reinterpret_cast<std::shared_ptr<Exchange>*>(context);
    Exchange& x = **reference;
    if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING) {
        const std::unique_ptr<std::shared_ptr<Exchange>> last(reference);  // no callback comes after this one
        InFlight::Get().HandleClosed(x);
        return;
    }
    std::lock_guard lock(x.mutex);
    switch (status) {
        case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
        case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE: x.completed = true; break;
        case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
            x.completed = true;
            x.count = length;
            break;
        case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
            x.completed = true;
            x.count = *static_cast<const DWORD*>(info);
            break;
        case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR: {
            const auto* result = static_cast<const WINHTTP_ASYNC_RESULT*>(info);
            x.completed = x.failed = true;
            x.failedCall = static_cast<DWORD>(result->dwResult);
            x.error = result->dwError;
            break;
        }
        default: return;
    }
    x.changed.notify_all();
}

// A call that gave up waiting (Wine reports the socket's own timeout).
bool WaitedTooLong(DWORD error) {
    constexpr DWORD kSocketTimedOut = 10060;  // WSAETIMEDOUT
    return error == ERROR_WINHTTP_TIMEOUT || error == kSocketTimedOut;
}

enum class Step { Done, Failed, Late, Cancelled };

constexpr DWORD kMostEverBuffered = 0x7FFFFFFF;  // bytes WinHTTP could hold ready to be read

// The handles of one conversation, closed innermost first when it ends. A request that did not
// end normally gets the shortest timeouts first: under Wine closing it does not stop a receive
// in progress, and the next receive then gives up at once.
class Conversation {
public:
    Conversation(std::shared_ptr<Exchange> exchange, const HttpTimeouts& timeouts, Clock::time_point deadline)
        : x_(std::move(exchange)), t_(timeouts), deadline_(deadline) {}
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;
    ~Conversation() {
        if (request_) {
            if (!ended_) LimitReceive(1);
            WinHttpCloseHandle(request_);
        }
        if (connection_) WinHttpCloseHandle(connection_);
        if (session_) WinHttpCloseHandle(session_);
    }

    bool Open(const std::wstring& agent, const HttpAddress& address, const std::wstring& verb,
              const std::wstring& target) {
        session_ = WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
        if (!session_) return false;
        WinHttpSetTimeouts(session_, t_.resolveMs, t_.connectMs, t_.sendMs, t_.receiveMs);
        constexpr DWORD kNotifications = WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES;
        if (WinHttpSetStatusCallback(session_, OnStatus, kNotifications, 0) == WINHTTP_INVALID_STATUS_CALLBACK) {
            return false;
        }
        connection_ = WinHttpConnect(session_, address.host.c_str(), address.port, 0);
        if (!connection_) return false;
        // HTTP/1.0, so that no reply comes in chunks: WinHTTP under Wine takes a chunked body whose
        // last chunk never came for a whole one, and no call tells the two apart.
        request_ = WinHttpOpenRequest(connection_, verb.c_str(), target.c_str(), L"HTTP/1.0", WINHTTP_NO_REFERER,
                                      WINHTTP_DEFAULT_ACCEPT_TYPES, address.secure ? WINHTTP_FLAG_SECURE : 0);
        if (!request_) return false;
        auto reference = std::make_unique<std::shared_ptr<Exchange>>(x_);
        auto context = reinterpret_cast<DWORD_PTR>(reference.get());
        if (!WinHttpSetOption(request_, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context)) return false;
        reference.release();  // the callback's from now on
        DWORD disable = WINHTTP_DISABLE_REDIRECTS;
        WinHttpSetOption(request_, WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);
        DWORD headerWait = static_cast<DWORD>(t_.receiveMs);
        WinHttpSetOption(request_, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headerWait, sizeof headerWait);
        return true;
    }

    HINTERNET Request() const { return request_; }

    // Starts one asynchronous call (`start` returns false when it failed at once) and waits for
    // its completion, the deadline or a cancel. In the last receive timeout before the deadline
    // every receive WinHTTP starts gets only what is left, so none runs on past the deadline.
    template <typename Start>
    Step Await(Start start) {
        {
            std::lock_guard lock(x_->mutex);
            x_->completed = x_->failed = false;
            x_->error = x_->count = 0;
        }
        if (!start()) {
            std::lock_guard lock(x_->mutex);
            x_->failed = true;
            x_->error = GetLastError();
            return Step::Failed;
        }
        constexpr auto kLook = std::chrono::milliseconds(250);
        std::unique_lock lock(x_->mutex);
        while (!x_->completed && !x_->cancelled) {
            const auto now = Clock::now();
            if (now >= deadline_) break;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline_ - now).count();
            if (left < t_.receiveMs && left < receiveNow_) {
                receiveNow_ = static_cast<int>(left);
                lock.unlock();
                LimitReceive(receiveNow_);
                lock.lock();
                continue;
            }
            x_->changed.wait_until(lock, std::min(deadline_, now + kLook));
        }
        if (x_->cancelled) return Step::Cancelled;
        if (Clock::now() >= deadline_) return Step::Late;  // also a receive cut short by the deadline
        return x_->failed ? Step::Failed : Step::Done;
    }

    // The error of the last failed call.
    DWORD Error() const {
        std::lock_guard lock(x_->mutex);
        return x_->error;
    }
    // Bytes the last read delivered, or the last query found ready.
    DWORD Count() const {
        std::lock_guard lock(x_->mutex);
        return x_->count;
    }

    void Ended() { ended_ = true; }

private:
    // Bounds the receives WinHTTP starts from now on, the one for the reply headers included.
    void LimitReceive(int ms) {
        WinHttpSetTimeouts(request_, t_.resolveMs, t_.connectMs, t_.sendMs, ms);
        auto headerWait = static_cast<DWORD>(ms);
        WinHttpSetOption(request_, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headerWait, sizeof headerWait);
    }

    std::shared_ptr<Exchange> x_;
    HttpTimeouts t_;
    Clock::time_point deadline_;
    int receiveNow_ = std::numeric_limits<int>::max();
    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
    bool ended_ = false;
};

HttpOutcome Stopped(Step step) { return step == Step::Cancelled ? HttpOutcome::Cancelled : HttpOutcome::TimedOut; }

// The reply header as text, empty when absent and "?" when too long for a number.
std::wstring QueryText(HINTERNET request, DWORD query) {
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, text, &size, WINHTTP_NO_HEADER_INDEX)) {
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? L"?" : L"";
    }
    return std::wstring(text, size / sizeof(wchar_t));
}

// The declared body length, a number that may pass 4 GB.
std::optional<std::uint64_t> DeclaredLength(HINTERNET request) {
    const std::wstring text = QueryText(request, WINHTTP_QUERY_CONTENT_LENGTH);
    if (text.empty() || text.size() > 19) return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return value;
}

HttpReply Converse(const std::shared_ptr<Exchange>& x, const HttpRequest& r, Clock::time_point deadline) {
    HttpReply reply;
    Conversation talk(x, r.timeouts, deadline);
    if (!talk.Open(std::wstring(r.userAgent), *r.address, std::wstring(r.method), std::wstring(r.target))) {
        return reply;
    }
    const HINTERNET request = talk.Request();
    const wchar_t* headers = x->headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : x->headers.c_str();
    const auto headerLength = static_cast<DWORD>(x->headers.size());
    const auto length = static_cast<DWORD>(x->body.size());
    LPVOID data = length ? x->body.data() : WINHTTP_NO_REQUEST_DATA;
    Step step = talk.Await([&] { return WinHttpSendRequest(request, headers, headerLength, data, length, length, 0); });
    if (step == Step::Done) step = talk.Await([&] { return WinHttpReceiveResponse(request, nullptr); });
    if (step != Step::Done) {
        if (step == Step::Failed && WaitedTooLong(talk.Error())) step = Step::Late;
        if (step != Step::Failed) reply.outcome = Stopped(step);
        return reply;
    }

    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
        return reply;
    }
    const bool bodyless = status == 204 || status == 304 || r.method == L"HEAD";
    if (!bodyless && !QueryText(request, WINHTTP_QUERY_TRANSFER_ENCODING).empty()) {
        reply.outcome = HttpOutcome::CutOff;  // chunks to an HTTP/1.0 request: whether the last came cannot be told
        return reply;
    }
    const std::optional<std::uint64_t> declared = bodyless ? std::nullopt : DeclaredLength(request);

    // Only what is ready is read: under Wine a read of more than is buffered runs on this thread
    // and waits in the socket until its buffer is full, out of the deadline's reach. A query with
    // nothing ready waits on WinHTTP's own thread, where the deadline and a cancel reach it.
    std::string received;
    while (true) {
        step = talk.Await([&] { return WinHttpQueryDataAvailable(request, nullptr); });
        if (step == Step::Done) {
            // WinHTTP under Wine takes the header lines read so far for all of them when a receive
            // fails between two of them, and its count of buffered bytes wraps below zero: a read
            // would copy from past its buffer.
            if (talk.Count() > kMostEverBuffered) {
                reply.outcome = HttpOutcome::CutOff;
                return reply;
            }
            const DWORD ready = std::min(talk.Count(), static_cast<DWORD>(x->buffer.size()));
            if (ready == 0) break;  // the end of the body
            step = talk.Await([&] { return WinHttpReadData(request, x->buffer.data(), ready, nullptr); });
        }
        if (step == Step::Failed) {
            reply.outcome = WaitedTooLong(talk.Error()) ? HttpOutcome::TimedOut : HttpOutcome::CutOff;
            return reply;
        }
        if (step != Step::Done) {
            reply.outcome = Stopped(step);
            return reply;
        }
        const DWORD read = talk.Count();
        if (read == 0) break;
        if (received.size() + read > r.maxReplyBytes) {
            reply.outcome = HttpOutcome::TooLarge;  // refused whole, not cut
            return reply;
        }
        received.append(x->buffer.data(), read);
    }
    talk.Ended();
    if (declared && received.size() < *declared) {
        reply.outcome = HttpOutcome::CutOff;  // the connection closed early: WinHTTP reads that as the end
        return reply;
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
    reply.outcome = HttpOutcome::Refused;
    const HttpTimeouts& t = request.timeouts;
    if (!request.address || request.body.size() > std::numeric_limits<DWORD>::max() ||
        request.headers.size() > std::numeric_limits<DWORD>::max() ||
        std::min({t.resolveMs, t.connectMs, t.sendMs, t.receiveMs}) <= 0) {
        return reply;
    }
    const auto deadline = Clock::now() + t.Total();
    auto exchange = std::make_shared<Exchange>();
    exchange->headers = request.headers;
    exchange->body = request.body;
    exchange->keepOnCancel = request.keepOnCancel;

    InFlight& inFlight = InFlight::Get();
    if (!inFlight.Add(exchange)) return reply;
    try {
        reply = Converse(exchange, request, deadline);  // its handles are closed when it returns
    } catch (...) {
        reply = HttpReply{};
    }
    {
        std::lock_guard lock(exchange->mutex);
        exchange->finished = true;
    }
    inFlight.Release(exchange);
    return reply;
}

std::size_t CancelHttpRequests() { return InFlight::Get().CancelAll(); }

}  // namespace tarvo::distribution
