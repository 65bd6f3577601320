// Pure parts of the owner console: the backend form's checks, the tester metrics
// reply and its fetch, and the sums over the demo tables.
#include <gtest/gtest.h>

#include "distribution/test_metrics.h"
#include "gameplay/gameplay_config.h"
#include "mock_data/demo_tables.h"
#include "owner_console/backend_form.h"
#include "support/fake_release_control.h"

namespace tarvo::ui::ostrel {
namespace {

FieldMap ValidForm() {
    return {
        {"field.backend.dbhost", L"localhost"},
        {"field.backend.dbname", L" tarvonix_test\t"},
        {"field.backend.dbuser", L"owner"},
        {"field.backend.dbpassword", L" pass word "},
        {"field.backend.domain", L"tarvonix.net"},
        {"field.backend.smtphost", L"smtp.tarvonix.net"},
        {"field.backend.smtpport", L"587"},
        {"field.backend.security", L" StartTLS "},
        {"field.backend.smtppassword", L"mail secret"},
        {"field.backend.fromname", L" TARVONIX VOLLEY "},
        {"field.backend.testemail", L"qa@tarvonix.net"},
    };
}

TEST(BackendForm, AValidFormGivesTheConfigurationTrimmedWithPasswordsAsTyped) {
    FieldMap errors;
    const auto config = BackendConfigFromFields(ValidForm(), true, false, errors);
    ASSERT_TRUE(config.has_value());
    EXPECT_TRUE(errors.empty());
    const release_control::BackendPrivateConfig& c = *config;
    EXPECT_EQ((std::vector<std::wstring>{c.databaseHost, c.databaseName, c.databaseUser, c.databasePassword, c.mailDomain,
                                         c.smtpHost, c.smtpPort, c.smtpSecurity, c.smtpUser, c.smtpPassword, c.fromName}),
              (std::vector<std::wstring>{L"localhost", L"tarvonix_test", L"owner", L" pass word ", L"tarvonix.net",
                                         L"smtp.tarvonix.net", L"587", L"starttls", L"", L"mail secret",
                                         L"TARVONIX VOLLEY"}))
        << "an SMTP user is optional";
}

TEST(BackendForm, EveryFailingFieldGetsItsOwnErrorAndNothingIsReturned) {
    FieldMap values = ValidForm();
    values["field.backend.dbhost"] = L"db host";
    values["field.backend.dbname"] = L"   ";
    values["field.backend.domain"] = L"localhost";
    values["field.backend.smtpport"] = L"65536";
    values["field.backend.security"] = L"ssl";
    values["field.backend.testemail"] = L"qa@x";
    FieldMap errors;
    EXPECT_FALSE(BackendConfigFromFields(values, true, true, errors).has_value());
    EXPECT_EQ(errors, (FieldMap{{"field.backend.dbhost", L"ВКАЖІТЬ ХОСТ БЕЗ ПРОБІЛІВ"},
                                {"field.backend.dbname", L"ВКАЖІТЬ НАЗВУ БАЗИ"},
                                {"field.backend.domain", L"ВКАЖІТЬ ДОМЕН, НАПРИКЛАД tarvonix.net"},
                                {"field.backend.smtpport", L"ПОРТ 1–65535"},
                                {"field.backend.security", L"STARTTLS, TLS АБО NONE"},
                                {"field.backend.testemail", L"ВКАЖІТЬ АДРЕСУ ДЛЯ ТЕСТОВОГО ЛИСТА"}}));

    // The test address matters only for the mail test.
    errors.clear();
    values = ValidForm();
    values["field.backend.testemail"] = L"";
    EXPECT_TRUE(BackendConfigFromFields(values, false, false, errors).has_value());
    EXPECT_FALSE(BackendConfigFromFields(values, true, false, errors).has_value());
    EXPECT_EQ(errors, (FieldMap{{"field.backend.testemail", L"ENTER AN ADDRESS FOR THE TEST MAIL"}}));

    errors.clear();
    EXPECT_FALSE(BackendConfigFromFields({}, false, false, errors).has_value()) << "a form never drawn";
}

TEST(BackendForm, PortTexts) {
    for (const wchar_t* good : {L"1", L"587", L"65535", L"00025"}) EXPECT_TRUE(IsPortText(good)) << good;
    for (const wchar_t* bad : {L"", L"0", L"65536", L"-1", L"+25", L" 25", L"2 5", L"123456", L"٥٨٧"}) {
        EXPECT_FALSE(IsPortText(bad));
    }
}

TEST(TestMetrics, AReplyFillsTheSnapshotWholeOrLeavesItAsItWas) {
    distribution::TestMetricsSnapshot snapshot;
    std::wstring error;
    ASSERT_TRUE(distribution::ParseTestMetrics(
        R"({"testers":412,"activeTesters":97,"sessions":1880,"matches":655,"downloads":143,)"
        R"("crashReports":2,"coinsSpent":18500,"buildVersion":"0.0.03.5","reportedAt":"2025-05-20T21:00:00Z"})",
        snapshot, error));
    EXPECT_TRUE(snapshot.valid);
    EXPECT_EQ(snapshot.testers, 412u);
    EXPECT_EQ(snapshot.coinsSpent, 18500u);
    EXPECT_EQ(snapshot.buildVersion, L"0.0.03.5");

    const distribution::TestMetricsSnapshot before = snapshot;
    for (const char* bad :
         {"", "[]", "{\"testers\":", "{\"matches\":5}", "{\"testers\":\"5\"}", "<html>", "{\"testers\":1}{}"}) {
        error.clear();
        EXPECT_FALSE(distribution::ParseTestMetrics(bad, snapshot, error)) << bad;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(snapshot.testers, before.testers);
        EXPECT_EQ(snapshot.buildVersion, before.buildVersion);
    }

    // Figures absent are 0; texts that are too long or not text are dropped; control characters go, as
    // from every service.
    ASSERT_TRUE(distribution::ParseTestMetrics(
        "{\"testers\":1,\"buildVersion\":\"" + std::string(65, 'v') + "\",\"reportedAt\":\"a\\nb\"}", snapshot, error));
    EXPECT_EQ(snapshot.matches, 0u);
    EXPECT_EQ(snapshot.buildVersion, L"");
    EXPECT_EQ(snapshot.reportedAt, L"ab");
}

TEST(TestMetrics, FetchGoesToTheGivenAddressAndReportsHttpFailures) {
    testing::FakeReleaseControl service;
    service.Script("/api/test-metrics", 200, R"({"testers":12,"matches":3})");
    distribution::TestMetricsSnapshot snapshot;
    std::wstring error;
    ASSERT_TRUE(distribution::FetchTestMetrics(service.BaseUrl() + L"/api/test-metrics", snapshot, error))
        << std::string(error.begin(), error.end());
    EXPECT_EQ(snapshot.testers, 12u);
    EXPECT_EQ(service.Requests().at(0).method, "GET");

    service.Script("/api/test-metrics", 503, R"({"testers":99})");
    EXPECT_FALSE(distribution::FetchTestMetrics(service.BaseUrl() + L"/api/test-metrics", snapshot, error));
    EXPECT_NE(error.find(L"503"), std::wstring::npos);
    EXPECT_EQ(snapshot.testers, 12u);
    EXPECT_FALSE(distribution::FetchTestMetrics(L"not a url", snapshot, error));
}

TEST(DemoTables, SumsAndRatesOverTheTables) {
    const mock_data::DailyMetric days[] = {
        {L"2025-05-01", 10, 1, 100, 7, 40, 0},
        {L"2025-05-02", 30, 2, 50, 3, 25, 4},
    };
    const mock_data::MetricTotals totals = mock_data::SumMetrics(days);
    EXPECT_EQ(totals.matches, 150u);
    EXPECT_EQ(totals.downloads, 10u);
    EXPECT_EQ(totals.newPlayers, 3u);
    EXPECT_EQ(totals.crashReports, 4u);
    EXPECT_EQ(totals.latestActivePlayers, 30u);
    EXPECT_EQ(totals.peakConcurrent, 40u);
    EXPECT_EQ(mock_data::SumMetrics({}).latestActivePlayers, 0u);

    mock_data::DownloadRecord record{L"v", L"TEST", L"FULL", 3, 2, 1, L"d"};
    EXPECT_EQ(mock_data::CompletionPermille(record), 666u);
    record.started = 0;
    EXPECT_EQ(mock_data::CompletionPermille(record), 0u);
    record.started = 2;
    record.completed = 9;
    EXPECT_EQ(mock_data::CompletionPermille(record), 1000u) << "never above 100 %";
}

TEST(DemoTables, RowsPointOnlyAtEntriesThatExist) {
    for (const auto& match : mock_data::DemoMatches()) {
        EXPECT_LT(match.mode, gameplay::MatchModeNames.size());
        EXPECT_LT(match.map, gameplay::MatchMapNames.size());
        EXPECT_LE(match.players, 16u);
    }
    for (const auto& a : mock_data::DemoAnnouncements())
        EXPECT_LT(a.audience, mock_data::AnnouncementAudiences().size());
    const auto days = mock_data::DemoMetrics();
    for (size_t i = 1; i < days.size(); ++i) EXPECT_LT(days[i - 1].day, days[i].day) << "oldest first";
    EXPECT_EQ(mock_data::AnnouncementAudiences().size(), 3u) << "announcement.target. takes 0..2";
}

}  // namespace
}  // namespace tarvo::ui::ostrel
