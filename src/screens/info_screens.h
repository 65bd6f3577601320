#pragma once
// Rules of the settings, updates, privacy and graphics screens that are plain
// values: the launcher-log line, the release rows and note columns, the sensitivity
// presets and the GPU row; and the status chip these screens share.
#include <windows.h>
#include <d2d1.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "releases/release_notes.h"
#include "renderer/graphics_diagnostics.h"
#include "renderer/renderer_selection.h"

namespace tarvo::ui {

class NativeShell;

// A rounded chip (radius 7): the colour at alpha 0.12 inside, 0.48 around, the text
// in the caption face centred in the full colour.
void DrawChip(NativeShell& shell, D2D_RECT_F rect, std::wstring_view text, D2D1_COLOR_F color);

// "YYYY-MM-DD HH:MM UTC" of a file time, read as UTC with no zone change;
// "UNKNOWN" when it is not a calendar time.
std::wstring FormatLastCheck(const FILETIME& writeTime);
// The settings screen's last-check value for the launcher log: "NEVER" when the
// file's attributes cannot be read, else its last-write time as above.
std::wstring LauncherLastCheckText(const std::filesystem::path& launcherLog);
// current.json in the install root; a failed test counts as absent.
bool LauncherInstallActive(const std::filesystem::path& installRoot);

// The three mouse-sensitivity presets in degrees per mouse count.
inline constexpr std::array<float, 3> kSensitivityPresets{0.045f, 0.075f, 0.115f};
// A preset is shown chosen when the sensitivity lies within 0.001 of it.
bool SensitivityPresetChosen(float sensitivity, int preset);

// Rows of the updates screen: at most five, from y 175, 315 high when open and 92
// when closed, 12 apart.
inline constexpr std::size_t kMaxReleaseRows = 5;
struct ReleaseRow {
    float top = 0.0f;
    float height = 0.0f;
    bool open = false;
};
std::vector<ReleaseRow> ReleaseRowLayout(std::size_t releaseCount, int expandedRelease);

// Notes of an open release by column (0 added, 1 changed, 2 fixed) as indices in
// file order, two at most per column; known issues go nowhere.
std::array<std::vector<std::size_t>, 3> ReleaseNoteColumns(const std::vector<releases::ReleaseNote>& notes);

// The graphics screen's GPU row: the Direct3D 11 probe's adapter when it found one,
// else the name in the stored probe record.
std::wstring GraphicsGpuText(const renderer::GraphicsSystemDiagnostics& selection,
                             const renderer::GraphicsDiagnostics& probe);

}  // namespace tarvo::ui
