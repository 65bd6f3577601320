#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

#include "auth/secure_storage.h"
#include "player/local_player_data_store.h"
#include "support/temp_folder.h"

using namespace tarvo::player;
using tarvo::testing::ReadBytes;
using tarvo::testing::TempDataRoot;
using tarvo::testing::WriteBytes;

namespace {

LocalPlayerData SampleProfile(const wchar_t* key) {
    LocalPlayerData p = LocalPlayerDataStore::Defaults(key, L"Іван \"Сокіл\"");
    p.identity.rankLabel = L"GOLD";
    p.identity.level = 17;
    p.avatar.imagePath = L"C:\\avatars\\a.png";
    p.avatar.avatarId = L"av-9";
    p.avatar.customImage = true;
    p.inventory.items.push_back({.id = L"charm.bolt", .category = InventoryCategory::Charms, .nameUk = L"БЛИСКАВКА",
                                 .nameEn = L"BOLT",
                                 .status = static_cast<InventoryStatus>(9),  // unknown statuses survive a round trip
                                 .previewPath = L"inventory/bolt.png"});
    p.botStats = {};
    p.botStats.trainingsStarted = 5;
    p.botStats.trainingsCompleted = 4;
    p.botStats.kills = 40;
    p.botStats.deaths = 7;
    p.botStats.shotsFired = 900;
    p.botStats.shotsHit = 300;
    p.botStats.headshots = 12;
    p.botStats.playSeconds = 3599.9;
    return p;
}

void ExpectSameItem(const InventoryItem& x, const InventoryItem& y) {
    EXPECT_EQ(x.id, y.id);
    EXPECT_EQ(x.category, y.category);
    EXPECT_EQ(x.nameUk, y.nameUk);
    EXPECT_EQ(x.nameEn, y.nameEn);
    EXPECT_EQ(x.typeLabelUk, y.typeLabelUk);
    EXPECT_EQ(x.typeLabelEn, y.typeLabelEn);
    EXPECT_EQ(x.status, y.status);
    EXPECT_EQ(x.detailUk, y.detailUk);
    EXPECT_EQ(x.detailEn, y.detailEn);
    EXPECT_EQ(x.previewPath, y.previewPath);
}

void ExpectSame(const LocalPlayerData& a, const LocalPlayerData& b) {
    EXPECT_EQ(a.identity.playerKey, b.identity.playerKey);
    EXPECT_EQ(a.identity.displayName, b.identity.displayName);
    EXPECT_EQ(a.identity.rankLabel, b.identity.rankLabel);
    EXPECT_EQ(a.identity.level, b.identity.level);
    EXPECT_EQ(a.avatar.imagePath, b.avatar.imagePath);
    EXPECT_EQ(a.avatar.avatarId, b.avatar.avatarId);
    EXPECT_EQ(a.avatar.customImage, b.avatar.customImage);
    EXPECT_EQ(a.equipped.weaponId, b.equipped.weaponId);
    EXPECT_EQ(a.equipped.characterId, b.equipped.characterId);
    ASSERT_EQ(a.inventory.items.size(), b.inventory.items.size());
    for (std::size_t i = 0; i < a.inventory.items.size(); ++i) {
        ExpectSameItem(a.inventory.items[i], b.inventory.items[i]);
    }
    EXPECT_EQ(0, std::memcmp(&a.botStats, &b.botStats, sizeof(BotStats)));
}

void ExpectDefaults(const LocalPlayerData& p, const wchar_t* key, const wchar_t* name) {
    EXPECT_EQ(p.identity.playerKey, key);
    EXPECT_EQ(p.identity.displayName, name);
    EXPECT_EQ(p.inventory.items.size(), 2u);
    EXPECT_EQ(p.botStats.kills, 0u);
    EXPECT_FALSE(p.avatar.customImage);
}

}  // namespace

TEST(BotStats, RatiosAndSharedCounterNames) {
    BotStats s;
    EXPECT_EQ(sizeof(BotStats), 64u);
    EXPECT_EQ(s.AccuracyPercent(), 0.0);
    EXPECT_EQ(s.KillDeathRatio(), 0.0);
    s.shots = 8;
    s.hits = 3;
    EXPECT_DOUBLE_EQ(s.AccuracyPercent(), 37.5);
    EXPECT_EQ(s.shotsFired, 8u);  // the gameplay names reach the same counters
    EXPECT_EQ(s.shotsHit, 3u);
    s.shotsFired = 3;
    s.shotsHit = 2;
    EXPECT_NEAR(s.AccuracyPercent(), 66.6667, 1e-4);
    s.kills = 7;
    EXPECT_DOUBLE_EQ(s.KillDeathRatio(), 7.0);  // no deaths count as one
    s.deaths = 2;
    EXPECT_DOUBLE_EQ(s.KillDeathRatio(), 3.5);
    s.shots = 0xFFFFFFFFFFFFFFFFull;
    s.hits = 0xFFFFFFFFFFFFFFFFull;
    EXPECT_DOUBLE_EQ(s.AccuracyPercent(), 100.0);
}

TEST(InventoryStatusLabel, BothLanguagesAndUnknownValues) {
    for (const auto& [status, english, ukrainian] :
         {std::tuple{InventoryStatus::Owned, L"OWNED", L"У ВЛАСНОСТІ"},
          {InventoryStatus::Equipped, L"EQUIPPED", L"ЕКІПІРОВАНО"}, {InventoryStatus::Active, L"ACTIVE", L"АКТИВНО"},
          {InventoryStatus::Prototype, L"PROTOTYPE", L"PROTOTYPE"},
          {InventoryStatus::Locked, L"LOCKED", L"ЗАБЛОКОВАНО"}}) {
        EXPECT_EQ(InventoryStatusLabel(status, true), english);
        EXPECT_EQ(InventoryStatusLabel(status, false), ukrainian);
    }
    EXPECT_EQ(InventoryStatusLabel(static_cast<InventoryStatus>(5), false), L"OWNED");
    EXPECT_EQ(InventoryStatusLabel(static_cast<InventoryStatus>(0xFFFFFFFF), true), L"OWNED");
}

TEST(PlayerDefaults, TwoEquippedDefaultItemsAndZeroStats) {
    LocalPlayerData p = LocalPlayerDataStore::Defaults(L"LOCAL", L"LOCAL_OPERATOR");
    ExpectDefaults(p, L"LOCAL", L"LOCAL_OPERATOR");
    EXPECT_EQ(p.identity.rankLabel, L"UNRANKED");
    EXPECT_EQ(p.identity.level, 1u);
    EXPECT_TRUE(p.avatar.imagePath.empty());
    EXPECT_EQ(p.botStats.playSeconds, 0.0);

    auto weapons = p.inventory.InCategory(InventoryCategory::Weapons);
    ASSERT_EQ(weapons.size(), 1u);
    const InventoryItem& rifle = *weapons[0];
    ExpectSameItem(rifle, {L"weapon.legacy_assault_rifle", InventoryCategory::Weapons, L"ШТУРМОВА ГВИНТІВКА",
                           L"ASSAULT RIFLE", L"ЗБРОЯ", L"WEAPON", InventoryStatus::Equipped,
                           L"30 / 120 • ЛОКАЛЬНИЙ PROTOTYPE", L"30 / 120 • LOCAL PROTOTYPE",
                           L"inventory/rifle-preview.png"});

    auto characters = p.inventory.InCategory(InventoryCategory::Characters);
    ASSERT_EQ(characters.size(), 1u);
    const InventoryItem& hero = *characters[0];
    ExpectSameItem(hero, {L"character.rozizodivo_biped.004", InventoryCategory::Characters, L"ROZIZODIVO",
                          L"ROZIZODIVO", L"ПЕРСОНАЖ", L"CHARACTER", InventoryStatus::Equipped,
                          L"TEXTURED • 4K • LOD0 80K", L"TEXTURED • 4K • LOD0 80K",
                          L"inventory/rozizodivo-preview.png"});

    for (auto c : {InventoryCategory::Gloves, InventoryCategory::Stickers, InventoryCategory::Charms,
                   InventoryCategory::Other}) {
        EXPECT_TRUE(p.inventory.InCategory(c).empty());
    }
    EXPECT_EQ(p.equipped.weaponId, rifle.id);
    EXPECT_EQ(p.equipped.characterId, hero.id);
}

TEST(PlayerInventory, InCategoryKeepsStoredOrder) {
    OwnedInventoryItems owned;
    for (const wchar_t* id : {L"w1", L"c1", L"w2", L"w3"}) {
        InventoryItem item;
        item.id = id;
        item.category = id[0] == L'w' ? InventoryCategory::Weapons : InventoryCategory::Characters;
        owned.items.push_back(item);
    }
    auto weapons = owned.InCategory(InventoryCategory::Weapons);
    ASSERT_EQ(weapons.size(), 3u);
    EXPECT_EQ(std::tie(weapons[0]->id, weapons[1]->id, weapons[2]->id), std::tuple(L"w1", L"w2", L"w3"));
    EXPECT_EQ(weapons[1], &owned.items[2]);
}

class PlayerStoreTest : public ::testing::Test {
protected:
    TempDataRoot root;
    LocalPlayerDataStore store;
};

TEST_F(PlayerStoreTest, RoundTripsEveryField) {
    EXPECT_EQ(store.Path(), root.Path() / L"Profile" / L"player.dat");
    LocalPlayerData saved = SampleProfile(L"p-42");
    ASSERT_TRUE(store.Save(saved));
    EXPECT_EQ(ReadBytes(store.Path()).substr(0, 8), "TARVPL32");
    EXPECT_FALSE(std::filesystem::exists(store.Path().wstring() + L".tmp"));
    LocalPlayerData loaded = LocalPlayerDataStore().Load(L"p-42", L"ignored");
    ExpectSame(loaded, saved);
}

TEST_F(PlayerStoreTest, MissingProfileOrOtherAccountGivesDefaults) {
    ExpectDefaults(store.Load(L"p-1", L"Ann"), L"p-1", L"Ann");
    ASSERT_TRUE(store.Save(SampleProfile(L"p-42")));
    ExpectDefaults(store.Load(L"p-1", L"Ann"), L"p-1", L"Ann");
    ExpectDefaults(store.Load(L"P-42", L"Case"), L"P-42", L"Case");  // account ids match exactly
}

TEST_F(PlayerStoreTest, EachAccountKeepsItsOwnProfile) {
    LocalPlayerData local = SampleProfile(L"LOCAL");
    LocalPlayerData server = SampleProfile(L"p-42");
    server.botStats.kills = 99;
    ASSERT_TRUE(store.Save(local));
    ASSERT_TRUE(store.Save(server));
    server.botStats.kills = 100;  // saving again replaces, not duplicates
    ASSERT_TRUE(store.Save(server));
    EXPECT_EQ(store.Load(L"LOCAL", L"x").botStats.kills, 40u);
    EXPECT_EQ(store.Load(L"p-42", L"x").botStats.kills, 100u);
}

TEST_F(PlayerStoreTest, FilesWithNothingReadableGiveDefaultsAndAreKeptBesideOnSave) {
    ASSERT_TRUE(store.Save(SampleProfile(L"p-42")));
    const std::string good = ReadBytes(store.Path());
    std::vector<std::string> damaged = {"", "TARVPL32", good.substr(0, good.size() / 2)};
    for (std::size_t at : {std::size_t{3}, std::size_t{8}}) {  // magic, version
        std::string flipped = good;
        flipped[at] ^= 0x20;
        damaged.push_back(flipped);
    }
    for (const std::string& bytes : damaged) {
        WriteBytes(store.Path(), bytes);
        ExpectDefaults(store.Load(L"p-42", L"Fallback"), L"p-42", L"Fallback");
    }
    ASSERT_TRUE(store.Save(SampleProfile(L"p-7")));
    EXPECT_EQ(store.Load(L"p-7", L"x").botStats.kills, 40u);
    EXPECT_EQ(ReadBytes(store.Path().wstring() + L".damaged"), damaged.back());
}

TEST_F(PlayerStoreTest, ADamagedFileIsKeptBesideAndItsReadableProfilesGoOn) {
    const LocalPlayerData local = SampleProfile(L"LOCAL");
    LocalPlayerData other = SampleProfile(L"p-42");
    other.botStats.kills = 99;
    ASSERT_TRUE(store.Save(local));
    ASSERT_TRUE(store.Save(other));
    const std::string good = ReadBytes(store.Path());
    const std::filesystem::path kept = store.Path().wstring() + L".damaged";

    // One bit of the other account's kills (third of the last profile's 64 bytes of figures, before the
    // 32-byte digest), a file one byte short, and garbage appended.
    std::string flipped = good;
    flipped[good.size() - 32 - 64 + 16] ^= 0x01;
    for (const std::string& bytes : {flipped, good.substr(0, good.size() - 1), good + "\x01"}) {
        WriteBytes(store.Path(), bytes);
        LocalPlayerData mine = store.Load(L"LOCAL", L"x");
        ExpectSame(mine, local);
        mine.botStats.kills = 41;
        ASSERT_TRUE(store.Save(mine));
        EXPECT_EQ(ReadBytes(kept), bytes);  // the newest damaged file, byte for byte
        EXPECT_EQ(store.Load(L"LOCAL", L"x").botStats.kills, 41u);
        EXPECT_EQ(store.Load(L"p-42", L"x").botStats.kills, bytes == flipped ? 98u : 99u);
    }
    // Sound again: the next save keeps no copy.
    std::filesystem::remove(kept);
    ASSERT_TRUE(store.Save(local));
    EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST_F(PlayerStoreTest, WhatTheReaderWouldRefuseIsNeverWritten) {
    // A player id and a nickname over the reader's 65,536 bytes a text, cut whole (no half of a pair).
    const std::wstring longKey(40000, L'k');
    LocalPlayerData huge = SampleProfile(longKey.c_str());
    huge.identity.displayName = std::wstring(32767, L'n') + L"\U0001F600";
    huge.botStats.playSeconds = -1.0;
    ASSERT_TRUE(store.Save(huge));
    ASSERT_TRUE(store.Save(SampleProfile(L"LOCAL")));
    EXPECT_FALSE(std::filesystem::exists(store.Path().wstring() + L".damaged"));
    const LocalPlayerData loaded = store.Load(longKey, L"x");
    EXPECT_EQ(loaded.identity.playerKey, longKey.substr(0, 32768));
    EXPECT_EQ(loaded.identity.displayName, std::wstring(32767, L'n'));
    EXPECT_EQ(loaded.botStats.kills, 40u);
    EXPECT_EQ(loaded.botStats.playSeconds, 0.0);
}

TEST_F(PlayerStoreTest, SealedButImpossibleContentGivesDefaults) {
    auto sealed = [](std::string body) {
        EXPECT_TRUE(tarvo::auth::AppendDigest(body));
        return body;
    };
    auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    // A profile count far beyond the bytes present, and a string length beyond them.
    WriteBytes(store.Path(), sealed("TARVPL32" + u32(32) + u32(0xFFFFFFFF)));
    ExpectDefaults(store.Load(L"p", L"n"), L"p", L"n");
    WriteBytes(store.Path(), sealed("TARVPL32" + u32(32) + u32(1) + u32(0x7FFFFFFE)));
    ExpectDefaults(store.Load(L"p", L"n"), L"p", L"n");
    WriteBytes(store.Path(), sealed("TARVPL32" + u32(31) + u32(0)));
    ExpectDefaults(store.Load(L"p", L"n"), L"p", L"n");
    // An odd string length cannot be UTF-16.
    WriteBytes(store.Path(), sealed("TARVPL32" + u32(32) + u32(1) + u32(3) + "abc"));
    ExpectDefaults(store.Load(L"p", L"n"), L"p", L"n");

    // Negative or non-finite play time is damage too.
    ASSERT_TRUE(store.Save(SampleProfile(L"p")));
    const std::string good = ReadBytes(store.Path());
    for (const double seconds : {-1.0, std::nan("")}) {
        std::string body = good.substr(0, good.size() - 32);
        std::memcpy(body.data() + body.size() - 8, &seconds, 8);
        WriteBytes(store.Path(), sealed(body));
        ExpectDefaults(store.Load(L"p", L"n"), L"p", L"n");
    }
}

TEST_F(PlayerStoreTest, SaveFailureIsReported) {
    std::filesystem::create_directories(root.Path() / L"blocked" / L"player.dat" / L"child");
    LocalPlayerDataStore blocked(root.Path() / L"blocked" / L"player.dat");
    EXPECT_FALSE(blocked.Save(SampleProfile(L"p")));
}

class AvatarImportTest : public PlayerStoreTest {
protected:
    std::filesystem::path Source(const std::wstring& name, std::size_t bytes) {
        const std::filesystem::path path = root.Path() / L"source" / name;
        WriteBytes(path, std::string(bytes, '\x89'));
        return path;
    }
};

TEST_F(AvatarImportTest, CopiesAcceptedImagesAndSavesTheProfile) {
    struct Case {
        const wchar_t* name;
        const wchar_t* copy;
        std::size_t size;
    } cases[] = {
        {L"one.png", L"avatar.png", 1},
        {L"photo.JPG", L"avatar.jpg", 2048},
        {L"scan.jpeg", L"avatar.jpeg", 10 * 1024 * 1024},  // exactly 10 MiB
        {L"old.Bmp", L"avatar.bmp", 54},
    };
    for (const Case& c : cases) {
        LocalPlayerData profile = LocalPlayerDataStore::Defaults(L"p-1", L"Ann");
        std::filesystem::path source = Source(c.name, c.size);
        ASSERT_TRUE(store.ImportAvatar(profile, source)) << c.size;
        std::filesystem::path copy = store.ProfileFolder() / c.copy;
        EXPECT_EQ(profile.avatar.imagePath, copy.wstring());
        EXPECT_TRUE(profile.avatar.customImage);
        EXPECT_EQ(ReadBytes(copy), ReadBytes(source));
        LocalPlayerData stored = store.Load(L"p-1", L"x");
        EXPECT_EQ(stored.avatar.imagePath, copy.wstring());
        EXPECT_TRUE(stored.avatar.customImage);
    }
}

TEST_F(AvatarImportTest, RefusesWithoutTouchingTheProfile) {
    LocalPlayerData profile = LocalPlayerDataStore::Defaults(L"p-1", L"Ann");
    const std::filesystem::path refused[] = {
        Source(L"empty.png", 0),
        Source(L"huge.png", 10 * 1024 * 1024 + 1),
        Source(L"image.gif", 100),
        Source(L"noextension", 100),
        Source(L"trick.png.exe", 100),
        root.Path() / L"source" / L"missing.png",
    };
    std::filesystem::create_directories(root.Path() / L"source" / L"folder.png");
    for (const std::filesystem::path& path : refused) {
        EXPECT_FALSE(store.ImportAvatar(profile, path)) << path.string();
    }
    EXPECT_FALSE(store.ImportAvatar(profile, root.Path() / L"source" / L"folder.png"));
    EXPECT_FALSE(profile.avatar.customImage);
    EXPECT_TRUE(profile.avatar.imagePath.empty());
    EXPECT_FALSE(std::filesystem::exists(store.Path()));
}

TEST_F(AvatarImportTest, FailedSaveLeavesTheProfileUnchanged) {
    std::filesystem::create_directories(root.Path() / L"blocked" / L"player.dat" / L"child");
    LocalPlayerDataStore blocked(root.Path() / L"blocked" / L"player.dat");
    LocalPlayerData profile = LocalPlayerDataStore::Defaults(L"p-1", L"Ann");
    EXPECT_FALSE(blocked.ImportAvatar(profile, Source(L"a.png", 10)));
    EXPECT_FALSE(profile.avatar.customImage);
}
