// "match.start" with the settings file it reads, and "match.status" with its
// probe, on a shell without a main window.
#include <future>

#include "online/match_identity.h"
#include "shell/shell_fixture.h"
#include "support/fake_account_service.h"

namespace tarvo::ui::test {
namespace {

constexpr wchar_t kNotConfigured[] = L"ОНЛАЙН-ТЕСТ НЕ НАЛАШТОВАНО / ONLINE TEST NOT CONFIGURED";
constexpr wchar_t kNetworkFailed[] = L"НЕ ВДАЛОСЯ ВІДКРИТИ МЕРЕЖУ / NETWORK INITIALIZATION FAILED";

class OnlineCommands : public ShellFixture {
protected:
    void SetUp() override {
        shell = MakeShell();
        config = Root() / "config" / "online-test.cfg";
        shell->onlineTestConfig = config;
    }
    void TearDown() override { shell.reset(); }

    void Write(const std::string& text) { testing::WriteBytes(config, text); }

    std::unique_ptr<NativeShell> shell;
    std::filesystem::path config;
};

TEST_F(OnlineCommands, AnIncompleteSettingsFileIsNotConfigured) {
    const std::string key24(24, 'k');
    const char* const broken[] = {"", "127.0.0.1 5000", "127.0.0.1 0 kkkkkkkkkkkkkkkkkkkkkkkk",
                                  "127.0.0.1 65536 kkkkkkkkkkkkkkkkkkkkkkkk", "127.0.0.1 five kkkkkkkkkkkkkkkkkkkkkkkk",
                                  "127.0.0.1 5000 kkkkkkkkkkkkkkkkkkkkkkk"};  // 23 characters
    shell->Dispatch("match.start");  // no file at all
    EXPECT_EQ(shell->toast, kNotConfigured);
    for (const char* text : broken) {
        Write(text);
        shell->toast.clear();
        shell->Dispatch("match.unavailable");
        EXPECT_EQ(shell->toast, kNotConfigured) << text;
        EXPECT_FALSE(shell->matchClient.IsOpen());
        EXPECT_FALSE(shell->onlineMatch);
        EXPECT_FALSE(shell->identityLoad.has_value());
    }
    // A file past 64 KiB is not read at all, whatever it begins with (the status probe caps it alike).
    Write("localhost 5000 " + key24 + std::string(64 * 1024, ' '));
    shell->Dispatch("match.start");
    EXPECT_EQ(shell->toast, kNotConfigured);
    // A host name passes the file check and fails to open.
    Write("localhost 5000 " + key24);
    shell->Dispatch("match.start");
    EXPECT_EQ(shell->toast, kNetworkFailed);
    EXPECT_FALSE(shell->onlineMatch);
}

TEST_F(OnlineCommands, AFailedSessionStartClosesTheClientAgain) {
    // 24 characters is enough; without a main window the render view cannot be made, its
    // class registered or not (an earlier test in this process may have registered it).
    ASSERT_TRUE(shell->RegisterWindowClasses());
    Write("127.0.0.1 5000 " + std::string(24, 'k') + "\n");
    // A cached credential, so the load that starts with the match asks no service.
    online::MatchIdentity identity;
    identity.playerKey = L"LOCAL";
    identity.profileId = "prof-local";
    identity.token = "tok-local-0123456789";
    identity.expiresAt = 4000000000ull;
    identity.valid = true;
    ASSERT_TRUE(online::SaveMatchIdentityCache(online::MatchIdentityCachePath(), identity));
    shell->selectedMode = 3;
    shell->Dispatch("match.start");
    EXPECT_EQ(shell->simulation, nullptr);
    EXPECT_FALSE(shell->matchClient.IsOpen());
    EXPECT_FALSE(shell->onlineMatch);
    EXPECT_NE(shell->toast, kNotConfigured);
    EXPECT_NE(shell->toast, kNetworkFailed);
    EXPECT_TRUE(shell->identityLoad.has_value()) << "the credential load began with the match";
    EXPECT_EQ(shell->identityAccountKey, L"LOCAL");
    // Outside a match the finished load is dropped.
    shell->identityLoad->wait();
    shell->PumpMatchIdentity();
    EXPECT_FALSE(shell->identityLoad.has_value());
    EXPECT_FALSE(shell->matchClient.IsOpen());
}

TEST_F(OnlineCommands, StatusProbeRunsOnceAtATimeAndItsReplyBecomesTheStatusLine) {
    std::promise<std::string> reply;
    shell->statusProbe = reply.get_future();
    shell->Dispatch("match.status");
    EXPECT_EQ(shell->matchStatusText, L"NOT CHECKED") << "a pending probe is left alone";
    reply.set_value(R"({"online":true,"players":3})");
    shell->PumpMatchStatus();
    EXPECT_EQ(shell->matchStatusText, L"ONLINE / 3 / 16 PLAYERS / 30 HZ");
    EXPECT_FALSE(shell->statusProbe.has_value());

    testing::FakeAccountService service("");
    service.Script("/api/matches/status.php", 200, R"({"online":true,"players":11})");
    Write("127.0.0.1 5000 " + std::string(24, 'k') + " service=http://127.0.0.1:" + std::to_string(service.Port()));
    shell->Dispatch("match.status");
    EXPECT_EQ(shell->matchStatusText, L"CHECKING...");
    ASSERT_TRUE(shell->statusProbe.has_value());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (shell->statusProbe && std::chrono::steady_clock::now() < deadline) {
        Sleep(5);
        shell->PumpMatchStatus();
    }
    EXPECT_EQ(shell->matchStatusText, L"ONLINE / 11 / 16 PLAYERS / 30 HZ");
    ASSERT_TRUE(service.LastRequest("/api/matches/status.php"));
    EXPECT_EQ(service.LastRequest("/api/matches/status.php")->Header("user-agent"), "TARV Ostrel Node/online-test");

    service.Script("/api/matches/status.php", 503, "");
    shell->Dispatch("match.status");
    while (shell->statusProbe && std::chrono::steady_clock::now() < deadline) {
        Sleep(5);
        shell->PumpMatchStatus();
    }
    EXPECT_EQ(shell->matchStatusText, L"OFFLINE / STATUS UNAVAILABLE");
}

}  // namespace
}  // namespace tarvo::ui::test
