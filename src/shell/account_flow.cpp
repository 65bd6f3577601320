#include "shell/account_flow.h"

#include <cmath>
#include <limits>

#include "account/account_api_client.h"
#include "auth/secure_storage.h"
#include "common/text_utils.h"
#include "shell/account_replies.h"

namespace tarvo::ui {

namespace {

// Whole seconds toward zero; nothing negative or undefined reaches the wire.
std::uint64_t WholeSeconds(double seconds) {
    if (!(seconds > 0.0)) return 0;
    constexpr double kLimit = 18446744073709551615.0;
    if (seconds >= kLimit) return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(seconds);
}

void SetIfCarried(std::string_view body, std::string_view key, std::uint64_t& counter) {
    if (const auto value = FindJsonUnsigned(body, key)) counter = *value;
}

}  // namespace

const char* LocaleText(localization::Locale locale) {
    return locale == localization::Locale::Ukrainian ? "uk-UA" : "en-US";
}

void ApplySyncReply(std::string_view body, player::LocalPlayerData& profile) {
    const std::wstring nickname = JsonString(body, "nickname", profile.identity.displayName);
    if (!nickname.empty() && nickname != L"NONE") profile.identity.displayName = nickname;
    const std::wstring avatarId = JsonString(body, "avatarId", L"");
    if (!avatarId.empty()) profile.avatar.avatarId = avatarId;

    player::BotStats& stats = profile.botStats;
    SetIfCarried(body, "trainings_started", stats.trainingsStarted);
    SetIfCarried(body, "trainings_completed", stats.trainingsCompleted);
    SetIfCarried(body, "kills", stats.kills);
    SetIfCarried(body, "deaths", stats.deaths);
    SetIfCarried(body, "shots_fired", stats.shotsFired);
    SetIfCarried(body, "shots_hit", stats.shotsHit);
    SetIfCarried(body, "headshots", stats.headshots);
    if (const auto seconds = FindJsonUnsigned(body, "play_seconds")) stats.playSeconds = static_cast<double>(*seconds);
}

std::string LinkSafeData(const player::LocalPlayerData& profile, localization::Locale locale,
                         renderer::RenderBackendKind renderer, float masterVolume) {
    std::string json = "{\"inventory\":[";
    bool first = true;
    for (const player::InventoryItem& item : profile.inventory.items) {
        if (!first) json += ',';
        first = false;
        json += '"';
        json += account::AccountApiClient::JsonEscape(distribution::WideToUtf8(item.id));
        json += '"';
    }
    const player::BotStats& stats = profile.botStats;
    json += "],\"botStats\":{\"trainingsStarted\":" + std::to_string(stats.trainingsStarted);
    json += ",\"trainingsCompleted\":" + std::to_string(stats.trainingsCompleted);
    json += ",\"kills\":" + std::to_string(stats.kills);
    json += ",\"deaths\":" + std::to_string(stats.deaths);
    json += ",\"shotsFired\":" + std::to_string(stats.shotsFired);
    json += ",\"shotsHit\":" + std::to_string(stats.shotsHit);
    json += ",\"headshots\":" + std::to_string(stats.headshots);
    json += ",\"playSeconds\":" + std::to_string(WholeSeconds(stats.playSeconds));
    json += "},\"settings\":{\"locale\":\"";
    json += LocaleText(locale);
    json += "\",\"renderer\":\"";
    json += renderer == renderer::RenderBackendKind::Vulkan       ? "vulkan"
            : renderer == renderer::RenderBackendKind::Direct3D11 ? "d3d11"
                                                                   : "auto";
    // std::to_string of a non-finite volume ("nan", "inf") would not be a JSON number.
    const float volume = std::isfinite(masterVolume) ? masterVolume : 0.0f;
    json += "\",\"masterVolume\":" + std::to_string(volume);
    json += ",\"controlBindings\":{\"crouch\":\"C\",\"reload\":\"R\",\"ads\":\"RMB\",\"fireMode\":\"B\"}}}";
    return json;
}

void WipeField(std::unordered_map<std::string, std::wstring>& values, const std::string& key) {
    auth::Wipe(values[key]);
}

}  // namespace tarvo::ui
