#pragma once
// The decisions of a gameplay session as plain functions of values: the statistics
// delta sent after a training, frame pacing, the per-frame overlay and scoreboard,
// online shot prediction and the weapon-audio reconcile. The shell's members feed
// them and apply their results; tests drive them with their own records and clock.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gameplay/training_simulation.h"
#include "online/match_client.h"
#include "player/local_player_data.h"
#include "renderer/render_overlay.h"

namespace tarvo::ui {

using SteadyTime = std::chrono::steady_clock::time_point;

// ---- Statistics -------------------------------------------------------------------

// {"trainingsStarted":n,...,"playSeconds":n} without white space: each counter minus
// its value at the session start (0 when it fell), play seconds truncated.
std::string BotStatsDeltaJson(const player::BotStats& current, const player::BotStats& atStart);

// installation id + "_" + milliseconds since 1970 in decimal.
std::wstring StatsSubmissionId(std::wstring_view installationId, std::uint64_t unixMilliseconds);

// The folder holding the arena files: the first <dir>/assets/maps from the executable
// folder upward (eight folders at most), else <executable folder>/assets/maps.
std::filesystem::path FindArenaDirectory(const std::filesystem::path& executableDirectory);

// ---- Frame ------------------------------------------------------------------------

// Seconds between two gameplay frames: 1 / max(fpsLimit, 30).
double FrameIntervalSeconds(std::int32_t fpsLimit);

// A feedback timer after dt seconds, floored at 0.
float DecayTimer(float seconds, float dt);

// The aim-down-sights blend moved toward 1 (aiming) or 0 by min(8 dt, 1) of the gap.
float AdvanceAimBlend(float blend, bool aiming, float dt);

// What the shell contributes to one frame's overlay beyond the simulation and the
// match client.
struct OverlayFrame {
    bool menuOpen = false;
    bool showPerformance = false;
    float fps = 0.0f;
    float frameTimeMs = 0.0f;
    float hitMarker = 0.0f;
    float killConfirm = 0.0f;
    float muzzleFlash = 0.0f;
    float damageFlash = 0.0f;
    float elapsedSeconds = 0.0f;
    float aimBlend = 0.0f;
    bool ukrainian = true;
    std::uint32_t quality = 1;
    std::wstring_view deviceName;
    bool arsenalOpen = false;
    bool onlineSession = false;  // the running session is an online match
    bool tabHeld = false;        // the scoreboard key is down
};

// Overwrites every field of `overlay` (its buffers are reused, so a record kept
// across frames allocates nothing once warm). Score rows only for a valid online
// report; the QA capture path is left empty.
void FillRenderOverlay(renderer::RenderOverlay& overlay, const OverlayFrame& frame,
                       const gameplay::TrainingSimulation& simulation, const online::MatchInfo& info,
                       const online::MatchEconomy& economy, std::wstring_view nickname);

// The local player's row, then one per bot record in list order, in scoreboard order
// (more kills, then fewer deaths; rows equal in both keep their built order).
void BuildScoreRows(std::vector<renderer::ScoreRow>& rows, const gameplay::TrainingSimulation& simulation,
                    const online::MatchInfo& info, std::wstring_view nickname);

// ---- Weapon fire ------------------------------------------------------------------

inline constexpr std::chrono::milliseconds kEmptyClickInterval{220};
inline constexpr std::chrono::milliseconds kShotCatchUp{40};

// Time between two predicted online shots for the raw weapon index.
std::chrono::steady_clock::duration OnlineShotInterval(int weaponIndex);

// The shell's online weapon bookkeeping, bound by reference.
struct WeaponBookkeeping {
    std::int32_t& predictedShots;
    std::int32_t& trackedWeapon;
    std::uint32_t& serverShotCount;
    std::uint32_t& serverResetCount;
    SteadyTime& nextShotAt;
    SteadyTime& nextEmptyClickAt;
    SteadyTime& reloadReadyAt;
    bool& fireRequested;
    std::unordered_map<int, unsigned>& remoteShotCounts;
};

// What one online trigger pull may do, as last reported by the server.
struct OnlineTriggerState {
    bool connected = false;
    bool infoValid = false;
    bool playerDead = false;
    bool reloading = false;
    std::int32_t roundState = 0;  // 2: the round ended
    std::int32_t magazine = 0;
    std::int32_t weaponIndex = 0;
};

enum class TriggerSound { None, Shot, Empty };

// One online trigger pull at `now`: predicts a shot while the reported magazine
// holds more rounds than are already predicted (and asks the next input datagram to
// carry it), else an empty click at most every 220 ms; None while firing is gated.
TriggerSound PredictOnlineShot(const OnlineTriggerState& state, SteadyTime now, WeaponBookkeeping& book);

// Offline: whether the empty-magazine click may sound at `now`; moves the schedule.
bool TakeEmptyClick(SteadyTime now, SteadyTime& nextEmptyClickAt);

// One remote shot to play.
struct RemoteShotSound {
    int weapon = 0;
    float volume = 0.0f;
    float pan = 0.0f;
};

// Stereo pan of a sound at `source` for a listener at `camera` facing `forward`
// (unit): -1 fully left .. 1 fully right; 0 within 0.1 m.
float RemoteShotPan(gameplay::Vec3 source, gameplay::Vec3 camera, gameplay::Vec3 forward);

// The server's report for this frame, as the reconcile reads it.
struct ShotReport {
    bool valid = false;
    std::uint32_t localShots = 0;  // the local player's shots as the server counts them
    std::uint32_t shotResets = 0;  // any change resets the prediction
};

// Keeps the local shot prediction in step with the server's count and appends the
// other players' new shots (at most three per player per frame; a player seen for
// the first time is silent) to `sounds`.
void ReconcileShots(WeaponBookkeeping& book, const ShotReport& report, const gameplay::PlayerState& player,
                    int magazineBefore, int magazineNow, const std::vector<gameplay::Bot>& others,
                    gameplay::Vec3 camera, gameplay::Vec3 forward, float masterVolume,
                    std::vector<RemoteShotSound>& sounds);

}  // namespace tarvo::ui
