#include <gtest/gtest.h>

#include "account/account_reply.h"

using tarvo::account::AccountFailure;
using tarvo::account::AccountResponse;
using tarvo::account::AccountResponseKind;
using tarvo::account::InterpretAccountReply;

namespace {

const char kSessionReply[] =
    R"({"code":"OK","message":"Signed in.","playerId":"p-42","nickname":"Ann","email":"ann@example.com",)"
    R"("accessToken":"acc","refreshToken":"ref","deviceId":"dev-1","expiresIn":900})";

}  // namespace

TEST(AccountReply, SessionReplyCarriesEverySessionField) {
    AccountResponse r = InterpretAccountReply(200, kSessionReply);
    EXPECT_EQ(r.kind, AccountResponseKind::Success);
    EXPECT_EQ(r.httpStatus, 200u);
    EXPECT_EQ(r.code, L"OK");
    EXPECT_EQ(r.message, L"Signed in.");
    EXPECT_EQ(r.body, kSessionReply);
    ASSERT_TRUE(r.session);
    EXPECT_EQ(r.session->playerId, L"p-42");
    EXPECT_EQ(r.session->nickname, L"Ann");
    EXPECT_EQ(r.session->email, L"ann@example.com");
    EXPECT_EQ(r.session->accessToken, L"acc");
    EXPECT_EQ(r.session->refreshToken, L"ref");
    EXPECT_EQ(r.session->deviceId, L"dev-1");
    EXPECT_EQ(r.session->accessExpirySeconds, 900u);
    EXPECT_TRUE(r.session->trusted);
}

TEST(AccountReply, SessionNeedsBothTokens) {
    EXPECT_FALSE(InterpretAccountReply(200, R"({"accessToken":"a"})").session);
    EXPECT_FALSE(InterpretAccountReply(200, R"({"refreshToken":"r"})").session);
    EXPECT_FALSE(InterpretAccountReply(200, R"({"accessToken":"","refreshToken":"r"})").session);
    EXPECT_TRUE(InterpretAccountReply(201, R"({"accessToken":"a","refreshToken":"r"})").session);
    // A token-looking text inside another value is not a token.
    EXPECT_FALSE(InterpretAccountReply(200, R"({"message":"{\"accessToken\":\"a\",\"refreshToken\":\"r\"}"})").session);
}

TEST(AccountReply, VerificationStatesCarryChallengeAndNoSession) {
    AccountResponse email = InterpretAccountReply(
        200, R"({"state":"EMAIL_VERIFICATION_REQUIRED","challengeId":"ch-1","maskedEmail":"a***@x.com",)"
             R"("accessToken":"a","refreshToken":"r"})");
    EXPECT_EQ(email.kind, AccountResponseKind::EmailVerificationRequired);
    EXPECT_EQ(email.challengeId, L"ch-1");
    EXPECT_EQ(email.maskedEmail, L"a***@x.com");
    EXPECT_EQ(email.message, L"OK");
    EXPECT_FALSE(email.session);

    AccountResponse device = InterpretAccountReply(202, R"({"state":"DEVICE_VERIFICATION_REQUIRED","challengeId":"ch-2"})");
    EXPECT_EQ(device.kind, AccountResponseKind::DeviceVerificationRequired);
    EXPECT_EQ(device.challengeId, L"ch-2");
    EXPECT_TRUE(device.maskedEmail.empty());

    EXPECT_EQ(InterpretAccountReply(200, R"({"state":"SOMETHING_ELSE"})").kind, AccountResponseKind::Success);
    // A failure status never becomes a verification state.
    EXPECT_EQ(InterpretAccountReply(401, R"({"state":"EMAIL_VERIFICATION_REQUIRED"})").kind,
              AccountResponseKind::Rejected);
}

TEST(AccountReply, StatusDecidesTheFailureKind) {
    struct Case {
        std::uint32_t status;
        AccountResponseKind kind;
    } cases[] = {
        {400, AccountResponseKind::InvalidRequest}, {413, AccountResponseKind::InvalidRequest},
        {415, AccountResponseKind::InvalidRequest}, {401, AccountResponseKind::Rejected},
        {403, AccountResponseKind::Rejected},       {404, AccountResponseKind::Rejected},
        {409, AccountResponseKind::Rejected},       {429, AccountResponseKind::Rejected},
        {302, AccountResponseKind::Rejected},       {500, AccountResponseKind::Unavailable},
        {503, AccountResponseKind::Unavailable},    {599, AccountResponseKind::Unavailable},
    };
    for (const Case& c : cases) {
        AccountResponse r = InterpretAccountReply(c.status, R"({"code":"E","message":"Nope.","accessToken":"a","refreshToken":"r"})");
        EXPECT_EQ(r.kind, c.kind) << c.status;
        EXPECT_EQ(r.httpStatus, c.status);
        EXPECT_EQ(r.code, L"E");
        EXPECT_EQ(r.message, L"Nope.");
        EXPECT_FALSE(r.session) << c.status;
    }
}

TEST(AccountReply, MessageFallsBackByStatus) {
    EXPECT_EQ(InterpretAccountReply(200, "{}").message, L"OK");
    EXPECT_EQ(InterpretAccountReply(200, R"({"message":""})").message, L"OK");
    EXPECT_EQ(InterpretAccountReply(401, "{}").message, L"Account request failed.");
    EXPECT_EQ(InterpretAccountReply(500, "<html>Server Error</html>").message, L"Account request failed.");
    EXPECT_EQ(InterpretAccountReply(500, "<html>").kind, AccountResponseKind::Unavailable);
    EXPECT_TRUE(InterpretAccountReply(200, "{}").code.empty());
    // A non-string code counts as absent.
    EXPECT_TRUE(InterpretAccountReply(400, R"({"code":17,"message":"m"})").code.empty());
}

TEST(AccountReply, EmptyTwoHundredIsAPlainSuccess) {
    AccountResponse r = InterpretAccountReply(204, "");
    EXPECT_EQ(r.kind, AccountResponseKind::Success);
    EXPECT_EQ(r.message, L"OK");
    EXPECT_FALSE(r.session);
}

TEST(AccountReply, MalformedTwoHundredIsNotASuccess) {
    for (const char* body : {"{\"accessToken\":\"a\",\"refreshToken\":\"r\"", "<html>ok</html>", "[1,2]", "\"text\"",
                             "{\"a\":1} trailing"}) {
        AccountResponse r = InterpretAccountReply(200, body);
        EXPECT_EQ(r.kind, AccountResponseKind::Unavailable) << body;
        EXPECT_EQ(r.message, L"The account service sent an unreadable reply.");
        EXPECT_EQ(r.failure, AccountFailure::Unreadable);
        EXPECT_FALSE(r.session);
        EXPECT_EQ(r.body, body);
    }
    // One leading byte-order mark is no part of the JSON; a second one is.
    AccountResponse marked = InterpretAccountReply(200, "\xEF\xBB\xBF{\"accessToken\":\"a\",\"refreshToken\":\"r\"}");
    EXPECT_EQ(marked.kind, AccountResponseKind::Success);
    EXPECT_EQ(marked.body, "{\"accessToken\":\"a\",\"refreshToken\":\"r\"}");
    EXPECT_TRUE(marked.session);
    EXPECT_EQ(InterpretAccountReply(200, "\xEF\xBB\xBF\xEF\xBB\xBF{}").failure, AccountFailure::Unreadable);
}

TEST(AccountReply, InvalidUtf8IsReportedWithItsText) {
    std::string body = "{\"message\":\"bad \xff byte\",\"accessToken\":\"a\",\"refreshToken\":\"r\"}";
    AccountResponse ok = InterpretAccountReply(200, body);
    EXPECT_EQ(ok.kind, AccountResponseKind::Unavailable);
    EXPECT_EQ(ok.message, L"INVALID UTF-8 RESPONSE");
    EXPECT_FALSE(ok.session);
    EXPECT_EQ(ok.body, body);

    AccountResponse failed = InterpretAccountReply(400, body);
    EXPECT_EQ(failed.kind, AccountResponseKind::InvalidRequest);
    EXPECT_EQ(failed.message, L"INVALID UTF-8 RESPONSE");
    // Overlong and surrogate encodings are invalid too.
    EXPECT_EQ(InterpretAccountReply(200, "{\"a\":\"\xc0\xaf\"}").message, L"INVALID UTF-8 RESPONSE");
    EXPECT_EQ(InterpretAccountReply(200, "{\"a\":\"\xed\xa0\x80\"}").message, L"INVALID UTF-8 RESPONSE");
}

TEST(AccountReply, UnicodeTextsAreDecoded) {
    AccountResponse r = InterpretAccountReply(
        200, "{\"nickname\":\"\xd0\x86\xd0\xb2\xd0\xb0\\u043d\",\"accessToken\":\"a\",\"refreshToken\":\"r\","
             "\"message\":\"\\u0413\\u043e\\u0442\\u043e\\u0432\\u043e\"}");
    ASSERT_TRUE(r.session);
    EXPECT_EQ(r.session->nickname, L"Іван");
    EXPECT_EQ(r.message, L"Готово");
}

TEST(AccountReply, ExpiryBeyondThirtyTwoBitsSaturates) {
    AccountResponse r = InterpretAccountReply(200, R"({"accessToken":"a","refreshToken":"r","expiresIn":99999999999})");
    ASSERT_TRUE(r.session);
    EXPECT_EQ(r.session->accessExpirySeconds, 4294967295u);
}
