// The key scanners and list readers over raw reply bodies.
#include <gtest/gtest.h>

#include "shell/account_replies.h"

namespace tarvo::ui {
namespace {

TEST(JsonScanners, StringValues) {
    EXPECT_EQ(JsonString(R"({"nickname":"Ann"})", "nickname", L"-"), L"Ann");
    EXPECT_EQ(JsonString(R"({"nickname":"Ann"})", "email", L"fallback"), L"fallback");
    EXPECT_EQ(JsonString(R"({"nickname":""})", "nickname", L"fallback"), L"");
    EXPECT_EQ(JsonString(R"({"a":"x\"y"})", "a", L"-"), L"x\"y");
    EXPECT_EQ(JsonString(R"({"kills":5,"name":"Bo"})", "kills", L"-"), L"-") << "not a string member";
    EXPECT_EQ(JsonString(R"({"a":"line\nnext"})", "a", L"-"), L"linenext") << "one line, as every service text";
    EXPECT_EQ(JsonString("{\"name\":\"\xD0\x86\xD0\xB2\xD0\xB0\xD0\xBD\"}", "name", L"-"), L"\u0406\u0432\u0430\u043D");
    EXPECT_EQ(JsonString("{\"name\":\"\xC3\x28\"}", "name", L"-"), L"INVALID UTF-8 RESPONSE");
    EXPECT_EQ(JsonString(R"({"a" "x"})", "a", L"no colon"), L"no colon");
    EXPECT_EQ(JsonString(R"({"a": 1})", "a", L"no quote"), L"no quote");
    EXPECT_EQ(JsonString(R"({"a":"open)", "a", L"unclosed"), L"unclosed");
    EXPECT_EQ(JsonString(R"({"Name":"x"})", "name", L"case"), L"case");
}

TEST(JsonScanners, UnsignedValues) {
    EXPECT_EQ(JsonUnsigned(R"({"kills": 42})", "kills"), 42u);
    EXPECT_EQ(JsonUnsigned(R"({"kills":-3})", "kills"), 0u);
    EXPECT_EQ(JsonUnsigned(R"({"kills":"7"})", "kills"), 0u);
    EXPECT_EQ(JsonUnsigned(R"({"kills":12.9})", "kills"), 12u);
    EXPECT_EQ(JsonUnsigned(R"({"deaths":1})", "kills"), 0u);
    EXPECT_EQ(JsonUnsigned("{\"kills\":\r\n\t 8}", "kills"), 8u);
    EXPECT_EQ(JsonUnsigned(R"({"kills":)", "kills"), 0u);
    EXPECT_EQ(JsonUnsigned(R"({"n":18446744073709551615})", "n"), 18446744073709551615ull);
    EXPECT_EQ(JsonUnsigned(R"({"n":18446744073709551616})", "n"), 18446744073709551615ull);  // saturates
}

TEST(JsonScanners, AKeyInsideAValueIsNotAMember) {
    const std::string reply = R"({"nickname":"kills","kills":9})";
    EXPECT_EQ(JsonUnsigned(reply, "kills"), 9u);
    EXPECT_EQ(JsonString(reply, "kills", L"-"), L"-") << "the member holds a number";
    EXPECT_EQ(JsonString(R"({"title":"rank","rank":"gold"})", "rank", L"-"), L"gold");
}

TEST(JsonScanners, DecodeUtf8) {
    EXPECT_EQ(DecodeUtf8(""), L"");
    EXPECT_EQ(DecodeUtf8("abc"), L"abc");
    EXPECT_EQ(DecodeUtf8("\xF0\x9F\x8E\xAF"), L"\U0001F3AF");
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), L"INVALID UTF-8 RESPONSE");  // an encoded surrogate
    EXPECT_EQ(DecodeUtf8(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

std::string DeviceObject(int i, bool current = false) {
    return "{\"deviceId\":\"d" + std::to_string(i) + "\",\"displayName\":\"PC " + std::to_string(i) +
           "\",\"lastSeenAt\":\"2026-01-0" + std::to_string(i % 9 + 1) + "\",\"trustedAt\":\"t\",\"clientVersion\":\"0.0.03.5\"" +
           (current ? ",\"current\":true" : "") + "}";
}

TEST(DeviceRows, AtMostSixRowsWithFallbacksAndTheCurrentFlag) {
    std::string list = "{\"devices\":[";
    for (int i = 0; i < 7; ++i) (list += i ? "," : "") += DeviceObject(i, i == 2);
    list += "]}";
    const auto rows = ParseServerDevices(list);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].deviceId, L"d0");
    EXPECT_EQ(rows[5].deviceId, L"d5");
    EXPECT_EQ(rows[1].displayName, L"PC 1");
    EXPECT_TRUE(rows[2].current);
    EXPECT_FALSE(rows[1].current);

    // No row without a device id as text: nothing to revoke.
    const auto sparse = ParseServerDevices(
        R"([{"deviceId":""},{"deviceId":7,"displayName":"n"},{"deviceId":null},{"deviceId":"x"},{"deviceId":"y","current" : true}])");
    ASSERT_EQ(sparse.size(), 2u);
    EXPECT_EQ(sparse[0].deviceId, L"x");
    EXPECT_EQ(sparse[0].displayName, L"NONE");
    EXPECT_EQ(sparse[0].lastSeenAt, L"NONE");
    EXPECT_FALSE(sparse[1].current) << "a blank before the colon is not the flag";

    EXPECT_TRUE(ParseServerDevices(R"({"current": true,"deviceId":"x")").empty()) << "no closing brace";
    EXPECT_TRUE(ParseServerDevices("").empty());
    EXPECT_TRUE(ParseServerDevices("not json").empty());
    const auto flags = ParseServerDevices(R"([{"deviceId":"a","current": true},{"deviceId":"b","current":  true},{"deviceId":"c","current":True}])");
    ASSERT_EQ(flags.size(), 3u);
    EXPECT_TRUE(flags[0].current);
    EXPECT_FALSE(flags[1].current);
    EXPECT_FALSE(flags[2].current);
}

TEST(DeviceRows, ANestedObjectCutsTheExtent) {
    const auto rows = ParseServerDevices(R"([{"deviceId":"a","meta":{"x":1},"displayName":"hidden"}])");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].displayName, L"NONE");
}

TEST(LivePlayerRows, AtMostEightAlwaysAppended) {
    std::string list = "[";
    for (int i = 0; i < 9; ++i) {
        (list += i ? "," : "") += std::string("{\"playerId\":\"p") + std::to_string(i) + "\",\"trustedDevices\":" +
                                  std::to_string(i) + (i == 1 ? ",\"verified\":true" : "") + "}";
    }
    list += "]";
    const auto rows = ParseLivePlayers(list);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[3].playerId, L"p3");
    EXPECT_EQ(rows[3].trustedDevices, L"3");
    EXPECT_EQ(rows[3].nickname, L"NONE");
    EXPECT_TRUE(rows[1].verified);
    EXPECT_FALSE(rows[2].verified);
    const auto empty = ParseLivePlayers(R"([{"playerId":""}])");
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].trustedDevices, L"0");
}

}  // namespace
}  // namespace tarvo::ui
