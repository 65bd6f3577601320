#pragma once
// The splash timing rule: the splash lasts at least `minimumSplash`, ends once initialization is reported,
// and never outlasts `maximumSplash`. One splash reports one exit.

#include <chrono>
#include <cstdint>

namespace tarvo::core {

enum class InitializationState : std::uint32_t { InProgress = 0, Completed = 1, Failed = 2 };

enum class SplashExitReason : std::uint32_t {
    None = 0,
    InitializationCompleted = 1,
    InitializationFailedNonCritical = 2,
    SafetyTimeout = 3,
};

struct SplashEvaluation {
    bool exit = false;
    SplashExitReason reason = SplashExitReason::None;
};

class StartupCoordinator {
public:
    using Clock = std::chrono::steady_clock;

    // Negative times count as 0; the maximum is raised to the minimum when smaller.
    StartupCoordinator(std::chrono::milliseconds minimum, std::chrono::milliseconds maximum);

    void EnterSplash(Clock::time_point now);   // starts the rule; initialization back to InProgress
    void BeginInitialization();
    void CompleteInitialization(bool ok);
    SplashEvaluation Evaluate(Clock::time_point now);  // the safety timeout wins over a completed start
    void MarkLoginEntered();                   // ends the rule for good (until the next EnterSplash)

    bool IsSplashActive() const { return splashActive; }
    InitializationState Initialization() const { return initialization; }

private:
    std::int64_t minimumSplash = 0;  // milliseconds
    std::int64_t maximumSplash = 0;  // milliseconds
    Clock::time_point splashEnteredAt{};
    InitializationState initialization = InitializationState::InProgress;
    bool splashActive = false;
    bool exitReported = false;
};

}  // namespace tarvo::core
