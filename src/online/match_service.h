#pragma once
// The online test's settings file and the match service's HTTPS endpoints (status
// and match profile). The settings file "online-test.cfg" in the "config" folder
// beside the executable holds white-space separated tokens: the match server's
// numeric IPv4 host, its port and the join key, optionally followed by
// "service=<base URL>" naming the match service.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::online {

inline constexpr std::wstring_view kDefaultMatchServiceUrl = L"https://match.tarvonix.net";
inline constexpr std::wstring_view kMatchStatusPath = L"/api/matches/status.php";
inline constexpr std::wstring_view kMatchProfilePath = L"/api/matches/profile.php";
inline constexpr std::size_t kMinJoinKeyLength = 24;

struct OnlineTestConfig {
    std::string host;
    std::uint32_t port = 0;
    std::string joinKey;
};

// ExecutableDirectory()/config/online-test.cfg.
std::filesystem::path OnlineTestConfigPath();

// The settings file's text; empty when it cannot be read or holds more than 64 KiB.
std::string ReadOnlineTestConfig(const std::filesystem::path& file);

// The first three tokens of the file: host, port (decimal digits) and join key.
// Nothing when a token is missing or the port is not a number; the caller checks
// the port range and the key length.
std::optional<OnlineTestConfig> ParseOnlineTestConfig(std::string_view text);

// The "service=" token after the first three, else the default service.
std::wstring MatchServiceUrlFrom(std::string_view text);
// The same read from OnlineTestConfigPath().
std::wstring ConfiguredMatchServiceUrl();

struct ServiceReply {
    bool answered = false;
    std::uint32_t status = 0;
    std::string body;
};

// One blocking request to the match service: user agent "TARV Ostrel Node/online-test",
// 3000 ms for each of resolve, connect, send and receive and 12 s for the whole exchange,
// replies above 64 KiB refused. A non-empty body is sent as JSON.
ServiceReply MatchServiceRequest(const std::wstring& serviceUrl, std::wstring_view method, std::wstring_view path,
                                 std::string_view body);

// GET of the status endpoint; the body of any answer, empty when there is none.
std::string FetchMatchStatus(const std::wstring& serviceUrl);

}  // namespace tarvo::online
