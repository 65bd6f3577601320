#include "release_control/web_request.h"

#include "common/http_request.h"

namespace tarvo::release_control {

namespace {

constexpr wchar_t kUserAgent[] = L"TARV Ostrel Node/0.0.03.5";

}  // namespace

std::optional<WebAddress> ParseWebAddress(std::wstring_view url) {
    const std::optional<distribution::HttpAddress> cracked = distribution::CrackHttpUrl(url);
    if (!cracked || cracked->hasUserName) return std::nullopt;
    WebAddress address;
    address.secure = cracked->secure;
    address.host = cracked->host;
    address.port = cracked->port;
    address.path = cracked->path;
    return address;
}

HttpResult SendWebRequest(std::wstring_view baseUrl, std::wstring_view method, std::wstring_view path,
                          std::string_view body) {
    HttpResult result;
    const std::optional<distribution::HttpAddress> address = distribution::CrackHttpUrl(baseUrl);
    if (!address || address->hasUserName) {
        result.message = L"The service address is not a valid http or https URL.";
        return result;
    }

    std::wstring headers = L"Accept: application/json\r\n";
    if (!body.empty()) headers += L"Content-Type: application/json; charset=utf-8\r\n";
    const std::wstring target = address->path + std::wstring(path);
    distribution::HttpRequest request;
    request.userAgent = kUserAgent;
    request.timeouts = {kRequestTimeoutMs, kRequestTimeoutMs, kRequestTimeoutMs, kRequestTimeoutMs};
    request.address = &*address;
    request.method = method;
    request.target = target;
    request.headers = headers;
    request.body = body;
    request.maxReplyBytes = kMaxReplyBytes;
    distribution::HttpReply reply = distribution::SendHttpRequest(request);

    switch (reply.outcome) {
        case distribution::HttpOutcome::Refused:
            result.message = L"The request was not sent: earlier ones are still closing. Try again shortly.";
            break;
        case distribution::HttpOutcome::Unreachable:
            result.message = L"The service could not be reached at " + address->host + L".";
            break;
        case distribution::HttpOutcome::CutOff: result.message = L"The service's reply was cut off."; break;
        case distribution::HttpOutcome::TooLarge: result.message = L"The service's reply is too large."; break;
        case distribution::HttpOutcome::TimedOut: result.message = L"The service did not answer in time."; break;
        case distribution::HttpOutcome::Cancelled: result.message = L"The request was cancelled."; break;
        case distribution::HttpOutcome::Answered:
            result.sent = true;
            result.status = reply.status;
            result.body = std::move(reply.body);
            result.message = L"HTTP " + std::to_wstring(reply.status);
            break;
    }
    return result;
}

}  // namespace tarvo::release_control
