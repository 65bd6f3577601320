// Figures, initials and the matchmaking timeline of the player screens, and the
// two drawing helpers they share.
#include "screens/player_screens.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {

namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text; ++text) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*text)));
    return wide;
}

std::wstring Fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.*f", decimals, value);
    return Widen(buffer);
}

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::uint64_t PlayMinutes(double seconds) {
    const double minutes = seconds / 60.0;
    if (!(minutes > 0.0)) return 0;  // NaN as well
    // 2^64 is exactly representable; anything at or above it saturates.
    if (minutes >= 18446744073709551616.0) return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(minutes);
}

std::wstring PlayMinutesText(double seconds) { return std::to_wstring(PlayMinutes(seconds)) + L" MIN"; }

std::wstring AccuracyText(const player::BotStats& stats) { return Fixed(stats.AccuracyPercent(), 1) + L"%"; }

std::wstring KillDeathText(const player::BotStats& stats) { return Fixed(stats.KillDeathRatio(), 2); }

std::wstring ProfileInitials(std::wstring_view name) {
    if (name.empty()) return L"TV";
    size_t end = std::min<size_t>(name.size(), 3);
    // Three units that cut a surrogate pair keep two: half a character cannot be drawn.
    if (end < name.size() && IsHighSurrogate(name[end - 1]) && IsLowSurrogate(name[end])) --end;
    return std::wstring(name.substr(0, end));
}

std::array<FigureCard, 10> StatisticsFigures(const player::BotStats& s, const localization::Localization& text) {
    const bool uk = text.CurrentLocale() == localization::Locale::Ukrainian;
    auto get = [&](std::wstring_view key) { return std::wstring(text.Get(key)); };
    return {{
        {uk ? L"ТРЕНУВАНЬ РОЗПОЧАТО" : L"TRAININGS STARTED", std::to_wstring(s.trainingsStarted)},
        {uk ? L"ТРЕНУВАНЬ ЗАВЕРШЕНО" : L"TRAININGS COMPLETED", std::to_wstring(s.trainingsCompleted)},
        {get(L"kills"), std::to_wstring(s.kills)},
        {get(L"deaths"), std::to_wstring(s.deaths)},
        {L"K / D", KillDeathText(s)},
        {get(L"accuracy"), AccuracyText(s)},
        {uk ? L"ПОСТРІЛИ" : L"SHOTS", std::to_wstring(s.shots)},
        {uk ? L"ВЛУЧАННЯ" : L"HITS", std::to_wstring(s.hits)},
        {get(L"headshots"), std::to_wstring(s.headshots)},
        {get(L"playtime"), PlayMinutesText(s.playSeconds)},
    }};
}

std::array<FigureCard, 6> ProfileFigures(const player::BotStats& s, const localization::Localization& text) {
    auto get = [&](std::wstring_view key) { return std::wstring(text.Get(key)); };
    return {{
        {get(L"matches"), std::to_wstring(s.trainingsStarted)},
        {get(L"kills"), std::to_wstring(s.kills)},
        {get(L"deaths"), std::to_wstring(s.deaths)},
        {get(L"accuracy"), AccuracyText(s)},
        {get(L"headshots"), std::to_wstring(s.headshots)},
        {get(L"playtime"), PlayMinutesText(s.playSeconds)},
    }};
}

MatchmakingPhase MatchmakingPhaseAt(double seconds) {
    if (seconds >= kModuleMissingSeconds) return MatchmakingPhase::ModuleMissing;
    if (seconds >= kMatchFoundSeconds) return MatchmakingPhase::Found;
    return MatchmakingPhase::Searching;
}

D2D1_POINT_2F MatchmakingDotCentre(int dot, double seconds) {
    const double angle = dot * std::numbers::pi / 6.0 + 2.0 * seconds;
    return D2D1::Point2F(static_cast<float>(960.0 + 118.0 * std::cos(angle)),
                         static_cast<float>(470.0 + 118.0 * std::sin(angle)));
}

float MatchmakingDotAlpha(int dot) { return 0.16f + 0.84f * static_cast<float>(dot + 1) / 12.0f; }

bool ImageWithinSide(IWICImagingFactory* imaging, const std::filesystem::path& file, std::uint32_t maxSide) {
    if (!imaging) return false;
    Microsoft::WRL::ComPtr<IWICBitmapDecoder> decoder;
    Microsoft::WRL::ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (FAILED(imaging->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height))) {
        return false;
    }
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide;
}

bool DrawBoundedImage(NativeShell& shell, const std::filesystem::path& asset, D2D_RECT_F rect, float opacity) {
    if (!shell.renderTarget || !shell.wicFactory) return false;
    const std::filesystem::path resolved = NativeShell::DiscoverAsset(asset);
    if (!shell.bitmapCache.contains(resolved) &&
        !ImageWithinSide(shell.wicFactory.Get(), resolved, player::kMaxAvatarSide)) {
        return false;
    }
    return shell.DrawImage(resolved, rect, opacity);  // already resolved: no second search
}

bool DrawOwnAvatar(NativeShell& shell, D2D_RECT_F rect) {
    const player::ProfileAvatar& avatar = shell.playerData.avatar;
    if (!avatar.customImage) return false;
    const std::filesystem::path own = AvatarInsideProfile(avatar.imagePath, shell.playerStore.ProfileFolder());
    return !own.empty() && DrawBoundedImage(shell, own, rect, 1.0f);
}

void DrawChip(NativeShell& shell, D2D_RECT_F rect, D2D1_COLOR_F color, std::wstring_view text) {
    shell.FillRounded(rect, 7.0f, WithAlpha(color, 0.12f));
    shell.StrokeRounded(rect, 7.0f, WithAlpha(color, 0.48f), 1.0f);
    shell.DrawTextIn(text, shell.captionFormat.Get(), rect, color, DWRITE_TEXT_ALIGNMENT_CENTER);
}

}  // namespace tarvo::ui
