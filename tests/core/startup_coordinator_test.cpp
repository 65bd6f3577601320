#include <gtest/gtest.h>

#include "core/startup_coordinator.h"

using namespace std::chrono_literals;
using tarvo::core::InitializationState;
using tarvo::core::SplashExitReason;
using tarvo::core::StartupCoordinator;

namespace {

const StartupCoordinator::Clock::time_point t0 = StartupCoordinator::Clock::time_point{} + 1000h;

struct Step {
    std::chrono::nanoseconds at;
    bool exit;
    SplashExitReason reason;
};

void ExpectSteps(StartupCoordinator& coordinator, std::initializer_list<Step> steps) {
    for (const Step& step : steps) {
        const auto result = coordinator.Evaluate(t0 + step.at);
        EXPECT_EQ(result.exit, step.exit) << "at " << step.at.count() << " ns";
        EXPECT_EQ(result.reason, step.reason) << "at " << step.at.count() << " ns";
    }
}

}  // namespace

TEST(StartupCoordinator, TimingTable) {
    struct Case {
        const char* name;
        std::chrono::milliseconds minimum, maximum;
        int initialization;  // -1 in progress, 0 failed, 1 completed
        std::initializer_list<Step> steps;
    };
    const Case cases[] = {
        {"in progress until the safety timeout", 1200ms, 3000ms, -1,
         {{1199ms, false, SplashExitReason::None},
          {2999ms, false, SplashExitReason::None},
          {3000ms, true, SplashExitReason::SafetyTimeout},
          {3001ms, false, SplashExitReason::None}}},
        {"completed after the minimum", 1200ms, 3000ms, 1,
         {{1199ms, false, SplashExitReason::None},
          {1200ms, true, SplashExitReason::InitializationCompleted},
          {1300ms, false, SplashExitReason::None}}},
        {"whole milliseconds, truncated", 1200ms, 3000ms, 1,
         {{1199ms + 999999ns, false, SplashExitReason::None},
          {1200ms, true, SplashExitReason::InitializationCompleted}}},
        {"failed after the minimum", 1200ms, 3000ms, 0,
         {{1199ms, false, SplashExitReason::None},
          {1200ms, true, SplashExitReason::InitializationFailedNonCritical}}},
        {"timeout wins over completion", 1200ms, 3000ms, 1,
         {{5000ms, true, SplashExitReason::SafetyTimeout}}},
        {"negative times stored as zero", -5ms, -10ms, -1,
         {{0ms, true, SplashExitReason::SafetyTimeout}}},
        {"maximum raised to the minimum", 2000ms, 1000ms, 1,
         {{1999ms, false, SplashExitReason::None},
          {2000ms, true, SplashExitReason::SafetyTimeout}}},
        {"clock behind the start", 0ms, 3000ms, 1,
         {{-1ms, false, SplashExitReason::None},
          {0ms, true, SplashExitReason::InitializationCompleted}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartupCoordinator coordinator(c.minimum, c.maximum);
        coordinator.EnterSplash(t0);
        coordinator.BeginInitialization();
        if (c.initialization >= 0) coordinator.CompleteInitialization(c.initialization == 1);
        ExpectSteps(coordinator, c.steps);
    }
}

TEST(StartupCoordinator, NoExitWithoutSplashOrAfterLogin) {
    StartupCoordinator never(1200ms, 3000ms);
    EXPECT_FALSE(never.IsSplashActive());
    EXPECT_EQ(never.Initialization(), InitializationState::InProgress);
    never.CompleteInitialization(true);
    EXPECT_FALSE(never.Evaluate(t0 + 10000h).exit);

    StartupCoordinator login(1200ms, 3000ms);
    login.EnterSplash(t0);
    login.CompleteInitialization(true);
    login.MarkLoginEntered();
    EXPECT_FALSE(login.IsSplashActive());
    ExpectSteps(login, {{1200ms, false, SplashExitReason::None}, {3000ms, false, SplashExitReason::None}});
}

TEST(StartupCoordinator, EnteringTheSplashAgainStartsAFreshRule) {
    StartupCoordinator coordinator(1200ms, 3000ms);
    coordinator.EnterSplash(t0);
    coordinator.CompleteInitialization(false);
    EXPECT_EQ(coordinator.Initialization(), InitializationState::Failed);
    ExpectSteps(coordinator, {{1200ms, true, SplashExitReason::InitializationFailedNonCritical}});
    EXPECT_FALSE(coordinator.IsSplashActive());

    coordinator.EnterSplash(t0 + 10s);  // resets the start time, the flags and the initialization state
    EXPECT_TRUE(coordinator.IsSplashActive());
    EXPECT_EQ(coordinator.Initialization(), InitializationState::InProgress);
    ExpectSteps(coordinator, {{11199ms, false, SplashExitReason::None},
                              {11200ms, false, SplashExitReason::None},
                              {13000ms, true, SplashExitReason::SafetyTimeout}});
}
