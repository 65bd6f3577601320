// Every failure kind of the account service as the user sees it, field validation
// that sends nothing, the one-request-at-a-time and sync rules, and the statistics
// still pending when the window closes.
#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <vector>

#include "account/account_reply.h"
#include "common/http_request.h"
#include "common/text_utils.h"
#include "flow_fixture.h"
#include "online/match_service.h"
#include "player/local_player_data_store.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class AccountFailures : public AccountFlowFixture {
protected:
    // A sign-in whose reply is scripted; leaves the shell where the reply put it.
    void FailedSignIn(int status, std::string body, std::string contentType = "application/json") {
        service.Script("auth/login", testing::ScriptedReply{status, std::move(body), std::move(contentType)});
        SubmitLogin();
        ASSERT_TRUE(Settle());
    }

    void ExpectNothingStored() {
        EXPECT_EQ(shell->router.Current(), ScreenId::Login);
        EXPECT_FALSE(shell->serverSession);
        EXPECT_FALSE(shell->accountRecord);
        EXPECT_FALSE(std::filesystem::exists(SessionFile()));
        EXPECT_FALSE(std::filesystem::exists(Root() / "Profile" / "player.dat"));
        EXPECT_EQ(service.LastRequest("sync"), std::nullopt) << "no follow-up after a failure";
        EXPECT_EQ(shell->fieldValues["field.password"], L"Secret123") << "the typed password stays for a retry";
    }

    template <typename T>
    static std::future<T> Ready(T value) {
        std::promise<T> promise;
        promise.set_value(std::move(value));
        return promise.get_future();
    }
};

TEST_F(AccountFailures, ServiceErrorsShowTheirMessageUnderThePassword) {
    struct Case {
        int status;
        const char* body;
        const wchar_t* text;
    };
    const Case cases[] = {
        {400, R"({"code":"BAD_EMAIL","message":"E-mail is not valid"})", L"E-mail is not valid"},
        {401, R"({"code":"INVALID_CREDENTIALS"})", L"Account request failed."},
        {500, "<html>oops</html>", L"Account request failed."},
        {200, R"({"accessToken":"a","refreshToken")", L"Сервіс акаунтів надіслав нечитабельну відповідь."},
        {200, "{\"message\":\"\xC3\x28\"}", L"INVALID UTF-8 RESPONSE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        shell->fieldErrors.clear();
        FailedSignIn(c.status, c.body);
        EXPECT_EQ(shell->toast, c.text);
        EXPECT_EQ(shell->fieldErrors["field.password"], c.text);
        EXPECT_EQ(shell->fieldErrors.count("field.email"), 0u);
        EXPECT_EQ(shell->accountStatusText, c.text);
        ExpectNothingStored();
    }
    EXPECT_TRUE(Logged("AccountRequestCompleted=login Http=400 Code=BAD_EMAIL"));
    EXPECT_TRUE(Logged("AccountRequestCompleted=login Http=500 Code="));
}

// No listener: the service could not be reached. A request stopped while its service holds it was
// cancelled, and stays open until the service lets go; with too many still closing, the next one is
// not sent at all and says so in the player's language.
TEST_F(AccountFailures, RequestsWithoutAnAnswerSayWhy) {
    const auto signInAt = [&](const std::wstring& url, localization::Locale locale) {
        shell = std::make_unique<NativeShell>(GetModuleHandleW(nullptr), ProductKind::Game, url);
        shell->Navigate(ScreenId::Login);
        shell->localization.SetLocale(locale);
        SubmitLogin();
    };
    signInAt(kUnreachableAccountService, localization::Locale::Ukrainian);  // the connection is refused
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->toast, L"Не вдалося зв'язатися з сервісом акаунтів.");
    EXPECT_TRUE(Logged("AccountRequestCompleted=login Http=0 Code= Failure=Unreachable"));
    ExpectNothingStored();

    // Each request a held service took is stopped, until one is not sent (the words of either
    // language: EachFailureIsWordedInTheInterfaceLanguage).
    std::vector<std::unique_ptr<testing::FakeAccountService>> holding;
    const std::wstring notSent = L"Запит до сервісу акаунтів не надіслано: попередні ще закриваються. Спробуйте за мить.";
    for (int tries = 0; tries < 40 && shell->toast != notSent; ++tries) {
        testing::FakeAccountService& held = *holding.emplace_back(std::make_unique<testing::FakeAccountService>());
        held.Hold();
        signInAt(held.BaseUrl(), localization::Locale::Ukrainian);
        const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (held.RequestCount() == 0 && shell->accountRequest && std::chrono::steady_clock::now() < guard) {
            shell->PumpAccountRequest();
            Sleep(2);
        }
        if (held.RequestCount() == 0) continue;
        distribution::CancelHttpRequests();
        ASSERT_TRUE(Settle());
        EXPECT_EQ(shell->toast, L"Запит до сервісу акаунтів скасовано.");
    }
    EXPECT_EQ(shell->toast, notSent);
    EXPECT_EQ(shell->fieldErrors["field.password"], notSent);
    EXPECT_TRUE(Logged("AccountRequestCompleted=login Http=0 Code= Failure=NotSent"));

    // Once the services let go those close (on WinHTTP's own threads), and requests go out again.
    holding.clear();
    service.Script("auth/login", 401, R"({"message":"Wrong password"})");
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (shell->toast != L"Wrong password" && std::chrono::steady_clock::now() < guard) {
        Sleep(10);
        signInAt(service.BaseUrl(), localization::Locale::English);
        ASSERT_TRUE(Settle());
    }
    EXPECT_EQ(shell->toast, L"Wrong password");
}

// Each way a request can get no usable answer has its own words in either language, in the
// toast, under the password and in the status line.
TEST_F(AccountFailures, EachFailureIsWordedInTheInterfaceLanguage) {
    using account::AccountFailure;
    const std::tuple<AccountFailure, const wchar_t*, const wchar_t*> cases[] = {
        {AccountFailure::NotSent,
         L"Запит до сервісу акаунтів не надіслано: попередні ще закриваються. Спробуйте за мить.",
         L"The account request was not sent: earlier ones are still closing. Try again shortly."},
        {AccountFailure::Unreachable, L"Не вдалося зв'язатися з сервісом акаунтів.",
         L"The account service could not be reached."},
        {AccountFailure::TimedOut, L"Сервіс акаунтів не відповів вчасно.",
         L"The account service did not answer in time."},
        {AccountFailure::Unreadable, L"Сервіс акаунтів надіслав нечитабельну відповідь.",
         L"The account service sent an unreadable reply."},
        {AccountFailure::CutOff, L"Відповідь сервісу акаунтів обірвалася.", L"The account service reply was cut off."},
        {AccountFailure::TooLarge, L"Відповідь сервісу акаунтів завелика.", L"The account service reply is too large."},
        {AccountFailure::Cancelled, L"Запит до сервісу акаунтів скасовано.", L"The account request was cancelled."},
    };
    for (const auto& [failure, ukrainian, english] : cases) {
        for (const auto& [locale, text] : {std::pair(localization::Locale::Ukrainian, ukrainian),
                                           std::pair(localization::Locale::English, english)}) {
            SCOPED_TRACE(distribution::WideToUtf8(text));
            shell->localization.SetLocale(locale);
            shell->fieldErrors.clear();
            shell->BeginAccountRequest("login", Ready(account::FailedResponse(failure)));
            shell->PumpAccountRequest();
            EXPECT_EQ(shell->toast, text);
            EXPECT_EQ(shell->fieldErrors["field.password"], text);
            EXPECT_EQ(shell->accountStatusText, text);
        }
    }
}

TEST_F(AccountFailures, AFailedRegistrationMarksTheEmailAndOtherScreensOnlyTheToast) {
    shell->acceptPolicy = true;
    service.Script("auth/register", 409, R"({"message":"Address already registered"})");
    Type("field.email", L"user@example.com");
    Type("field.nickname", L"N");
    Type("field.password", L"Abcdefg1");
    Type("field.repeat", L"Abcdefg1");
    shell->Dispatch("auth.register");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->fieldErrors["field.email"], L"Address already registered");
    EXPECT_EQ(shell->fieldErrors.count("field.password"), 0u);

    shell->Navigate(ScreenId::ForgotPassword);
    shell->fieldErrors.clear();
    service.Script("auth/forgot-password", 503, "");
    shell->Dispatch("auth.forgot.submit");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->router.Current(), ScreenId::ForgotPassword);
    EXPECT_EQ(shell->toast, L"Account request failed.");
    EXPECT_TRUE(shell->fieldErrors.empty());
}

TEST_F(AccountFailures, AnEmptyFailureMessageHasItsOwnText) {
    shell->BeginAccountRequest(
        "login", Ready(account::AccountResponse{.kind = account::AccountResponseKind::Rejected, .httpStatus = 403}));
    shell->PumpAccountRequest();
    EXPECT_EQ(shell->toast, L"TARVONIX ACCOUNT REQUEST FAILED");
    EXPECT_EQ(shell->fieldErrors["field.password"], L"TARVONIX ACCOUNT REQUEST FAILED");
}

TEST_F(AccountFailures, AThrowingRequestCountsAsUnavailable) {
    std::promise<account::AccountResponse> promise;
    promise.set_exception(std::make_exception_ptr(std::runtime_error("worker died")));
    shell->BeginAccountRequest("login", promise.get_future());
    shell->PumpAccountRequest();
    EXPECT_FALSE(shell->accountRequest);
    EXPECT_TRUE(shell->accountRequestName.empty());
    EXPECT_EQ(shell->toast, L"The account request could not be completed.");
    EXPECT_EQ(shell->fieldErrors["field.password"], shell->toast);
    EXPECT_TRUE(Logged("AccountRequestCompleted=login Http=0 Code="));

    // A future without a task is not waited on forever either.
    shell->BeginAccountRequest("devices", std::future<account::AccountResponse>());
    shell->PumpAccountRequest();
    EXPECT_FALSE(shell->accountRequest);
}

TEST_F(AccountFailures, ASecondRequestIsRefusedBeforeItStarts) {
    service.Hold();
    service.Script("auth/login", 200, R"({"message":"no session"})");
    SubmitLogin();
    ASSERT_TRUE(service.WaitForRequests(1));
    shell->PumpAccountRequest();  // not ready: nothing changes
    EXPECT_EQ(shell->accountRequestName, "login");

    shell->Dispatch("auth.forgot.submit");
    shell->Dispatch("auth.login");
    shell->Dispatch("auth.resend");
    EXPECT_EQ(shell->accountRequestName, "login");
    service.Release();
    ASSERT_TRUE(Settle());
    Sleep(100);  // a request that had been started anyway would have arrived by now
    EXPECT_EQ(service.RequestCount(), 1u);
    EXPECT_FALSE(Logged("AccountRequestStarted=forgot"));
    EXPECT_FALSE(Logged("AccountRequestStarted=resend"));
    EXPECT_EQ(shell->toast, L"no session");
}

TEST_F(AccountFailures, SignInFieldsAreCheckedAndNothingIsSent) {
    Type("field.email", L"@example.com");
    Type("field.password", L"");
    shell->Dispatch("auth.login");
    EXPECT_EQ(shell->fieldErrors["field.email"], L"Введіть коректний email");
    EXPECT_EQ(shell->fieldErrors["field.password"], shell->localization.Get(L"error_password"));

    shell->localization.SetLocale(localization::Locale::English);
    Type("field.email", L"user@example.com");
    shell->Dispatch("auth.login");
    EXPECT_EQ(shell->fieldErrors.count("field.email"), 0u);
    EXPECT_EQ(shell->fieldErrors["field.password"], shell->localization.Get(L"error_password"));

    const wchar_t* rejected[] = {L"a@.bc", L"a@bc", L"a@b.", L"a b@c.de", L"@c.de", L"a@bcd", L""};
    Type("field.password", L"x");
    for (const wchar_t* email : rejected) {
        Type("field.email", email);
        shell->Dispatch("auth.login");
        EXPECT_EQ(shell->fieldErrors["field.email"], L"Enter a valid email") << std::wstring(email).size();
    }
    EXPECT_FALSE(shell->accountRequest);
    EXPECT_EQ(service.RequestCount(), 0u);

    service.Script("auth/login", 400, "{}");
    Type("field.email", L"a@b.c");  // the shortest accepted shape
    shell->Dispatch("auth.login");
    EXPECT_TRUE(shell->accountRequest);
}

TEST_F(AccountFailures, RegistrationFieldsAreAllCheckedAndNothingIsSent) {
    shell->localization.SetLocale(localization::Locale::English);
    Type("field.email", L"bad");
    Type("field.nickname", L"");
    Type("field.password", L"abcdefg1");  // no upper-case letter
    Type("field.repeat", L"abcdefg2");
    shell->Dispatch("auth.register");
    EXPECT_EQ(shell->fieldErrors["field.email"], L"Enter a valid email");
    EXPECT_EQ(shell->fieldErrors["field.nickname"], L"Enter a nickname");
    EXPECT_EQ(shell->fieldErrors["field.password"], shell->localization.Get(L"error_password"));
    EXPECT_EQ(shell->fieldErrors["field.repeat"], L"Passwords do not match");
    EXPECT_EQ(shell->fieldErrors["field.policy"], L"Accept the rules and policy");

    const wchar_t* weak[] = {L"Abcde1f", L"ABCDEFG1", L"Abcdefgh", L"abcdefg1"};
    Type("field.email", L"user@example.com");
    Type("field.nickname", L"N");
    shell->acceptPolicy = true;
    for (const wchar_t* password : weak) {
        Type("field.password", password);
        Type("field.repeat", password);
        shell->Dispatch("auth.register");
        ASSERT_EQ(shell->fieldErrors.size(), 1u);
        EXPECT_EQ(shell->fieldErrors.count("field.password"), 1u);
    }
    Type("field.password", L"Abcdefg1");
    Type("field.repeat", L"abcdefg1");  // case-sensitive
    shell->Dispatch("auth.register");
    ASSERT_EQ(shell->fieldErrors.size(), 1u);
    EXPECT_EQ(shell->fieldErrors.count("field.repeat"), 1u);

    Type("field.repeat", L"Abcdefg1");
    shell->acceptPolicy = false;
    shell->Dispatch("auth.register");
    ASSERT_EQ(shell->fieldErrors.size(), 1u);
    EXPECT_EQ(shell->fieldErrors.count("field.policy"), 1u);
    EXPECT_FALSE(shell->accountRequest);
    EXPECT_EQ(service.RequestCount(), 0u);
}

TEST_F(AccountFailures, ASyncOverwritesOnlyTheFiguresItCarries) {
    service.Script("auth/login", 200, SessionReply("srv-3", "Ira"));
    service.Script("sync", 200, R"({"nickname":"NONE","kills":9,"deaths":null,"headshots":"4","shots_fired":-2})");
    // The account's stored profile already has figures.
    {
        player::LocalPlayerData stored = player::LocalPlayerDataStore::Defaults(L"srv-3", L"Ira");
        stored.botStats.kills = 1;
        stored.botStats.deaths = 2;
        stored.botStats.headshots = 3;
        stored.botStats.shotsFired = 4;
        stored.botStats.playSeconds = 5.5;
        ASSERT_TRUE(player::LocalPlayerDataStore().Save(stored));
    }
    SubmitLogin();
    ASSERT_TRUE(Settle());
    const player::BotStats& stats = shell->playerData.botStats;
    EXPECT_EQ(stats.kills, 9u);
    EXPECT_EQ(stats.deaths, 2u) << "null carries no figure";
    EXPECT_EQ(stats.headshots, 3u) << "a quoted number carries no figure";
    EXPECT_EQ(stats.shotsFired, 4u);
    EXPECT_DOUBLE_EQ(stats.playSeconds, 5.5);
    EXPECT_EQ(shell->playerData.identity.displayName, L"Ira") << "a nickname NONE is ignored";
}

TEST_F(AccountFailures, AFinishedSyncNeverLeavesAMatch) {
    for (ScreenId screen : {ScreenId::Gameplay, ScreenId::Pause}) {
        const account::AccountResponse response{
            .kind = account::AccountResponseKind::Success, .httpStatus = 200, .message = L"OK", .body = R"({"kills":4})"};
        shell->router.Navigate(screen);
        shell->BeginAccountRequest("sync", Ready(response));
        shell->PumpAccountRequest();
        EXPECT_EQ(shell->router.Current(), screen);
        EXPECT_EQ(shell->playerData.botStats.kills, 4u);
    }
    // Anywhere else the sync still opens home, even after the user moved on.
    shell->Navigate(ScreenId::Settings);
    shell->BeginAccountRequest("sync", Ready(account::AccountResponse{.kind = account::AccountResponseKind::Success}));
    shell->PumpAccountRequest();
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
}

TEST_F(AccountFailures, AFailedSyncLeavesTheUserSignedInWhereTheyWere) {
    service.Script("auth/login", 200, SessionReply("srv-4", "Lev"));
    service.Script("sync", 500, R"({"message":"Sync is down"})");
    SubmitLogin();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    EXPECT_TRUE(shell->serverSession);
    EXPECT_TRUE(std::filesystem::exists(SessionFile()));
    EXPECT_EQ(shell->fieldErrors["field.password"], L"Sync is down");
}

// The session's statistics, pending as the window closes, reach a service that answers 1.5 s after
// the window has gone; a status probe without an answer is cancelled after the short grace.
TEST_F(AccountFailures, StatisticsPendingAtExitAreSentAfterTheWindowHasGone) {
    service.Script("sync/bot-stats", 200, R"({"code":"OK"})");
    service.Hold();
    testing::FakeAccountService silent;
    silent.Hold();
    std::atomic<HWND> window = nullptr;
    std::atomic<bool> goneFirst = false;
    std::thread answer([&] {
        const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while ((!window || IsWindow(window)) && std::chrono::steady_clock::now() < guard) Sleep(10);
        goneFirst = !IsWindow(window);
        Sleep(1500);
        service.Release();
    });
    EXPECT_EQ(RunStepping(*shell, [&](NativeShell& s) {
        if (window.exchange(s.window)) return;
        s.BeginAccountRequest("stats", s.accountApi.SyncBotStats(L"access-1", L"id_1", R"({"kills":3})"));
        s.statusProbe = std::async(std::launch::async, [&] { return online::FetchMatchStatus(silent.BaseUrl()); });
        silent.WaitForRequests(1);
        PostMessageW(s.window, WM_CLOSE, 0, 0);
    }, 60000), 0);
    answer.join();
    EXPECT_TRUE(goneFirst);
    EXPECT_EQ(service.LastRequest("sync/bot-stats").value_or(testing::RecordedRequest{}).body,
              R"({"submissionId":"id_1","stats":{"kills":3}})");
    EXPECT_TRUE(InOrder(LogEvents(), {"PendingRequestsAtExit=stats,match.status", "NetworkRequestsCancelled=1",
                                      "StatsSubmissionAtExit=Sent Http=200 Code=OK"}));
}

}  // namespace
}  // namespace tarvo::ui::test
