#pragma once
// What the matchmaking, inventory, profile and statistics screens compute before
// they draw: formatted figures, initials, the matchmaking timeline. Plain functions
// of values, so tests check them without a window.
#include <d2d1.h>
#include <wincodec.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "localization/localization.h"
#include "player/local_player_data.h"

namespace tarvo::ui {

class NativeShell;

// Whole minutes of a play time in seconds. A corrupt value is clamped first: NaN and
// negative times count as 0, times past the counter's range as its maximum.
std::uint64_t PlayMinutes(double seconds);
std::wstring PlayMinutesText(double seconds);  // "59 MIN"

std::wstring AccuracyText(const player::BotStats& stats);   // one decimal and "%", "37.5%"
std::wstring KillDeathText(const player::BotStats& stats);  // two decimals, "3.50"

// The placeholder avatar's letters: the first three code points of the name as
// stored (a surrogate pair is never split), or "TV" for an empty name.
std::wstring ProfileInitials(std::wstring_view displayName);

struct FigureCard {
    std::wstring label;
    std::wstring value;
};
// The statistics screen's ten local figures and the profile's six, in card order.
std::array<FigureCard, 10> StatisticsFigures(const player::BotStats& stats, const localization::Localization& text);
std::array<FigureCard, 6> ProfileFigures(const player::BotStats& stats, const localization::Localization& text);

// The matchmaking animation: searching until 2.8 s, found until 4.5 s, then the
// missing module with the way back.
enum class MatchmakingPhase { Searching, Found, ModuleMissing };
inline constexpr double kMatchFoundSeconds = 2.8;
inline constexpr double kModuleMissingSeconds = 4.5;
MatchmakingPhase MatchmakingPhaseAt(double seconds);
D2D1_POINT_2F MatchmakingDotCentre(int dot, double seconds);  // dot 0..11 of the turning ring
float MatchmakingDotAlpha(int dot);                           // 0.23 for dot 0 up to 1 for dot 11

// The matchmaking screen drawn as it looks `seconds` after it was entered;
// DrawMatchmaking passes the time since `screenEnteredAt`.
void DrawMatchmakingAt(NativeShell& shell, double seconds);

// True when the image file opens and its first frame is at most maxSide pixels on
// each side. Reads the header only; nothing is decoded.
bool ImageWithinSide(IWICImagingFactory* imaging, const std::filesystem::path& file, std::uint32_t maxSide);

// DrawImage for images whose file the player can change: one larger than
// kMaxAvatarSide on a side is not decoded and counts as not drawn. Only a bitmap
// not yet cached is checked.
bool DrawBoundedImage(NativeShell& shell, const std::filesystem::path& asset, D2D_RECT_F rect, float opacity);

// The player's own avatar image over rect, for the profile and home screens: only with the
// custom-image flag set, a file inside the profile folder and within kMaxAvatarSide. False
// when nothing was drawn (the screen then shows the initials).
bool DrawOwnAvatar(NativeShell& shell, D2D_RECT_F rect);

// A status chip: the colour at alpha 0.12 inside, 0.48 around (radius 7, width 1),
// its text centred in the caption format.
void DrawChip(NativeShell& shell, D2D_RECT_F rect, D2D1_COLOR_F color, std::wstring_view text);

}  // namespace tarvo::ui
