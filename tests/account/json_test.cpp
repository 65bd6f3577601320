#include <gtest/gtest.h>

#include <limits>

#include "account/account_api_client.h"
#include "account/json_reader.h"

using tarvo::account::AccountApiClient;
using tarvo::account::IsJsonObject;
using tarvo::account::IsJsonValue;
using tarvo::account::JsonMemberString;
using tarvo::account::JsonMemberUnsigned;

TEST(JsonEscape, EscapesQuotesBackslashesAndControlBytes) {
    EXPECT_EQ(AccountApiClient::JsonEscape(""), "");
    EXPECT_EQ(AccountApiClient::JsonEscape("plain text"), "plain text");
    EXPECT_EQ(AccountApiClient::JsonEscape("a\"b\\c"), "a\\\"b\\\\c");
    EXPECT_EQ(AccountApiClient::JsonEscape("\t\n\r"), "\\t\\n\\r");
    EXPECT_EQ(AccountApiClient::JsonEscape(std::string("\x00\x01\x1f", 3)), "\\u0000\\u0001\\u001f");
    EXPECT_EQ(AccountApiClient::JsonEscape("\b\f"), "\\u0008\\u000c");
    // Everything from 0x20 up, DEL and multi-byte UTF-8 included, passes unchanged.
    EXPECT_EQ(AccountApiClient::JsonEscape("\x7f/\xd0\x86\xf0\x9f\x98\x80"), "\x7f/\xd0\x86\xf0\x9f\x98\x80");
}

TEST(JsonEscape, EscapedTextRoundTripsThroughTheReader) {
    std::string nasty = "quote\" slash\\ tab\t nl\n cr\r bell\x07 \xd0\x86";
    std::string json = "{\"v\":\"" + AccountApiClient::JsonEscape(nasty) + "\"}";
    ASSERT_TRUE(IsJsonObject(json));
    EXPECT_EQ(JsonMemberString(json, "v"), nasty);
}

TEST(JsonValidation, AcceptsJsonAndRefusesEverythingElse) {
    for (const char* good : {"{}", " {\"a\":1} ", "[]", "0", "-1.5e+3", "\"x\"", "true", "null",
                             "{\"a\":[1,{\"b\":\"c\\u00e9\"}],\"d\":false}"}) {
        EXPECT_TRUE(IsJsonValue(good)) << good;
    }
    for (const char* bad : {"", "{", "}", "{\"a\":}", "{\"a\" 1}", "{\"a\":1,}", "[1,]", "01", "1.", "-",
                            "{\"a\":1}{}", "tru", "\"unterminated", "\"bad \\x escape\"", "\"\\u12\"",
                            "{'a':1}", "{\"a\":1} x", "<html>", "1 2"}) {
        EXPECT_FALSE(IsJsonValue(bad)) << bad;
    }
    EXPECT_FALSE(IsJsonValue(std::string("\"raw\x01\"")));
    EXPECT_TRUE(IsJsonObject("{\"a\":1}"));
    EXPECT_FALSE(IsJsonObject("[{\"a\":1}]"));
    EXPECT_FALSE(IsJsonObject("\"{}\""));
}

TEST(JsonValidation, RefusesNestingDeeperThanTheLimit) {
    std::string deep(200, '[');
    deep += std::string(200, ']');
    EXPECT_FALSE(IsJsonValue(deep));
    std::string shallow(60, '[');
    shallow += std::string(60, ']');
    EXPECT_TRUE(IsJsonValue(shallow));
}

TEST(JsonMembers, MatchOnlyInMemberNamePosition) {
    // The text "kills" inside a string value must not stand in for the member.
    std::string json = R"({"nickname":"kills","note":"x, \"kills\": 99","kills": 7})";
    EXPECT_EQ(JsonMemberUnsigned(json, "kills"), 7u);
    EXPECT_EQ(JsonMemberString(json, "nickname"), "kills");
    // Values that merely look like keys in arrays are not members.
    EXPECT_EQ(JsonMemberString(R"({"list":["code","x"],"code":"REAL"})", "code"), "REAL");
    // First match wins, at any depth.
    EXPECT_EQ(JsonMemberString(R"({"session":{"playerId":"p1"},"playerId":"p2"})", "playerId"), "p1");
    EXPECT_EQ(JsonMemberString(R"({ "a" : "spaced" })", "a"), "spaced");
    EXPECT_FALSE(JsonMemberString(R"({"a":"x"})", "b"));
    EXPECT_FALSE(JsonMemberString("not json \"a\":\"x\"", "a"));
}

TEST(JsonMembers, StringValuesDecodeEscapes) {
    EXPECT_EQ(JsonMemberString(R"({"a":"x\"y"})", "a"), "x\"y");
    EXPECT_EQ(JsonMemberString(R"({"a":"\\\/\b\f\n\r\t"})", "a"), "\\/\b\f\n\r\t");
    EXPECT_EQ(JsonMemberString(R"({"a":"\u0406\u00e9"})", "a"), "\xd0\x86\xc3\xa9");
    EXPECT_EQ(JsonMemberString(R"({"a":"\ud83d\ude00"})", "a"), "\xf0\x9f\x98\x80");
    EXPECT_EQ(JsonMemberString(R"({"a":""})", "a"), "");
    // Broken surrogates and unknown escapes give no value rather than garbage.
    EXPECT_FALSE(JsonMemberString(R"({"a":"\ud83d"})", "a"));
    EXPECT_FALSE(JsonMemberString(R"({"a":"\ude00"})", "a"));
    EXPECT_FALSE(JsonMemberString(R"({"a":"\ud83d\u0041"})", "a"));
    EXPECT_FALSE(JsonMemberString(R"({"a":"\q"})", "a"));
}

TEST(JsonMembers, NonStringValueGivesNothingNotTheNextName) {
    EXPECT_FALSE(JsonMemberString(R"({"kills":5,"name":"Bo"})", "kills"));
    EXPECT_FALSE(JsonMemberString(R"({"a":null,"b":"x"})", "a"));
    EXPECT_FALSE(JsonMemberString(R"({"a":{"b":"x"}})", "a"));
}

TEST(JsonMembers, UnsignedReadsDigitsAndSaturates) {
    EXPECT_EQ(JsonMemberUnsigned(R"({"kills": 42})", "kills"), 42u);
    EXPECT_EQ(JsonMemberUnsigned(R"({"kills":12.9})", "kills"), 12u);
    EXPECT_FALSE(JsonMemberUnsigned(R"({"kills":-3})", "kills"));
    EXPECT_FALSE(JsonMemberUnsigned(R"({"kills":"7"})", "kills"));
    EXPECT_FALSE(JsonMemberUnsigned(R"({"deaths":1})", "kills"));
    EXPECT_EQ(JsonMemberUnsigned(R"({"n":18446744073709551615})", "n"), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(JsonMemberUnsigned(R"({"n":18446744073709551616})", "n"), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(JsonMemberUnsigned(R"({"n":99999999999999999999999999})", "n"),
              std::numeric_limits<std::uint64_t>::max());
}
