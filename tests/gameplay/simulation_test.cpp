#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "gameplay_test_support.h"

namespace tarvo::gameplay {
namespace {

using testing::Steps;

std::vector<std::string> Names(const std::vector<SessionEvent>& events) {
    std::vector<std::string> names;
    for (const auto& e : events) names.push_back(e.name);
    return names;
}

TEST(SimulationLifecycle, ConstructionIsInactiveWithTheBuiltInWorld) {
    TrainingSimulation sim{GameplayConfig{}};
    EXPECT_FALSE(sim.Active());
    EXPECT_FALSE(sim.onlineDriven);
    EXPECT_EQ(sim.mapIndex, 0);
    EXPECT_EQ(sim.Player().position.z, -12.0f);
    EXPECT_EQ(sim.Player().health, 100.0f);
    EXPECT_TRUE(sim.Player().grounded);
    EXPECT_EQ(sim.Weapon().magazine, 0);
    EXPECT_TRUE(sim.Bots().empty());
    EXPECT_EQ(sim.Arena().size(), 27u);
    EXPECT_EQ(sim.NavigationGraph().size(), 19u);
    EXPECT_EQ(sim.PlayableMinimum().x, -31.0f);
    EXPECT_EQ(sim.PlayableMaximum().y, 12.0f);
    EXPECT_EQ(sim.PlayableMaximum().z, 41.0f);
    EXPECT_TRUE(sim.DrainEvents().empty());

    // Inactive: time, mouse and fire do nothing.
    sim.Update({}, 0.5f);
    sim.AddMouseDelta(100, 100);
    EXPECT_EQ(sim.Player().yaw, 0.0f);
    EXPECT_FALSE(sim.Fire().fired);
    EXPECT_EQ(sim.Player().position.z, -12.0f);
}

TEST(SimulationLifecycle, StartStopRestartAndTheirEvents) {
    GameplayConfig config;
    config.player_health = 150;
    config.magazine_size = 25;
    config.reserve_ammo = 50;
    TrainingSimulation sim{config};
    sim.Start();
    EXPECT_TRUE(sim.Active());
    EXPECT_EQ(sim.Player().position.z, -34.0f);
    EXPECT_EQ(sim.Player().health, 150.0f);
    EXPECT_EQ(sim.Weapon().magazine, 25);
    EXPECT_EQ(sim.Weapon().reserve, 50);
    EXPECT_EQ(sim.BotsAlive(), 3);
    const auto started = sim.DrainEvents();
    EXPECT_EQ(Names(started), (std::vector<std::string>{"PlayerSpawned", "BotSpawned", "BotSpawned", "BotSpawned",
                                                        "GameplaySessionStarted", "MapLoaded"}));
    EXPECT_EQ(started[1].value, 0);
    EXPECT_EQ(started[3].value, 2);
    EXPECT_EQ(started[4].value, -1);
    EXPECT_TRUE(sim.DrainEvents().empty());  // drained once

    sim.Stop();
    EXPECT_FALSE(sim.Active());
    EXPECT_TRUE(sim.Bots().empty());
    EXPECT_EQ(Names(sim.DrainEvents()), std::vector<std::string>{"GameplaySessionEnded"});
    sim.Stop();  // inactive: no event
    EXPECT_TRUE(sim.DrainEvents().empty());

    sim.Start();
    sim.DamagePlayer(10);
    sim.DrainEvents();
    sim.Restart();
    EXPECT_EQ(sim.Player().health, 150.0f);
    const auto names = Names(sim.DrainEvents());
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names.front(), "GameplaySessionEnded");
    EXPECT_EQ(names[1], "PlayerSpawned");
    EXPECT_EQ(names.back(), "MapLoaded");
}

TEST(SimulationLifecycle, StopWhileInactiveStillClearsBots) {
    TrainingSimulation sim{GameplayConfig{}};
    PlayerState p;
    WeaponState w;
    std::vector<Bot> remote(2);
    sim.ApplyOnlineSnapshot(p, w, remote);
    ASSERT_EQ(sim.Bots().size(), 2u);
    sim.Stop();
    EXPECT_TRUE(sim.Bots().empty());
    EXPECT_TRUE(sim.DrainEvents().empty());
}

// Counts the fixed steps one update runs, by how far the player walked.
int StepsRun(TrainingSimulation& sim, float seconds) {
    InputState forward;
    forward.forward = true;
    const float z0 = sim.Player().position.z;
    sim.Update(forward, seconds);
    return static_cast<int>(std::lround((sim.Player().position.z - z0) / (5.5f / 120.0f)));
}

TEST(FixedStep, ClampCarryAndBadFrameTimes) {
    GameplayConfig config;
    config.bot_count = 0;
    TrainingSimulation sim{config};
    sim.Start();
    EXPECT_EQ(StepsRun(sim, 0.5f), 12);  // clamped to 0.1 s
    EXPECT_EQ(StepsRun(sim, 0.005f), 0);
    EXPECT_EQ(StepsRun(sim, 0.005f), 1);  // leftover carried
    EXPECT_EQ(StepsRun(sim, -1.0f), 0);
    EXPECT_EQ(StepsRun(sim, std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(StepsRun(sim, std::numeric_limits<float>::infinity()), 0);
    // Bad frames did not poison the accumulator: time still advances.
    EXPECT_EQ(StepsRun(sim, 1.0f / 60.0f), 2);
    EXPECT_EQ(StepsRun(sim, 0.1f), 12);
}

TEST(FixedStep, NextRandomIsTheSeededSequence) {
    TrainingSimulation a{GameplayConfig{}};
    TrainingSimulation b{GameplayConfig{}};
    testing::SeededRandom sequence;
    for (int i = 0; i < 1000; ++i) {
        const float expected = sequence.Next();
        const float r = a.NextRandom();
        EXPECT_EQ(r, expected);
        EXPECT_EQ(b.NextRandom(), r);
        EXPECT_GE(r, 0.0f);
        EXPECT_LE(r, 1.0f);
    }
    // Starting and restarting a session carries on with the sequence.
    a.Start();
    a.Restart();
    EXPECT_EQ(a.NextRandom(), sequence.Next());
}

TEST(ViewControl, MouseTurnsAndPitchClamps) {
    TrainingSimulation sim{GameplayConfig{}};
    sim.Start();
    sim.AddMouseDelta(0, -10000);
    EXPECT_EQ(sim.Player().pitch, 88.0f);
    sim.AddMouseDelta(0, 100000);
    EXPECT_EQ(sim.Player().pitch, -88.0f);
    sim.AddMouseDelta(10000, 0);
    EXPECT_FLOAT_EQ(sim.Player().yaw, 750.0f);  // never wrapped
    const Vec3 f = sim.CameraForward();
    EXPECT_NEAR(Length(f), 1.0f, 1e-5f);
    EXPECT_LT(f.y, -0.99f);

    sim.DamagePlayer(1000);
    const float yaw = sim.Player().yaw;
    sim.AddMouseDelta(500, 500);
    EXPECT_EQ(sim.Player().yaw, yaw);  // dead: no turning

    TrainingSimulation level{GameplayConfig{}};
    level.Start();
    const Vec3 ahead = level.CameraForward();
    EXPECT_NEAR(ahead.z, 1.0f, 1e-6f);
    EXPECT_NEAR(level.CameraPosition().y, 1.68f, 1e-6f);
}

TEST(PlayerLife, DeathRespawnKeepsCountersAndRefills) {
    GameplayConfig config;
    config.bot_count = 1;
    config.respawn_seconds = 0.5f;
    TrainingSimulation sim{config};
    sim.Start();
    sim.DrainEvents();
    sim.DamageBot(0, 1000);  // one kill to carry over
    for (int i = 0; i < 5; ++i) sim.Fire();
    sim.DamagePlayer(40);
    sim.DamagePlayer(100);
    EXPECT_TRUE(sim.Player().dead);
    EXPECT_EQ(sim.Player().health, 0.0f);
    EXPECT_EQ(sim.Player().deaths, 1);
    EXPECT_EQ(sim.Player().deathsByBots, 1);
    sim.DamagePlayer(10);  // already dead: nothing
    EXPECT_EQ(sim.Player().deaths, 1);
    const Vec3 botBefore = sim.Bots()[0].position;
    const float timerBefore = sim.Bots()[0].respawnTimer;

    Steps(sim, 59);
    EXPECT_TRUE(sim.Player().dead);
    // Nothing moves or counts down for bots while the player is dead.
    EXPECT_EQ(sim.Bots()[0].position.x, botBefore.x);
    EXPECT_EQ(sim.Bots()[0].respawnTimer, timerBefore);
    Steps(sim, 2);
    EXPECT_FALSE(sim.Player().dead);
    EXPECT_EQ(sim.Player().health, 100.0f);
    EXPECT_EQ(sim.Player().kills, 1);
    EXPECT_EQ(sim.Player().deaths, 1);
    EXPECT_EQ(sim.Player().deathsByBots, 1);
    EXPECT_EQ(sim.Weapon().magazine, 30);
    EXPECT_EQ(sim.Weapon().reserve, 120);
    EXPECT_EQ(sim.Player().position.z, -34.0f);
    const auto names = Names(sim.DrainEvents());
    EXPECT_NE(std::find(names.begin(), names.end(), "BotKilledPlayer"), names.end());
    EXPECT_EQ(names.back(), "PlayerSpawned");

    sim.Restart();
    EXPECT_EQ(sim.Player().kills, 0);
    EXPECT_EQ(sim.Player().deaths, 0);
    EXPECT_EQ(sim.Player().deathsByBots, 0);
}

TEST(OnlineSnapshot, OverwritesRecordsAndLeavesTheRestAlone) {
    TrainingSimulation sim{GameplayConfig{}};
    sim.Start();
    sim.DrainEvents();
    PlayerState p;
    p.weaponIndex = 2;
    p.onlineValue = 1;
    p.position = {3, 0, 4};
    p.health = 55;
    p.kills = 7;
    WeaponState w;
    w.magazine = 11;
    w.fireMode = FireMode::SemiAutomatic;
    std::vector<Bot> remote(4);
    remote[3].name = L"Оператор";
    remote[3].id = 42;
    remote[3].team = 2;
    sim.ApplyOnlineSnapshot(p, w, std::move(remote));
    EXPECT_TRUE(sim.onlineDriven);
    EXPECT_TRUE(sim.Active());
    EXPECT_EQ(sim.Player().weaponIndex, 2);
    EXPECT_EQ(sim.Player().onlineValue, 1);
    EXPECT_EQ(sim.Player().kills, 7);
    EXPECT_EQ(sim.Weapon().magazine, 11);
    EXPECT_EQ(sim.Weapon().fireMode, FireMode::SemiAutomatic);
    ASSERT_EQ(sim.Bots().size(), 4u);
    EXPECT_EQ(sim.Bots()[3].name, L"Оператор");
    EXPECT_EQ(sim.Bots()[3].id, 42);
    EXPECT_EQ(sim.Arena().size(), 27u);
    EXPECT_TRUE(sim.DrainEvents().empty());
    sim.Start();
    EXPECT_FALSE(sim.onlineDriven);
}

TEST(QaSetters, RangeChecked) {
    TrainingSimulation sim{GameplayConfig{}};
    sim.Start();
    sim.SetBotPositionForQa(1, {5, 0, 6});
    EXPECT_EQ(sim.Bots()[1].position.x, 5.0f);
    EXPECT_EQ(sim.Bots()[1].stuckCheckPosition.z, 6.0f);
    sim.SetBotYawForQa(2, 123.0f);
    EXPECT_EQ(sim.Bots()[2].yaw, 123.0f);
    const auto before = sim.Bots();
    sim.SetBotYawForQa(3, 45.0f);
    sim.SetBotPositionForQa(99, {1, 1, 1});
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(sim.Bots()[i].yaw, before[i].yaw);
        EXPECT_EQ(sim.Bots()[i].position.x, before[i].position.x);
    }
    sim.SetPlayerPositionForQa({999, 0, 999});
    EXPECT_EQ(sim.Player().position.x, 999.0f);
}

TEST(SessionController, EnterAndExitCounting) {
    TrainingSessionController c;
    EXPECT_FALSE(c.InTraining());
    EXPECT_FALSE(c.ExitToMenu());
    EXPECT_TRUE(c.Enter());
    EXPECT_FALSE(c.Enter());
    EXPECT_TRUE(c.InTraining());
    EXPECT_TRUE(c.ExitToMenu());
    EXPECT_TRUE(c.Enter());
    EXPECT_EQ(c.EnterCount(), 2);
    EXPECT_EQ(c.ExitCount(), 1);
}

// Everything the simulation exposes, compared bit for bit.
void ExpectSameState(const TrainingSimulation& a, const TrainingSimulation& b) {
    const PlayerState& pa = a.Player();
    const PlayerState& pb = b.Player();
    EXPECT_EQ(std::memcmp(&pa.position, &pb.position, sizeof(Vec3)), 0);
    EXPECT_EQ(pa.yaw, pb.yaw);
    EXPECT_EQ(pa.pitch, pb.pitch);
    EXPECT_EQ(pa.health, pb.health);
    EXPECT_EQ(pa.kills, pb.kills);
    EXPECT_EQ(pa.deaths, pb.deaths);
    EXPECT_EQ(pa.distanceTravelled, pb.distanceTravelled);
    EXPECT_EQ(a.Weapon().magazine, b.Weapon().magazine);
    EXPECT_EQ(a.Weapon().reserve, b.Weapon().reserve);
    EXPECT_EQ(a.Weapon().cooldown, b.Weapon().cooldown);
    ASSERT_EQ(a.Bots().size(), b.Bots().size());
    for (size_t i = 0; i < a.Bots().size(); ++i) {
        const Bot& x = a.Bots()[i];
        const Bot& y = b.Bots()[i];
        EXPECT_EQ(std::memcmp(&x.position, &y.position, sizeof(Vec3)), 0) << i;
        EXPECT_EQ(x.yaw, y.yaw);
        EXPECT_EQ(x.health, y.health);
        EXPECT_EQ(x.state, y.state);
        EXPECT_EQ(x.stateTimer, y.stateTimer);
        EXPECT_EQ(x.fireTimer, y.fireTimer);
        EXPECT_EQ(x.burstRemaining, y.burstRemaining);
        EXPECT_EQ(x.strafeSign, y.strafeSign);
        EXPECT_EQ(x.path, y.path);
        EXPECT_EQ(x.pathIndex, y.pathIndex);
        EXPECT_EQ(x.distanceTravelled, y.distanceTravelled);
    }
}

TEST(Determinism, SameSeedAndInputsGiveIdenticalRunsOver10000Steps) {
    GameplayConfig config;
    config.bot_count = 6;
    config.player_health = 400;
    TrainingSimulation a{config};
    TrainingSimulation b{config};
    a.Start();
    b.Start();
    std::vector<SessionEvent> eventsA;
    std::vector<SessionEvent> eventsB;
    uint32_t script = 12345;
    InputState input;
    for (int step = 0; step < 10000; ++step) {
        if (step % 90 == 0) {
            script = script * 1103515245u + 12345u;
            input.forward = (script >> 16) & 1;
            input.back = !input.forward && ((script >> 17) & 1);
            input.left = (script >> 18) & 1;
            input.right = !input.left && ((script >> 19) & 1);
            input.jump = ((script >> 20) & 7) == 0;
            input.crouch = ((script >> 23) & 7) == 0;
            input.sprint = (script >> 26) & 1;
        }
        const float dx = static_cast<float>(static_cast<int>((script >> 8) & 31) - 15);
        for (TrainingSimulation* sim : {&a, &b}) {
            sim->AddMouseDelta(dx, step % 240 < 120 ? 0.5f : -0.5f);
            if (step % 7 == 0) sim->Fire();
            if (step % 1500 == 0) sim->BeginReload();
            if (step == 5000) sim->ToggleFireMode();
            sim->Update(input, TrainingSimulation::kFixedStep);
        }
        auto ea = a.DrainEvents();
        auto eb = b.DrainEvents();
        eventsA.insert(eventsA.end(), ea.begin(), ea.end());
        eventsB.insert(eventsB.end(), eb.begin(), eb.end());
    }
    ExpectSameState(a, b);
    ASSERT_EQ(eventsA.size(), eventsB.size());
    for (size_t i = 0; i < eventsA.size(); ++i) {
        EXPECT_EQ(eventsA[i].name, eventsB[i].name);
        EXPECT_EQ(eventsA[i].value, eventsB[i].value);
    }
    // The run was eventful, not idle.
    float botsWalked = 0.0f;
    for (const Bot& bot : a.Bots()) botsWalked += bot.distanceTravelled;
    EXPECT_GT(a.Player().distanceTravelled, 2.0f);
    EXPECT_GT(botsWalked, 50.0f);
    EXPECT_GT(eventsA.size(), 20u);
    EXPECT_EQ(a.NextRandom(), b.NextRandom());
}

}  // namespace
}  // namespace tarvo::gameplay
