// The settings file, the match service's status and profile requests against a
// loopback HTTP service, and the DPAPI-protected credential cache on disk.
#include <gtest/gtest.h>

#include "online/match_identity.h"
#include "online/match_service.h"
#include "support/fake_account_service.h"
#include "support/temp_folder.h"

namespace tarvo::online::test {
namespace {

constexpr std::uint64_t kNow = 1700000000;

MatchIdentity Credential(std::wstring key = L"player-1") {
    MatchIdentity identity;
    identity.playerKey = std::move(key);
    identity.profileId = "prof-1";
    identity.token = "tok-0123456789abcdef";
    identity.expiresAt = kNow + 3600;
    identity.valid = true;
    return identity;
}

TEST(OnlineTestConfig, ThreeTokensHostPortAndKey) {
    const auto config = ParseOnlineTestConfig("  127.0.0.1\r\n 41950\tkey-key-key-key-key-key-12 trailing words");
    ASSERT_TRUE(config);
    EXPECT_EQ(config->host, "127.0.0.1");
    EXPECT_EQ(config->port, 41950u);
    EXPECT_EQ(config->joinKey, "key-key-key-key-key-key-12");

    EXPECT_FALSE(ParseOnlineTestConfig(""));
    EXPECT_FALSE(ParseOnlineTestConfig("127.0.0.1 41950")) << "no key";
    EXPECT_FALSE(ParseOnlineTestConfig("127.0.0.1 port key"));
    EXPECT_FALSE(ParseOnlineTestConfig("127.0.0.1 -5 key"));
    EXPECT_FALSE(ParseOnlineTestConfig("127.0.0.1 1234567890 key")) << "not a port at all";
    // The range and the key length are the command's to judge.
    EXPECT_EQ(ParseOnlineTestConfig("h 0 k")->port, 0u);
    EXPECT_EQ(ParseOnlineTestConfig("h 65536 k")->port, 65536u);
}

TEST(OnlineTestConfig, TheMatchServiceMayFollowTheThreeTokens) {
    EXPECT_EQ(MatchServiceUrlFrom("1.2.3.4 5 key service=http://127.0.0.1:8080"), L"http://127.0.0.1:8080");
    EXPECT_EQ(MatchServiceUrlFrom("1.2.3.4 5 key"), std::wstring(kDefaultMatchServiceUrl));
    EXPECT_EQ(MatchServiceUrlFrom("service=http://127.0.0.1:8080 5 key"), std::wstring(kDefaultMatchServiceUrl))
        << "the first three tokens are never the service";
    EXPECT_EQ(MatchServiceUrlFrom("1.2.3.4 5 key service=ftp://x"), std::wstring(kDefaultMatchServiceUrl));
}

TEST(MatchService, StatusIsOneGetWithTheOnlineTestUserAgent) {
    testing::FakeAccountService service("");
    ASSERT_TRUE(service.Running());
    service.Script("/api/matches/status.php", 200, R"({"online":true,"players":3})");
    EXPECT_EQ(FetchMatchStatus(service.BaseUrl()), R"({"online":true,"players":3})");
    const auto request = service.LastRequest("/api/matches/status.php");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "GET");
    EXPECT_EQ(request->Header("user-agent"), "TARV Ostrel Node/online-test");

    service.Script("/api/matches/status.php", 503, "down");
    EXPECT_EQ(FetchMatchStatus(service.BaseUrl()), "down") << "the body of any answer";
    service.Script("/api/matches/status.php", 200, std::string(70 * 1024, 'x'));
    EXPECT_EQ(FetchMatchStatus(service.BaseUrl()), "") << "an oversized reply is refused whole";
    EXPECT_EQ(FetchMatchStatus(L"http://127.0.0.1:9"), "") << "no answer";
    EXPECT_EQ(FetchMatchStatus(L"not a url"), "");
}

TEST(MatchIdentityCache, RoundTripUnderDpapiForTheSameKeyOnly) {
    testing::TempFolder temp;
    const auto file = temp.Path() / "Online" / "match.identity";
    ASSERT_TRUE(SaveMatchIdentityCache(file, Credential()));
    const std::string bytes = testing::ReadBytes(file);
    EXPECT_EQ(bytes.find("tok-0123456789abcdef"), std::string::npos) << "the token is not stored in the clear";

    const auto back = ReadMatchIdentityCache(file, L"player-1", kNow);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->valid);
    EXPECT_EQ(back->profileId, "prof-1");
    EXPECT_EQ(back->token, "tok-0123456789abcdef");
    EXPECT_EQ(back->expiresAt, kNow + 3600);

    EXPECT_FALSE(ReadMatchIdentityCache(file, L"player-2", kNow)) << "another player's credential";
    EXPECT_FALSE(ReadMatchIdentityCache(file, L"player-1", kNow + 3600 - 60)) << "about to expire";
    EXPECT_TRUE(ReadMatchIdentityCache(file, L"player-1", kNow + 3600 - 61));

    std::string damaged = bytes;
    damaged[damaged.size() / 2] ^= 0x20;
    testing::WriteBytes(file, damaged);
    EXPECT_FALSE(ReadMatchIdentityCache(file, L"player-1", kNow));
    testing::WriteBytes(file, "TARVMI01");
    EXPECT_FALSE(ReadMatchIdentityCache(file, L"player-1", kNow));
    EXPECT_FALSE(ReadMatchIdentityCache(temp.Path() / "missing", L"player-1", kNow));

    MatchIdentity invalid = Credential();
    invalid.valid = false;
    EXPECT_FALSE(SaveMatchIdentityCache(temp.Path() / "other", invalid));
}

TEST(MatchIdentityReply, EveryMemberMustBeUsable) {
    const auto parse = [](const char* body) { return ParseMatchIdentityReply(body, L"p", kNow); };
    const MatchIdentity good = parse(R"({"profileId":"prof-9","token":"abcDEF-123_x.y~z","expiresAt":1700003600})");
    EXPECT_TRUE(good.valid);
    EXPECT_EQ(good.playerKey, L"p");
    EXPECT_EQ(good.token, "abcDEF-123_x.y~z");
    EXPECT_FALSE(parse(R"({"profileId":"prof-9","token":"abc","expiresAt":1700000030})").valid) << "expiring";
    EXPECT_FALSE(parse(R"({"profileId":"prof-9","token":"a|b","expiresAt":1700003600})").valid);
    EXPECT_FALSE(parse(R"({"profileId":"","token":"abc","expiresAt":1700003600})").valid);
    EXPECT_FALSE(parse(R"({"profileId":"prof-9","expiresAt":1700003600})").valid);
    EXPECT_FALSE(parse(R"({"profileId":"prof-9","token":"abc","expiresAt":"soon"})").valid);
    EXPECT_FALSE(parse(R"({"profileId":"prof-9","token":"abc","expiresAt":1700003600)").valid) << "not JSON";
    EXPECT_FALSE(parse("").valid);
    const MatchIdentity refused = parse(R"({"profileId":"prof-9","token":"a b","expiresAt":1700003600})");
    EXPECT_TRUE(refused.token.empty() && refused.profileId.empty()) << "nothing of a refused reply is kept";
}

TEST(MatchIdentityLoad, FetchedOnceThenTakenFromTheCache) {
    testing::FakeAccountService service("");
    testing::TempFolder temp;
    const auto cache = temp.Path() / "Online" / "match.identity";
    service.Script("/api/matches/profile.php", 200,
                   R"({"profileId":"prof-3","token":"tok-abcdefghijkl","expiresAt":4000000000})");
    const MatchIdentity first = LoadMatchIdentity(L"player-\u00E9", service.BaseUrl(), cache);
    ASSERT_TRUE(first.valid);
    EXPECT_EQ(first.profileId, "prof-3");
    const auto request = service.LastRequest("/api/matches/profile.php");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->body, "{\"playerKey\":\"player-\xC3\xA9\"}");

    const MatchIdentity second = LoadMatchIdentity(L"player-\u00E9", service.BaseUrl(), cache);
    EXPECT_TRUE(second.valid);
    EXPECT_EQ(second.token, "tok-abcdefghijkl");
    EXPECT_EQ(service.RequestCount(), 1u) << "the cached credential needs no request";

    // Another key is fetched; a refusal gives an invalid credential and is not cached.
    service.Script("/api/matches/profile.php", 403, R"({"message":"no"})");
    EXPECT_FALSE(LoadMatchIdentity(L"player-2", service.BaseUrl(), cache).valid);
    EXPECT_TRUE(LoadMatchIdentity(L"player-\u00E9", service.BaseUrl(), cache).valid) << "the old one stays";
    EXPECT_FALSE(LoadMatchIdentity(L"", service.BaseUrl(), cache).valid);
    EXPECT_FALSE(LoadMatchIdentity(L"player-3", L"http://127.0.0.1:9", cache).valid);
}

TEST(MatchIdentityRecord, MovingWipesTheSource) {
    MatchIdentity source = Credential();
    MatchIdentity moved(std::move(source));
    EXPECT_EQ(moved.token, "tok-0123456789abcdef");
    EXPECT_TRUE(source.token.empty());
    EXPECT_FALSE(source.valid);
    MatchIdentity assigned;
    assigned = std::move(moved);
    EXPECT_TRUE(assigned.valid);
    EXPECT_TRUE(moved.token.empty());
    assigned.Wipe();
    EXPECT_FALSE(assigned.valid);
    EXPECT_TRUE(assigned.token.empty());
}

}  // namespace
}  // namespace tarvo::online::test
