#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <string_view>

#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"
#include "presentation/visual_definitions.h"

namespace tarvo::presentation {
namespace {

bool EndsWith(const std::filesystem::path& path, const std::filesystem::path& tail) {
    const std::string p = path.generic_string(), t = tail.generic_string();
    return p.size() >= t.size() && p.compare(p.size() - t.size(), t.size(), t) == 0;
}

// The imported assets' "runtime://" URIs name the files the loaders read, by their place
// below the assets and runtime folders; the built ones are "procedural://". The rifle
// attaches to the imported character's skeleton; both characters share one body.
TEST(VisualDefinitions, RecordsNameTheShippedFilesAndFitTogether) {
    const CharacterDefinition& proxy = TrainingProxyCharacter();
    const CharacterDefinition& biped = RozizodivoCharacter();
    const CharacterWeaponAttachmentDefinition& attachment = RozizodivoRifleAttachment();
    const auto place = [](const std::string& uri) {
        EXPECT_EQ(uri.rfind("runtime://", 0), 0u) << uri;
        return std::filesystem::path("assets") / "runtime" / uri.substr(std::string_view("runtime://").size());
    };
    for (const auto& [uri, file] : {std::pair{biped.assetUri, DiscoverRozizodivoRuntimeAsset()},
                                    std::pair{PrototypeRifle().assetUri, DiscoverLegacyRifleRuntimeAsset()}}) {
        EXPECT_TRUE(EndsWith(file, place(uri))) << uri << " names " << file.generic_string();
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file.generic_string();
    }
    EXPECT_EQ(proxy.assetUri.rfind("procedural://", 0), 0u);
    EXPECT_EQ(Ze001Presentation().arenaUri.rfind("procedural://", 0), 0u);
    EXPECT_EQ(attachment.skeletonId, biped.skeletonId);
    EXPECT_EQ(proxy.collisionId, biped.collisionId);
    EXPECT_EQ(proxy.hitboxId, biped.hitboxId);

    EXPECT_TRUE(IsValid(proxy));
    EXPECT_TRUE(IsValid(biped));
    EXPECT_TRUE(IsValid(PrototypeRifle()));
    EXPECT_TRUE(IsValid(attachment));
    EXPECT_TRUE(IsValid(Ze001Presentation()));
    EXPECT_EQ(&RozizodivoCharacter(), &biped);
    EXPECT_EQ(&RozizodivoRifleAttachment(), &attachment);
}

TEST(VisualDefinitions, EmptyFieldsAndBadOffsetsFail) {
    CharacterDefinition character = RozizodivoCharacter();
    character.hitboxId.clear();
    EXPECT_FALSE(IsValid(character));
    WeaponDefinition weapon = PrototypeRifle();
    weapon.audioId.clear();
    EXPECT_FALSE(IsValid(weapon));
    ArenaPresentationDefinition arena = Ze001Presentation();
    arena.signageId.clear();
    EXPECT_FALSE(IsValid(arena));

    CharacterWeaponAttachmentDefinition attachment = RozizodivoRifleAttachment();
    attachment.socketOffset.y = 0.0f;
    EXPECT_FALSE(IsValid(attachment));
    attachment = RozizodivoRifleAttachment();
    attachment.socketOffset.w = -1.0f;
    EXPECT_FALSE(IsValid(attachment));
    attachment = RozizodivoRifleAttachment();
    attachment.socketOffset.w = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(IsValid(attachment));
    attachment = RozizodivoRifleAttachment();
    attachment.socketOffset.x = -0.5f;
    attachment.socketOffset.z = -0.5f;
    EXPECT_TRUE(IsValid(attachment));
    attachment.muzzleSocket.clear();
    EXPECT_FALSE(IsValid(attachment));
}

}  // namespace
}  // namespace tarvo::presentation
