#pragma once
// The player profile file ("player.dat" in the "Profile" folder of the user state root). It keeps one profile
// per account id, so signing in with another account never overwrites the first one's profile.

#include <filesystem>
#include <string>
#include <string_view>

#include "player/local_player_data.h"

namespace tarvo::player {

class LocalPlayerDataStore {
public:
    // Empty path: "player.dat" in the "Profile" folder of the user state root.
    explicit LocalPlayerDataStore(std::filesystem::path path = {});

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path ProfileFolder() const { return path_.parent_path(); }

    // A fresh profile with the default inventory, both default items equipped and zero statistics.
    static LocalPlayerData Defaults(std::wstring playerKey, std::wstring displayName);

    // The stored profile of that account id; the default profile for that id and name when none is stored or the
    // file cannot be read. Never fails.
    LocalPlayerData Load(std::wstring_view accountId, std::wstring_view displayName) const;

    // Writes the profile atomically, keeping the stored profiles of other accounts; false on failure.
    bool Save(const LocalPlayerData& profile) const;

    // Copies a ".png", ".jpg", ".jpeg" or ".bmp" file of 1 byte to 10 MiB into the profile folder as "avatar"
    // plus its extension, points the profile's avatar at the copy with the custom-image flag set and saves the
    // profile. False, with the profile unchanged, when the file is refused, cannot be copied or the save fails.
    bool ImportAvatar(LocalPlayerData& profile, const std::filesystem::path& imagePath) const;

private:
    std::filesystem::path path_;
};

}  // namespace tarvo::player
