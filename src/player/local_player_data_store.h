#pragma once
// The player profile file ("player.dat" in the "Profile" folder of the user state root). It keeps one profile
// per account id, so signing in with another account never overwrites the first one's profile.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "player/local_player_data.h"

namespace tarvo::player {

// Largest avatar side in pixels: a bigger image would cost its full decoded size at every paint.
inline constexpr std::uint32_t kMaxAvatarSide = 4096;

struct ImageSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The pixel size a PNG, JPEG or BMP header declares; nullopt when the bytes are none of these.
std::optional<ImageSize> ReadImageSize(std::string_view bytes);

class LocalPlayerDataStore {
public:
    // Empty path: "player.dat" in the "Profile" folder of the user state root.
    explicit LocalPlayerDataStore(std::filesystem::path path = {});

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path ProfileFolder() const { return path_.parent_path(); }

    // A fresh profile with the default inventory, both default items equipped and zero statistics.
    static LocalPlayerData Defaults(std::wstring playerKey, std::wstring displayName);

    // The stored profile of that account id; the default profile for that id and name when none is stored or
    // it cannot be read (of a damaged file, the profiles that still read whole count as stored). Never fails.
    LocalPlayerData Load(std::wstring_view accountId, std::wstring_view displayName) const;

    // Writes the profile atomically, keeping the stored profiles of other accounts; false on failure, also when
    // the file is there but cannot be read now. A damaged file is first kept as "player.dat.damaged" (logged
    // "PlayerDataDamaged"); the profiles that still read go on. Texts longer than the reader takes back are
    // cut to its limit, so the file always reads.
    bool Save(const LocalPlayerData& profile) const;

    // Copies a ".png", ".jpg", ".jpeg" or ".bmp" file of 1 byte to 10 MiB into the profile folder as "avatar"
    // plus its extension, points the profile's avatar at the copy with the custom-image flag set and saves the
    // profile. False, with the profile unchanged, when the file is refused (also an image whose header declares
    // more than kMaxAvatarSide pixels on a side), cannot be copied or the save fails.
    bool ImportAvatar(LocalPlayerData& profile, const std::filesystem::path& imagePath) const;

private:
    std::filesystem::path path_;
};

}  // namespace tarvo::player
