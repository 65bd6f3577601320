#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "gameplay_test_support.h"

namespace tarvo::gameplay {
namespace {

using testing::CountEvents;
using testing::LoadArenaText;
using testing::OpenHallArena;
using testing::Steps;

std::unique_ptr<TrainingSimulation> Range(int bots, GameplayConfig config = {}, std::string_view extra = {}) {
    config.bot_count = bots;
    auto sim = std::make_unique<TrainingSimulation>(config);
    EXPECT_TRUE(LoadArenaText(*sim, OpenHallArena(extra)));
    sim->Start();
    sim->DrainEvents();
    return sim;
}

// Steps until the rifle may fire again.
void WaitCooldown(TrainingSimulation& sim) {
    for (int i = 0; i < 1000 && sim.Weapon().cooldown > 0.0f; ++i) Steps(sim, 1);
}

TEST(WeaponFire, CooldownAllowsNineShotsPerSecond) {
    auto sim = Range(0);
    const FireResult first = sim->Fire();
    EXPECT_TRUE(first.fired);
    EXPECT_FALSE(first.hit);
    EXPECT_EQ(first.botId, -1);
    EXPECT_FALSE(sim->Fire().fired);  // same step
    EXPECT_EQ(sim->Weapon().magazine, 29);
    EXPECT_FLOAT_EQ(sim->Weapon().cooldown, 1.0f / 9.0f);
    Steps(*sim, 13);
    EXPECT_FALSE(sim->Fire().fired);
    Steps(*sim, 1);
    EXPECT_TRUE(sim->Fire().fired);
    EXPECT_EQ(sim->Weapon().magazine, 28);

    // Fire ignores the fire mode: cadence is the caller's business.
    sim->SetFireMode(FireMode::SemiAutomatic);
    EXPECT_TRUE(sim->DrainEvents().empty());
    WaitCooldown(*sim);
    EXPECT_TRUE(sim->Fire().fired);
}

TEST(WeaponFire, EmptyMagazineStartsAReload) {
    GameplayConfig config;
    config.magazine_size = 3;
    config.reserve_ammo = 5;
    auto sim = Range(0, config);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(sim->Fire().fired);
        WaitCooldown(*sim);
    }
    const FireResult click = sim->Fire();
    EXPECT_FALSE(click.fired);
    EXPECT_TRUE(sim->Weapon().reloading);
    EXPECT_FLOAT_EQ(sim->Weapon().reloadTimer, 1.65f);
    EXPECT_FALSE(sim->Fire().fired);      // nothing during the reload
    EXPECT_FALSE(sim->BeginReload());     // one is running
    Steps(*sim, 197);
    EXPECT_TRUE(sim->Weapon().reloading);
    Steps(*sim, 2);
    EXPECT_FALSE(sim->Weapon().reloading);
    EXPECT_EQ(sim->Weapon().magazine, 3);
    EXPECT_EQ(sim->Weapon().reserve, 2);
    EXPECT_TRUE(sim->Fire().fired);
}

TEST(WeaponFire, ReloadMovesOnlyWhatTheReserveHolds) {
    GameplayConfig config;
    config.reserve_ammo = 3;
    auto sim = Range(0, config);
    EXPECT_FALSE(sim->BeginReload());  // full magazine
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(sim->Fire().fired);
        WaitCooldown(*sim);
    }
    EXPECT_EQ(sim->Weapon().magazine, 25);
    EXPECT_TRUE(sim->BeginReload());
    Steps(*sim, 200);
    EXPECT_EQ(sim->Weapon().magazine, 28);
    EXPECT_EQ(sim->Weapon().reserve, 0);
    EXPECT_FALSE(sim->BeginReload());  // nothing in reserve

    GameplayConfig dry;
    dry.magazine_size = 1;
    dry.reserve_ammo = 0;
    auto empty = Range(0, dry);
    EXPECT_TRUE(empty->Fire().fired);
    WaitCooldown(*empty);
    EXPECT_FALSE(empty->Fire().fired);
    EXPECT_FALSE(empty->Weapon().reloading);  // never reloads from an empty reserve

    TrainingSimulation inactive{GameplayConfig{}};
    EXPECT_FALSE(inactive.BeginReload());
}

TEST(WeaponFire, DeadPlayersDoNotShoot) {
    auto sim = Range(0);
    sim->DamagePlayer(1e6f);
    EXPECT_FALSE(sim->Fire().fired);
    EXPECT_EQ(sim->Weapon().magazine, 30);
}

TEST(WeaponHits, ThreeHitsKillAndReportTheBot) {
    auto sim = Range(2);
    sim->SetBotPositionForQa(0, {6, 0, -20});  // out of the line of fire
    sim->SetBotPositionForQa(1, {0, 0, -30});  // 4 m ahead of the player
    for (int shot = 1; shot <= 3; ++shot) {
        const FireResult r = sim->Fire();
        EXPECT_TRUE(r.fired);
        EXPECT_TRUE(r.hit);
        EXPECT_EQ(r.botId, 1);
        EXPECT_EQ(r.killed, shot == 3);
        if (shot < 3) {
            EXPECT_EQ(sim->Bots()[1].state, BotState::Search);
            EXPECT_FLOAT_EQ(sim->Bots()[1].health, 100.0f - 34.0f * shot);
        } else {
            uint32_t bits = 0;
            std::memcpy(&bits, &r, sizeof(bits));
            EXPECT_EQ(bits, 0x10101u);  // fired, hit and killed flags as the shell reads them
        }
        WaitCooldown(*sim);
    }
    EXPECT_EQ(sim->Bots()[1].health, 0.0f);
    EXPECT_EQ(sim->Player().kills, 1);
    EXPECT_EQ(sim->BotsAlive(), 1);
    const auto events = sim->DrainEvents();
    ASSERT_EQ(CountEvents(events, "PlayerKilledBot"), 1);
    for (const auto& e : events) {
        if (e.name == "PlayerKilledBot") {
            EXPECT_EQ(e.value, 1);
        }
    }
    // The dead bot is no longer a target.
    const FireResult after = sim->Fire();
    EXPECT_TRUE(after.fired);
    EXPECT_FALSE(after.hit);
    EXPECT_FALSE(sim->DamageBot(1, 50));
    EXPECT_FALSE(sim->DamageBot(2, 50));
}

TEST(WeaponHits, NearestLivingBotAndWallsDecide) {
    // A wall in front of x = -5; walls as deep as a hit sphere round bot 3, a hair less round bot 4.
    auto sim = Range(5, {}, "0 1 1  -5 2 -28  2 4 0.5  0.2 0.2 0.2\n0 1 1  10 2 0  1 4 1.44  0.2 0.2 0.2\n"
                            "0 1 1  13 2 0  1 4 1.43  0.2 0.2 0.2\n");
    sim->SetBotPositionForQa(0, {0, 0, -25});
    sim->SetBotPositionForQa(1, {0, 0, -29});
    sim->SetBotPositionForQa(2, {-5, 0, -25});
    std::size_t index = 99;
    const Vec3 eye = sim->CameraPosition();
    ASSERT_TRUE(sim->RaycastHitsBot(eye, {0, 0, 1}, index));
    EXPECT_EQ(index, 1u);  // the nearer of two bots on the ray

    sim->DamageBot(1, 1000);
    ASSERT_TRUE(sim->RaycastHitsBot(eye, {0, 0, 5}, index));
    EXPECT_EQ(index, 0u);  // the dead bot is skipped; the one behind it is hit

    // Bot 2 stands behind the wall, its sphere squarely on the ray.
    const Vec3 fromLeft{-5, 1.05f, -34};
    EXPECT_FALSE(sim->RaycastHitsBot(fromLeft, {0, 0, 1}, index));
    EXPECT_TRUE(sim->RaycastHitsBot({-5, 1.05f, -27}, {0, 0, 1}, index));  // past the wall
    EXPECT_EQ(index, 2u);

    // From inside a hit sphere the far side counts.
    EXPECT_TRUE(sim->RaycastHitsBot({0, 1.05f, -25}, {1, 0, 0}, index));
    EXPECT_EQ(index, 0u);
    // The hit sphere: 0.72 m round a point 1.05 m above the feet.
    EXPECT_TRUE(sim->RaycastHitsBot({0, 1.05f + 0.71f, -34}, {0, 0, 1}, index));
    EXPECT_FALSE(sim->RaycastHitsBot({0, 1.05f + 0.73f, -34}, {0, 0, 1}, index));
    EXPECT_FALSE(sim->RaycastHitsBot({0, 1.05f - 0.73f, -34}, {0, 0, 1}, index));
    // A wall whose face is exactly where the ray meets the sphere stops the shot.
    sim->SetBotPositionForQa(3, {10, 0, 0});
    sim->SetBotPositionForQa(4, {13, 0, 0});
    EXPECT_FALSE(sim->RaycastHitsBot({10, 1.05f, -1}, {0, 0, 1}, index));
    EXPECT_TRUE(sim->RaycastHitsBot({13, 1.05f, -1}, {0, 0, 1}, index));
    EXPECT_EQ(index, 4u);
}

TEST(Damage, PlayerHealthFloorsAtZeroAndDeathIsCountedOnce) {
    auto sim = Range(0);
    sim->DamagePlayer(30);
    EXPECT_FLOAT_EQ(sim->Player().health, 70.0f);
    EXPECT_FALSE(sim->Player().dead);
    sim->DamagePlayer(500);
    EXPECT_EQ(sim->Player().health, 0.0f);
    EXPECT_TRUE(sim->Player().dead);
    EXPECT_FLOAT_EQ(sim->Player().respawnTimer, 2.5f);
    sim->DamagePlayer(5);
    EXPECT_EQ(sim->Player().deaths, 1);
    EXPECT_EQ(sim->Player().deathsByBots, 1);
    const auto events = sim->DrainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].name, "BotKilledPlayer");
    EXPECT_EQ(events[0].value, -1);
}

TEST(FireModes, ToggleEmitsTheNewModeEvenWhenInactive) {
    TrainingSimulation sim{GameplayConfig{}};
    sim.ToggleFireMode();
    EXPECT_EQ(sim.Weapon().fireMode, FireMode::SemiAutomatic);
    sim.ToggleFireMode();
    EXPECT_EQ(sim.Weapon().fireMode, FireMode::Automatic);
    const auto events = sim.DrainEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].name, "FireModeSemiAutomatic");
    EXPECT_EQ(events[1].name, "FireModeAutomatic");
    EXPECT_EQ(events[1].value, -1);
}

}  // namespace
}  // namespace tarvo::gameplay
