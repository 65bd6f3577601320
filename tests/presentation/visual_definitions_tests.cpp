#include <gtest/gtest.h>

#include <limits>

#include "presentation/visual_definitions.h"

namespace tarvo::presentation {
namespace {

TEST(VisualDefinitions, ShippedRecordsAreValidAndStable) {
    EXPECT_TRUE(IsValid(TrainingProxyCharacter()));
    EXPECT_TRUE(IsValid(RozizodivoCharacter()));
    EXPECT_TRUE(IsValid(PrototypeRifle()));
    EXPECT_TRUE(IsValid(RozizodivoRifleAttachment()));
    EXPECT_TRUE(IsValid(Ze001Presentation()));
    EXPECT_EQ(&RozizodivoCharacter(), &RozizodivoCharacter());
    EXPECT_EQ(&RozizodivoRifleAttachment(), &RozizodivoRifleAttachment());
    EXPECT_EQ(RozizodivoCharacter().assetUri, "runtime://characters/rozizodivo_biped/rozizodivo_biped.tarvomesh");
    EXPECT_EQ(PrototypeRifle().assetUri, "runtime://weapons/legacy-assault-rifle.tarvoweapon");
    EXPECT_EQ(TrainingProxyCharacter().id, "character.training_proxy.003");
    EXPECT_EQ(Ze001Presentation().code, "ZE001");
    const auto& offset = RozizodivoRifleAttachment().socketOffset;
    EXPECT_FLOAT_EQ(offset.x, 0.28f);
    EXPECT_FLOAT_EQ(offset.y, 1.2f);
    EXPECT_FLOAT_EQ(offset.z, 0.08f);
    EXPECT_FLOAT_EQ(offset.w, 0.92f);
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
