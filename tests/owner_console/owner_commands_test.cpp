// The owner console's commands through the shell's dispatcher, against the local
// fake release-control service.
#include "account/json_reader.h"
#include "release_control/sodium_library.h"
#include "shell/shell_fixture.h"
#include "support/fake_release_control.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class OwnerCommands : public ShellFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(release_control::SodiumLibrary::Shared().Available());
        ASSERT_TRUE(service.Running());
        shell = MakeShell(ProductKind::OstrelNode);
        shell->releaseControlUrl = service.BaseUrl();
        shell->testMetricsUrl = service.BaseUrl() + L"/api/test-metrics";
    }

    void FillBackendForm() {
        auto& v = shell->fieldValues;
        v["field.backend.dbname"] = L"tarvonix_test";
        v["field.backend.dbuser"] = L"owner";
        v["field.backend.dbpassword"] = L"db-secret";
        v["field.backend.smtphost"] = L"smtp.tarvonix.net";
        v["field.backend.smtppassword"] = L"mail-secret";
    }

    testing::FakeReleaseControl service;
    std::unique_ptr<NativeShell> shell;
};

TEST_F(OwnerCommands, TheBackendFormStartsWithItsDefaults) {
    EXPECT_EQ(shell->fieldValues["field.backend.dbhost"], L"localhost");
    EXPECT_EQ(shell->fieldValues["field.backend.smtpport"], L"587");
    EXPECT_EQ(shell->fieldValues["field.backend.security"], L"starttls");
    EXPECT_EQ(shell->fieldValues["field.backend.fromname"], L"TARVONIX VOLLEY");
    EXPECT_EQ(shell->releaseStatusText, L"NOT CHECKED");
    EXPECT_EQ(shell->ostrelSyncText, L"ЩЕ НЕ СИНХРОНІЗОВАНО");
}

TEST_F(OwnerCommands, ReleaseCheckSendsAVerifiedCommandAndShowsTheAnswer) {
    shell->Dispatch("release.check");
    const auto commands = service.Commands();
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_TRUE(commands[0].signatureValid);
    EXPECT_EQ(account::JsonMemberString(commands[0].payload, "action"), std::optional<std::string>("check"));
    EXPECT_EQ(shell->releaseStatusText, L"CHECK ACCEPTED");
    EXPECT_EQ(shell->releaseMessageText, L"release check accepted.");
    EXPECT_EQ(shell->ownerKeyText.rfind(L"ED25519 ", 0), 0u);
    EXPECT_EQ(shell->lastCommandText.rfind(L"release.check \u00B7 ACCEPTED", 0), 0u);
    EXPECT_FALSE(shell->ostrelBusy);
    EXPECT_TRUE(Logged("OwnerKeyCreated"));
    EXPECT_TRUE(Logged("ReleaseCommand=check Http=200"));

    shell->Dispatch("release.rollback");
    EXPECT_EQ(service.Commands().at(1).publicKeyHex, commands[0].publicKeyHex) << "one owner key for every command";

    shell->Dispatch("release.deploy");  // not a release command: nothing happens
    EXPECT_EQ(service.RequestCount(), 2u);
}

TEST_F(OwnerCommands, ReleaseStatusLoadsTheKeyAndReadsTheServiceState) {
    shell->Dispatch("release.status");
    EXPECT_EQ(shell->releaseStatusText, L"ONLINE / STAGED");
    EXPECT_TRUE(Logged("ReleaseStatusChecked=200"));
    EXPECT_EQ(shell->releaseMessageText, L"One release is staged: 0.0.03.5.");
    EXPECT_FALSE(shell->ownerKeyText.empty());

    service.Script("/control/status", 503, "{\"message\":\"maintenance\r\nwindow\"}");
    shell->Dispatch("release.status");
    EXPECT_EQ(shell->releaseStatusText, L"HTTP 503");
    EXPECT_EQ(shell->releaseMessageText, L"maintenancewindow") << "kept on one line";
}

TEST_F(OwnerCommands, AnUnreachableServiceIsReportedAndNothingChangesElsewhere) {
    {
        testing::FakeReleaseControl gone;
        shell->releaseControlUrl = gone.BaseUrl();
    }
    shell->Dispatch("release.activate");
    EXPECT_EQ(shell->releaseStatusText, L"ACTIVATE NOT SENT");
    EXPECT_NE(shell->releaseMessageText.find(L"could not be reached"), std::wstring::npos);
    EXPECT_TRUE(Logged("ReleaseCommand=activate NotSent"));
}

TEST_F(OwnerCommands, BackendSaveChecksTheFormBeforeSendingAnything) {
    shell->Dispatch("backend.save");
    EXPECT_EQ(service.RequestCount(), 0u);
    EXPECT_EQ(shell->backendConfigStatusText, L"CHECK THE HIGHLIGHTED FIELDS");
    EXPECT_EQ(shell->backendConfigHintText, L"Нічого не надіслано: виправте позначені поля.");
    EXPECT_TRUE(shell->fieldErrors.count("field.backend.dbname"));
    EXPECT_TRUE(shell->fieldErrors.count("field.backend.smtphost"));

    FillBackendForm();
    shell->Dispatch("backend.save");
    ASSERT_EQ(service.Commands().size(), 1u);
    EXPECT_TRUE(shell->fieldErrors.empty()) << "the errors of the last try are gone";
    const std::string payload = service.Commands()[0].payload;
    EXPECT_EQ(account::JsonMemberString(payload, "action"), std::optional<std::string>("save"));
    EXPECT_EQ(account::JsonMemberString(payload, "databasePassword"), std::optional<std::string>("db-secret"));
    EXPECT_EQ(account::JsonMemberString(payload, "smtpSecurity"), std::optional<std::string>("starttls"));
    EXPECT_EQ(shell->backendConfigStatusText, L"SAVED");
    EXPECT_EQ(shell->backendStatusText, L"CONFIGURED, NOT INITIALIZED");
    EXPECT_EQ(shell->toast, L"BACKEND SAVE: ACCEPTED");
    EXPECT_EQ(shell->fieldValues["field.backend.dbpassword"], L"db-secret") << "the form keeps what was typed";

    // The mail test needs its address; initialize sends no configuration.
    shell->Dispatch("backend.test-mail");
    EXPECT_EQ(service.Commands().size(), 1u);
    EXPECT_TRUE(shell->fieldErrors.count("field.backend.testemail"));
    shell->fieldValues["field.backend.testemail"] = L"qa@tarvonix.net";
    shell->Dispatch("backend.test-mail");
    EXPECT_EQ(shell->backendConfigStatusText, L"TEST MAIL SENT");
    shell->Dispatch("backend.test-db");
    EXPECT_EQ(shell->backendConfigStatusText, L"DATABASE TEST PASSED");
    shell->Dispatch("backend.initialize");
    const std::string init = service.Commands().back().payload;
    EXPECT_EQ(init.find("\"config\""), std::string::npos);
    EXPECT_EQ(shell->backendConfigStatusText, L"INITIALIZED");
    EXPECT_EQ(shell->backendStatusText.rfind(L"INITIALIZED ", 0), 0u);

    service.Script("/control/backend", 500, R"({"message":"disk full"})");
    shell->Dispatch("backend.save");
    EXPECT_EQ(shell->backendConfigStatusText, L"SAVE REFUSED (HTTP 500)");
    EXPECT_EQ(shell->backendConfigHintText, L"disk full");
}

TEST_F(OwnerCommands, BackendPlayersFillsTheListAndSelectionIsClamped) {
    std::string players = R"({"players":[)";
    for (int i = 0; i < 9; ++i) {
        players += std::string(i ? "," : "") + R"({"playerId":"P-)" + std::to_string(i) + R"(","nickname":"n)" +
                   std::to_string(i) + R"(","verified":true,"trustedDevices":)" + std::to_string(i) + "}";
    }
    players += "]}";
    service.SetBackendReply("players", players);
    shell->Dispatch("backend.players");
    ASSERT_EQ(shell->livePlayers.size(), 8u);
    EXPECT_EQ(shell->livePlayers[3].trustedDevices, L"3");
    EXPECT_EQ(shell->playersStatusText, L"SYNCED / 8 PLAYERS");
    EXPECT_EQ(shell->ostrelSyncText.rfind(L"СИНХРОНІЗОВАНО ", 0), 0u);

    shell->Dispatch("players.select.5");
    EXPECT_EQ(shell->selectedLivePlayer, 5);
    shell->Dispatch("players.select.99");
    EXPECT_EQ(shell->selectedLivePlayer, 7);
    shell->Dispatch("players.select.-4");
    EXPECT_EQ(shell->selectedLivePlayer, 0);

    // A failed refresh keeps the rows of the last good one.
    service.SetBackendReply("players", "{}");
    service.Script("/control/backend", 500, R"({"message":"database down"})");
    shell->Dispatch("backend.players");
    EXPECT_EQ(shell->livePlayers.size(), 8u);
    EXPECT_EQ(shell->playersStatusText, L"SYNC REFUSED (HTTP 500)");
}

TEST_F(OwnerCommands, BackendMetricsAndTesterMetricsFillTheOverviewFigures) {
    service.SetBackendReply("metrics", R"({"players":41,"matches":7,"downloads":12,"coinsSpent":3100})");
    shell->Dispatch("backend.metrics");
    EXPECT_EQ(shell->overviewPlayers, 41);
    EXPECT_EQ(shell->overviewRevenue, 3100);
    EXPECT_EQ(shell->metricsStatusText.rfind(L"BACKEND SYNCED ", 0), 0u);

    service.Script("/api/test-metrics", 200, R"({"testers":300,"activeTesters":55,"matches":90,"downloads":8})");
    shell->Dispatch("metrics.refresh");
    EXPECT_TRUE(shell->testMetrics.valid);
    EXPECT_EQ(shell->overviewPlayers, 55);
    EXPECT_EQ(shell->overviewMatches, 90);
    EXPECT_EQ(shell->metricsStatusText.rfind(L"SYNCED ", 0), 0u);

    service.Script("/api/test-metrics", 200, "not json");
    shell->Dispatch("metrics.refresh");
    EXPECT_EQ(shell->metricsStatusText.rfind(L"SYNC FAILED ", 0), 0u);
    EXPECT_EQ(shell->testMetrics.testers, 300u) << "the last good snapshot stays";
    EXPECT_FALSE(shell->toast.empty());
}

TEST_F(OwnerCommands, AnnouncementsNeedTextAndKeepItWhenPublishingFails) {
    shell->Dispatch("announcement.target.9");
    EXPECT_EQ(shell->announcementTarget, 2);
    shell->Dispatch("announcement.target.1");
    EXPECT_EQ(shell->announcementTarget, 1);

    shell->fieldValues["field.message"] = L"  ";
    shell->Dispatch("announcement.publish");
    EXPECT_TRUE(shell->fieldErrors.count("field.message"));
    EXPECT_EQ(service.RequestCount(), 0u);

    shell->fieldValues["field.message"] = L"Тест сьогодні о 20:00";
    service.Script("/control/backend", 500, "{}");
    shell->Dispatch("announcement.publish");
    EXPECT_EQ(shell->fieldValues["field.message"], L"Тест сьогодні о 20:00");
    EXPECT_EQ(shell->announcementStatusText.rfind(L"NOT PUBLISHED", 0), 0u);

    testing::FakeReleaseControl fresh;
    shell->releaseControlUrl = fresh.BaseUrl();
    shell->Dispatch("announcement.publish");
    ASSERT_EQ(fresh.Commands().size(), 1u);
    EXPECT_TRUE(fresh.Commands()[0].signatureValid);
    EXPECT_EQ(account::JsonMemberString(fresh.Commands()[0].payload, "audience"),
              std::optional<std::string>("testers"));
    EXPECT_EQ(shell->fieldValues["field.message"], L"");
    EXPECT_EQ(shell->announcementStatusText.rfind(L"PUBLISHED TO TESTERS", 0), 0u);
    EXPECT_TRUE(Logged("AnnouncementPublish=testers Http=200"));
}

TEST_F(OwnerCommands, PageCommandsNavigateAndTheUnlockOpensTheOverview) {
    shell->Dispatch("ostrel.unlock");
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelOverview);
    shell->Dispatch("ostrel.statistics");
    EXPECT_EQ(shell->router.Current(), ScreenId::Statistics);
    shell->Dispatch("ostrel.backend");
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelBackend);
    shell->Dispatch("ostrel.nowhere");
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelBackend);
}

}  // namespace
}  // namespace tarvo::ui::test
