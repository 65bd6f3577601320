#pragma once
// Tester metrics: the figures the test programme's metrics endpoint reports, fetched
// by the owner console's "metrics.refresh".
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo::distribution {

inline constexpr std::wstring_view kTestMetricsUrl = L"https://metrics.tarvonix.net/api/test-metrics";

struct TestMetricsSnapshot {
    bool valid = false;               // filled by a successful fetch
    std::uint64_t testers = 0;        // registered testers
    std::uint64_t activeTesters = 0;  // seen in the last 24 hours
    std::uint64_t sessions = 0;       // game sessions started
    std::uint64_t matches = 0;        // matches played
    std::uint64_t downloads = 0;      // completed package downloads
    std::uint64_t crashReports = 0;
    std::uint64_t coinsSpent = 0;  // match coins spent in the arsenal
    std::wstring buildVersion;     // the build the testers run
    std::wstring reportedAt;       // the service's time stamp, as sent
};

// GET of the metrics endpoint (kTestMetricsUrl, or `url`). On success the snapshot is
// replaced whole; on failure it is left as it was and `error` says why.
bool FetchTestMetrics(TestMetricsSnapshot& snapshot, std::wstring& error);
bool FetchTestMetrics(std::wstring_view url, TestMetricsSnapshot& snapshot, std::wstring& error);

// The reply body: one JSON object with the numeric members "testers", "activeTesters",
// "sessions", "matches", "downloads", "crashReports", "coinsSpent" and the string
// members "buildVersion", "reportedAt". "testers" is required; the others default to
// 0 or empty. Same success and failure rules as the fetch.
bool ParseTestMetrics(std::string_view json, TestMetricsSnapshot& snapshot, std::wstring& error);

}  // namespace tarvo::distribution
