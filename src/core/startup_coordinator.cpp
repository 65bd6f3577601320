#include "core/startup_coordinator.h"

#include <algorithm>

namespace tarvo::core {

StartupCoordinator::StartupCoordinator(std::chrono::milliseconds minimum, std::chrono::milliseconds maximum)
    : minimumSplash(std::max<std::int64_t>(0, minimum.count())),
      maximumSplash(std::max<std::int64_t>(minimumSplash, maximum.count())) {}

void StartupCoordinator::EnterSplash(Clock::time_point now) {
    splashEnteredAt = now;
    initialization = InitializationState::InProgress;
    splashActive = true;
    exitReported = false;
}

void StartupCoordinator::BeginInitialization() { initialization = InitializationState::InProgress; }

void StartupCoordinator::CompleteInitialization(bool ok) {
    initialization = ok ? InitializationState::Completed : InitializationState::Failed;
}

SplashEvaluation StartupCoordinator::Evaluate(Clock::time_point now) {
    if (!splashActive || exitReported) return {};
    const std::int64_t elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - splashEnteredAt).count();
    SplashExitReason reason = SplashExitReason::None;
    if (elapsed >= maximumSplash) {
        reason = SplashExitReason::SafetyTimeout;
    } else if (elapsed >= minimumSplash && initialization == InitializationState::Completed) {
        reason = SplashExitReason::InitializationCompleted;
    } else if (elapsed >= minimumSplash && initialization == InitializationState::Failed) {
        reason = SplashExitReason::InitializationFailedNonCritical;
    }
    if (reason == SplashExitReason::None) return {};
    splashActive = false;
    exitReported = true;
    return {true, reason};
}

void StartupCoordinator::MarkLoginEntered() {
    splashActive = false;
    exitReported = false;
}

}  // namespace tarvo::core
