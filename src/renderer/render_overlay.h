#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::renderer {

// One scoreboard line; the HUD shows "OPERATOR " + playerId when the name is empty.
struct ScoreRow {
    int32_t playerId = 0;
    int32_t team = 0;  // 0 none, 1 cyan, 2 amber
    int32_t kills = 0;
    int32_t deaths = 0;
    bool isLocal = false;
    std::string name;  // UTF-8
};

// Scoreboard order: more kills first, then fewer deaths. Stable, so rows equal in
// both keys keep the order they were built in (local player first) and do not
// swap places from frame to frame.
void SortScoreRows(std::vector<ScoreRow>& rows);

// Per-frame record the shell fills right before IRenderBackend::Render. Only the
// shell writes it; the backends and the match HUD model read it.
struct RenderOverlay {
    bool menuOpen = false;          // pause menu or arsenal shown
    bool showPerformance = false;   // F3 performance line
    float fps = 0.0f;               // 0 until the first half-second window closes
    float frameTimeMs = 0.0f;
    float hitMarker = 0.0f;         // seconds left of each feedback effect
    float killConfirm = 0.0f;
    float muzzleFlash = 0.0f;
    float damageFlash = 0.0f;
    float elapsedSeconds = 0.0f;    // since gameplay started
    float aimBlend = 0.0f;          // 0 hip .. 1 aimed
    bool ukrainian = false;
    uint32_t quality = 0;           // 0 low, 1 medium, 2 high
    std::wstring deviceName;
    bool arsenalOpen = false;
    // Economy block, copied from the match client every frame, offline too.
    int32_t coins = 0;
    uint32_t ownedWeaponMask = 1;   // bit n = arsenal weapon n
    uint32_t selectedWeapon = 0;
    bool shopAuthenticated = false;
    std::string shopStatus;         // status code such as "READY"
    bool onlineMatch = false;
    bool scoreboardHeld = false;
    // Match block: verbatim copy of the match client's first thirteen match-info words.
    int32_t matchMode = 6;
    int32_t matchMap = 0;
    int32_t localTeam = 0;
    int32_t cyanScore = 0;
    int32_t amberScore = 0;
    int32_t roundSeconds = 0;
    int32_t roundState = 0;
    int32_t roundWinner = 0;
    int32_t roundNumber = 1;
    int32_t matchComplete = 0;
    int32_t freeForAllValue = 0;
    int32_t activePoint = 0;
    int32_t pointOwner = 0;
    int32_t localPlayerId = 0;
    float pointProgress = 0.0f;     // -1..1, sign gives the side
    std::vector<ScoreRow> scoreRows;  // empty unless onlineMatch
    std::string qaCapturePath;      // UTF-8; non-empty asks for a BMP of this frame
};

}  // namespace tarvo::renderer
