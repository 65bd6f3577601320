#pragma once
// The local player profile: identity, avatar, owned inventory, equipped items and bot-training statistics.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::player {

enum class InventoryCategory : std::uint32_t { Weapons = 0, Characters = 1, Gloves = 2, Stickers = 3, Charms = 4, Other = 5 };

enum class InventoryStatus : std::uint32_t { Owned = 0, Equipped = 1, Active = 2, Prototype = 3, Locked = 4 };

// Badge text of a status; any value outside 0..4 reads "OWNED" in both languages.
std::wstring_view InventoryStatusLabel(InventoryStatus status, bool english);

struct InventoryItem {
    std::wstring id;
    InventoryCategory category = InventoryCategory::Other;
    std::wstring nameUk;
    std::wstring nameEn;
    std::wstring typeLabelUk;
    std::wstring typeLabelEn;
    InventoryStatus status = InventoryStatus::Owned;
    std::wstring detailUk;
    std::wstring detailEn;
    std::filesystem::path previewPath;  // relative to the UI assets folder
};

struct OwnedInventoryItems {
    std::vector<InventoryItem> items;  // stored order

    // The owned items of one category, in stored order; the pointers live as long as `items` is unchanged.
    std::vector<const InventoryItem*> InCategory(InventoryCategory category) const;
};

struct ProfileIdentity {
    std::wstring playerKey;  // the account id the profile belongs to ("LOCAL" without an account)
    std::wstring displayName;
    std::wstring rankLabel = L"UNRANKED";
    std::uint32_t level = 1;
};

struct ProfileAvatar {
    std::wstring imagePath;  // the imported copy in the profile folder; empty for the placeholder
    std::wstring avatarId;   // the account service's id of the uploaded avatar
    bool customImage = false;
};

struct EquippedItems {
    std::wstring weaponId;
    std::wstring characterId;
};

// Eight 8-byte values in file order. The gameplay code counts shotsFired/shotsHit; the screens call the same
// counters shots/hits, so each pair shares one storage.
struct BotStats {
    std::uint64_t trainingsStarted = 0;
    std::uint64_t trainingsCompleted = 0;
    std::uint64_t kills = 0;
    std::uint64_t deaths = 0;
    union {
        std::uint64_t shotsFired = 0;
        std::uint64_t shots;
    };
    union {
        std::uint64_t shotsHit = 0;
        std::uint64_t hits;
    };
    std::uint64_t headshots = 0;
    double playSeconds = 0.0;

    // hits * 100 / shots; 0 without shots.
    double AccuracyPercent() const;
    // kills / deaths, with no deaths counted as one.
    double KillDeathRatio() const;
};

struct LocalPlayerData {
    ProfileIdentity identity;
    ProfileAvatar avatar;
    OwnedInventoryItems inventory;
    EquippedItems equipped;
    BotStats botStats;
};

inline constexpr std::wstring_view kDefaultWeaponItemId = L"weapon.legacy_assault_rifle";
inline constexpr std::wstring_view kDefaultCharacterItemId = L"character.rozizodivo_biped.004";

}  // namespace tarvo::player
