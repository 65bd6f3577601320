// The account roads end to end against the fake service over loopback: sign-in,
// registration with e-mail verification, device verification, password recovery,
// trusted devices, sign-out and the start with a stored session.
#include "account/server_session.h"
#include "flow_fixture.h"
#include "player/local_player_data_store.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class AccountFlow : public AccountFlowFixture {};

TEST_F(AccountFlow, SignInSyncsAndOpensHomeWithNicknameAndStatistics) {
    service.Script("auth/login", 200, SessionReply("srv-7", "Taras"));
    service.Script("sync", 200,
                   R"({"nickname":"Taras_Pro","avatarId":"av-3","trainings_started":12,"trainings_completed":10,)"
                   R"("kills":150,"deaths":40,"shots_fired":900,"shots_hit":450,"headshots":33,"play_seconds":3600})");
    SubmitLogin(L"taras@example.com", L"Pa ss\"word1");
    ASSERT_TRUE(shell->accountRequest) << "the request runs in the background";
    EXPECT_EQ(shell->accountStatusText, L"ЗВ'ЯЗОК ІЗ TARVONIX ACCOUNT...");
    ASSERT_TRUE(Settle());

    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    ASSERT_TRUE(shell->serverSession);
    EXPECT_EQ(shell->serverSession->playerId, L"srv-7");
    ASSERT_TRUE(shell->accountRecord);
    EXPECT_EQ(shell->accountRecord->createdAt, L"SERVER ACCOUNT");
    EXPECT_EQ(shell->sessionProvider.AccountId(), L"srv-7");
    EXPECT_TRUE(shell->fieldValues["field.password"].empty());

    const player::LocalPlayerData& profile = shell->playerData;
    EXPECT_EQ(profile.identity.playerKey, L"srv-7");
    EXPECT_EQ(profile.identity.displayName, L"Taras_Pro");
    EXPECT_EQ(profile.avatar.avatarId, L"av-3");
    EXPECT_EQ(profile.botStats.trainingsStarted, 12u);
    EXPECT_EQ(profile.botStats.trainingsCompleted, 10u);
    EXPECT_EQ(profile.botStats.kills, 150u);
    EXPECT_EQ(profile.botStats.deaths, 40u);
    EXPECT_EQ(profile.botStats.shotsFired, 900u);
    EXPECT_EQ(profile.botStats.shotsHit, 450u);
    EXPECT_EQ(profile.botStats.headshots, 33u);
    EXPECT_DOUBLE_EQ(profile.botStats.playSeconds, 3600.0);

    // What went over the wire.
    const auto login = service.LastRequest("auth/login");
    ASSERT_TRUE(login);
    EXPECT_EQ(login->method, "POST");
    EXPECT_NE(login->body.find(R"("email":"taras@example.com")"), std::string::npos) << login->body;
    EXPECT_NE(login->body.find(R"("password":"Pa ss\"word1")"), std::string::npos) << login->body;
    EXPECT_NE(login->body.find(R"("locale":"uk-UA")"), std::string::npos) << login->body;
    const auto sync = service.LastRequest("sync");
    ASSERT_TRUE(sync);
    EXPECT_EQ(sync->method, "GET");
    EXPECT_EQ(sync->Header("authorization"), "Bearer access-1");

    // The session and the synced profile were stored.
    std::wstring error;
    const auto stored = account::ServerSessionStore().Load(error);
    ASSERT_TRUE(stored) << std::string(error.begin(), error.end());
    EXPECT_EQ(stored->refreshToken, L"refresh-1");
    const player::LocalPlayerData reread = player::LocalPlayerDataStore().Load(L"srv-7", L"x");
    EXPECT_EQ(reread.botStats.kills, 150u);
    EXPECT_EQ(reread.identity.displayName, L"Taras_Pro");

    EXPECT_TRUE(Logged("AccountRequestStarted=login"));
    EXPECT_TRUE(Logged("AccountRequestCompleted=login Http=200 Code="));
    EXPECT_TRUE(Logged("AccountRequestStarted=sync"));
    EXPECT_TRUE(Logged("AccountRequestCompleted=sync Http=200 Code="));
}

TEST_F(AccountFlow, ANicknameWithControlCharactersIsTheSameOneLineNameFromSignInAndSync) {
    // A newline, a tab, U+0001 and a lone surrogate, escaped as a standard JSON library writes them.
    const std::string nickname = R"(Ok\nsa\tna\u0001\ud800)";
    const std::wstring shown = L"Oksana\uFFFD";
    SignIn("srv-c", nickname);
    ASSERT_TRUE(shell->accountRecord);
    EXPECT_EQ(shell->accountRecord->nickname, shown);
    EXPECT_EQ(shell->playerData.identity.displayName, shown) << "the sign-in's name, kept by a sync without one";

    shell->playerData.identity.displayName = L"changed";
    service.Script("sync", 200, "{\"nickname\":\"" + nickname + "\"}");
    shell->BeginAccountRequest("sync", shell->accountApi.GetSync(shell->serverSession->accessToken));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->playerData.identity.displayName, shown);
    EXPECT_EQ(player::LocalPlayerDataStore().Load(L"srv-c", L"x").identity.displayName, shown);
    std::wstring error;
    const auto stored = account::ServerSessionStore().Load(error);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->nickname, shown);
}

TEST_F(AccountFlow, RegistrationVerifiesTheEmailThenSyncs) {
    shell->registerTab = true;
    shell->acceptPolicy = true;
    shell->localization.SetLocale(localization::Locale::English);
    service.Script("auth/register", 200,
                   R"({"state":"EMAIL_VERIFICATION_REQUIRED","challengeId":"ch-9","maskedEmail":"n***@example.com","code":"VERIFY"})");
    service.Script("auth/verify-email", 200, SessionReply("srv-new", "Nova"));
    service.Script("sync", 200, R"({"kills":3})");
    Type("field.email", L"nova@example.com");
    Type("field.nickname", L"Nova");
    Type("field.password", L"Abcdefg1");
    Type("field.repeat", L"Abcdefg1");
    shell->Dispatch("auth.register");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->router.Current(), ScreenId::VerifyEmail);
    EXPECT_EQ(shell->challengeId, L"ch-9");
    EXPECT_EQ(shell->maskedEmail, L"n***@example.com");
    EXPECT_TRUE(Logged("AccountRequestCompleted=register Http=200 Code=VERIFY"));
    const auto registered = service.LastRequest("auth/register");
    ASSERT_TRUE(registered);
    EXPECT_NE(registered->body.find(R"("nickname":"Nova")"), std::string::npos);
    EXPECT_NE(registered->body.find(R"("locale":"en-US")"), std::string::npos);
    EXPECT_EQ(registered->body.find("legacyAccountId"), std::string::npos) << "no link in progress";

    Type("field.code", L"123456");
    shell->Dispatch("auth.verify-email");
    ASSERT_TRUE(Settle());
    const auto verify = service.LastRequest("auth/verify-email");
    ASSERT_TRUE(verify);
    EXPECT_NE(verify->body.find(R"("challengeId":"ch-9")"), std::string::npos) << verify->body;
    EXPECT_NE(verify->body.find(R"("code":"123456")"), std::string::npos) << verify->body;
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_EQ(shell->playerData.identity.displayName, L"Nova");
    EXPECT_EQ(shell->playerData.botStats.kills, 3u);
    EXPECT_TRUE(shell->fieldValues["field.repeat"].empty());
}

TEST_F(AccountFlow, DeviceVerificationLeadsHome) {
    shell->maskedEmail = L"left over";
    service.Script("auth/login", 200, R"({"state":"DEVICE_VERIFICATION_REQUIRED","challengeId":"dv-1"})");
    SubmitLogin(L"user@example.com", L"x");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->router.Current(), ScreenId::VerifyDevice);
    EXPECT_EQ(shell->challengeId, L"dv-1");
    EXPECT_TRUE(shell->maskedEmail.empty()) << "an answer without a masked address empties the old one";
    EXPECT_FALSE(shell->serverSession);

    service.Script("auth/verify-device", 200, SessionReply("srv-2", "Dev"));
    service.Script("sync", 200, "{}");
    Type("field.code", L"654321");
    shell->Dispatch("auth.verify-device");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_TRUE(shell->serverSession);
    const auto verify = service.LastRequest("auth/verify-device");
    ASSERT_TRUE(verify);
    EXPECT_NE(verify->body.find(R"("challengeId":"dv-1")"), std::string::npos);
}

TEST_F(AccountFlow, VerificationWithoutASessionStillLeadsHome) {
    service.Script("auth/verify-email", 200, R"({"message":"Verified"})");
    shell->Navigate(ScreenId::VerifyEmail);
    shell->Dispatch("auth.verify-email");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_FALSE(shell->serverSession);
    EXPECT_EQ(service.RequestCount(), 1u) << "no sync without a session";
}

TEST_F(AccountFlow, ForgottenPasswordIsResetThenUsedToSignIn) {
    shell->localization.SetLocale(localization::Locale::English);
    shell->Dispatch("auth.forgot");
    EXPECT_EQ(shell->router.Current(), ScreenId::ForgotPassword);
    service.Script("auth/forgot-password", 200, R"({"challengeId":"rc-5","maskedEmail":"u***@example.com"})");
    Type("field.email", L"user@example.com");
    shell->Dispatch("auth.forgot.submit");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->router.Current(), ScreenId::ResetPassword);
    EXPECT_EQ(shell->challengeId, L"rc-5");

    // A mismatching repeat is caught before anything is sent.
    Type("field.code", L"111222");
    Type("field.new_password", L"NewPass1");
    Type("field.repeat", L"NewPass2");
    shell->Dispatch("auth.reset.submit");
    EXPECT_FALSE(shell->accountRequest);
    EXPECT_EQ(shell->fieldErrors["field.repeat"], L"Passwords do not match");
    EXPECT_EQ(service.RequestCount(), 1u);

    service.Script("auth/reset-password", 200, R"({"message":"Password updated"})");
    Type("field.repeat", L"NewPass1");
    Type("field.password", L"old");
    shell->registerTab = true;
    shell->Dispatch("auth.reset.submit");
    ASSERT_TRUE(Settle());
    const auto reset = service.LastRequest("auth/reset-password");
    ASSERT_TRUE(reset);
    EXPECT_NE(reset->body.find(R"("challengeId":"rc-5")"), std::string::npos);
    EXPECT_NE(reset->body.find(R"("newPassword":"NewPass1")"), std::string::npos);
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    EXPECT_EQ(shell->toast, L"PASSWORD CHANGED. SIGN IN AGAIN.");
    EXPECT_FALSE(shell->registerTab);
    EXPECT_TRUE(shell->fieldValues["field.password"].empty());
    EXPECT_TRUE(shell->fieldValues["field.new_password"].empty());
    EXPECT_TRUE(shell->fieldValues["field.repeat"].empty());

    SignIn();
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
}

TEST_F(AccountFlow, ResendKeepsTheChallengeWhenTheAnswerHasNone) {
    shell->challengeId = L"ch-old";
    shell->Navigate(ScreenId::VerifyEmail);
    service.Script("auth/resend-verification", 200, "{}");
    shell->Dispatch("auth.resend");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->challengeId, L"ch-old");
    EXPECT_EQ(shell->toast, L"НОВИЙ КОД НАДІСЛАНО");
    EXPECT_EQ(shell->router.Current(), ScreenId::VerifyEmail);
    const auto resend = service.LastRequest("auth/resend-verification");
    ASSERT_TRUE(resend);
    EXPECT_NE(resend->body.find(R"("challengeId":"ch-old")"), std::string::npos);

    service.Script("auth/resend-verification", 200, R"({"challengeId":"ch-new","maskedEmail":"m***"})");
    shell->Dispatch("auth.resend");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->challengeId, L"ch-new");
    EXPECT_EQ(shell->maskedEmail, L"m***");
}

TEST_F(AccountFlow, DevicesAreListedAndARevokeRefreshesTheList) {
    shell->localization.SetLocale(localization::Locale::English);
    SignIn();
    service.Script("account/devices", 200,
                   "{\"devices\":[{\"deviceId\":\"dev-1\",\"displayName\":\"Desk\",\"current\":true},"
                   "{\"deviceId\":\"\xD0\x9F\xD0\x9A-2\",\"displayName\":\"Laptop\",\"lastSeenAt\":\"2026-05-01\"}]}");
    shell->Dispatch("auth.devices");
    EXPECT_EQ(shell->router.Current(), ScreenId::Devices);
    EXPECT_FALSE(shell->accountRequest) << "opening the screen sends nothing";
    shell->Dispatch("auth.devices.refresh");
    EXPECT_EQ(shell->accountStatusText, L"CONTACTING TARVONIX ACCOUNT...");
    ASSERT_TRUE(Settle());
    ASSERT_EQ(shell->trustedDevices.size(), 2u);
    EXPECT_TRUE(shell->trustedDevices[0].current);
    EXPECT_EQ(shell->trustedDevices[1].deviceId, L"\u041F\u041A-2");
    EXPECT_EQ(shell->trustedDevices[1].trustedAt, L"NONE");
    EXPECT_EQ(shell->accountStatusText, L"2 DEVICES");
    EXPECT_EQ(service.LastRequest("account/devices")->Header("authorization"), "Bearer access-1");

    // The devices screen writes the id as UTF-8 into the command.
    service.Script("account/devices/revoke", 200, "{}");
    service.Script("account/devices", 200, R"({"devices":[{"deviceId":"dev-1","current":true}]})");
    const size_t before = service.RequestCount();
    shell->Dispatch("auth.device.revoke.\xD0\x9F\xD0\x9A-2");
    ASSERT_TRUE(Settle());
    const auto requests = service.Requests();
    ASSERT_EQ(requests.size(), before + 2);
    EXPECT_EQ(requests[before].path, "/api/v1/account/devices/revoke");
    EXPECT_NE(requests[before].body.find("\"deviceId\":\"\xD0\x9F\xD0\x9A-2\""), std::string::npos)
        << requests[before].body;
    EXPECT_NE(requests[before].body.find(R"("confirmCurrent":false)"), std::string::npos);
    EXPECT_EQ(requests[before + 1].path, "/api/v1/account/devices");
    ASSERT_EQ(shell->trustedDevices.size(), 1u);
    EXPECT_EQ(shell->accountStatusText, L"1 DEVICES");

    service.Script("account/devices", 200, R"({"devices":[]})");
    shell->Dispatch("auth.devices.refresh");
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(shell->trustedDevices.empty());
    EXPECT_EQ(shell->accountStatusText, L"0 DEVICES");
}

TEST_F(AccountFlow, DeviceCommandsNeedASession) {
    shell->Dispatch("auth.devices.refresh");
    shell->Dispatch("auth.device.revoke.dev-1");
    shell->Dispatch("auth.logout.all");
    EXPECT_FALSE(shell->accountRequest);
    EXPECT_EQ(service.RequestCount(), 0u);
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
}

TEST_F(AccountFlow, SignOutDeletesTheStoredSession) {
    SignIn();
    ASSERT_TRUE(std::filesystem::exists(SessionFile()));
    service.Script("auth/logout", 200, "{}");
    Type("field.password", L"typed again");
    shell->Dispatch("auth.logout");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    EXPECT_FALSE(shell->serverSession);
    EXPECT_FALSE(shell->accountRecord);
    EXPECT_FALSE(shell->sessionProvider.IsActive());
    EXPECT_TRUE(shell->fieldValues["field.password"].empty());
    EXPECT_FALSE(std::filesystem::exists(SessionFile()));
    const auto logout = service.LastRequest("auth/logout");
    ASSERT_TRUE(logout);
    EXPECT_NE(logout->body.find(R"("allDevices":false)"), std::string::npos);
    EXPECT_EQ(logout->Header("authorization"), "Bearer access-1");

    SignIn();
    shell->Dispatch("auth.logout.all");
    ASSERT_TRUE(Settle());
    EXPECT_NE(service.LastRequest("auth/logout")->body.find(R"("allDevices":true)"), std::string::npos);
    EXPECT_FALSE(shell->serverSession);
}

TEST_F(AccountFlow, LocalSignOutDeletesTheDeviceCredential) {
    const std::filesystem::path credential = shell->deviceCredentials.Path();
    testing::WriteBytes(credential, "anything");
    auth::LocalAccountRecord record;
    record.accountId = L"local-1";
    shell->accountRecord = record;
    shell->sessionProvider.Begin(L"local-1");
    shell->registerTab = true;
    Type("field.password", L"p");
    Type("field.repeat", L"p");
    shell->Navigate(ScreenId::Settings);
    shell->Dispatch("auth.logout");
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    EXPECT_FALSE(std::filesystem::exists(credential));
    EXPECT_FALSE(shell->accountRecord);
    EXPECT_FALSE(shell->sessionProvider.IsActive());
    EXPECT_FALSE(shell->registerTab);
    EXPECT_TRUE(shell->fieldValues["field.repeat"].empty());
    EXPECT_EQ(service.RequestCount(), 0u);

    shell->Dispatch("auth.logout");  // nothing left to delete: still fine
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
}

TEST_F(AccountFlow, LeavingSettingsSignedInSendsTheSettings) {
    SignIn();
    service.Script("sync/settings", 200, R"({"message":"Saved"})");
    shell->Dispatch("nav.settings");
    shell->Dispatch("nav.back");
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu) << "the request does not hold the navigation";
    ASSERT_TRUE(Settle());
    const auto settings = service.LastRequest("sync/settings");
    ASSERT_TRUE(settings);
    EXPECT_NE(settings->body.find(R"("settings":{"locale":"uk-UA","renderer":"auto","quality":1,"fpsLimit":144,)"
                                  R"("masterVolume":0.700000,"autoDownload":true,"installOnExit":true})"),
              std::string::npos)
        << settings->body;
    EXPECT_EQ(shell->toast, L"Saved") << "a success without a session shows the service's message";
}

TEST_F(AccountFlow, AStoredSessionIsRestoredByTheNextStartAndRefreshed) {
    SignIn("srv-keep", "Keeper");
    shell->playerData.botStats.kills = 77;
    shell->SavePlayerData();
    ASSERT_TRUE(Settle());
    shell.reset();

    service.Script("auth/refresh", 200, SessionReply("srv-keep", "Keeper", "access-2", "refresh-2"));
    service.Script("sync", 200, R"({"deaths":5})");
    shell = std::make_unique<NativeShell>(GetModuleHandleW(nullptr), ProductKind::Game, service.BaseUrl());
    shell->startup.EnterSplash(NativeShell::Clock::now() - std::chrono::milliseconds(1500));
    shell->startup.CompleteInitialization(true);
    shell->PumpSplashTransition();
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    ASSERT_TRUE(shell->serverSession);
    EXPECT_EQ(shell->playerData.botStats.kills, 77u) << "the stored profile of that account";
    EXPECT_EQ(shell->accountRequestName, "refresh");
    ASSERT_TRUE(Settle());
    const auto refresh = service.LastRequest("auth/refresh");
    ASSERT_TRUE(refresh);
    EXPECT_NE(refresh->body.find("refresh-1"), std::string::npos) << refresh->body;
    EXPECT_EQ(service.LastRequest("sync")->Header("authorization"), "Bearer access-2");
    EXPECT_EQ(shell->serverSession->accessToken, L"access-2");
    EXPECT_EQ(shell->playerData.botStats.kills, 77u) << "the sync carried no kills";
    EXPECT_EQ(shell->playerData.botStats.deaths, 5u);
    EXPECT_TRUE(Logged("ServerTrustedDeviceCacheRestored"));
    EXPECT_TRUE(Logged("AccountRequestStarted=refresh"));

    std::wstring error;
    const auto stored = account::ServerSessionStore().Load(error);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->refreshToken, L"refresh-2") << "the refreshed session replaces the stored one";
}

TEST_F(AccountFlow, AFailedRefreshKeepsTheUserHomeAndSignedIn) {
    SignIn();
    shell.reset();
    service.Script("auth/refresh", 401, R"({"code":"TOKEN_EXPIRED","message":"Session expired"})");
    shell = std::make_unique<NativeShell>(GetModuleHandleW(nullptr), ProductKind::Game, service.BaseUrl());
    shell->startup.EnterSplash(NativeShell::Clock::now() - std::chrono::seconds(4));
    shell->PumpSplashTransition();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_TRUE(shell->serverSession);
    EXPECT_EQ(shell->toast, L"Session expired");
    EXPECT_TRUE(Logged("AccountRequestCompleted=refresh Http=401 Code=TOKEN_EXPIRED"));
}

}  // namespace
}  // namespace tarvo::ui::test
