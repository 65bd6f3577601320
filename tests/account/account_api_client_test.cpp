#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <future>

#include "account/account_api_client.h"
#include "account/http_transport.h"
#include "account/json_reader.h"
#include "common/data_roots.h"
#include "common/text_utils.h"
#include "support/fake_account_service.h"
#include "support/temp_folder.h"

using namespace std::chrono_literals;
using tarvo::account::AccountApiClient;
using tarvo::account::AccountResponse;
using tarvo::account::AccountResponseKind;
using tarvo::account::JsonMemberString;
using tarvo::testing::FakeAccountService;
using tarvo::testing::RecordedRequest;

namespace {

// Waits for a worker with a generous safety limit so a broken client fails the test instead of hanging it.
AccountResponse Await(std::future<AccountResponse> future) {
    if (future.wait_for(30s) != std::future_status::ready) {
        ADD_FAILURE() << "account request did not finish";
        return {};
    }
    return future.get();
}

std::string ComputerNameUtf8() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &size);
    return tarvo::distribution::WideToUtf8(std::wstring(name, size));
}

std::string DeviceContextJson() {
    return "\"installationId\":\"" + tarvo::distribution::WideToUtf8(tarvo::distribution::EnsureInstallationId()) +
           "\",\"deviceName\":\"" + AccountApiClient::JsonEscape(ComputerNameUtf8()) +
           "\",\"clientVersion\":\"0.0.03.5\"";
}

// "{" + device context + rest.
std::string WithContext(const std::string& rest) {
    std::string body = "{";
    body += DeviceContextJson();
    body += rest;
    return body;
}

class AccountClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(service.Running()); }

    RecordedRequest Only() {
        std::vector<RecordedRequest> all = service.Requests();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? RecordedRequest{} : all.back();
    }

    tarvo::testing::TempDataRoot root;
    FakeAccountService service;
    AccountApiClient client{service.BaseUrl()};
};

}  // namespace

TEST_F(AccountClientTest, SignInFamilyPostsDeviceContextAndFields) {
    service.Script("auth/login", 200, "{}");
    Await(client.Login(L"ann@example.com", L"Secret123", L"uk-UA"));
    RecordedRequest login = Only();
    EXPECT_EQ(login.method, "POST");
    EXPECT_EQ(login.path, "/api/v1/auth/login");
    EXPECT_EQ(login.Header("content-type"), "application/json; charset=utf-8");
    EXPECT_EQ(login.Header("authorization"), "");
    EXPECT_EQ(login.body, WithContext(",\"email\":\"ann@example.com\",\"password\":\"Secret123\",\"locale\":\"uk-UA\"}"));
    EXPECT_FALSE(tarvo::distribution::EnsureInstallationId().empty());
}

TEST_F(AccountClientTest, RegisterSendsLegacyIdOnlyWhenGiven) {
    service.Script("auth/register", 200, "{}");
    Await(client.Register(L"a@b.cd", L"Nick", L"Pass1234", L"en-US", L""));
    Await(client.Register(L"a@b.cd", L"Nick", L"Pass1234", L"en-US", L"LOCAL"));
    std::vector<RecordedRequest> all = service.Requests();
    ASSERT_EQ(all.size(), 2u);
    const std::string common = WithContext(",\"email\":\"a@b.cd\",\"nickname\":\"Nick\",\"password\":\"Pass1234\",\"locale\":\"en-US\"");
    EXPECT_EQ(all[0].path, "/api/v1/auth/register");
    EXPECT_EQ(all[0].body, common + "}");
    EXPECT_EQ(all[1].body, common + ",\"legacyAccountId\":\"LOCAL\"}");
}

TEST_F(AccountClientTest, VerificationAndRecoveryBodies) {
    Await(client.VerifyEmail(L"ch-1", L"123456"));
    Await(client.VerifyDevice(L"ch-2", L"654321"));
    Await(client.ResendVerification(L"ch-1", L"uk-UA"));
    Await(client.ForgotPassword(L"ann@example.com", L"en-US"));
    Await(client.ResetPassword(L"ch-3", L"111222", L"NewPass9"));
    Await(client.Refresh(L"refresh-token"));
    std::vector<RecordedRequest> all = service.Requests();
    ASSERT_EQ(all.size(), 6u);
    struct Expected {
        const char* path;
        std::string body;
    } expected[] = {
        {"/api/v1/auth/verify-email", WithContext(",\"challengeId\":\"ch-1\",\"code\":\"123456\"}")},
        {"/api/v1/auth/verify-device", WithContext(",\"challengeId\":\"ch-2\",\"code\":\"654321\"}")},
        {"/api/v1/auth/resend-verification", R"({"challengeId":"ch-1","locale":"uk-UA"})"},
        {"/api/v1/auth/forgot-password", R"({"email":"ann@example.com","locale":"en-US"})"},
        {"/api/v1/auth/reset-password", R"({"challengeId":"ch-3","code":"111222","newPassword":"NewPass9"})"},
        {"/api/v1/auth/refresh", R"({"refreshToken":"refresh-token","clientVersion":"0.0.03.5"})"},
    };
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].method, "POST") << i;
        EXPECT_EQ(all[i].path, expected[i].path) << i;
        EXPECT_EQ(all[i].body, expected[i].body) << i;
        EXPECT_EQ(all[i].Header("authorization"), "") << i;
    }
}

TEST_F(AccountClientTest, SignedInRequestsCarryTheBearer) {
    Await(client.Logout(L"tok-1", true));
    Await(client.Logout(L"tok-1", false));
    Await(client.GetSync(L"tok-2"));
    Await(client.GetDevices(L"tok-3"));
    Await(client.RevokeDevice(L"tok-4", L"dev-9", false));
    Await(client.UploadAvatar(L"tok-5", "iVBORw0KGgo="));
    Await(client.SyncSettings(L"tok-6", R"({"locale":"uk-UA","quality":1})", 1));
    Await(client.SyncBotStats(L"tok-7", L"inst_1700000000000", R"({"kills":3})"));
    Await(client.LinkLegacy(L"tok-8", L"LOCAL", R"({"inventory":["weapon.legacy_assault_rifle"]})"));
    std::vector<RecordedRequest> all = service.Requests();
    ASSERT_EQ(all.size(), 9u);
    struct Expected {
        const char* method;
        const char* path;
        const char* bearer;
        const char* body;
    } expected[] = {
        {"POST", "/api/v1/auth/logout", "Bearer tok-1", R"({"allDevices":true})"},
        {"POST", "/api/v1/auth/logout", "Bearer tok-1", R"({"allDevices":false})"},
        {"GET", "/api/v1/sync", "Bearer tok-2", ""},
        {"GET", "/api/v1/account/devices", "Bearer tok-3", ""},
        {"POST", "/api/v1/account/devices/revoke", "Bearer tok-4", R"({"deviceId":"dev-9","confirmCurrent":false})"},
        {"POST", "/api/v1/profile/avatar", "Bearer tok-5", R"({"mimeType":"image/png","dataBase64":"iVBORw0KGgo="})"},
        {"POST", "/api/v1/sync/settings", "Bearer tok-6", R"({"version":1,"settings":{"locale":"uk-UA","quality":1}})"},
        {"POST", "/api/v1/sync/bot-stats", "Bearer tok-7", R"({"submissionId":"inst_1700000000000","stats":{"kills":3}})"},
        {"POST", "/api/v1/account/link-legacy", "Bearer tok-8",
         R"({"legacyAccountId":"LOCAL","safeData":{"inventory":["weapon.legacy_assault_rifle"]}})"},
    };
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].method, expected[i].method) << i;
        EXPECT_EQ(all[i].path, expected[i].path) << i;
        EXPECT_EQ(all[i].Header("authorization"), expected[i].bearer) << i;
        EXPECT_EQ(all[i].body, expected[i].body) << i;
    }
    EXPECT_EQ(all[2].Header("content-type"), "");
}

TEST_F(AccountClientTest, TextsAreEscapedAndUtf8) {
    Await(client.ForgotPassword(L"Ім'я \"q\"\\@x.ua\n", L"uk-UA"));
    RecordedRequest r = Only();
    ASSERT_TRUE(tarvo::account::IsJsonObject(r.body)) << r.body;
    EXPECT_EQ(JsonMemberString(r.body, "email"), tarvo::distribution::WideToUtf8(L"Ім'я \"q\"\\@x.ua\n"));
}

TEST_F(AccountClientTest, RepliesBecomeResponses) {
    service.Script("auth/login", 200,
                   R"({"playerId":"p-1","nickname":"Ann","email":"ann@x.com","accessToken":"A","refreshToken":"R",)"
                   R"("deviceId":"d-1","expiresIn":600,"code":"SIGNED_IN"})");
    AccountResponse r = Await(client.Login(L"ann@x.com", L"Secret123", L"en-US"));
    EXPECT_EQ(r.kind, AccountResponseKind::Success);
    EXPECT_EQ(r.httpStatus, 200u);
    EXPECT_EQ(r.code, L"SIGNED_IN");
    EXPECT_EQ(r.message, L"OK");
    ASSERT_TRUE(r.session);
    EXPECT_EQ(r.session->playerId, L"p-1");
    EXPECT_EQ(r.session->accessToken, L"A");
    EXPECT_EQ(r.session->refreshToken, L"R");
    EXPECT_EQ(r.session->accessExpirySeconds, 600u);

    service.Script("auth/register", 200,
                   R"({"state":"EMAIL_VERIFICATION_REQUIRED","challengeId":"c-7","maskedEmail":"a***@x.com"})");
    AccountResponse v = Await(client.Register(L"a@x.com", L"A", L"Secret123", L"en-US", L""));
    EXPECT_EQ(v.kind, AccountResponseKind::EmailVerificationRequired);
    EXPECT_EQ(v.challengeId, L"c-7");
    EXPECT_EQ(v.maskedEmail, L"a***@x.com");
}

TEST_F(AccountClientTest, FailureStatusesOverTheWire) {
    struct Case {
        int status;
        const char* body;
        AccountResponseKind kind;
        const wchar_t* message;
    } cases[] = {
        {400, R"({"code":"BAD","message":"Bad input."})", AccountResponseKind::InvalidRequest, L"Bad input."},
        {401, R"({"code":"INVALID_CREDENTIALS","message":"Wrong e-mail or password."})", AccountResponseKind::Rejected,
         L"Wrong e-mail or password."},
        {413, "", AccountResponseKind::InvalidRequest, L"Account request failed."},
        {415, "{}", AccountResponseKind::InvalidRequest, L"Account request failed."},
        {500, "<html>oops</html>", AccountResponseKind::Unavailable, L"Account request failed."},
        {200, R"({"accessToken":"A","refreshToken":)", AccountResponseKind::Unavailable,
         L"The account service sent an unreadable reply."},
        {200, "{\"message\":\"\xc3\x28\"}", AccountResponseKind::Unavailable, L"INVALID UTF-8 RESPONSE"},
    };
    for (const Case& c : cases) {
        service.Script("auth/login", c.status, c.body);
        AccountResponse r = Await(client.Login(L"a@b.cd", L"x", L"en-US"));
        EXPECT_EQ(r.kind, c.kind) << c.status << " " << c.body;
        EXPECT_EQ(r.httpStatus, static_cast<std::uint32_t>(c.status));
        EXPECT_EQ(r.message, c.message) << c.status << " " << c.body;
        EXPECT_FALSE(r.session);
        EXPECT_EQ(r.body, c.body);
    }
}

TEST_F(AccountClientTest, RequestsRunOnTheirOwnThread) {
    service.Script("sync", 200, R"({"nickname":"Ann"})");
    service.Hold();
    std::future<AccountResponse> pending = client.GetSync(L"tok");
    ASSERT_TRUE(service.WaitForRequests(1));
    // The request has reached the service but has no answer yet; the caller was not blocked.
    EXPECT_EQ(pending.wait_for(0s), std::future_status::timeout);
    service.Release();
    AccountResponse r = Await(std::move(pending));
    EXPECT_EQ(r.kind, AccountResponseKind::Success);
    EXPECT_EQ(r.body, R"({"nickname":"Ann"})");
}

TEST_F(AccountClientTest, CallerJsonThatIsNotOneValueIsNotSent) {
    for (const char* bad : {"", "{", R"({"a":1},"legacyAccountId":"other")", "1 2"}) {
        AccountResponse r = Await(client.LinkLegacy(L"tok", L"LOCAL", bad));
        EXPECT_EQ(r.kind, AccountResponseKind::InvalidRequest) << bad;
        EXPECT_EQ(r.httpStatus, 0u);
        EXPECT_EQ(r.message, L"Account request data is not valid JSON.");
        EXPECT_EQ(Await(client.SyncSettings(L"tok", bad, 1)).kind, AccountResponseKind::InvalidRequest);
        EXPECT_EQ(Await(client.SyncBotStats(L"tok", L"id", bad)).kind, AccountResponseKind::InvalidRequest);
    }
    EXPECT_EQ(service.RequestCount(), 0u);
}

TEST_F(AccountClientTest, TokensThatCouldBreakHeadersAreNotSent) {
    AccountResponse r = Await(client.GetSync(L"tok\r\nX-Evil: 1"));
    EXPECT_EQ(r.kind, AccountResponseKind::InvalidRequest);
    EXPECT_EQ(r.message, L"The session token is not valid.");
    EXPECT_EQ(Await(client.GetDevices(L"t\u00e9")).kind, AccountResponseKind::InvalidRequest);
    // Text that has no UTF-8 form is refused rather than sent as an empty string.
    AccountResponse lone = Await(client.ForgotPassword(std::wstring(1, wchar_t(0xD800)), L"en-US"));
    EXPECT_EQ(lone.kind, AccountResponseKind::InvalidRequest);
    EXPECT_EQ(service.RequestCount(), 0u);
}

TEST(AccountClientTransport, NoAnswerIsUnavailable) {
    tarvo::testing::TempDataRoot root;
    // Nothing listens on the discard port; a port just let go could be taken by another test program.
    AccountApiClient client(L"http://127.0.0.1:9/api/v1");
    AccountResponse r = Await(client.Login(L"a@b.cd", L"Secret123", L"en-US"));
    EXPECT_EQ(r.kind, AccountResponseKind::Unavailable);
    EXPECT_EQ(r.httpStatus, 0u);
    EXPECT_EQ(r.message, L"The account service could not be reached.");
    EXPECT_FALSE(r.session);
    EXPECT_TRUE(r.body.empty());
}

TEST(AccountClientTransport, UnusableUrlIsUnavailable) {
    for (const wchar_t* url : {L"", L"not a url", L"ftp://example.com/api/v1", L"http:///api/v1",
                               L"https://example.com/api/v1?x=1"}) {
        AccountApiClient client(url);
        AccountResponse r = Await(client.GetSync(L"tok"));
        EXPECT_EQ(r.kind, AccountResponseKind::Unavailable);
        EXPECT_EQ(r.message, L"The account service address is not valid.");
    }
}

TEST(AccountClientTransport, BaseUrlSchemeHostPortAndPath) {
    auto https = tarvo::account::ParseServiceUrl(L"https://accounts.tarvonix.example/api/v1");
    ASSERT_TRUE(https);
    EXPECT_TRUE(https->secure);
    EXPECT_EQ(https->host, L"accounts.tarvonix.example");
    EXPECT_EQ(https->port, 443);
    EXPECT_EQ(https->basePath, L"/api/v1");
    auto http = tarvo::account::ParseServiceUrl(L"http://127.0.0.1:8080/svc/api/v1/");
    ASSERT_TRUE(http);
    EXPECT_FALSE(http->secure);
    EXPECT_EQ(http->port, 8080);
    EXPECT_EQ(http->basePath, L"/svc/api/v1");
    auto bare = tarvo::account::ParseServiceUrl(L"http://localhost");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->port, 80);
    EXPECT_EQ(bare->basePath, L"");
}

TEST(AccountClientTransport, BasePathIsHonoured) {
    tarvo::testing::TempDataRoot root;
    FakeAccountService service("/svc/api/v1");
    AccountApiClient client(service.BaseUrl() + L"/");
    Await(client.GetDevices(L"tok"));
    ASSERT_EQ(service.RequestCount(), 1u);
    EXPECT_EQ(service.Requests()[0].path, "/svc/api/v1/account/devices");
}
