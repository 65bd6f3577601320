#pragma once
// Pure pieces of the account flow that the request pump and the account commands
// share: applying a sync reply to the profile, the safe data of an account link,
// and wiping secret field texts.
#include <string>
#include <string_view>
#include <unordered_map>

#include "localization/localization.h"
#include "player/local_player_data.h"
#include "renderer/render_backend.h"

namespace tarvo::ui {

// "uk-UA" for Ukrainian, "en-US" otherwise.
const char* LocaleText(localization::Locale locale);

// Applies a sync reply: the nickname (unless empty or "NONE"), the avatar id (unless
// empty) and each bot statistic the reply carries; a figure it does not carry keeps
// the profile's value.
void ApplySyncReply(std::string_view body, player::LocalPlayerData& profile);

// The link upload's safe data: one line of JSON with the profile's inventory ids, its
// bot statistics and the shell's current settings.
std::string LinkSafeData(const player::LocalPlayerData& profile, localization::Locale locale,
                         renderer::RenderBackendKind renderer, float masterVolume);

// Overwrites a field's text with zeros before emptying it (password fields).
void WipeField(std::unordered_map<std::string, std::wstring>& values, const std::string& key);

}  // namespace tarvo::ui
