#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "presentation/visual_definitions.h"

namespace tarvo::presentation {
namespace {

TEST(VisualDefinitions, ShippedRecordsAreValidAndStable) {
    const CharacterDefinition& proxy = TrainingProxyCharacter();
    const CharacterDefinition& biped = RozizodivoCharacter();
    const WeaponDefinition& rifle = PrototypeRifle();
    const CharacterWeaponAttachmentDefinition& attachment = RozizodivoRifleAttachment();
    const ArenaPresentationDefinition& arena = Ze001Presentation();
    using Strings = std::vector<std::string>;
    EXPECT_EQ((Strings{proxy.id, proxy.assetUri, proxy.skeletonId, proxy.collisionId, proxy.hitboxId,
                       proxy.animationSetId, proxy.presentationId}),
              (Strings{"character.training_proxy.003", "procedural://characters/training-mannequin-v2",
                       "skeleton.humanoid.prototype", "collision.player_capsule.v1", "hitbox.training_humanoid.v1",
                       "animation.proxy_combat.v1", "presentation.training-mannequin-fallback.v1"}));
    EXPECT_EQ((Strings{biped.id, biped.assetUri, biped.skeletonId, biped.collisionId, biped.hitboxId,
                       biped.animationSetId, biped.presentationId}),
              (Strings{"character.rozizodivo_biped.004",
                       "runtime://characters/rozizodivo_biped/rozizodivo_biped.tarvomesh",
                       "skeleton.rozizodivo.armature.24j", "collision.player_capsule.v1", "hitbox.training_humanoid.v1",
                       "animation.rozizodivo.idle-walk-run.v1", "presentation.rozizodivo.textured-hotfix.v2"}));
    EXPECT_EQ((Strings{rifle.id, rifle.assetUri, rifle.muzzleId, rifle.recoilId, rifle.fireId, rifle.audioId}),
              (Strings{"weapon.prototype_rifle", "runtime://weapons/legacy-assault-rifle.tarvoweapon", "muzzle.primary",
                       "recoil.prototype_rifle.v1", "fire.hitscan_rifle.v1", "audio.owned-legacy-rifle.native-wav.v1"}));
    EXPECT_EQ((Strings{attachment.id, attachment.skeletonId, attachment.weaponSocket, attachment.supportTarget,
                       attachment.muzzleSocket}),
              (Strings{"attachment.rozizodivo.rifle.v1", "skeleton.rozizodivo.armature.24j", "RightHandWeaponSocket",
                       "LeftHandSupportTarget", "MuzzleSocket"}));
    EXPECT_EQ((std::vector<float>{attachment.socketOffset.x, attachment.socketOffset.y, attachment.socketOffset.z,
                                  attachment.socketOffset.w}),
              (std::vector<float>{0.28f, 1.2f, 0.08f, 0.92f}));
    EXPECT_EQ((Strings{arena.code, arena.arenaUri, arena.materialsId, arena.lightingId, arena.signageId}),
              (Strings{"ZE001", "procedural://arenas/ze001-visual-redesign-v2", "materials.ze001.training-facility.v2",
                       "lighting.ze001.tactical-hall.v2", "signage.ze001.sectors.v2"}));
    EXPECT_TRUE(IsValid(proxy));
    EXPECT_TRUE(IsValid(biped));
    EXPECT_TRUE(IsValid(rifle));
    EXPECT_TRUE(IsValid(attachment));
    EXPECT_TRUE(IsValid(arena));
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
