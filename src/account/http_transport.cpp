#include "account/http_transport.h"

#include <windows.h>

#include "common/http_request.h"

namespace tarvo::account {
namespace {

constexpr wchar_t kUserAgent[] = L"TarvonixVolley/0.0.03.5";

}  // namespace

std::optional<ServiceUrl> ParseServiceUrl(std::wstring_view url) {
    const std::optional<distribution::HttpAddress> address = distribution::CrackHttpUrl(url);
    if (!address) return std::nullopt;
    ServiceUrl result;
    result.secure = address->secure;
    result.host = address->host;
    result.port = address->port;
    result.basePath = address->path;
    return result;
}

HttpExchange PerformRequest(const ServiceUrl& url, std::wstring_view method, std::wstring_view relativePath,
                            std::wstring_view bearer, std::string_view body, bool mustFinish) {
    const std::wstring verb(method);
    std::wstring headers = L"Accept: application/json\r\n";
    if (verb != L"GET") headers += L"Content-Type: application/json; charset=utf-8\r\n";
    if (!bearer.empty()) headers += L"Authorization: Bearer " + std::wstring(bearer) + L"\r\n";

    distribution::HttpAddress address;
    address.secure = url.secure;
    address.host = url.host;
    address.port = url.port;
    const std::wstring path = url.basePath + L"/" + std::wstring(relativePath);
    distribution::HttpRequest request;
    request.userAgent = kUserAgent;
    request.timeouts = {10000, 10000, 20000, 20000};  // 60 s for the whole exchange
    request.address = &address;
    request.method = verb;
    request.target = path;
    request.headers = headers;
    request.body = body;
    request.maxReplyBytes = kMaxReplyBytes;
    request.keepOnCancel = mustFinish;
    distribution::HttpReply reply = distribution::SendHttpRequest(request);
    SecureZeroMemory(headers.data(), headers.size() * sizeof(wchar_t));

    HttpExchange exchange;
    switch (reply.outcome) {
        case distribution::HttpOutcome::Refused: exchange.failure = AccountFailure::NotSent; break;
        case distribution::HttpOutcome::Unreachable: exchange.failure = AccountFailure::Unreachable; break;
        case distribution::HttpOutcome::CutOff: exchange.failure = AccountFailure::CutOff; break;
        case distribution::HttpOutcome::TooLarge: exchange.failure = AccountFailure::TooLarge; break;
        case distribution::HttpOutcome::TimedOut: exchange.failure = AccountFailure::TimedOut; break;
        case distribution::HttpOutcome::Cancelled: exchange.failure = AccountFailure::Cancelled; break;
        case distribution::HttpOutcome::Answered:
            exchange.answered = true;
            exchange.status = reply.status;
            exchange.body = std::move(reply.body);
            break;
    }
    return exchange;
}

}  // namespace tarvo::account
