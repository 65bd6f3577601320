// The wire and file forms as bytes: payload templates, escaping, Base64, the key
// file header and the action words.
#include <gtest/gtest.h>

#include "release_control/command_envelope.h"

namespace tarvo::release_control {
namespace {

TEST(CommandPayload, ReleasePayloadIsTheFixedTemplateWithEscapedTexts) {
    EXPECT_EQ(ReleasePayload("ab12", L"check", L"0.0.03.5", L"web \"24\"", 1716230400, L"n0nce"),
              R"({"type":"release","action":"check","gameRelease":"0.0.03.5","webRelease":"web \"24\"",)"
              R"("timestamp":1716230400,"nonce":"n0nce","keyId":"ab12"})");
}

TEST(CommandPayload, BackendPayloadCarriesTheConfigurationOnlyWhenGiven) {
    EXPECT_EQ(BackendPayload("k", L"initialize", nullptr, L"", 7, L"n"),
              R"({"type":"backend","action":"initialize","timestamp":7,"nonce":"n","keyId":"k"})");

    BackendPrivateConfig config;
    config.databaseHost = L"db";
    config.databasePassword = L"p\"\\\n\x01";
    config.smtpPort = L"587";
    config.fromName = L"ТАРВОНІКС";
    const std::string text = BackendPayload("k", L"test-mail", &config, L"owner@tarvonix.net", 7, L"n");
    EXPECT_NE(text.find(R"("config":{"databaseHost":"db","databaseName":"","databaseUser":"",)"
                        R"("databasePassword":"p\"\\\n\u0001","mailDomain":"")"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"fromName\":\"\xD0\xA2\xD0\x90\xD0\xA0"), std::string::npos) << "UTF-8 as is";
    EXPECT_NE(text.find(R"(},"testEmail":"owner@tarvonix.net"})"), std::string::npos) << text;
}

TEST(CommandPayload, OverlongOrUnconvertibleTextsRefuseThePayload) {
    EXPECT_TRUE(ReleasePayload("k", L"check", std::wstring(kMaxCommandTextUnits, L'a'), L"", 1, L"n").size() > 0);
    EXPECT_TRUE(ReleasePayload("k", L"check", std::wstring(kMaxCommandTextUnits + 1, L'a'), L"", 1, L"n").empty());
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), 0};
    EXPECT_TRUE(AnnouncementPayload("k", L"all", lone, 1, L"n").empty());
    BackendPrivateConfig config;
    config.smtpPassword = std::wstring(300, L'x');
    EXPECT_TRUE(BackendPayload("k", L"save", &config, L"", 1, L"n").empty());
}

TEST(CommandPayload, ActionWords) {
    for (const wchar_t* action : {L"check", L"activate", L"rollback", L"finalize"})
        EXPECT_TRUE(IsReleaseAction(action));
    for (const wchar_t* action : {L"", L"Check", L"status", L"check "}) EXPECT_FALSE(IsReleaseAction(action));
    EXPECT_TRUE(IsBackendAction(L"test-db"));
    EXPECT_TRUE(IsBackendAction(std::wstring(32, L'a')));
    EXPECT_FALSE(IsBackendAction(std::wstring(33, L'a')));
    for (const wchar_t* action : {L"", L"Save", L"a b", L"a\"b", L"../x", L"ok\n"})
        EXPECT_FALSE(IsBackendAction(action));
}

TEST(Base64, RoundTripsEveryLengthAndRefusesNonCanonicalText) {
    std::string bytes;
    for (int n = 0; n < 70; ++n) {
        const std::string text = Base64Encode(bytes);
        EXPECT_EQ(text.size() % 4, 0u);
        const auto back = Base64Decode(text);
        ASSERT_TRUE(back.has_value()) << n;
        EXPECT_EQ(*back, bytes);
        bytes += static_cast<char>(n * 37 + 11);
    }
    EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64Encode("fo"), "Zm8=");
    for (const char* bad : {"Zm8", "Zm8==", "Z===", "Zm=v", "Zm9=Zm9v", "Zm9v!A==", "Zm9=", "Zh=="}) {
        EXPECT_FALSE(Base64Decode(bad).has_value()) << bad;
    }
}

TEST(OwnerKeyFile, HeaderIsTheMagicAndVersionBeforeTheProtectedBlob) {
    const std::string file = EncodeOwnerKeyFile("BLOB");
    EXPECT_EQ(file, std::string("TARVRK1\x01") + "BLOB");
    EXPECT_EQ(DecodeOwnerKeyFile(file), std::optional<std::string>("BLOB"));
    EXPECT_FALSE(DecodeOwnerKeyFile("TARVRK1\x01").has_value()) << "no blob";
    EXPECT_FALSE(DecodeOwnerKeyFile(std::string("TARVRK1\x02") + "BLOB").has_value()) << "unknown version";
    EXPECT_FALSE(DecodeOwnerKeyFile(std::string("TARVRK2\x01") + "BLOB").has_value());
    EXPECT_FALSE(DecodeOwnerKeyFile("").has_value());
}

TEST(OwnerKeyFile, FingerprintGroupsTheFirstSixteenHexDigits) {
    EXPECT_EQ(Fingerprint("0123456789abcdef0011"), L"0123 4567 89AB CDEF");
    EXPECT_EQ(Fingerprint("ab"), L"AB");
    const std::uint8_t bytes[] = {0x00, 0x9f, 0xff};
    EXPECT_EQ(HexLower(bytes, 3), "009fff");
}

}  // namespace
}  // namespace tarvo::release_control
