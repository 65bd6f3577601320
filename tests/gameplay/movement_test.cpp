#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "gameplay_test_support.h"

namespace tarvo::gameplay {
namespace {

using testing::CountEvents;
using testing::LoadArenaText;
using testing::OpenHallArena;
using testing::Steps;

// A started session in an open hall with the given extra boxes and no bots.
std::unique_ptr<TrainingSimulation> Hall(std::string_view extra = {}, GameplayConfig config = {}) {
    config.bot_count = 0;
    auto sim = std::make_unique<TrainingSimulation>(config);
    EXPECT_TRUE(LoadArenaText(*sim, OpenHallArena(extra)));
    sim->Start();
    sim->DrainEvents();
    return sim;
}

InputState Keys(bool forward, bool back, bool left, bool right) {
    InputState in;
    in.forward = forward;
    in.back = back;
    in.left = left;
    in.right = right;
    return in;
}

TEST(PlayerMovement, DiagonalIsNormalisedAndOppositeKeysCancel) {
    auto diagonal = Hall();
    auto straight = Hall();
    Steps(*diagonal, 60, Keys(true, false, false, true));
    Steps(*straight, 60, Keys(true, false, false, false));
    const Vec3 start{0, 0, -34};
    const Vec3 d = diagonal->Player().position - start;
    const Vec3 s = straight->Player().position - start;
    EXPECT_NEAR(d.x, d.z, 1e-4f);
    EXPECT_GT(d.x, 0.0f);
    EXPECT_NEAR(Length(d), Length(s), 1e-3f);
    EXPECT_NEAR(Length(s), 5.5f * 60 / 120, 1e-3f);
    EXPECT_NEAR(straight->Player().horizontalSpeed, 5.5f, 1e-3f);
    EXPECT_NEAR(straight->Player().distanceTravelled, 2.75f, 1e-3f);

    auto cancel = Hall();
    Steps(*cancel, 30, Keys(true, true, true, true));
    EXPECT_EQ(cancel->Player().position.x, 0.0f);
    EXPECT_EQ(cancel->Player().position.z, -34.0f);
    EXPECT_EQ(cancel->Player().horizontalSpeed, 0.0f);
}

TEST(PlayerMovement, YawTurnsTheWishDirection) {
    auto sim = Hall();
    sim->AddMouseDelta(90.0f / 0.075f, 0.0f);  // yaw 90: forward is +x
    Steps(*sim, 120, Keys(true, false, false, false));
    EXPECT_NEAR(sim->Player().position.x, 5.5f, 1e-3f);
    EXPECT_NEAR(sim->Player().position.z, -34.0f, 1e-3f);
}

TEST(PlayerMovement, CrouchSprintAndJumpRules) {
    InputState in = Keys(true, false, false, false);
    in.sprint = true;
    auto sprint = Hall();
    Steps(*sprint, 120, in);
    EXPECT_NEAR(sprint->Player().position.z + 34.0f, 8.2f, 1e-3f);

    // A beam 1.3 m above the floor stops a standing body and lets a crouching one pass.
    const char* beam = "0 1 1  0 1.8 -32  10 1 1  0.2 0.2 0.2\n";
    auto standing = Hall(beam);
    Steps(*standing, 120, Keys(true, false, false, false));
    EXPECT_NEAR(standing->Player().position.z, -32.5f - 0.4f, 0.05f);
    in.crouch = true;
    in.jump = true;
    auto crouch = Hall(beam);
    Steps(*crouch, 120, in);
    EXPECT_NEAR(crouch->Player().position.z + 34.0f, 3.0f, 1e-3f);
    EXPECT_EQ(crouch->Player().position.y, 0.0f);  // no jump while crouching
    EXPECT_TRUE(crouch->Player().crouching);
    EXPECT_NEAR(crouch->CameraPosition().y, 1.12f, 1e-6f);
}

TEST(PlayerMovement, JumpArcLandsAndStandingStillStaysOnTheFloor) {
    auto sim = Hall();
    Steps(*sim, 30);
    EXPECT_EQ(sim->Player().position.y, 0.0f);
    EXPECT_EQ(sim->Player().verticalVelocity, 0.0f);
    EXPECT_TRUE(sim->Player().grounded);

    InputState jump;
    jump.jump = true;
    Steps(*sim, 1, jump);
    EXPECT_FALSE(sim->Player().grounded);
    EXPECT_GT(sim->Player().position.y, 0.0f);
    float peak = 0.0f;
    int airborne = 0;
    while (!sim->Player().grounded && airborne < 240) {
        Steps(*sim, 1);
        peak = std::max(peak, sim->Player().position.y);
        ++airborne;
    }
    EXPECT_TRUE(sim->Player().grounded);
    EXPECT_EQ(sim->Player().position.y, 0.0f);
    EXPECT_NEAR(peak, 6.6f * 6.6f / (2 * 18.0f), 0.06f);  // about 1.21 m
    EXPECT_NEAR(airborne / 120.0f, 2 * 6.6f / 18.0f, 0.03f);
}

TEST(WorldCollision, WallsBlockAndBodiesSlideAlongThem) {
    // A wall across the path 2 m ahead, x from -5 to 5, z from -32.5 to -31.5.
    auto sim = Hall("0 1 1  0 2 -32  10 4 1  0.2 0.2 0.2\n");
    Steps(*sim, 120, Keys(true, false, false, false));
    EXPECT_NEAR(sim->Player().position.z, -32.5f - 0.4f, 0.05f);
    EXPECT_LE(sim->Player().position.z, -32.89f);
    EXPECT_EQ(sim->Player().position.x, 0.0f);

    auto slide = Hall("0 1 1  0 2 -32  10 4 1  0.2 0.2 0.2\n");
    Steps(*slide, 120, Keys(true, false, false, true));
    EXPECT_LE(slide->Player().position.z, -32.89f);
    EXPECT_GT(slide->Player().position.x, 3.0f);  // kept moving along the wall
}

TEST(WorldCollision, LowBoxesAreClimbedTallOnesBlock) {
    // A 0.5 m step running up to a 1.5 m cover box.
    auto sim = Hall(
        "0 2 1  0 0.25 -31  4 0.5 3  0.2 0.2 0.2\n"
        "0 2 1  0 0.75 -29  4 1.5 1  0.2 0.2 0.2\n");
    float firstOnStep = -1.0f;
    for (int i = 0; i < 240; ++i) {
        Steps(*sim, 1, Keys(true, false, false, false));
        if (firstOnStep < 0.0f && sim->Player().position.y > 0.0f) {
            firstOnStep = sim->Player().position.z;
            // Snapped to the top in the same step the feet crossed onto it.
            EXPECT_FLOAT_EQ(sim->Player().position.y, 0.5f);
            EXPECT_GE(firstOnStep, -32.5f);
        }
    }
    EXPECT_GT(firstOnStep, -33.0f);
    EXPECT_FLOAT_EQ(sim->Player().position.y, 0.5f);
    EXPECT_NEAR(sim->Player().position.z, -29.5f - 0.4f, 0.17f);  // stopped by the tall box
}

TEST(WorldCollision, RampRaisesThePlayerContinuously) {
    // Ramp from z = -30 (height 0) to z = -20 (height 2).
    auto sim = Hall("1 3 1  0 1 -25  4 2 10  0.2 0.2 0.2\n");
    sim->SetPlayerPositionForQa({0, 0, -31});
    float last = 0.0f;
    int rising = 0;
    for (int i = 0; i < 220; ++i) {
        Steps(*sim, 1, Keys(true, false, false, false));
        const float y = sim->Player().position.y;
        EXPECT_GE(y, last - 1e-5f);
        if (y > last) ++rising;
        last = y;
    }
    EXPECT_GT(rising, 100);
    EXPECT_GT(sim->Player().position.y, 1.0f);

    const float z = -22.5f;
    EXPECT_NEAR(sim->GroundHeightAt({0, 2, z}), 1.5f, 1e-4f);
    EXPECT_EQ(sim->GroundHeightAt({0, 0, -30}), 0.0f);  // low edge: the box bottom
}

TEST(WorldCollision, WalkingOffAPlatformFallsButStaysGrounded) {
    // A 1 m platform ending at z = -30.
    auto sim = Hall("0 4 1  0 0.5 -33  6 1 6  0.2 0.2 0.2\n");
    sim->SetPlayerPositionForQa({0, 1, -33});
    Steps(*sim, 1);
    EXPECT_FLOAT_EQ(sim->Player().position.y, 1.0f);
    Steps(*sim, 70, Keys(true, false, false, false));  // walk off the edge
    EXPECT_GT(sim->Player().position.z, -30.0f);  // past the edge
    // Falls under gravity; `grounded` was never cleared, so a jump is still allowed.
    ASSERT_GT(sim->Player().position.y, 0.0f);
    EXPECT_LT(sim->Player().position.y, 1.0f);
    EXPECT_TRUE(sim->Player().grounded);
    EXPECT_LT(sim->Player().verticalVelocity, 0.0f);
    InputState jump;
    jump.jump = true;
    Steps(*sim, 1, jump);
    EXPECT_GT(sim->Player().verticalVelocity, 0.0f);
    Steps(*sim, 240);
    EXPECT_EQ(sim->Player().position.y, 0.0f);

    // The fall itself, checked step by step from the edge.
    auto drop = Hall("0 4 1  0 0.5 -33  6 1 6  0.2 0.2 0.2\n");
    drop->SetPlayerPositionForQa({0, 1, -30.02f});
    Steps(*drop, 1, Keys(true, false, false, false));
    EXPECT_LT(drop->Player().position.y, 1.0f);
    EXPECT_TRUE(drop->Player().grounded);
}

TEST(WorldCollision, OutOfBoundsRecoveryReturnsToTheLastSafePosition) {
    auto sim = Hall();
    Steps(*sim, 60, Keys(true, false, false, false));
    const Vec3 safe = sim->Player().position;
    const float walked = sim->Player().distanceTravelled;
    // The box's very edge is inside it, but the body there is blocked: not a safe place.
    sim->SetPlayerPositionForQa({31, 0, safe.z});
    Steps(*sim, 1);
    EXPECT_EQ(sim->OutOfBoundsRecoveries(), 0u);
    EXPECT_EQ(sim->Player().position.x, 31.0f);
    // Jumping out of the box: put back standing, at rest.
    sim->SetPlayerPositionForQa({40, 0, 0});
    InputState jump;
    jump.jump = true;
    Steps(*sim, 1, jump);
    EXPECT_EQ(sim->Player().position.x, safe.x);
    EXPECT_EQ(sim->Player().position.y, safe.y);
    EXPECT_EQ(sim->Player().position.z, safe.z);
    EXPECT_EQ(sim->Player().verticalVelocity, 0.0f);
    EXPECT_TRUE(sim->Player().grounded);
    EXPECT_EQ(sim->OutOfBoundsRecoveries(), 1u);
    EXPECT_EQ(sim->Player().horizontalSpeed, 0.0f);
    EXPECT_EQ(sim->Player().distanceTravelled, walked);
    const auto events = sim->DrainEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].name, "PlayerOutOfBoundsRecovered");
    EXPECT_EQ(events[0].value, -1);

    // Above the playable box and beyond its far end count as well.
    sim->SetPlayerPositionForQa({0, 0, -45});
    Steps(*sim, 1);
    sim->SetPlayerPositionForQa({0, 13, 0});
    Steps(*sim, 1);
    EXPECT_EQ(sim->OutOfBoundsRecoveries(), 3u);
    EXPECT_EQ(sim->InvalidWallDamageEvents(), 0u);
}

TEST(WorldQueries, PositionBlockedRules) {
    auto sim = Hall(
        "0 1 1  10 2 0  2 4 2  0.2 0.2 0.2\n"      // wall x 9..11, z -1..1, y 0..4
        "0 1 1  -10 3.5 0  2 1 2  0.2 0.2 0.2\n"   // overhead beam y 3..4
        "0 1 0  0 2 10  2 4 2  0.2 0.2 0.2\n"      // not solid
        "0 0 1  0 2 -10  2 4 2  0.2 0.2 0.2\n");   // floor kind never blocks
    EXPECT_TRUE(sim->PositionBlocked({30.7f, 0, 0}, 0.4f, 1.75f));
    EXPECT_TRUE(sim->PositionBlocked({0, 0, 40.7f}, 0.4f, 1.75f));
    EXPECT_FALSE(sim->PositionBlocked({30.6f, 0, 0}, 0.4f, 1.75f));
    EXPECT_TRUE(sim->PositionBlocked({8.7f, 0, 0}, 0.4f, 1.75f));
    EXPECT_FALSE(sim->PositionBlocked({8.5f, 0, 0}, 0.4f, 1.75f));
    EXPECT_TRUE(sim->PositionBlocked({8.7f, 3.9f, 0}, 0.4f, 1.75f));
    EXPECT_FALSE(sim->PositionBlocked({8.7f, 3.99f, 0}, 0.4f, 1.75f));  // at the top within 0.02
    EXPECT_FALSE(sim->PositionBlocked({-10, 0, 0}, 0.4f, 1.75f));     // passes under the beam
    EXPECT_TRUE(sim->PositionBlocked({-10, 1.5f, 0}, 0.4f, 1.75f));
    EXPECT_FALSE(sim->PositionBlocked({0, 0, 10}, 0.4f, 1.75f));
    EXPECT_FALSE(sim->PositionBlocked({0, 0, -10}, 0.4f, 1.75f));
}

TEST(WorldQueries, GroundHeightCountsOnlyReachableSurfaces) {
    auto sim = Hall(
        "0 2 1  0 0.25 0  2 0.5 2  0.2 0.2 0.2\n"   // cover top 0.5
        "0 4 0  5 0.5 0  2 1 2  0.2 0.2 0.2\n"      // non-solid platform still walkable, top 1
        "0 1 1  -5 0.25 0  2 0.5 2  0.2 0.2 0.2\n"  // walls are not walkable
        "1 3 1  0 1 10  2 2 4  0.2 0.2 0.2\n"      // ramp z 8..12, 0..2
        "0 2 1  0 0.275 -10  2 0.55 2  0.2 0.2 0.2\n");  // cover top 0.55: one step too high
    EXPECT_FLOAT_EQ(sim->GroundHeightAt({0, 0, 0}), 0.5f);
    EXPECT_EQ(sim->GroundHeightAt({0, 0, -10}), 0.0f);
    EXPECT_FLOAT_EQ(sim->GroundHeightAt({0, 0.05f, -10}), 0.55f);
    EXPECT_TRUE(sim->PositionBlocked({0, 0, -10}, 0.4f, 1.75f));
    EXPECT_FALSE(sim->PositionBlocked({0, 0.05f, -10}, 0.4f, 1.75f));
    EXPECT_FLOAT_EQ(sim->GroundHeightAt({1, 0, 1}), 0.5f);  // edges included
    EXPECT_EQ(sim->GroundHeightAt({1.01f, 0, 0}), 0.0f);
    EXPECT_EQ(sim->GroundHeightAt({5, 0, 0}), 0.0f);        // 1 m above the feet: out of reach
    EXPECT_FLOAT_EQ(sim->GroundHeightAt({5, 0.5f, 0}), 1.0f);
    EXPECT_EQ(sim->GroundHeightAt({-5, 0, 0}), 0.0f);
    EXPECT_FLOAT_EQ(sim->GroundHeightAt({0, 0.5f, 9}), 0.5f);
    EXPECT_EQ(sim->GroundHeightAt({0, 0, 11}), 0.0f);       // 1.5 m of ramp above the feet
    EXPECT_FLOAT_EQ(sim->GroundHeightAt({0, 5, 13}), 0.0f); // past the ramp's end
}

TEST(WorldQueries, TryMoveSubStepsAndSlides) {
    auto sim = Hall("0 1 1  0 2 0  10 4 0.2  0.2 0.2 0.2\n");  // a thin wall at z = 0
    Vec3 p{0, 0, -2};
    EXPECT_TRUE(sim->TryMove(p, {0, 0, 5}, 0.4f, 1.75f));  // one call, 5 m: must not tunnel
    EXPECT_LT(p.z, -0.4f);
    Vec3 stuck{0, 0, -0.51f};
    EXPECT_FALSE(sim->TryMove(stuck, {0, 0, 1}, 0.4f, 1.75f));
    EXPECT_EQ(stuck.z, -0.51f);
    Vec3 slide{0, 0, -0.51f};
    EXPECT_TRUE(sim->TryMove(slide, {1, 7, 1}, 0.4f, 1.75f));  // y of the delta is ignored
    EXPECT_NEAR(slide.x, 1.0f, 1e-5f);
    EXPECT_EQ(slide.y, 0.0f);
    EXPECT_EQ(slide.z, -0.51f);
}

TEST(WorldQueries, AbsurdSpeedNeitherStallsNorTunnels) {
    GameplayConfig config;
    config.walk_speed = 3e30f;
    auto sim = Hall("0 1 1  0 2 -30  10 4 0.2  0.2 0.2 0.2\n", config);
    Steps(*sim, 10, Keys(true, false, false, false));
    EXPECT_LT(sim->Player().position.z, -30.0f);
    EXPECT_TRUE(std::isfinite(sim->Player().position.z));
}

TEST(WorldQueries, RaycastWorld) {
    auto sim = Hall(
        "0 1 1  0 2 6  4 4 1  0.2 0.2 0.2\n"      // wall face at z = 5.5
        "0 1 0  0 2 3  4 4 1  0.2 0.2 0.2\n"      // not solid: ignored
        "0 5 1  0 9 0  60 0.5 80  0.2 0.2 0.2\n"); // solid roof at y 8.75..9.25
    float hit = -1.0f;
    EXPECT_TRUE(sim->RaycastWorld({0, 1, 0}, {0, 0, 1}, 100.0f, hit));
    EXPECT_FLOAT_EQ(hit, 5.5f);
    EXPECT_TRUE(sim->RaycastWorld({0, 1, 0}, {0, 0, 7}, 100.0f, hit));  // direction is normalised
    EXPECT_FLOAT_EQ(hit, 5.5f);
    EXPECT_FALSE(sim->RaycastWorld({0, 1, -0.5f}, {0, 0, 1}, 5.0f, hit));  // wall 6 m away
    EXPECT_EQ(hit, 5.0f);
    EXPECT_TRUE(sim->RaycastWorld({0, 1, 6}, {1, 0, 0}, 10.0f, hit));  // from inside
    EXPECT_EQ(hit, 0.0f);
    EXPECT_FALSE(sim->RaycastWorld({0, 1, 0}, {0, -1, 0}, 50.0f, hit));  // the floor never stops rays
    EXPECT_TRUE(sim->RaycastWorld({0, 1, 0}, {0, 1, 0}, 50.0f, hit));
    EXPECT_FLOAT_EQ(hit, 7.75f);
    EXPECT_TRUE(sim->RaycastWorld({3, 1, 0}, {0, 0, 1}, 100.0f, hit));  // passes beside the wall
    EXPECT_FLOAT_EQ(hit, 41.5f);
    EXPECT_TRUE(sim->RaycastWorld({0, 1, 0}, {1, 0, 1}, 100.0f, hit));  // diagonal to the outer wall at x 31.5
    EXPECT_NEAR(hit, 31.5f * std::sqrt(2.0f), 1e-3f);
    EXPECT_FALSE(sim->RaycastWorld({0, 1, 0}, {0, 0, 0}, 100.0f, hit));  // zero direction, origin outside
    EXPECT_TRUE(sim->RaycastWorld({0, 1, 6}, {0, 0, 0}, 100.0f, hit));   // zero direction, origin inside
}

}  // namespace
}  // namespace tarvo::gameplay
