#include "release_control/web_request.h"

#include <windows.h>
#include <winhttp.h>

#include <limits>
#include <vector>

namespace tarvo::release_control {

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

constexpr wchar_t kUserAgent[] = L"TARV Ostrel Node/0.0.03.5";

}  // namespace

std::optional<WebAddress> ParseWebAddress(std::wstring_view url) {
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
    if (parts.dwHostNameLength == 0 || parts.dwUserNameLength != 0 || parts.dwExtraInfoLength != 0) {
        return std::nullopt;
    }
    WebAddress address;
    address.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    address.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    address.port = parts.nPort;
    if (parts.dwUrlPathLength) address.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    while (!address.path.empty() && address.path.back() == L'/') address.path.pop_back();
    return address;
}

HttpResult SendWebRequest(std::wstring_view baseUrl, std::wstring_view method, std::wstring_view path,
                          std::string_view body) {
    HttpResult result;
    const auto address = ParseWebAddress(baseUrl);
    if (!address) {
        result.message = L"The service address is not a valid http or https URL.";
        return result;
    }
    result.message = L"The service could not be reached at " + address->host + L".";
    if (body.size() > std::numeric_limits<DWORD>::max()) return result;

    InternetHandle session(
        WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return result;
    WinHttpSetTimeouts(session.get(), kRequestTimeoutMs, kRequestTimeoutMs, kRequestTimeoutMs, kRequestTimeoutMs);
    InternetHandle connection(
        WinHttpConnect(session.get(), address->host.c_str(), static_cast<INTERNET_PORT>(address->port), 0));
    if (!connection) return result;

    const std::wstring target = address->path + std::wstring(path);
    const std::wstring verb(method);
    InternetHandle request(WinHttpOpenRequest(connection.get(), verb.c_str(), target.c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              address->secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return result;
    // A redirect would hand a signed command, and the secrets in it, to another address.
    DWORD disable = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);

    std::wstring headers = L"Accept: application/json\r\n";
    if (!body.empty()) headers += L"Content-Type: application/json; charset=utf-8\r\n";
    const DWORD length = static_cast<DWORD>(body.size());
    const BOOL sent =
        WinHttpSendRequest(request.get(), headers.c_str(), static_cast<DWORD>(-1),
                           length ? const_cast<char*>(body.data()) : WINHTTP_NO_REQUEST_DATA, length, length, 0);
    if (!sent || !WinHttpReceiveResponse(request.get(), nullptr)) return result;

    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
        return result;
    }
    std::vector<char> chunk(16384);
    std::string reply;
    while (true) {
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read)) {
            result.message = L"The service's reply was cut off.";
            return result;
        }
        if (read == 0) break;
        if (reply.size() + read > kMaxReplyBytes) {
            result.message = L"The service's reply is too large.";
            return result;
        }
        reply.append(chunk.data(), read);
    }
    result.sent = true;
    result.status = status;
    result.body = std::move(reply);
    result.message = L"HTTP " + std::to_wstring(status);
    return result;
}

}  // namespace tarvo::release_control
