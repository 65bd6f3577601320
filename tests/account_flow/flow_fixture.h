#pragma once
// A game shell in a private data root whose account client talks to a scripted
// fake account service on 127.0.0.1, with helpers to drive the request pump.
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

#include "shell/shell_fixture.h"
#include "support/fake_account_service.h"

namespace tarvo::ui::test {

// Session replies as the account service writes them.
inline std::string SessionReply(const std::string& playerId, const std::string& nickname,
                                const std::string& access = "access-1", const std::string& refresh = "refresh-1") {
    return "{\"playerId\":\"" + playerId + "\",\"nickname\":\"" + nickname + "\",\"email\":\"" + playerId +
           "@example.com\",\"accessToken\":\"" + access + "\",\"refreshToken\":\"" + refresh +
           "\",\"deviceId\":\"dev-1\",\"expiresIn\":900}";
}

class AccountFlowFixture : public ShellFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(service.Running());
        shell = NewShell();
    }

    void TearDown() override {
        if (shell) { EXPECT_TRUE(Settle()) << "a request was still pending at the end of the test"; }
        shell.reset();
    }

    std::unique_ptr<NativeShell> NewShell() {
        auto made = std::make_unique<NativeShell>(GetModuleHandleW(nullptr), ProductKind::Game, service.BaseUrl());
        made->Navigate(navigation::ScreenId::Login);
        return made;
    }

    // Pumps until no request is pending (follow-up requests included); false after a minute, a
    // hang guard only.
    bool Settle(NativeShell* target = nullptr, int timeoutMs = 60000) {
        NativeShell& s = target ? *target : *shell;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (s.accountRequest) {
            s.PumpAccountRequest();
            if (!s.accountRequest) break;
            if (std::chrono::steady_clock::now() > deadline) return false;
            Sleep(2);
        }
        return true;
    }

    void Type(const std::string& field, const std::wstring& value) { shell->fieldValues[field] = value; }

    // Types the address and the password on the sign-in screen and sends "auth.login".
    void SubmitLogin(const std::wstring& email = L"user@example.com", const std::wstring& password = L"Secret123") {
        Type("field.email", email);
        Type("field.password", password);
        shell->Dispatch("auth.login");
    }

    // Signs in through "auth.login" with a scripted session and an empty sync reply.
    void SignIn(const std::string& playerId = "srv-1", const std::string& nickname = "Oksana") {
        service.Script("auth/login", 200, SessionReply(playerId, nickname));
        service.Script("sync", 200, "{}");
        SubmitLogin();
        ASSERT_TRUE(Settle());
        ASSERT_TRUE(shell->serverSession);
    }

    std::filesystem::path SessionFile() const { return Root() / "Auth" / "server.session"; }

    testing::FakeAccountService service;
    std::unique_ptr<NativeShell> shell;
};

}  // namespace tarvo::ui::test
