#include "shell/gameplay_logic.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "common/text_utils.h"

namespace tarvo::ui {

namespace {

std::uint64_t Delta(std::uint64_t current, std::uint64_t atStart) { return current > atStart ? current - atStart : 0; }

void AppendMember(std::string& json, const char* key, std::uint64_t value) {
    if (json.size() > 1) json += ',';
    json += '"';
    json += key;
    json += "\":";
    json += std::to_string(value);
}

}  // namespace

std::string BotStatsDeltaJson(const player::BotStats& current, const player::BotStats& atStart) {
    std::string json = "{";
    AppendMember(json, "trainingsStarted", Delta(current.trainingsStarted, atStart.trainingsStarted));
    AppendMember(json, "trainingsCompleted", Delta(current.trainingsCompleted, atStart.trainingsCompleted));
    AppendMember(json, "kills", Delta(current.kills, atStart.kills));
    AppendMember(json, "deaths", Delta(current.deaths, atStart.deaths));
    AppendMember(json, "shotsFired", Delta(current.shotsFired, atStart.shotsFired));
    AppendMember(json, "shotsHit", Delta(current.shotsHit, atStart.shotsHit));
    AppendMember(json, "headshots", Delta(current.headshots, atStart.headshots));
    const double seconds = current.playSeconds - atStart.playSeconds;
    // NaN and negative differences both report no play time.
    const std::uint64_t whole = seconds > 0.0 && seconds < 1.8e19 ? static_cast<std::uint64_t>(seconds) : 0;
    AppendMember(json, "playSeconds", whole);
    json += '}';
    return json;
}

std::wstring StatsSubmissionId(std::wstring_view installationId, std::uint64_t unixMilliseconds) {
    std::wstring id(installationId);
    id += L'_';
    id += std::to_wstring(unixMilliseconds);
    return id;
}

std::filesystem::path FindArenaDirectory(const std::filesystem::path& executableDirectory) {
    std::filesystem::path folder = executableDirectory;
    for (int i = 0; i < 8 && !folder.empty(); ++i) {
        std::error_code error;
        const std::filesystem::path candidate = folder / L"assets" / L"maps";
        if (std::filesystem::is_directory(candidate, error)) return candidate;
        const std::filesystem::path parent = folder.parent_path();
        if (parent == folder) break;
        folder = parent;
    }
    return executableDirectory / L"assets" / L"maps";
}

double FrameIntervalSeconds(std::int32_t fpsLimit) { return 1.0 / static_cast<double>(std::max(fpsLimit, 30)); }

float DecayTimer(float seconds, float dt) { return std::max(seconds - dt, 0.0f); }

float AdvanceAimBlend(float blend, bool aiming, float dt) {
    const float target = aiming ? 1.0f : 0.0f;
    return blend + (target - blend) * std::min(8.0f * dt, 1.0f);
}

void FillRenderOverlay(renderer::RenderOverlay& overlay, const OverlayFrame& frame,
                       const gameplay::TrainingSimulation& simulation, const online::MatchInfo& info,
                       const online::MatchEconomy& economy, std::wstring_view nickname) {
    overlay.menuOpen = frame.menuOpen;
    overlay.showPerformance = frame.showPerformance;
    overlay.fps = frame.fps;
    overlay.frameTimeMs = frame.frameTimeMs;
    overlay.hitMarker = frame.hitMarker;
    overlay.killConfirm = frame.killConfirm;
    overlay.muzzleFlash = frame.muzzleFlash;
    overlay.damageFlash = frame.damageFlash;
    overlay.elapsedSeconds = frame.elapsedSeconds;
    overlay.aimBlend = frame.aimBlend;
    overlay.ukrainian = frame.ukrainian;
    overlay.quality = frame.quality;
    overlay.deviceName.assign(frame.deviceName);
    overlay.arsenalOpen = frame.arsenalOpen;

    overlay.coins = economy.coins;
    overlay.ownedWeaponMask = economy.ownedWeapons;
    overlay.selectedWeapon = economy.selectedWeapon;
    overlay.shopAuthenticated = economy.authenticated;
    overlay.shopStatus.assign(economy.message);
    overlay.onlineMatch = frame.onlineSession && info.valid;
    overlay.scoreboardHeld = frame.onlineSession && frame.tabHeld;

    overlay.matchMode = info.mode;
    overlay.matchMap = info.map;
    overlay.localTeam = info.localTeam;
    overlay.cyanScore = info.cyanScore;
    overlay.amberScore = info.amberScore;
    overlay.roundSeconds = info.roundSeconds;
    overlay.roundState = info.roundState;
    overlay.roundWinner = info.roundWinner;
    overlay.roundNumber = info.roundNumber;
    overlay.matchComplete = info.matchComplete;
    overlay.freeForAllValue = info.ffaFigure;
    overlay.activePoint = info.activePoint;
    overlay.pointOwner = info.pointOwner;
    overlay.localPlayerId = info.localPlayerId;
    overlay.pointProgress = info.pointProgress;

    if (overlay.onlineMatch) {
        BuildScoreRows(overlay.scoreRows, simulation, info, nickname);
    } else {
        overlay.scoreRows.clear();
    }
    overlay.qaCapturePath.clear();
}

void BuildScoreRows(std::vector<renderer::ScoreRow>& rows, const gameplay::TrainingSimulation& simulation,
                    const online::MatchInfo& info, std::wstring_view nickname) {
    const std::vector<gameplay::Bot>& bots = simulation.Bots();
    rows.resize(bots.size() + 1);
    renderer::ScoreRow& local = rows[0];
    local.playerId = info.localPlayerId;
    local.team = info.localTeam;
    local.kills = simulation.Player().kills;
    local.deaths = simulation.Player().deaths;
    local.isLocal = true;
    local.name = distribution::WideToUtf8(nickname);
    for (std::size_t i = 0; i < bots.size(); ++i) {
        renderer::ScoreRow& row = rows[i + 1];
        row.playerId = bots[i].id;
        row.team = bots[i].team;
        row.kills = bots[i].kills;
        row.deaths = bots[i].deaths;
        row.isLocal = false;
        row.name = distribution::WideToUtf8(bots[i].name);
    }
    renderer::SortScoreRows(rows);
}

std::chrono::steady_clock::duration OnlineShotInterval(int weaponIndex) {
    using std::chrono::microseconds;
    if (weaponIndex == 1) return microseconds(71429);
    if (weaponIndex >= 2) return microseconds(333334);
    return microseconds(111112);
}

TriggerSound PredictOnlineShot(const OnlineTriggerState& state, SteadyTime now, WeaponBookkeeping& book) {
    if (!state.connected || !state.infoValid || state.playerDead || state.reloading || state.roundState == 2 ||
        now < book.nextShotAt || now < book.reloadReadyAt) {
        return TriggerSound::None;
    }
    if (state.magazine > book.predictedShots) {
        ++book.predictedShots;
        // A long pause does not bank shots: the schedule catches up by 40 ms at most.
        book.nextShotAt = std::max(now - kShotCatchUp, book.nextShotAt) + OnlineShotInterval(state.weaponIndex);
        book.fireRequested = true;
        return TriggerSound::Shot;
    }
    if (TakeEmptyClick(now, book.nextEmptyClickAt)) return TriggerSound::Empty;
    return TriggerSound::None;
}

bool TakeEmptyClick(SteadyTime now, SteadyTime& nextEmptyClickAt) {
    if (now < nextEmptyClickAt) return false;
    nextEmptyClickAt = now + kEmptyClickInterval;
    return true;
}

float RemoteShotPan(gameplay::Vec3 source, gameplay::Vec3 camera, gameplay::Vec3 forward) {
    const gameplay::Vec3 d = source - camera;
    const float distance = gameplay::Length(d);
    if (!(distance > 0.1f)) return 0.0f;
    const gameplay::Vec3 right{forward.z, 0.0f, -forward.x};
    return gameplay::Dot(d * (1.0f / distance), right);
}

void ReconcileShots(WeaponBookkeeping& book, const ShotReport& report, const gameplay::PlayerState& player,
                    int magazineBefore, int magazineNow, const std::vector<gameplay::Bot>& others,
                    gameplay::Vec3 camera, gameplay::Vec3 forward, float masterVolume,
                    std::vector<RemoteShotSound>& sounds) {
    if (!report.valid) return;
    if (player.weaponIndex != book.trackedWeapon || report.shotResets != book.serverResetCount || player.dead ||
        magazineNow > magazineBefore) {
        book.predictedShots = 0;
        book.nextShotAt = SteadyTime{};
        book.reloadReadyAt = SteadyTime{};
    } else if (report.localShots >= book.serverShotCount) {
        const std::uint32_t confirmed = report.localShots - book.serverShotCount;
        const std::int64_t left = static_cast<std::int64_t>(book.predictedShots) - static_cast<std::int64_t>(confirmed);
        book.predictedShots = static_cast<std::int32_t>(std::max<std::int64_t>(left, 0));
    }
    book.serverShotCount = report.localShots;
    book.trackedWeapon = player.weaponIndex;
    book.serverResetCount = report.shotResets;

    for (const gameplay::Bot& other : others) {
        const unsigned shots = static_cast<std::uint32_t>(other.shots);
        const auto [entry, inserted] = book.remoteShotCounts.try_emplace(other.id, shots);
        if (inserted) continue;
        if (shots > entry->second) {
            const gameplay::Vec3 source = other.position + gameplay::Vec3{0.0f, 1.5f, 0.0f};
            const float distance = gameplay::Length(source - camera);
            RemoteShotSound sound;
            sound.weapon = other.weaponIndex;
            sound.volume = masterVolume * 0.65f / (1.0f + 0.08f * distance);
            sound.pan = RemoteShotPan(source, camera, forward);
            const unsigned count = std::min(shots - entry->second, 3u);
            for (unsigned i = 0; i < count; ++i) sounds.push_back(sound);
        }
        entry->second = shots;
    }
}

}  // namespace tarvo::ui
