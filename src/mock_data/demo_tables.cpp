#include "mock_data/demo_tables.h"

#include <algorithm>
#include <array>

namespace tarvo::mock_data {

std::span<const DailyMetric> DemoMetrics() {
    static const std::array<DailyMetric, 14> table{{
        {L"2025-05-07", 412, 38, 1204, 96, 61, 3},
        {L"2025-05-08", 436, 41, 1287, 102, 66, 2},
        {L"2025-05-09", 481, 57, 1412, 131, 74, 4},
        {L"2025-05-10", 557, 73, 1689, 164, 92, 5},
        {L"2025-05-11", 602, 69, 1840, 158, 101, 3},
        {L"2025-05-12", 518, 44, 1521, 117, 83, 2},
        {L"2025-05-13", 497, 39, 1466, 109, 79, 1},
        {L"2025-05-14", 523, 47, 1538, 121, 85, 2},
        {L"2025-05-15", 561, 52, 1650, 138, 90, 6},
        {L"2025-05-16", 608, 66, 1802, 152, 99, 4},
        {L"2025-05-17", 689, 88, 2071, 197, 118, 3},
        {L"2025-05-18", 734, 91, 2214, 203, 126, 2},
        {L"2025-05-19", 641, 58, 1933, 149, 107, 1},
        {L"2025-05-20", 655, 61, 1978, 156, 110, 2},
    }};
    return table;
}

std::span<const MatchRecord> DemoMatches() {
    static const std::array<MatchRecord, 14> table{{
        {L"M-240517", L"2025-05-20 21:42", 0, 0, 8, 612, L"CYAN 5 : 3 AMBER", L"EU-WEST-1"},
        {L"M-240516", L"2025-05-20 21:31", 6, 2, 11, 600, L"KVITKA_7", L"EU-WEST-1"},
        {L"M-240515", L"2025-05-20 21:18", 3, 1, 2, 284, L"HRIM 5 : 2 ORLYK", L"EU-CENTRAL-2"},
        {L"M-240514", L"2025-05-20 21:02", 4, 0, 10, 720, L"AMBER 3 : 1 CYAN", L"EU-WEST-1"},
        {L"M-240513", L"2025-05-20 20:47", 1, 2, 12, 655, L"CYAN 6 : 4 AMBER", L"EU-CENTRAL-2"},
        {L"M-240512", L"2025-05-20 20:33", 2, 1, 4, 402, L"AMBER 4 : 2 CYAN", L"EU-WEST-1"},
        {L"M-240511", L"2025-05-20 20:16", 6, 0, 14, 600, L"BURYA", L"EU-CENTRAL-2"},
        {L"M-240510", L"2025-05-20 19:58", 0, 1, 8, 588, L"CYAN 5 : 5 AMBER", L"EU-WEST-1"},
        {L"M-240509", L"2025-05-20 19:41", 4, 2, 9, 720, L"CYAN 2 : 1 AMBER", L"EU-NORTH-1"},
        {L"M-240508", L"2025-05-20 19:25", 3, 0, 2, 197, L"SOKIL 5 : 0 VITER", L"EU-NORTH-1"},
        {L"M-240507", L"2025-05-20 19:07", 1, 0, 12, 701, L"AMBER 6 : 2 CYAN", L"EU-WEST-1"},
        {L"M-240506", L"2025-05-20 18:50", 6, 1, 16, 600, L"ZORYANA", L"EU-CENTRAL-2"},
        {L"M-240505", L"2025-05-20 18:34", 2, 2, 4, 455, L"CYAN 4 : 3 AMBER", L"EU-NORTH-1"},
        {L"M-240504", L"2025-05-20 18:12", 0, 2, 7, 640, L"AMBER 5 : 4 CYAN", L"EU-WEST-1"},
    }};
    return table;
}

std::span<const DownloadRecord> DemoDownloads() {
    static const std::array<DownloadRecord, 8> table{{
        {L"0.0.03.5", L"TEST", L"FULL", 1342, 1298, 412880, L"2025-05-16"},
        {L"0.0.03.5", L"TEST", L"DELTA", 2210, 2187, 38214, L"2025-05-16"},
        {L"0.0.03.4", L"TEST", L"FULL", 986, 941, 409512, L"2025-05-02"},
        {L"0.0.03.4", L"TEST", L"DELTA", 1755, 1721, 51077, L"2025-05-02"},
        {L"0.0.03.3", L"STABLE", L"FULL", 2419, 2366, 402301, L"2025-04-18"},
        {L"0.0.03.3", L"STABLE", L"DELTA", 3108, 3072, 44650, L"2025-04-18"},
        {L"0.0.03.2", L"STABLE", L"FULL", 1874, 1802, 398770, L"2025-04-04"},
        {L"0.0.03.1", L"STABLE", L"FULL", 1211, 1149, 391024, L"2025-03-21"},
    }};
    return table;
}

std::span<const AuditEntry> DemoAuditLog() {
    static const std::array<AuditEntry, 14> table{{
        {L"2025-05-20 21:50:12", L"owner", L"release.check", L"0.0.03.5 / web 24.05", true},
        {L"2025-05-20 21:48:40", L"owner", L"backend.players", L"live player list", true},
        {L"2025-05-20 20:05:03", L"unknown key 3F9A", L"release.activate", L"0.0.03.5", false},
        {L"2025-05-20 18:31:27", L"owner", L"announcement.publish", L"testers", true},
        {L"2025-05-19 23:12:54", L"owner", L"backend.test-mail", L"smtp.tarvonix.net:587", true},
        {L"2025-05-19 23:10:02", L"owner", L"backend.save", L"private configuration", true},
        {L"2025-05-19 23:08:45", L"owner", L"backend.test-db", L"db-test-1:5432", true},
        {L"2025-05-18 16:44:19", L"owner", L"release.finalize", L"0.0.03.4", true},
        {L"2025-05-18 16:40:03", L"owner", L"release.activate", L"0.0.03.4", true},
        {L"2025-05-18 16:38:51", L"owner", L"release.check", L"0.0.03.4 / web 24.04", true},
        {L"2025-05-17 09:02:33", L"replayed nonce", L"release.rollback", L"0.0.03.3", false},
        {L"2025-05-16 12:20:08", L"owner", L"metrics.refresh", L"tester metrics", true},
        {L"2025-05-15 22:47:51", L"owner", L"release.rollback", L"0.0.03.4 -> 0.0.03.3", true},
        {L"2025-05-15 22:30:14", L"owner", L"owner-key.create", L"release-control.key", true},
    }};
    return table;
}

std::span<const VersionRecord> DemoVersions() {
    static const std::array<VersionRecord, 6> table{{
        {L"0.0.03.5", L"TEST", L"STAGED", L"2025-05-16", L"9C41 07E2 B3D8",
         L"Online test mode, arsenal of three weapons"},
        {L"0.0.03.4", L"TEST", L"ACTIVE", L"2025-05-02", L"51AF 6C0E 2F94",
         L"Vulkan renderer with Direct3D 11 fallback"},
        {L"0.0.03.3", L"STABLE", L"ARCHIVED", L"2025-04-18", L"E07B 1D55 8A23", L"Trusted devices, account linking"},
        {L"0.0.03.2", L"STABLE", L"ROLLED BACK", L"2025-04-04", L"3B62 FA09 C71E", L"Bot navigation graph rework"},
        {L"0.0.03.1", L"STABLE", L"ARCHIVED", L"2025-03-21", L"A85D 4E37 06BC", L"Foundry arena, weapon audio"},
        {L"0.0.03.0", L"STABLE", L"ARCHIVED", L"2025-03-07", L"0F1C 92D6 E448", L"First public training range"},
    }};
    return table;
}

std::span<const ServiceHealth> DemoServiceHealth() {
    static const std::array<ServiceHealth, 7> table{{
        {L"ACCOUNT SERVICE", L"account.tarvonix.net/api/v1", 42, 999, true},
        {L"MATCH STATUS", L"match.tarvonix.net/api/matches", 37, 998, true},
        {L"MATCH SERVERS (UDP)", L"3 nodes, TARV1", 24, 996, true},
        {L"UPDATE FEED", L"updates.tarvonix.net/feed", 58, 1000, true},
        {L"TESTER METRICS", L"metrics.tarvonix.net/api", 71, 993, true},
        {L"RELEASE CONTROL", L"control.tarvonix.net/control", 49, 999, true},
        {L"MAIL RELAY", L"smtp.tarvonix.net:587", 312, 981, false},
    }};
    return table;
}

std::span<const MatchNode> DemoMatchNodes() {
    static const std::array<MatchNode, 4> table{{
        {L"EU-WEST-1", L"Frankfurt", 11, 30, 24, true},
        {L"EU-CENTRAL-2", L"Warsaw", 14, 30, 19, true},
        {L"EU-NORTH-1", L"Stockholm", 4, 30, 33, true},
        {L"EU-EAST-1", L"Kyiv", 0, 30, 0, false},
    }};
    return table;
}

std::span<const CoinReward> DemoCoinRewards() {
    static const std::array<CoinReward, 6> table{{
        {L"ВБИВСТВО", L"KILL", 100},
        {L"ВБИВСТВО В ГОЛОВУ", L"HEADSHOT KILL", 150},
        {L"ВИГРАНИЙ РАУНД", L"ROUND WON", 300},
        {L"ПРОГРАНИЙ РАУНД", L"ROUND LOST", 150},
        {L"ЗАХОПЛЕННЯ ТОЧКИ", L"POINT CAPTURED", 200},
        {L"ПОЧАТОК МАТЧУ", L"MATCH START", 800},
    }};
    return table;
}

std::span<const AnnouncementRecord> DemoAnnouncements() {
    static const std::array<AnnouncementRecord, 4> table{{
        {L"2025-05-20 18:31", 1, L"0.0.03.5 test build is staged: online matches tonight 20:00-23:00 EEST."},
        {L"2025-05-16 12:02", 0, L"Weekend test: relay and skydock rotation, double coins for round wins."},
        {L"2025-05-09 17:45", 2, L"Launcher 1.4 repairs broken shortcuts on start."},
        {L"2025-05-02 10:15", 0, L"0.0.03.4 brings the Vulkan renderer; Direct3D 11 stays as fallback."},
    }};
    return table;
}

std::span<const SecurityEvent> DemoSecurityEvents() {
    static const std::array<SecurityEvent, 6> table{{
        {L"2025-05-20 20:05", L"SIGNATURE REJECTED", L"release.activate signed by an unknown key", true},
        {L"2025-05-19 03:14", L"SIGN-IN THROTTLED", L"27 failed passwords from one address in 5 min", true},
        {L"2025-05-18 11:52", L"DEVICE REVOKED", L"player revoked a trusted device", false},
        {L"2025-05-17 09:02", L"REPLAY REFUSED", L"release.rollback with a used nonce", true},
        {L"2025-05-16 22:40", L"VERIFICATION RESENT", L"e-mail code resent 3 times", false},
        {L"2025-05-15 22:30", L"OWNER KEY CREATED", L"release-control.key protected with DPAPI", false},
    }};
    return table;
}

std::span<const Audience> AnnouncementAudiences() {
    static const std::array<Audience, 3> table{{
        {L"all", L"УСІ ГРАВЦІ", L"ALL PLAYERS"},
        {L"testers", L"ТЕСТУВАЛЬНИКИ", L"TESTERS"},
        {L"launcher", L"НОВИНИ ЛАУНЧЕРА", L"LAUNCHER NEWS"},
    }};
    return table;
}

MetricTotals SumMetrics(std::span<const DailyMetric> days) {
    MetricTotals totals;
    for (const DailyMetric& day : days) {
        totals.matches += day.matches;
        totals.downloads += day.downloads;
        totals.newPlayers += day.newPlayers;
        totals.crashReports += day.crashReports;
        totals.peakConcurrent = std::max(totals.peakConcurrent, day.peakConcurrent);
    }
    if (!days.empty()) totals.latestActivePlayers = days.back().activePlayers;
    return totals;
}

std::uint32_t CompletionPermille(const DownloadRecord& record) {
    if (record.started == 0) return 0;
    const std::uint64_t done = std::min(record.completed, record.started);
    return static_cast<std::uint32_t>(done * 1000u / record.started);
}

}  // namespace tarvo::mock_data
