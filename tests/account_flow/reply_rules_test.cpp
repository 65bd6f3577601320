// The flat reply scanners on texts built to fool them, and the two pure pieces of
// the flow: the sync reply applied to a profile and the link's safe data.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "player/local_player_data_store.h"
#include "player_screens/player_canvas.h"
#include "shell/account_flow.h"
#include "shell/account_replies.h"

namespace tarvo::ui {
namespace {

TEST(MemberNames, TextInsideAStringNeverStandsInForAMember) {
    const std::string reply = R"({"note":"{\"kills\":99,\"nickname\":\"Evil\"}","kills":3,"nickname":"Good"})";
    EXPECT_EQ(JsonUnsigned(reply, "kills"), 3u);
    EXPECT_EQ(JsonString(reply, "nickname", L"-"), L"Good");
    EXPECT_EQ(JsonString(R"({"tags":["kills","x"],"kills":"7"})", "kills", L"-"), L"7") << "array items are no names";
    EXPECT_EQ(JsonUnsigned(R"({"a":"kills", "kills" : 5})", "kills"), 5u);
    EXPECT_EQ(JsonUnsigned("{\n  \"kills\"\t:\n 6}", "kills"), 6u) << "blanks around the name and colon";
    EXPECT_EQ(JsonUnsigned(R"("kills":8)", "kills"), 0u) << "nothing before the name";
    EXPECT_EQ(JsonUnsigned(R"({"x":{"kills":4},"kills":9})", "kills"), 4u) << "first match wins, at any depth";
}

TEST(MemberNames, ANonStringMemberGivesTheFallback) {
    EXPECT_EQ(JsonString(R"({"avatarId":null,"nickname":"Bo"})", "avatarId", L"fb"), L"fb");
    EXPECT_EQ(JsonString(R"({"avatarId":{"id":"x"}})", "avatarId", L"fb"), L"fb");
    EXPECT_EQ(JsonString(R"({"avatarId":true,"id":"x"})", "avatarId", L"fb"), L"fb");
    EXPECT_EQ(JsonString(R"({"avatarId": "spaced"})", "avatarId", L"fb"), L"spaced");
}

TEST(StringValues, EscapesAreDecodedThenControlCharactersDroppedAndLoneHalvesReplaced) {
    EXPECT_EQ(JsonString(R"({"a":"q\"uote \\ back \/ slash"})", "a", L"-"), L"q\"uote \\ back / slash");
    EXPECT_EQ(JsonString(R"({"a":"<\b\f\n\r\t\u007f\u0085\u2028>"})", "a", L"-"), L"<>");
    EXPECT_EQ(JsonString(R"({"a":"\u0406\u0432\u0430\u043d"})", "a", L"-"), L"\u0406\u0432\u0430\u043D");
    EXPECT_EQ(JsonString(R"({"a":"\ud83c\udfaf!"})", "a", L"-"), L"\U0001F3AF!") << "a surrogate pair";
    EXPECT_EQ(JsonString(R"({"a":"x\ud83c"})", "a", L"-"), L"x\uFFFD") << "a lone high surrogate";
    EXPECT_EQ(JsonString(R"({"a":"\udfafy"})", "a", L"-"), L"\uFFFDy") << "a lone low surrogate";
    EXPECT_EQ(JsonString(R"({"a":"\ud83c\u0041"})", "a", L"-"), L"\uFFFDA");
    EXPECT_EQ(JsonString(R"({"a":"nul\u0000end"})", "a", L"-"), L"nulend");
    EXPECT_EQ(JsonString("{\"a\":\"\xD0\x86\\n\x01\"}", "a", L"-"), L"\u0406") << "raw UTF-8 beside an escape";
}

TEST(StringValues, MalformedValuesGiveTheFallback) {
    EXPECT_EQ(JsonString(R"({"a":"bad \x escape"})", "a", L"fb"), L"fb");
    EXPECT_EQ(JsonString(R"({"a":"\u12"})", "a", L"fb"), L"fb");
    EXPECT_EQ(JsonString(R"({"a":"\u12G4"})", "a", L"fb"), L"fb");
    EXPECT_EQ(JsonString(R"({"a":"ends with \"})", "a", L"fb"), L"fb") << "the closing quote is escaped";
    EXPECT_EQ(JsonString("{\"a\":\"\\", "a", L"fb"), L"fb");
    EXPECT_EQ(JsonString("{\"a\":\"\xFF\\n\"}", "a", L"fb"), L"INVALID UTF-8 RESPONSE");
}

TEST(NumberValues, SaturateInsteadOfWrapping) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(JsonUnsigned(R"({"n":18446744073709551615})", "n"), kMax);
    EXPECT_EQ(JsonUnsigned(R"({"n":18446744073709551616})", "n"), kMax);
    EXPECT_EQ(JsonUnsigned(R"({"n":99999999999999999999999999999})", "n"), kMax);
    EXPECT_EQ(JsonUnsigned(R"({"n":1844674407370955161})", "n"), 1844674407370955161ull);
    EXPECT_EQ(FindJsonUnsigned(R"({"n":0})", "n"), std::optional<std::uint64_t>(0));
    EXPECT_EQ(FindJsonUnsigned(R"({"n":null})", "n"), std::nullopt);
    EXPECT_EQ(FindJsonUnsigned(R"({"n":-1})", "n"), std::nullopt);
    EXPECT_EQ(FindJsonUnsigned(R"({"m":1})", "n"), std::nullopt);
}

TEST(ListRows, AnchorsAreMembersToo) {
    const auto rows = ParseServerDevices(
        R"({"devices":[{"deviceId":"a","displayName":"say \"deviceId\":\"fake\""},{"deviceId":"b"}]})");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].displayName, L"say \"deviceId\":\"fake\"");
    EXPECT_EQ(rows[1].deviceId, L"b");
    const auto players = ParseLivePlayers(R"([{"nickname":"x","playerId":"p1","verified": true}])");
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(players[0].nickname, L"NONE") << "members before the anchor are outside the object's extent";
    EXPECT_TRUE(players[0].verified);
}

TEST(SyncReply, AppliesWhatItCarries) {
    player::LocalPlayerData profile = player::LocalPlayerDataStore::Defaults(L"k", L"Local");
    profile.avatar.avatarId = L"old";
    profile.botStats.kills = 5;
    profile.botStats.playSeconds = 12.75;
    ApplySyncReply(R"({"nickname":"","avatarId":"","deaths":2,"play_seconds":7200})", profile);
    EXPECT_EQ(profile.identity.displayName, L"Local") << "an empty nickname is ignored";
    EXPECT_EQ(profile.avatar.avatarId, L"old");
    EXPECT_EQ(profile.botStats.kills, 5u);
    EXPECT_EQ(profile.botStats.deaths, 2u);
    EXPECT_DOUBLE_EQ(profile.botStats.playSeconds, 7200.0);

    ApplySyncReply(R"({"nickname":"Ol\u0065na","trainings_started":1,"trainings_completed":2,"shots_fired":3,)"
                   R"("shots_hit":4,"headshots":5,"kills":0})",
                   profile);
    EXPECT_EQ(profile.identity.displayName, L"Olena");
    EXPECT_EQ(profile.botStats.trainingsStarted, 1u);
    EXPECT_EQ(profile.botStats.trainingsCompleted, 2u);
    EXPECT_EQ(profile.botStats.shotsFired, 3u);
    EXPECT_EQ(profile.botStats.shotsHit, 4u);
    EXPECT_EQ(profile.botStats.headshots, 5u);
    EXPECT_EQ(profile.botStats.kills, 0u) << "a carried zero is a figure";

    const player::LocalPlayerData before = profile;
    ApplySyncReply("not json at all", profile);
    EXPECT_EQ(profile.identity.displayName, before.identity.displayName);
    EXPECT_EQ(profile.botStats.deaths, before.botStats.deaths);
}

// A nickname of a million characters is cut to the 32,768 units the profile keeps, never inside a
// surrogate pair, and home still paints whole: the name at its place and every button.
class LongNickname : public test::PlayerCanvas {};

TEST_F(LongNickname, IsCutToWhatTheProfileKeepsAndHomePaintsWhole) {
    const std::string nickname = std::string(32767, 'W') + "\\ud83c\\udfaf" + std::string(1000000, 'W');
    ApplySyncReply("{\"nickname\":\"" + nickname + "\"}", shell->playerData);
    const std::wstring kept(32767, L'W');
    EXPECT_EQ(shell->playerData.identity.displayName, kept);
    shell->router.Navigate(navigation::ScreenId::MainMenu);
    PaintScreen();
    ExpectText(kept, L"LOCAL_OPERATOR", shell->headingFormat.Get(), {250, 195, 480, 235}, Colors::Text);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"nav.play", "app.exit", "nav.inventory", "nav.profile",
                                                   "nav.statistics", "nav.updates", "nav.settings", "nav.privacy"}));
}

TEST(LinkSafeData, EscapesIdsAndKeepsNumbersJson) {
    player::LocalPlayerData profile = player::LocalPlayerDataStore::Defaults(L"k", L"n");
    profile.inventory.items.resize(1);
    profile.inventory.items[0].id = L"odd\"id\\\u0406\n";
    profile.botStats.kills = std::numeric_limits<std::uint64_t>::max();
    profile.botStats.playSeconds = -4.0;
    std::string json = LinkSafeData(profile, localization::Locale::Ukrainian, renderer::RenderBackendKind::Direct3D11,
                                     std::nanf(""));
    EXPECT_EQ(json.rfind("{\"inventory\":[\"odd\\\"id\\\\\xD0\x86\\n\"],", 0), 0u) << json;
    EXPECT_NE(json.find("\"kills\":18446744073709551615,"), std::string::npos);
    EXPECT_NE(json.find("\"playSeconds\":0}"), std::string::npos);
    EXPECT_NE(json.find(R"("locale":"uk-UA","renderer":"d3d11","masterVolume":0.000000,)"), std::string::npos) << json;

    profile.inventory.items.clear();
    profile.botStats.playSeconds = 1e300;
    json = LinkSafeData(profile, localization::Locale::English, static_cast<renderer::RenderBackendKind>(9), 1.0f);
    EXPECT_EQ(json.rfind("{\"inventory\":[],", 0), 0u);
    EXPECT_NE(json.find("\"playSeconds\":18446744073709551615}"), std::string::npos);
    EXPECT_NE(json.find(R"("renderer":"auto","masterVolume":1.000000,)"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::ui
