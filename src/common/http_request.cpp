#include "common/http_request.h"

#include <windows.h>
#include <winhttp.h>

#include <limits>
#include <vector>

namespace tarvo::distribution {
namespace {

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_) WinHttpCloseHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

}  // namespace

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
    if (!request.address || request.body.size() > std::numeric_limits<DWORD>::max() ||
        request.headers.size() > std::numeric_limits<DWORD>::max()) {
        return reply;
    }
    const HttpAddress& address = *request.address;

    const std::wstring agent(request.userAgent);
    InternetHandle session(WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return reply;
    const HttpTimeouts& t = request.timeouts;
    WinHttpSetTimeouts(session.get(), t.resolveMs, t.connectMs, t.sendMs, t.receiveMs);
    InternetHandle connection(WinHttpConnect(session.get(), address.host.c_str(), address.port, 0));
    if (!connection) return reply;

    const std::wstring verb(request.method);
    const std::wstring target(request.target);
    InternetHandle handle(WinHttpOpenRequest(connection.get(), verb.c_str(), target.c_str(), nullptr,
                                             WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                             address.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!handle) return reply;
    DWORD disable = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(handle.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);

    const wchar_t* headers = request.headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : request.headers.data();
    const DWORD headerLength = static_cast<DWORD>(request.headers.size());
    const DWORD length = static_cast<DWORD>(request.body.size());
    LPVOID data = length ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA;
    if (!WinHttpSendRequest(handle.get(), headers, headerLength, data, length, length, 0) ||
        !WinHttpReceiveResponse(handle.get(), nullptr)) {
        return reply;
    }

    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!WinHttpQueryHeaders(handle.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
        return reply;
    }

    std::vector<char> chunk(16384);
    std::string received;
    while (true) {
        DWORD read = 0;
        if (!WinHttpReadData(handle.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read)) {
            reply.outcome = HttpOutcome::CutOff;
            return reply;
        }
        if (read == 0) break;
        if (received.size() + read > request.maxReplyBytes) {
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

}  // namespace tarvo::distribution
