#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "asset_test_support.h"
#include "presentation/imported_weapon_asset.h"
#include "presentation/weapon_meshes.h"

namespace tarvo::presentation {
namespace {

using testing::BuildWeaponFile;
using testing::TempFolder;
using testing::WriteBytes;

std::wstring LoadStatus(const std::vector<uint8_t>& bytes, bool* loaded = nullptr) {
    TempFolder temp;
    WriteBytes(temp / L"w.tarvoweapon", bytes);
    ImportedWeaponAsset asset;
    const bool ok = asset.Load(temp / L"w.tarvoweapon");
    if (loaded != nullptr) {
        *loaded = ok;
    }
    if (!ok) {
        EXPECT_FALSE(asset.Ready());
        EXPECT_TRUE(asset.Vertices().empty());
        EXPECT_TRUE(asset.SourceHashHex().empty());
    }
    return asset.Status();
}

const std::wstring kInvalid = L"OWNED RIFLE RUNTIME ASSET INVALID";
const std::wstring kTruncated = L"OWNED RIFLE RUNTIME ASSET TRUNCATED";
const std::wstring kReady = L"OWNED LEGACY ASSAULT RIFLE READY";

TEST(WeaponAssetReader, VertexCountRange) {
    bool loaded = false;
    EXPECT_EQ(LoadStatus(BuildWeaponFile(3), &loaded), kReady);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(LoadStatus(BuildWeaponFile(300000), &loaded), kReady);
    EXPECT_TRUE(loaded);
    for (const uint32_t bad : {0u, 2u, 4u, 300003u}) {
        EXPECT_EQ(LoadStatus(BuildWeaponFile(bad)), kInvalid) << bad;
    }
}

TEST(WeaponAssetReader, HeaderRefusals) {
    EXPECT_EQ(LoadStatus(BuildWeaponFile(3, "TRVWPN02")), kInvalid);
    EXPECT_EQ(LoadStatus(BuildWeaponFile(3, "trvwpn01")), kInvalid);
    EXPECT_EQ(LoadStatus(BuildWeaponFile(3, "TRVWPN01", 2)), kInvalid);
    EXPECT_EQ(LoadStatus({'T', 'R', 'V'}), kInvalid);
    TempFolder temp;
    ImportedWeaponAsset asset;
    EXPECT_EQ(asset.Status(), L"NOT LOADED");
    EXPECT_FALSE(asset.Load(temp / L"absent.tarvoweapon"));
    EXPECT_EQ(asset.Status(), L"OWNED RIFLE RUNTIME ASSET MISSING");
}

TEST(WeaponAssetReader, BodyRefusals) {
    auto bytes = BuildWeaponFile(6);
    bytes.pop_back();  // last vertex one byte short
    EXPECT_EQ(LoadStatus(bytes), kTruncated);
    auto shortHash = BuildWeaponFile(3);
    shortHash.resize(40);
    EXPECT_EQ(LoadStatus(shortHash), kTruncated);
    // A count far beyond the file's bytes is refused without sizing the list for it.
    EXPECT_EQ(LoadStatus(BuildWeaponFile(3, "TRVWPN01", 1, 299997u)), kTruncated);
    auto nanColour = BuildWeaponFile(9);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(nanColour.data() + 48 + 24 * 7 + 16, &nan, 4);
    EXPECT_EQ(LoadStatus(nanColour), kTruncated);
    auto trailing = BuildWeaponFile(3);
    trailing.insert(trailing.end(), 17, 0xEE);  // bytes after the last vertex are ignored
    EXPECT_EQ(LoadStatus(trailing), kReady);
}

TEST(WeaponAssetReader, LoadedContent) {
    TempFolder temp;
    WriteBytes(temp / L"w.tarvoweapon", BuildWeaponFile(36));
    ImportedWeaponAsset asset;
    EXPECT_EQ(asset.TriangleCount(), 0u);
    ASSERT_TRUE(asset.Load(temp / L"w.tarvoweapon"));
    EXPECT_EQ(asset.TriangleCount(), 12u);
    EXPECT_EQ(asset.Vertices()[35].position.x, 35.0f);
    EXPECT_EQ(asset.SourceHashHex(), "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F");
    asset.Reset();
    EXPECT_FALSE(asset.Ready());
    EXPECT_EQ(asset.Status(), L"NOT LOADED");
    EXPECT_TRUE(asset.SourceHashHex().empty());
}

TEST(WeaponAssetShipped, RifleLoadsInTheRifleLocalFrame) {
    const auto path = DiscoverLegacyRifleRuntimeAsset();
    ASSERT_TRUE(std::filesystem::exists(path)) << path.string();
    ImportedWeaponAsset asset;
    ASSERT_TRUE(asset.Load(path));
    EXPECT_EQ(asset.Status(), kReady);
    EXPECT_EQ(asset.SourceHashHex().size(), 64u);
    gameplay::Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    bool wood = false, metal = false;
    for (const auto& v : asset.Vertices()) {
        lo = {std::min(lo.x, v.position.x), std::min(lo.y, v.position.y), std::min(lo.z, v.position.z)};
        hi = {std::max(hi.x, v.position.x), std::max(hi.y, v.position.y), std::max(hi.z, v.position.z)};
        const auto c = v.color;
        (c.r > 1.08f * c.g && c.g > 1.04f * c.b ? wood : metal) = true;
    }
    // Barrel toward +x, stock toward -x, thin sideways, both grips inside the body.
    EXPECT_GT(hi.x, 0.45f);
    EXPECT_LT(lo.x, -0.45f);
    EXPECT_LT(hi.z - lo.z, 0.12f);
    EXPECT_LT(lo.y, RifleTriggerGrip.y - 0.03f);
    EXPECT_GT(hi.y, RifleSupportGrip.y + 0.03f);
    EXPECT_TRUE(wood);
    EXPECT_TRUE(metal);
}

}  // namespace
}  // namespace tarvo::presentation
