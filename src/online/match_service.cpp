#include "online/match_service.h"

#include <cctype>
#include <vector>

#include "common/file_utils.h"
#include "common/http_request.h"
#include "common/text_utils.h"

namespace tarvo::online {
namespace {

constexpr wchar_t kUserAgent[] = L"TARV Ostrel Node/online-test";
constexpr int kTimeoutMs = 3000;
constexpr std::size_t kMaxReplyBytes = 64 * 1024;
constexpr std::size_t kMaxConfigBytes = 64 * 1024;
constexpr std::string_view kServicePrefix = "service=";

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

}  // namespace

std::string ReadOnlineTestConfig(const std::filesystem::path& file) {
    return distribution::ReadUtf8File(file, kMaxConfigBytes);
}

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
        if (distribution::CrackHttpUrl(url)) return url;
    }
    return std::wstring(kDefaultMatchServiceUrl);
}

std::wstring ConfiguredMatchServiceUrl() { return MatchServiceUrlFrom(ReadOnlineTestConfig(OnlineTestConfigPath())); }

ServiceReply MatchServiceRequest(const std::wstring& serviceUrl, std::wstring_view method, std::wstring_view path,
                                 std::string_view body) {
    ServiceReply reply;
    const std::optional<distribution::HttpAddress> address = distribution::CrackHttpUrl(serviceUrl);
    if (!address || body.size() > kMaxReplyBytes) return reply;

    const std::wstring target = address->path + std::wstring(path);
    distribution::HttpRequest request;
    request.userAgent = kUserAgent;
    request.timeouts = {kTimeoutMs, kTimeoutMs, kTimeoutMs, kTimeoutMs};
    request.address = &*address;
    request.method = method;
    request.target = target;
    if (!body.empty()) request.headers = L"Content-Type: application/json; charset=utf-8\r\n";
    request.body = body;
    request.maxReplyBytes = kMaxReplyBytes;
    distribution::HttpReply answer = distribution::SendHttpRequest(request);
    if (answer.outcome != distribution::HttpOutcome::Answered) return reply;
    reply.answered = true;
    reply.status = answer.status;
    reply.body = std::move(answer.body);
    return reply;
}

std::string FetchMatchStatus(const std::wstring& serviceUrl) {
    ServiceReply reply = MatchServiceRequest(serviceUrl, L"GET", kMatchStatusPath, {});
    return reply.answered ? std::move(reply.body) : std::string();
}

}  // namespace tarvo::online
