#include "distribution/test_metrics.h"

#include "account/json_reader.h"
#include "common/text_utils.h"
#include "release_control/web_request.h"

namespace tarvo::distribution {

namespace {

constexpr std::size_t kMaxTextUnits = 64;

std::uint64_t Figure(std::string_view json, std::string_view key) {
    return account::JsonMemberUnsigned(json, key).value_or(0);
}

// A short display text; absent, invalid or overlong texts give "".
std::wstring ShortText(std::string_view json, std::string_view key) {
    std::wstring text = account::JsonMemberText(json, key).value_or(std::wstring());
    if (text.size() > kMaxTextUnits) return {};
    return text;
}

}  // namespace

bool ParseTestMetrics(std::string_view json, TestMetricsSnapshot& snapshot, std::wstring& error) {
    if (!account::IsJsonObject(json)) {
        error = L"The tester metrics reply is not a JSON object.";
        return false;
    }
    if (!account::JsonMemberUnsigned(json, "testers")) {
        error = L"The tester metrics reply has no tester count.";
        return false;
    }
    TestMetricsSnapshot parsed;
    parsed.valid = true;
    parsed.testers = Figure(json, "testers");
    parsed.activeTesters = Figure(json, "activeTesters");
    parsed.sessions = Figure(json, "sessions");
    parsed.matches = Figure(json, "matches");
    parsed.downloads = Figure(json, "downloads");
    parsed.crashReports = Figure(json, "crashReports");
    parsed.coinsSpent = Figure(json, "coinsSpent");
    parsed.buildVersion = ShortText(json, "buildVersion");
    parsed.reportedAt = ShortText(json, "reportedAt");
    snapshot = std::move(parsed);
    return true;
}

bool FetchTestMetrics(TestMetricsSnapshot& snapshot, std::wstring& error) {
    return FetchTestMetrics(kTestMetricsUrl, snapshot, error);
}

bool FetchTestMetrics(std::wstring_view url, TestMetricsSnapshot& snapshot, std::wstring& error) {
    const release_control::HttpResult reply = release_control::SendWebRequest(url, L"GET", L"", {});
    if (!reply.sent) {
        error = reply.message;
        return false;
    }
    if (reply.status < 200 || reply.status >= 300) {
        error = L"The tester metrics service answered HTTP " + std::to_wstring(reply.status) + L".";
        return false;
    }
    return ParseTestMetrics(reply.body, snapshot, error);
}

}  // namespace tarvo::distribution
