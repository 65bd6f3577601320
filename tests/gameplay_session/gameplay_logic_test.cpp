// The session's decisions as plain functions: statistics delta and submission id,
// frame pacing, the overlay from a simulation and a scripted match report, the
// scoreboard order, online fire gating with an injected clock and the reconcile.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/gameplay_logic.h"
#include "support/temp_folder.h"

namespace tarvo::ui {
namespace {

using namespace std::chrono_literals;
using gameplay::Bot;
using gameplay::Vec3;

// ---- Statistics ------------------------------------------------------------------

TEST(StatsDelta, BodyListsEveryCounterInOrderWithoutWhiteSpace) {
    player::BotStats start;
    start.trainingsStarted = 4;
    start.kills = 10;
    start.shotsFired = 100;
    start.playSeconds = 30.25;
    player::BotStats now = start;
    now.trainingsStarted = 5;
    now.trainingsCompleted = 1;
    now.kills = 13;
    now.deaths = 2;
    now.shotsFired = 160;
    now.shotsHit = 21;
    now.playSeconds = 72.99;
    EXPECT_EQ(BotStatsDeltaJson(now, start),
              "{\"trainingsStarted\":1,\"trainingsCompleted\":1,\"kills\":3,\"deaths\":2,\"shotsFired\":60,"
              "\"shotsHit\":21,\"headshots\":0,\"playSeconds\":42}");
}

TEST(StatsDelta, CountersBelowTheSnapshotAndNegativeTimeReportZero) {
    player::BotStats start;
    start.kills = 9;
    start.headshots = 3;
    start.playSeconds = 50.0;
    player::BotStats now;  // a sync answer overwrote the counters with smaller ones
    now.kills = 2;
    now.playSeconds = 10.0;
    EXPECT_EQ(BotStatsDeltaJson(now, start),
              "{\"trainingsStarted\":0,\"trainingsCompleted\":0,\"kills\":0,\"deaths\":0,\"shotsFired\":0,"
              "\"shotsHit\":0,\"headshots\":0,\"playSeconds\":0}");
    now.playSeconds = NAN;
    EXPECT_NE(BotStatsDeltaJson(now, start).find("\"playSeconds\":0}"), std::string::npos);
}

TEST(StatsDelta, LargeCountersKeepAllDigits) {
    player::BotStats now;
    now.shotsFired = 18446744073709551615ull;
    EXPECT_NE(BotStatsDeltaJson(now, {}).find("\"shotsFired\":18446744073709551615,"), std::string::npos);
}

TEST(StatsDelta, SubmissionIdIsInstallationIdUnderscoreMilliseconds) {
    EXPECT_EQ(StatsSubmissionId(L"6F9619FF-8B86-D011-B42D-00CF4FC964FF", 1767225600123ull),
              L"6F9619FF-8B86-D011-B42D-00CF4FC964FF_1767225600123");
    EXPECT_EQ(StatsSubmissionId(L"", 0), L"_0");
}

TEST(ArenaDirectory, FoundInAnAncestorOtherwiseBesideTheExecutable) {
    testing::TempFolder temp;
    const auto exe = temp.Path() / L"build" / L"bin";
    std::filesystem::create_directories(exe);
    EXPECT_EQ(FindArenaDirectory(exe), exe / L"assets" / L"maps");
    std::filesystem::create_directories(temp.Path() / L"build" / L"assets" / L"maps");
    EXPECT_EQ(FindArenaDirectory(exe), temp.Path() / L"build" / L"assets" / L"maps");
    std::filesystem::create_directories(exe / L"assets" / L"maps");
    EXPECT_EQ(FindArenaDirectory(exe), exe / L"assets" / L"maps");
}

// ---- Frame -----------------------------------------------------------------------

TEST(FramePacing, LimitsBelowThirtyPaceAtThirty) {
    EXPECT_DOUBLE_EQ(FrameIntervalSeconds(10), 1.0 / 30.0);
    EXPECT_DOUBLE_EQ(FrameIntervalSeconds(0), 1.0 / 30.0);
    EXPECT_DOUBLE_EQ(FrameIntervalSeconds(30), 1.0 / 30.0);
    EXPECT_DOUBLE_EQ(FrameIntervalSeconds(144), 1.0 / 144.0);
}

TEST(FramePacing, TimersFloorAtZeroAndAimBlendMovesByEightTimesDt) {
    EXPECT_FLOAT_EQ(DecayTimer(0.12f, 0.05f), 0.07f);
    EXPECT_EQ(DecayTimer(0.05f, 0.12f), 0.0f);
    EXPECT_FLOAT_EQ(AdvanceAimBlend(0.0f, true, 0.05f), 0.4f);
    EXPECT_FLOAT_EQ(AdvanceAimBlend(1.0f, false, 0.0625f), 0.5f);
    EXPECT_FLOAT_EQ(AdvanceAimBlend(0.3f, true, 0.5f), 1.0f);  // a long frame lands on the target
}

// ---- Overlay and scoreboard ---------------------------------------------------------

// A started offline training with the configured bots.
gameplay::TrainingSimulation StartedTraining() {
    gameplay::TrainingSimulation simulation{gameplay::GameplayConfig{}};
    simulation.Start();
    return simulation;
}

online::MatchInfo ScriptedReport() {
    return {.mode = 0, .map = 2, .localTeam = 1, .cyanScore = 7, .amberScore = 5, .roundSeconds = 140, .roundState = 1,
            .roundWinner = 0, .roundNumber = 3, .matchComplete = 0, .ffaFigure = 11, .activePoint = 1, .pointOwner = 2,
            .localPlayerId = 42, .pointProgress = -0.5f, .valid = true};
}

TEST(Overlay, OfflineFrameCarriesShellValuesAndNoScoreboard) {
    const gameplay::TrainingSimulation simulation = StartedTraining();
    const OverlayFrame frame{.menuOpen = true, .showPerformance = true, .fps = 143.5f, .frameTimeMs = 6.9f,
                             .hitMarker = 0.1f, .killConfirm = 0.7f, .muzzleFlash = 0.05f, .damageFlash = 0.2f,
                             .elapsedSeconds = 12.5f, .aimBlend = 0.25f, .ukrainian = false, .quality = 2,
                             .deviceName = L"llvmpipe (LLVM 15.0.6, 256 bits)",
                             .tabHeld = true};  // Tab means nothing offline
    online::MatchEconomy economy;  // the client's defaults before any match
    renderer::RenderOverlay overlay;
    overlay.scoreRows.resize(3);      // left over from an earlier frame
    overlay.qaCapturePath = "C:/old.bmp";
    FillRenderOverlay(overlay, frame, simulation, online::MatchInfo{}, economy, L"LOCAL_OPERATOR");

    EXPECT_TRUE(overlay.menuOpen);
    EXPECT_TRUE(overlay.showPerformance);
    EXPECT_FLOAT_EQ(overlay.fps, 143.5f);
    EXPECT_FLOAT_EQ(overlay.frameTimeMs, 6.9f);
    EXPECT_FLOAT_EQ(overlay.hitMarker, 0.1f);
    EXPECT_FLOAT_EQ(overlay.killConfirm, 0.7f);
    EXPECT_FLOAT_EQ(overlay.muzzleFlash, 0.05f);
    EXPECT_FLOAT_EQ(overlay.damageFlash, 0.2f);
    EXPECT_FLOAT_EQ(overlay.elapsedSeconds, 12.5f);
    EXPECT_FLOAT_EQ(overlay.aimBlend, 0.25f);
    EXPECT_FALSE(overlay.ukrainian);
    EXPECT_EQ(overlay.quality, 2u);
    EXPECT_EQ(overlay.deviceName, L"llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_FALSE(overlay.onlineMatch);
    EXPECT_FALSE(overlay.scoreboardHeld);
    EXPECT_TRUE(overlay.scoreRows.empty());
    EXPECT_TRUE(overlay.qaCapturePath.empty());
    EXPECT_EQ(overlay.shopStatus, "CONNECTING");
    EXPECT_EQ(overlay.ownedWeaponMask, 1u);
    EXPECT_EQ(overlay.matchMode, 6);
}

TEST(Overlay, OnlineFrameCopiesTheReportAndEconomyAndBuildsRows) {
    gameplay::TrainingSimulation simulation{gameplay::GameplayConfig{}};
    simulation.Start();
    gameplay::PlayerState player = simulation.Player();
    player.kills = 2;
    player.deaths = 1;
    simulation.ApplyOnlineSnapshot(player, simulation.Weapon(),
                                   {Bot{.name = L"Оса", .kills = 5, .deaths = 0, .team = 2, .id = 7},
                                    Bot{.kills = 2, .deaths = 4, .team = 1, .id = 9}});

    const online::MatchEconomy economy{
        .coins = 350, .ownedWeapons = 5, .selectedWeapon = 2, .authenticated = true, .message = "READY"};
    const OverlayFrame frame{.arsenalOpen = true, .onlineSession = true, .tabHeld = true};
    renderer::RenderOverlay overlay;
    FillRenderOverlay(overlay, frame, simulation, ScriptedReport(), economy, L"Кобра");

    EXPECT_TRUE(overlay.onlineMatch);
    EXPECT_TRUE(overlay.scoreboardHeld);
    EXPECT_TRUE(overlay.arsenalOpen);
    EXPECT_EQ(overlay.coins, 350);
    EXPECT_EQ(overlay.ownedWeaponMask, 5u);
    EXPECT_EQ(overlay.selectedWeapon, 2u);
    EXPECT_TRUE(overlay.shopAuthenticated);
    EXPECT_EQ(overlay.shopStatus, "READY");
    const std::vector<int> block = {overlay.matchMode,    overlay.matchMap,        overlay.localTeam,
                                    overlay.cyanScore,    overlay.amberScore,      overlay.roundSeconds,
                                    overlay.roundState,   overlay.roundWinner,     overlay.roundNumber,
                                    overlay.matchComplete, overlay.freeForAllValue, overlay.activePoint,
                                    overlay.pointOwner};
    EXPECT_EQ(block, (std::vector<int>{0, 2, 1, 7, 5, 140, 1, 0, 3, 0, 11, 1, 2}));
    EXPECT_EQ(overlay.localPlayerId, 42);
    EXPECT_FLOAT_EQ(overlay.pointProgress, -0.5f);

    ASSERT_EQ(overlay.scoreRows.size(), 3u);
    EXPECT_EQ(overlay.scoreRows[0].playerId, 7);
    EXPECT_EQ(overlay.scoreRows[0].name, "\xD0\x9E\xD1\x81\xD0\xB0");  // "Оса" in UTF-8
    EXPECT_EQ(overlay.scoreRows[0].team, 2);
    const renderer::ScoreRow& local = overlay.scoreRows[1];
    EXPECT_TRUE(local.isLocal);
    EXPECT_EQ(local.playerId, 42);
    EXPECT_EQ(local.team, 1);
    EXPECT_EQ(local.kills, 2);
    EXPECT_EQ(local.deaths, 1);
    EXPECT_EQ(local.name, "\xD0\x9A\xD0\xBE\xD0\xB1\xD1\x80\xD0\xB0");
    EXPECT_EQ(overlay.scoreRows[2].playerId, 9);
}

TEST(Overlay, AnInvalidReportIsCopiedButGivesNoScoreboard) {
    const gameplay::TrainingSimulation simulation = StartedTraining();
    online::MatchInfo info = ScriptedReport();
    info.valid = false;
    renderer::RenderOverlay overlay;
    FillRenderOverlay(overlay, OverlayFrame{.onlineSession = true}, simulation, info, online::MatchEconomy{}, L"x");
    EXPECT_FALSE(overlay.onlineMatch);
    EXPECT_TRUE(overlay.scoreRows.empty());
    EXPECT_EQ(overlay.cyanScore, 7);
    EXPECT_EQ(overlay.localPlayerId, 42);
}

TEST(Scoreboard, MoreKillsFirstThenFewerDeathsAndTiesKeepTheirBuiltOrder) {
    gameplay::TrainingSimulation simulation{gameplay::GameplayConfig{}};
    simulation.Start();
    gameplay::PlayerState player = simulation.Player();
    player.kills = 2;
    player.deaths = 3;
    std::vector<Bot> others(5);
    const int stats[5][2] = {{2, 3}, {3, 9}, {2, 1}, {2, 3}, {0, 0}};
    for (int i = 0; i < 5; ++i) {
        others[static_cast<size_t>(i)].id = 100 + i;
        others[static_cast<size_t>(i)].kills = stats[i][0];
        others[static_cast<size_t>(i)].deaths = stats[i][1];
    }
    simulation.ApplyOnlineSnapshot(player, simulation.Weapon(), others);

    std::vector<renderer::ScoreRow> rows;
    online::MatchInfo info = ScriptedReport();
    info.localPlayerId = 1;
    // Rebuilt frame after frame, the order never changes.
    for (int frame = 0; frame < 20; ++frame) {
        BuildScoreRows(rows, simulation, info, L"me");
        std::vector<int> ids;
        for (const auto& row : rows) ids.push_back(row.playerId);
        ASSERT_EQ(ids, (std::vector<int>{101, 102, 1, 100, 103, 104})) << "frame " << frame;
    }
}

TEST(Scoreboard, NegativeCountersCompareAsSigned) {
    gameplay::TrainingSimulation simulation{gameplay::GameplayConfig{}};
    simulation.Start();
    gameplay::PlayerState player = simulation.Player();
    player.kills = -1;
    simulation.ApplyOnlineSnapshot(player, simulation.Weapon(), {Bot{.kills = 0, .id = 5}});
    std::vector<renderer::ScoreRow> rows;
    BuildScoreRows(rows, simulation, ScriptedReport(), L"me");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].playerId, 5);
}

// ---- Online fire ----------------------------------------------------------------------

struct Bookkeeping {
    std::int32_t predictedShots = 0;
    std::int32_t trackedWeapon = -1;
    std::uint32_t serverShotCount = 0;
    std::uint32_t serverResetCount = 0;
    SteadyTime nextShotAt{};
    SteadyTime nextEmptyClickAt{};
    SteadyTime reloadReadyAt{};
    bool fireRequested = false;
    std::unordered_map<int, unsigned> remoteShotCounts;

    WeaponBookkeeping Bind() {
        return WeaponBookkeeping{predictedShots,   trackedWeapon,  serverShotCount,
                                 serverResetCount, nextShotAt,     nextEmptyClickAt,
                                 reloadReadyAt,    fireRequested,  remoteShotCounts};
    }
};

OnlineTriggerState Armed(int magazine, int weapon = 0) {
    return {.connected = true, .infoValid = true, .roundState = 1, .magazine = magazine, .weaponIndex = weapon};
}

const SteadyTime kT0 = SteadyTime{} + 1000s;

TEST(OnlineFire, ShotIntervalsByWeaponIndex) {
    EXPECT_EQ(OnlineShotInterval(0), 111112us);
    EXPECT_EQ(OnlineShotInterval(1), 71429us);
    EXPECT_EQ(OnlineShotInterval(2), 333334us);
    EXPECT_EQ(OnlineShotInterval(7), 333334us);
    EXPECT_EQ(OnlineShotInterval(-1), 111112us);
}

TEST(OnlineFire, ShotsFollowTheIntervalAndRequestTheNextDatagram) {
    Bookkeeping b;
    WeaponBookkeeping book = b.Bind();
    EXPECT_EQ(PredictOnlineShot(Armed(30), kT0, book), TriggerSound::Shot);
    EXPECT_EQ(b.predictedShots, 1);
    EXPECT_TRUE(b.fireRequested);
    EXPECT_EQ(b.nextShotAt, kT0 - 40ms + 111112us);
    // Too early: nothing at all, not even a click.
    EXPECT_EQ(PredictOnlineShot(Armed(30), kT0 + 60ms, book), TriggerSound::None);
    EXPECT_EQ(b.predictedShots, 1);
    // Held trigger at the exact due time: the schedule advances from the due time.
    const SteadyTime due = b.nextShotAt;
    EXPECT_EQ(PredictOnlineShot(Armed(30), due, book), TriggerSound::Shot);
    EXPECT_EQ(b.nextShotAt, due + 111112us);
    EXPECT_EQ(b.predictedShots, 2);
}

TEST(OnlineFire, AfterALongPauseTheScheduleCatchesUpByFortyMillisecondsOnly) {
    Bookkeeping b;
    WeaponBookkeeping book = b.Bind();
    ASSERT_EQ(PredictOnlineShot(Armed(30, 2), kT0, book), TriggerSound::Shot);
    const SteadyTime later = kT0 + 5s;
    ASSERT_EQ(PredictOnlineShot(Armed(30, 2), later, book), TriggerSound::Shot);
    EXPECT_EQ(b.nextShotAt, later - 40ms + 333334us);
}

TEST(OnlineFire, PredictedShotsUseUpTheReportedMagazineThenTheEmptyClickRepeatsEvery220Ms) {
    Bookkeeping b;
    b.predictedShots = 3;  // three shots still unconfirmed by the server
    WeaponBookkeeping book = b.Bind();
    EXPECT_EQ(PredictOnlineShot(Armed(3), kT0, book), TriggerSound::Empty);
    EXPECT_EQ(b.predictedShots, 3);
    EXPECT_FALSE(b.fireRequested);
    EXPECT_EQ(PredictOnlineShot(Armed(3), kT0 + 219ms, book), TriggerSound::None);
    EXPECT_EQ(PredictOnlineShot(Armed(3), kT0 + 220ms, book), TriggerSound::Empty);
}

TEST(OnlineFire, GatedWhileNotConnectedDeadReloadingRoundOverOrReloadPredicted) {
    auto pull = [](OnlineTriggerState state, SteadyTime reloadReadyAt = {}) {
        Bookkeeping b;
        b.reloadReadyAt = reloadReadyAt;
        WeaponBookkeeping book = b.Bind();
        const TriggerSound sound = PredictOnlineShot(state, kT0, book);
        EXPECT_EQ(b.predictedShots, sound == TriggerSound::Shot ? 1 : 0);
        EXPECT_EQ(b.fireRequested, sound == TriggerSound::Shot);
        return sound;
    };
    const auto armedBut = [](auto change) {
        OnlineTriggerState s = Armed(30);
        change(s);
        return s;
    };
    EXPECT_EQ(pull(armedBut([](OnlineTriggerState& s) { s.connected = false; })), TriggerSound::None);
    EXPECT_EQ(pull(armedBut([](OnlineTriggerState& s) { s.infoValid = false; })), TriggerSound::None);
    EXPECT_EQ(pull(armedBut([](OnlineTriggerState& s) { s.playerDead = true; })), TriggerSound::None);
    EXPECT_EQ(pull(armedBut([](OnlineTriggerState& s) { s.reloading = true; })), TriggerSound::None);
    EXPECT_EQ(pull(armedBut([](OnlineTriggerState& s) { s.roundState = 2; })), TriggerSound::None);
    EXPECT_EQ(pull(Armed(30), kT0 + 1ms), TriggerSound::None);
    EXPECT_EQ(pull(Armed(30), kT0), TriggerSound::Shot) << "due exactly now";
}

TEST(OfflineFire, EmptyClickAtMostEvery220Ms) {
    SteadyTime next{};
    EXPECT_TRUE(TakeEmptyClick(kT0, next));
    EXPECT_EQ(next, kT0 + 220ms);
    EXPECT_FALSE(TakeEmptyClick(kT0 + 100ms, next));
    EXPECT_EQ(next, kT0 + 220ms);
    EXPECT_TRUE(TakeEmptyClick(kT0 + 220ms, next));
}

// ---- Reconcile -----------------------------------------------------------------------

struct Reconcile : ::testing::Test {
    Bookkeeping b;
    gameplay::PlayerState player;
    ShotReport report{true, 0, 0};
    std::vector<RemoteShotSound> sounds;
    const Vec3 camera{0.0f, 1.6f, 0.0f};
    const Vec3 forward{0.0f, 0.0f, 1.0f};  // yaw 0: right is +x

    void Run(int magazineBefore, int magazineNow, const std::vector<Bot>& others = {}) {
        WeaponBookkeeping book = b.Bind();
        ReconcileShots(book, report, player, magazineBefore, magazineNow, others, camera, forward, 0.8f, sounds);
    }

    static Bot Other(int id, int shots, Vec3 feet, int weapon = 1) {
        return {.shots = shots, .weaponIndex = weapon, .id = id, .position = feet};
    }
};

TEST_F(Reconcile, ServerCountConfirmsPredictedShots) {
    b.trackedWeapon = 0;
    b.serverShotCount = 10;
    b.predictedShots = 4;
    b.nextShotAt = kT0;
    report.localShots = 13;
    Run(20, 17);
    EXPECT_EQ(b.predictedShots, 1);
    EXPECT_EQ(b.serverShotCount, 13u);
    EXPECT_EQ(b.nextShotAt, kT0) << "a confirmation keeps the schedule";
    report.localShots = 20;  // more than predicted: floors at 0
    Run(17, 10);
    EXPECT_EQ(b.predictedShots, 0);
}

TEST_F(Reconcile, AFallingServerCountOnlyResyncs) {
    b.trackedWeapon = 0;
    b.serverShotCount = 10;
    b.predictedShots = 2;
    report.localShots = 4;
    Run(20, 20);
    EXPECT_EQ(b.predictedShots, 2);
    EXPECT_EQ(b.serverShotCount, 4u);
}

TEST_F(Reconcile, WeaponChangeResetCounterDeathOrRefillResetThePrediction) {
    auto expectReset = [&](const char* why) {
        EXPECT_EQ(b.predictedShots, 0) << why;
        EXPECT_EQ(b.nextShotAt, SteadyTime{}) << why;
        EXPECT_EQ(b.reloadReadyAt, SteadyTime{}) << why;
    };
    auto arm = [&] {
        b.predictedShots = 3;
        b.nextShotAt = kT0;
        b.reloadReadyAt = kT0;
        b.trackedWeapon = player.weaponIndex;
        b.serverResetCount = report.shotResets;
        player.dead = false;
    };
    arm();
    player.weaponIndex = 2;
    Run(10, 10);
    expectReset("weapon change");
    EXPECT_EQ(b.trackedWeapon, 2);
    arm();
    report.shotResets = 1;
    Run(10, 10);
    expectReset("reset counter");
    EXPECT_EQ(b.serverResetCount, 1u);
    arm();
    player.dead = true;
    Run(10, 10);
    expectReset("death");
    arm();
    Run(10, 30);
    expectReset("reload or respawn refill");
}

TEST_F(Reconcile, AnInvalidReportChangesNothing) {
    report.valid = false;
    b.predictedShots = 3;
    Run(10, 30, {Other(4, 2, {5, 0, 5})});
    EXPECT_EQ(b.predictedShots, 3);
    EXPECT_TRUE(b.remoteShotCounts.empty());
    EXPECT_TRUE(sounds.empty());
}

TEST_F(Reconcile, ANewPlayerIsSilentAndTenNewShotsPlayThree) {
    Run(30, 30, {Other(4, 57, {0, 0, 10})});
    EXPECT_TRUE(sounds.empty()) << "first sight plays nothing, whatever the count";
    EXPECT_EQ(b.remoteShotCounts.at(4), 57u);
    Run(30, 30, {Other(4, 67, {0, 0, 10})});
    ASSERT_EQ(sounds.size(), 3u);
    EXPECT_EQ(b.remoteShotCounts.at(4), 67u);
    sounds.clear();
    Run(30, 30, {Other(4, 68, {0, 0, 10})});
    EXPECT_EQ(sounds.size(), 1u);
    sounds.clear();
    Run(30, 30, {Other(4, 2, {0, 0, 10})});  // the count fell (a new round): stored, silent
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(b.remoteShotCounts.at(4), 2u);
}

TEST_F(Reconcile, PanFollowsTheListenersRightAndVolumeFallsWithDistance) {
    const std::vector<Bot> first = {Other(1, 0, {10, 0.1f, 0}), Other(2, 0, {-10, 0.1f, 0}), Other(3, 0, {0, 0.1f, 0}),
                                    Other(4, 0, {0, 0.1f, 20}, 2)};
    Run(30, 30, first);
    std::vector<Bot> next = first;
    for (Bot& bot : next) bot.shots = 1;
    Run(30, 30, next);
    ASSERT_EQ(sounds.size(), 4u);
    EXPECT_NEAR(sounds[0].pan, 1.0f, 1e-5f) << "straight to the right";
    EXPECT_NEAR(sounds[1].pan, -1.0f, 1e-5f);
    EXPECT_EQ(sounds[2].pan, 0.0f) << "at the listener";
    EXPECT_NEAR(sounds[3].pan, 0.0f, 1e-5f) << "straight ahead";
    EXPECT_NEAR(sounds[0].volume, 0.8f * 0.65f / (1.0f + 0.08f * 10.0f), 1e-5f);
    EXPECT_NEAR(sounds[2].volume, 0.8f * 0.65f, 1e-5f);
    EXPECT_EQ(sounds[3].weapon, 2);

    // Turned to face +x, the same player on +x is now ahead and one on +z is to the left.
    EXPECT_NEAR(RemoteShotPan({10, 1.6f, 0}, camera, {1, 0, 0}), 0.0f, 1e-5f);
    EXPECT_NEAR(RemoteShotPan({0, 1.6f, 10}, camera, {1, 0, 0}), -1.0f, 1e-5f);
}

}  // namespace
}  // namespace tarvo::ui
