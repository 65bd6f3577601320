// The match client against the loopback match server over real UDP: joining, the
// snapshot written into the simulation, input, reports, purchases, the timeout and
// leaving; injected datagrams for the rules a well-behaved server never breaks.
#include <algorithm>

#include "client_harness.h"
#include "online_test_support.h"

namespace tarvo::online::test {
namespace {

using testing::FakeMatchServer;
using testing::FakeRemotePlayer;

const gameplay::Bot* BotWithId(const gameplay::TrainingSimulation& sim, int id) {
    for (const gameplay::Bot& bot : sim.Bots()) {
        if (bot.id == id) return &bot;
    }
    return nullptr;
}

TEST(MatchClientOpen, RefusesWhatTheProtocolCannotReach) {
    MatchClient client;
    const std::string key(24, 'k');
    EXPECT_FALSE(client.Open("localhost", 5000, key, "ffa", 0)) << "numeric hosts only";
    EXPECT_FALSE(client.Open("256.1.1.1", 5000, key, "ffa", 0));
    EXPECT_FALSE(client.Open("", 5000, key, "ffa", 0));
    EXPECT_FALSE(client.Open("0.0.0.0", 5000, key, "ffa", 0));
    EXPECT_FALSE(client.Open("255.255.255.255", 5000, key, "ffa", 0));
    EXPECT_FALSE(client.Open("127.0.0.1", 0, key, "ffa", 0));
    EXPECT_FALSE(client.Open("127.0.0.1", 5000, key, "ffa", 3));
    EXPECT_FALSE(client.Open("127.0.0.1", 5000, key, "ffa", -1));
    EXPECT_FALSE(client.Open("127.0.0.1", 5000, key, "", 0));
    EXPECT_FALSE(client.Open("127.0.0.1", 5000, key, "abcdefghijklm", 0)) << "13 characters";
    EXPECT_FALSE(client.Open("127.0.0.1", 5000, key.substr(1), "ffa", 0));
    EXPECT_FALSE(client.Open("127.0.0.1", 5000, key + "|", "ffa", 0));
    EXPECT_FALSE(client.IsOpen());

    EXPECT_TRUE(client.Open("127.0.0.1", 5000, key, "abcdefghijkl", 2));
    EXPECT_TRUE(client.IsOpen());
    EXPECT_FALSE(client.Open("localhost", 5000, key, "ffa", 0)) << "a failed open leaves nothing open";
    EXPECT_FALSE(client.IsOpen());
    client.Close();
    client.Close();  // harmless twice
}

TEST(MatchClientJoin, HelloWelcomeAndTheOtherPlayersBecomeBots) {
    FakeMatchServer server;
    ASSERT_TRUE(server.Running());
    const FakeRemotePlayer ada{.id = 40, .team = 2, .weapon = 2, .kills = 4, .deaths = 1, .shots = 3,
                               .x = 3.0f, .z = 10.0f, .yaw = 90.0f, .name = "ada"};
    FakeRemotePlayer olya = ada;
    olya.id = 41;
    olya.team = 1;
    olya.dead = true;
    olya.name = "\xD0\x9E\xD0\xBB\xD1\x8F";
    server.SetRemotePlayers({ada, olya});

    ClientHarness h;
    h.simulation.AddMouseDelta(200.0f, -100.0f);  // the player's own view
    const float yaw = h.simulation.Player().yaw;
    const float pitch = h.simulation.Player().pitch;
    h.client.SetDisplayName(L"LOCAL_OPERATOR");
    ASSERT_TRUE(h.Join(server, "ffa", 1));
    ASSERT_TRUE(h.PumpUntil([&] { return h.simulation.Bots().size() == 2; }, 5ms));

    EXPECT_TRUE(h.client.Connected());
    EXPECT_TRUE(h.client.Error().empty());
    EXPECT_TRUE(h.simulation.onlineDriven);
    const gameplay::Bot* first = BotWithId(h.simulation, 40);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::tuple(first->name, first->team, first->weaponIndex, first->kills, first->deaths, first->shots),
              std::tuple(std::wstring(L"ada"), 2, 2, 4, 1, 3));
    EXPECT_FLOAT_EQ(first->position.x, 3.0f);
    EXPECT_FLOAT_EQ(first->position.z, 10.0f);
    EXPECT_FLOAT_EQ(first->yaw, 90.0f);
    EXPECT_NE(first->state, gameplay::BotState::AwaitingRespawn);
    const gameplay::Bot* second = BotWithId(h.simulation, 41);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->name, L"\u041E\u043B\u044F");
    EXPECT_EQ(second->state, gameplay::BotState::AwaitingRespawn) << "dead players are not drawn";
    EXPECT_EQ(h.simulation.BotsAlive(), 1);

    const gameplay::PlayerState& player = h.simulation.Player();
    EXPECT_EQ(player.onlineValue, 1) << "the local team, compared with the bots' teams";
    EXPECT_FLOAT_EQ(player.yaw, yaw) << "the server does not turn the player's view";
    EXPECT_FLOAT_EQ(player.pitch, pitch);

    const MatchInfo& info = h.client.Info();
    EXPECT_EQ(std::tuple(info.valid, info.mode, info.map, info.localTeam, info.localPlayerId),
              std::tuple(true, 6, 1, 1, 7));
    EXPECT_EQ(info.cyanScore, 4) << "free for all: the leader's kills";
    EXPECT_EQ(h.client.Economy().message, "CONNECTING");

    const std::vector<testing::FakeMatchPlayer> players = server.Players();
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(std::tie(players[0].modeKey, players[0].map, players[0].name), std::tuple("ffa", 1, "LOCAL_OPERATOR"));
    EXPECT_GE(server.CountReceived("HELLO"), 1u);
}

TEST(MatchClientJoin, OnlyAnswersToItsOwnHelloAreTaken) {
    FakeMatchServer server(testing::FakeMatchOptions{.answerHellos = false});  // this test answers
    ClientHarness h;
    ASSERT_TRUE(h.Open(server));
    ASSERT_TRUE(h.PumpUntil([&] { return server.CountReceived("HELLO") == 1; }));
    const std::string nonce = server.Received()[0].substr(12, 16);  // after "TARV1|HELLO|"
    const std::string other = nonce == "00000000000000ff" ? "00000000000000fe" : "00000000000000ff";
    for (const std::string& d : {"TARV1|FULL|" + other, "TARV1|WELCOME|" + other + "|7"}) ASSERT_TRUE(server.Inject(d));
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Traffic().received == 2; }));
    EXPECT_EQ(h.client.Traffic().dropped, 2u) << "answers to another hello";
    EXPECT_FALSE(h.client.Connected());
    ASSERT_TRUE(server.Inject("TARV1|WELCOME|" + nonce + "|7"));
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Connected(); }));
    // Once joined, neither another id nor a refusal is taken.
    for (const std::string& d : {"TARV1|WELCOME|" + nonce + "|9", "TARV1|FULL|" + nonce}) ASSERT_TRUE(server.Inject(d));
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Traffic().received == 5; }));
    EXPECT_EQ(h.client.Traffic().accepted, 1u);
    EXPECT_TRUE(h.client.Error().empty());
}

TEST(MatchClientJoin, AFullRoomIsAnErrorAndTheClientFallsSilent) {
    FakeMatchServer server(testing::FakeMatchOptions{.capacity = 0});
    ClientHarness h;
    ASSERT_TRUE(h.Open(server));
    ASSERT_TRUE(h.PumpUntil([&] { return !h.client.Error().empty(); }));  // the clock still: one hello
    EXPECT_EQ(h.client.Error(), "ROOM_FULL");
    EXPECT_FALSE(h.client.Connected());
    h.now += 2s;
    EXPECT_FALSE(h.client.Pump(h.simulation, h.input, false, false));
    h.PumpFor(30ms);
    EXPECT_EQ(server.CountReceived("HELLO"), 1u) << "no more hellos after the refusal";
    h.client.Close();
    EXPECT_TRUE(h.client.Error().empty());
}

TEST(MatchClientInput, ThirtyInputsASecondCarryMovementFireAndReload) {
    FakeMatchServer server;
    ClientHarness h;
    ASSERT_TRUE(h.Join(server));
    // The clock stands still: one input datagram, however often the client is pumped.
    h.now += 40ms;
    h.client.Pump(h.simulation, h.input, false, false);
    const std::uint32_t serial = h.client.InputSerial();
    h.PumpFor(20ms);
    EXPECT_EQ(h.client.InputSerial(), serial);
    h.now += 34ms;
    h.client.Pump(h.simulation, h.input, false, false);
    EXPECT_EQ(h.client.InputSerial(), serial + 1);
    h.now += 5s;  // a long stall sends one datagram, not a burst
    h.client.Pump(h.simulation, h.input, false, false);
    h.client.Pump(h.simulation, h.input, false, false);
    EXPECT_EQ(h.client.InputSerial(), serial + 2);

    // Each key travels as its bit of the protocol, under the next serial.
    using Keys = gameplay::InputState;
    const std::pair<bool Keys::*, std::uint32_t> keys[] = {{&Keys::forward, 1}, {&Keys::back, 2},    {&Keys::left, 4},
                                                           {&Keys::right, 8},   {&Keys::jump, 16},   {&Keys::crouch, 32},
                                                           {&Keys::sprint, 64}};
    for (const auto& [key, bit] : keys) {
        h.input = {};
        h.input.*key = true;
        const std::uint32_t before = h.client.InputSerial();
        ASSERT_TRUE(h.SyncWith(server)) << bit;
        EXPECT_EQ(server.Players()[0].flags, bit);
        EXPECT_EQ(server.Players()[0].inputSerial, before + 1);
    }
    h.input = {};

    // Fire: the server counts the shot and the next snapshot reports the magazine.
    h.now += 34ms;
    h.client.Pump(h.simulation, h.input, true, false);
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Info().localShots == 1; }, 1ms));
    ASSERT_TRUE(h.PumpUntil([&] { return h.simulation.Weapon().magazine == 29; }, 1ms));
    EXPECT_EQ(server.Players()[0].fireInputs, 1u);

    // Reload travels the same way.
    h.now += 34ms;
    h.client.Pump(h.simulation, h.input, false, true);
    ASSERT_TRUE(h.PumpUntil([&] { return server.Players()[0].reloadInputs == 1; }, 1ms));
    ASSERT_TRUE(h.PumpUntil([&] { return h.simulation.Weapon().magazine == 30; }, 1ms));

    // Forward at yaw 0 walks toward +z on the server.
    const float z = h.simulation.Player().position.z;
    h.input.forward = true;
    ASSERT_TRUE(h.PumpUntil([&] { return h.simulation.Player().position.z > z + 0.5f; }, 2ms));
    EXPECT_GE(h.simulation.Player().horizontalSpeed, 0.0f);
}

TEST(MatchClientReports, OutOfRangeForeignOrStaleReportsAreDroppedWhole) {
    FakeMatchServer server;
    ClientHarness h;
    ASSERT_TRUE(h.Join(server));
    server.SetTicking(false);
    h.PumpFor(60ms);  // what was on its way

    ReportFields good;
    good.serial = "5000";
    good.values[3] = "5";
    ASSERT_TRUE(server.Inject(ReportText(good)));
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Info().cyanScore == 5; }));

    const std::uint64_t dropped = h.client.Traffic().dropped;
    ReportFields late = good, foreign = good, stale = good;
    late.serial = "5001";
    late.values[5] = "721";  // one field out of range: nothing of it is taken
    foreign.serial = "5002";
    foreign.values[16] = "8";  // another player's report
    stale.serial = "4999";
    for (ReportFields* r : {&late, &foreign, &stale}) {
        r->values[3] = "9";
        ASSERT_TRUE(server.Inject(ReportText(*r)));
    }
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Traffic().dropped >= dropped + 3; }));
    EXPECT_EQ(h.client.Info().cyanScore, 5);
    EXPECT_EQ(h.client.Info().roundSeconds, 300);
    EXPECT_TRUE(h.client.Info().valid);
}

TEST(MatchClientSnapshots, TheNewestOfAFrameWinsAndOlderOnesAreIgnored) {
    FakeMatchServer server;
    ClientHarness h;
    ASSERT_TRUE(h.Join(server));
    server.SetTicking(false);
    h.PumpFor(60ms);

    const auto snapAt = [](int tick, const char* z) {
        Snap s;
        s.tick = std::to_string(tick);
        s.local.z = z;
        s.remotes.push_back(Remote(40, "ada"));
        return s;
    };
    // Three in one frame, out of order: the highest tick is the one written, every local figure of it.
    Snap newest = snapAt(5002, "7.00");
    newest.local = {"1.50", "0.25", "7.00", "37.50", "1", "0", "2", "5", "3", "2", "7", "40", "1", "1"};
    const std::uint64_t before = h.client.Traffic().received;
    ASSERT_TRUE(server.Inject(snapAt(5000, "5.00").Text()));
    ASSERT_TRUE(server.Inject(newest.Text()));
    ASSERT_TRUE(server.Inject(snapAt(5001, "6.00").Text()));
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Traffic().received >= before + 3; }));
    const gameplay::PlayerState& p = h.simulation.Player();
    EXPECT_FLOAT_EQ(p.position.x, 1.5f);
    EXPECT_FLOAT_EQ(p.position.y, 0.25f);
    EXPECT_FLOAT_EQ(p.position.z, 7.0f);
    EXPECT_FLOAT_EQ(p.health, 37.5f);
    EXPECT_EQ(std::tuple(p.dead, p.crouching, p.onlineValue, p.kills, p.deaths, p.weaponIndex),
              std::tuple(true, false, 2, 5, 3, 2));
    const gameplay::WeaponState& w = h.simulation.Weapon();
    EXPECT_EQ(std::tuple(w.magazine, w.reserve, w.reloading, w.fireMode),
              std::tuple(7, 40, true, gameplay::FireMode::SemiAutomatic));

    ASSERT_TRUE(server.Inject(snapAt(4999, "1.00").Text()));
    Snap impostor = snapAt(5003, "2.00");
    impostor.remotes.push_back(Remote(7, "me"));  // the local player's own id
    ASSERT_TRUE(server.Inject(impostor.Text()));
    const std::uint64_t dropped = h.client.Traffic().dropped;
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Traffic().dropped >= dropped + 2; }));
    EXPECT_FLOAT_EQ(h.simulation.Player().position.z, 7.0f);
    EXPECT_EQ(h.simulation.Bots().size(), 1u);
}

TEST(MatchClientSnapshots, RemotePlayersWalkingGetSpeedAndDistanceTeleportsDoNot) {
    FakeMatchServer server;
    ClientHarness h;
    ASSERT_TRUE(h.Join(server));
    server.SetTicking(false);
    h.PumpFor(60ms);

    const auto snapWith = [](int tick, const char* x) {
        Snap s;
        s.tick = std::to_string(tick);
        RemoteFields r = Remote(40, "ada");
        r.x = x;
        s.remotes.push_back(r);
        return s.Text();
    };
    const auto apply = [&](const std::string& text) {
        const std::uint64_t received = h.client.Traffic().received;
        ASSERT_TRUE(server.Inject(text));
        ASSERT_TRUE(h.PumpUntil([&] { return h.client.Traffic().received > received; }));
    };
    apply(snapWith(5000, "0.00"));
    apply(snapWith(5003, "0.30"));  // 0.3 m in three ticks (0.1 s)
    const gameplay::Bot* bot = BotWithId(h.simulation, 40);
    ASSERT_NE(bot, nullptr);
    EXPECT_NEAR(bot->horizontalSpeed, 3.0f, 0.01f);
    EXPECT_NEAR(bot->distanceTravelled, 0.3f, 0.001f);
    EXPECT_NEAR(bot->stateTimer, 0.1f, 0.001f);
    apply(snapWith(5004, "30.00"));  // 29.7 m in one tick: placed, not walked
    bot = BotWithId(h.simulation, 40);
    EXPECT_EQ(bot->horizontalSpeed, 0.0f);
    EXPECT_NEAR(bot->distanceTravelled, 0.3f, 0.001f);
}

TEST(MatchClientTimeout, EightSecondsWithoutAnAcceptedDatagram) {
    FakeMatchServer server;
    ClientHarness h;
    ASSERT_TRUE(h.Join(server));
    EXPECT_FALSE(h.client.TimedOut());
    server.SetTicking(false);
    h.PumpFor(60ms);
    const auto lastHeard = h.now;  // the clock stood still while the last datagrams came in

    // Junk keeps arriving; it is not the server speaking.
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(server.Inject("TARV1|REPORT|junk"));
    h.now = lastHeard + 8s;
    h.PumpFor(30ms);
    EXPECT_FALSE(h.client.TimedOut()) << "exactly eight seconds is not more than eight";
    h.now = lastHeard + 8s + 1ms;
    EXPECT_TRUE(h.client.TimedOut());

    // A closed client never times out.
    h.client.Close();
    EXPECT_FALSE(h.client.TimedOut());
}

TEST(MatchClientTimeout, TheEightSecondsCountFromTheFirstHelloNotFromTheOpen) {
    FakeMatchServer server(testing::FakeMatchOptions{.answerHellos = false});
    ClientHarness h;
    ASSERT_TRUE(h.Open(server));
    h.now += 12s;  // the session's start took this long; nothing went out yet
    EXPECT_FALSE(h.client.TimedOut());
    const auto firstHello = h.now;
    h.client.Pump(h.simulation, h.input, false, false);
    h.now += 4s;
    h.client.Pump(h.simulation, h.input, false, false);  // a later hello does not start the count again
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (server.CountReceived("HELLO") < 2 && std::chrono::steady_clock::now() < deadline) Sleep(1);
    EXPECT_EQ(server.CountReceived("HELLO"), 2u);
    h.now = firstHello + 8s;
    EXPECT_FALSE(h.client.TimedOut());
    h.now = firstHello + 8001ms;
    EXPECT_TRUE(h.client.TimedOut());
}

// Joined to a server that knows one credential, of profile "prof-7". The join ends on the
// first report; the economy record of its round is taken too before a test sets a code.
class MatchClientEconomy : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Join(server));
        ASSERT_TRUE(h.HearTwoRounds());
    }
    static MatchIdentity Identity(std::string token, std::uint64_t expiresAt = 0) {
        MatchIdentity identity;
        identity.playerKey = L"LOCAL";
        identity.profileId = "prof-7";
        identity.token = std::move(token);
        identity.expiresAt = expiresAt;
        identity.valid = true;
        return identity;
    }

    FakeMatchServer server{testing::FakeMatchOptions{.credentials = {{"prof-7", "token-abcdefghijklmnop"}}}};
    ClientHarness h;
};

TEST_F(MatchClientEconomy, BuyingNeedsTheServersWordOnTheCredential) {
    h.client.Buy(1);
    EXPECT_EQ(h.client.Economy().message, "PROFILE_REQUIRED");
    ASSERT_TRUE(h.HearTwoRounds());
    EXPECT_EQ(h.client.Economy().message, "PROFILE_REQUIRED") << "kept until the server says something new";
    ASSERT_TRUE(h.SyncWith(server));
    EXPECT_EQ(server.CountReceived("BUY"), 0u);

    h.client.SetIdentity(Identity("token-abcdefghijklmnop", 4000000000ull));
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Economy().authenticated; }, 5ms));
    EXPECT_EQ(h.client.Economy().message, "READY");
    ASSERT_TRUE(h.SyncWith(server));  // an AUTH sent before the answer came is counted here
    const std::size_t auths = server.CountReceived("AUTH");
    h.now += 2s;
    ASSERT_TRUE(h.SyncWith(server));
    EXPECT_EQ(server.CountReceived("AUTH"), auths) << "the credential is not sent again once accepted";

    h.client.Buy(1);
    EXPECT_EQ(h.client.Economy().message, "PENDING");
    h.client.Buy(2);  // ignored while the first is pending
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Economy().message == "EQUIPPED"; }, 5ms));
    EXPECT_EQ(h.client.Economy().coins, 200);
    EXPECT_EQ(h.client.Economy().ownedWeapons, 3u);
    EXPECT_EQ(h.client.Economy().selectedWeapon, 1u);
    ASSERT_TRUE(h.PumpUntil([&] { return h.simulation.Player().weaponIndex == 1; }, 5ms));
    EXPECT_EQ(h.simulation.Weapon().magazine, 32);
    EXPECT_EQ(server.Players()[0].purchases, 1u);

    h.client.Buy(2);
    ASSERT_TRUE(h.PumpUntil([&] { return h.client.Economy().message == "NOT_ENOUGH_COINS"; }, 5ms));
    EXPECT_EQ(h.client.Economy().coins, 200);
    EXPECT_EQ(h.simulation.Player().weaponIndex, 1);
}

TEST_F(MatchClientEconomy, ARefusedOrMissingCredentialLeavesTheShopLocked) {
    h.client.SetIdentity(Identity("token-wrong-wrong-wrong"));
    const std::size_t before = server.CountReceived("AUTH");
    ASSERT_TRUE(h.PumpUntil([&] { return server.CountReceived("AUTH") >= before + 3; }, 100ms))
        << "repeated until the server accepts it";
    EXPECT_FALSE(h.client.Economy().authenticated);

    h.client.SetIdentity(MatchIdentity{});  // the load failed
    EXPECT_EQ(h.client.Economy().message, "PROFILE_UNAVAILABLE");
    ASSERT_TRUE(h.HearTwoRounds());
    EXPECT_EQ(h.client.Economy().message, "PROFILE_UNAVAILABLE");
}

TEST(MatchClientLeave, CloseSendsLeaveOnlyWithAPlayerIdAndResetsEverything) {
    FakeMatchServer server;
    {
        ClientHarness h;
        ASSERT_TRUE(h.Join(server));
        h.client.Close();
        EXPECT_FALSE(h.client.IsOpen());
        EXPECT_FALSE(h.client.Connected());
        EXPECT_FALSE(h.client.Info().valid);
        EXPECT_EQ(h.client.Info().mode, 6);
        EXPECT_EQ(h.client.Economy().message, "CONNECTING");
        EXPECT_EQ(h.client.Economy().ownedWeapons, 1u);
        EXPECT_EQ(h.client.InputSerial(), 0u);
    }
    const auto left = [&] {
        const auto players = server.Players();
        return !players.empty() && players[0].left;
    };
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!left() && std::chrono::steady_clock::now() < deadline) Sleep(5);
    EXPECT_TRUE(left());
    EXPECT_EQ(server.CountReceived("LEAVE"), 1u);

    FakeMatchServer refusing(testing::FakeMatchOptions{.capacity = 0});
    ClientHarness h;
    ASSERT_TRUE(h.Open(refusing));
    ASSERT_TRUE(h.PumpUntil([&] { return !h.client.Error().empty(); }, 5ms));
    h.client.Close();  // no id was assigned: nothing to leave
    Sleep(50);
    EXPECT_GE(refusing.CountReceived("HELLO"), 1u);
    EXPECT_EQ(refusing.CountReceived("LEAVE"), 0u);
}

TEST(MatchClientName, TheNameTravelsInTheHelloAndLaterInANameDatagram) {
    FakeMatchServer server;
    ClientHarness h;
    h.client.SetDisplayName(L"first|name");
    ASSERT_TRUE(h.Join(server));
    EXPECT_EQ(server.Players()[0].name, "first_name");
    h.client.SetDisplayName(L"");
    h.client.SetDisplayName(L"bad\xD800");
    ASSERT_TRUE(h.SyncWith(server));
    EXPECT_EQ(server.CountReceived("NAME"), 0u) << "empty and unconvertible names are ignored";
    h.client.SetDisplayName(L"\u041D\u043E\u0432\u0438\u0439");
    ASSERT_TRUE(h.PumpUntil([&] { return server.CountReceived("NAME") == 1; }));
    EXPECT_EQ(server.Players()[0].name, "\xD0\x9D\xD0\xBE\xD0\xB2\xD0\xB8\xD0\xB9");
}

}  // namespace
}  // namespace tarvo::online::test
