#include "online/match_service.h"

#include <windows.h>
#include <winhttp.h>

#include <cctype>
#include <vector>

#include "account/http_transport.h"
#include "common/file_utils.h"
#include "common/text_utils.h"

namespace tarvo::online {
namespace {

constexpr wchar_t kUserAgent[] = L"TARV Ostrel Node/online-test";
constexpr int kTimeoutMs = 3000;
constexpr std::size_t kMaxReplyBytes = 64 * 1024;
constexpr std::size_t kMaxConfigBytes = 64 * 1024;
constexpr std::string_view kServicePrefix = "service=";

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

// Up to `count` white-space separated tokens of the text.
std::vector<std::string_view> Tokens(std::string_view text, std::size_t count) {
    std::vector<std::string_view> tokens;
    std::size_t at = 0;
    while (tokens.size() < count) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        if (at == text.size()) break;
        const std::size_t start = at;
        while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        tokens.push_back(text.substr(start, at - start));
    }
    return tokens;
}

std::string ReadConfigText() {
    std::string text = distribution::ReadUtf8File(OnlineTestConfigPath());
    if (text.size() > kMaxConfigBytes) text.clear();
    return text;
}

}  // namespace

std::filesystem::path OnlineTestConfigPath() {
    return distribution::ExecutableDirectory() / L"config" / L"online-test.cfg";
}

std::optional<OnlineTestConfig> ParseOnlineTestConfig(std::string_view text) {
    const std::vector<std::string_view> tokens = Tokens(text, 3);
    if (tokens.size() < 3) return std::nullopt;
    const std::string_view port = tokens[1];
    if (port.empty() || port.size() > 9) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    OnlineTestConfig config;
    config.host.assign(tokens[0]);
    config.port = value;
    config.joinKey.assign(tokens[2]);
    return config;
}

std::wstring MatchServiceUrlFrom(std::string_view text) {
    const std::vector<std::string_view> tokens = Tokens(text, 16);
    for (std::size_t i = 3; i < tokens.size(); ++i) {
        if (tokens[i].rfind(kServicePrefix, 0) != 0) continue;
        const std::wstring url = distribution::Utf8ToWide(tokens[i].substr(kServicePrefix.size()));
        if (account::ParseServiceUrl(url)) return url;
    }
    return std::wstring(kDefaultMatchServiceUrl);
}

std::wstring ConfiguredMatchServiceUrl() { return MatchServiceUrlFrom(ReadConfigText()); }

ServiceReply MatchServiceRequest(const std::wstring& serviceUrl, std::wstring_view method, std::wstring_view path,
                                 std::string_view body) {
    ServiceReply reply;
    const std::optional<account::ServiceUrl> url = account::ParseServiceUrl(serviceUrl);
    if (!url || body.size() > kMaxReplyBytes) return reply;

    InternetHandle session(
        WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return reply;
    WinHttpSetTimeouts(session.get(), kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs);
    InternetHandle connection(WinHttpConnect(session.get(), url->host.c_str(), url->port, 0));
    if (!connection) return reply;
    const std::wstring verb(method);
    const std::wstring target = url->basePath + std::wstring(path);
    InternetHandle request(WinHttpOpenRequest(connection.get(), verb.c_str(), target.c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              url->secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return reply;
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);

    const wchar_t* headers = body.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS
                                          : L"Content-Type: application/json; charset=utf-8\r\n";
    const DWORD headerLength = body.empty() ? 0 : static_cast<DWORD>(-1L);
    LPVOID data = body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(body.data());
    const DWORD length = static_cast<DWORD>(body.size());
    if (!WinHttpSendRequest(request.get(), headers, headerLength, data, length, length, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr)) {
        return reply;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        return reply;
    }
    std::string received;
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request.get(), &available)) return reply;
        if (available == 0) break;
        if (received.size() + available > kMaxReplyBytes) return reply;  // refused whole, not cut
        const std::size_t at = received.size();
        received.resize(at + available);
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), received.data() + at, available, &read)) return reply;
        received.resize(at + read);
    }
    reply.answered = true;
    reply.status = status;
    reply.body = std::move(received);
    return reply;
}

std::string FetchMatchStatus(const std::wstring& serviceUrl) {
    ServiceReply reply = MatchServiceRequest(serviceUrl, L"GET", kMatchStatusPath, {});
    return reply.answered ? std::move(reply.body) : std::string();
}

}  // namespace tarvo::online
