#pragma once
// The owner console's demo data: fixed tables that stand in for the ecosystem's
// records until its services report real ones. Every page that shows them says so.
// Each table is built on first use (safe against concurrent first calls) and lives
// until exit; rows are in display order.
#include <cstdint>
#include <span>
#include <string_view>

namespace tarvo::mock_data {

// One day of platform figures, oldest first.
struct DailyMetric {
    std::wstring_view day;  // YYYY-MM-DD
    std::uint32_t activePlayers;
    std::uint32_t newPlayers;
    std::uint32_t matches;
    std::uint32_t downloads;
    std::uint32_t peakConcurrent;
    std::uint32_t crashReports;
};

// One finished match, newest first.
struct MatchRecord {
    std::wstring_view matchId;
    std::wstring_view startedAt;  // YYYY-MM-DD HH:MM UTC
    std::uint32_t mode;           // index into the match mode table
    std::uint32_t map;            // index into the map table
    std::uint32_t players;
    std::uint32_t durationSeconds;
    std::wstring_view result;  // "CYAN 5 : 3 AMBER", a winner's name, ...
    std::wstring_view node;    // match server node
};

// Downloads of one published package.
struct DownloadRecord {
    std::wstring_view version;
    std::wstring_view channel;  // "STABLE", "TEST"
    std::wstring_view package;  // "FULL", "DELTA"
    std::uint32_t started;
    std::uint32_t completed;
    std::uint32_t sizeKiB;
    std::wstring_view published;  // YYYY-MM-DD
};

// One line of the owner's audit log, newest first.
struct AuditEntry {
    std::wstring_view at;  // YYYY-MM-DD HH:MM:SS UTC
    std::wstring_view actor;
    std::wstring_view action;
    std::wstring_view target;
    bool allowed;
};

// One release of the game and its web companion.
struct VersionRecord {
    std::wstring_view version;
    std::wstring_view channel;
    std::wstring_view state;  // "ACTIVE", "STAGED", "ARCHIVED", "ROLLED BACK"
    std::wstring_view released;
    std::wstring_view sha256Prefix;
    std::wstring_view notes;
};

// Health of one service of the ecosystem.
struct ServiceHealth {
    std::wstring_view service;
    std::wstring_view endpoint;
    std::uint32_t latencyMs;
    std::uint32_t uptimePermille;  // over 30 days, 999 = 99.9 %
    bool healthy;
};

// One match server of the online test network.
struct MatchNode {
    std::wstring_view node;
    std::wstring_view region;
    std::uint32_t players;   // of 16
    std::uint32_t tickRate;  // Hz
    std::uint32_t rttMs;
    bool online;
};

// Coins a player earns in an online test match.
struct CoinReward {
    std::wstring_view eventUk;
    std::wstring_view eventEn;
    std::uint32_t coins;
};

// A published announcement, newest first.
struct AnnouncementRecord {
    std::wstring_view at;
    std::uint32_t audience;  // index into AnnouncementAudiences
    std::wstring_view text;
};

// A security-relevant event, newest first.
struct SecurityEvent {
    std::wstring_view at;
    std::wstring_view kind;
    std::wstring_view detail;
    bool blocked;
};

std::span<const DailyMetric> DemoMetrics();
std::span<const MatchRecord> DemoMatches();
std::span<const DownloadRecord> DemoDownloads();
std::span<const AuditEntry> DemoAuditLog();
std::span<const VersionRecord> DemoVersions();
std::span<const ServiceHealth> DemoServiceHealth();
std::span<const MatchNode> DemoMatchNodes();
std::span<const CoinReward> DemoCoinRewards();
std::span<const AnnouncementRecord> DemoAnnouncements();
std::span<const SecurityEvent> DemoSecurityEvents();

// Audiences of "announcement.target.N", by N; the word is what the service receives.
struct Audience {
    std::wstring_view word;
    std::wstring_view labelUk;
    std::wstring_view labelEn;
};
std::span<const Audience> AnnouncementAudiences();

// Sums over the daily metrics.
struct MetricTotals {
    std::uint64_t matches = 0;
    std::uint64_t downloads = 0;
    std::uint64_t newPlayers = 0;
    std::uint64_t crashReports = 0;
    std::uint32_t latestActivePlayers = 0;  // of the newest day
    std::uint32_t peakConcurrent = 0;       // highest of any day
};
MetricTotals SumMetrics(std::span<const DailyMetric> days);

// Completed share of started downloads in tenths of a percent (0 when none started).
std::uint32_t CompletionPermille(const DownloadRecord& record);

}  // namespace tarvo::mock_data
