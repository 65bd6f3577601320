#include "account/http_transport.h"

#include <windows.h>
#include <winhttp.h>

#include <limits>
#include <vector>

namespace tarvo::account {
namespace {

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle = nullptr) : handle_(handle) {}
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

constexpr wchar_t kUserAgent[] = L"TarvonixVolley/0.0.03.5";
constexpr wchar_t kUnreachable[] = L"The account service could not be reached.";

}  // namespace

std::optional<ServiceUrl> ParseServiceUrl(std::wstring_view url) {
    if (url.empty() || url.size() > 2048) return std::nullopt;
    std::wstring text(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(text.c_str(), static_cast<DWORD>(text.size()), 0, &parts)) return std::nullopt;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;
    if (parts.dwHostNameLength == 0 || parts.dwExtraInfoLength != 0) return std::nullopt;

    ServiceUrl result;
    result.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    result.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    result.port = parts.nPort;
    if (parts.dwUrlPathLength) result.basePath.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    while (!result.basePath.empty() && result.basePath.back() == L'/') result.basePath.pop_back();
    return result;
}

HttpExchange PerformRequest(const ServiceUrl& url, std::wstring_view method, std::wstring_view relativePath,
                            std::wstring_view bearer, std::string_view body) {
    HttpExchange exchange;
    exchange.failure = kUnreachable;
    if (body.size() > std::numeric_limits<DWORD>::max()) return exchange;

    InternetHandle session(
        WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return exchange;
    WinHttpSetTimeouts(session.get(), 10000, 10000, 20000, 20000);
    InternetHandle connection(WinHttpConnect(session.get(), url.host.c_str(), url.port, 0));
    if (!connection) return exchange;

    std::wstring path = url.basePath + L"/" + std::wstring(relativePath);
    std::wstring verb(method);
    InternetHandle request(WinHttpOpenRequest(connection.get(), verb.c_str(), path.c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              url.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return exchange;
    // A redirect would carry the credentials of the body to another address.
    DWORD disable = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);

    std::wstring headers = L"Accept: application/json\r\n";
    if (verb != L"GET") headers += L"Content-Type: application/json; charset=utf-8\r\n";
    if (!bearer.empty()) headers += L"Authorization: Bearer " + std::wstring(bearer) + L"\r\n";
    const DWORD length = static_cast<DWORD>(body.size());
    BOOL sent = WinHttpSendRequest(request.get(), headers.c_str(), static_cast<DWORD>(-1),
                                   length ? const_cast<char*>(body.data()) : WINHTTP_NO_REQUEST_DATA, length, length,
                                   0);
    SecureZeroMemory(headers.data(), headers.size() * sizeof(wchar_t));
    if (!sent || !WinHttpReceiveResponse(request.get(), nullptr)) return exchange;

    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
        return exchange;
    }

    std::vector<char> chunk(16384);
    while (true) {
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read)) {
            exchange.failure = L"The account service reply was cut off.";
            exchange.body.clear();
            return exchange;
        }
        if (read == 0) break;
        if (exchange.body.size() + read > kMaxReplyBytes) {
            exchange.failure = L"The account service reply is too large.";
            exchange.body.clear();
            return exchange;
        }
        exchange.body.append(chunk.data(), read);
    }
    exchange.answered = true;
    exchange.status = status;
    exchange.failure.clear();
    return exchange;
}

}  // namespace tarvo::account
