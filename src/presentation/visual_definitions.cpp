#include "presentation/visual_definitions.h"

namespace tarvo::presentation {
namespace {

// Built by static initialisation in this order and destroyed in reverse at exit.
const CharacterDefinition kTrainingProxy{
    "character.training_proxy.003",
    "procedural://characters/training-mannequin-v2",
    "skeleton.humanoid.prototype",
    "collision.player_capsule.v1",
    "hitbox.training_humanoid.v1",
    "animation.proxy_combat.v1",
    "presentation.training-mannequin-fallback.v1",
};

const CharacterDefinition kRozizodivo{
    "character.rozizodivo_biped.004",
    "runtime://characters/rozizodivo_biped/rozizodivo_biped.tarvomesh",
    "skeleton.rozizodivo.armature.24j",
    "collision.player_capsule.v1",
    "hitbox.training_humanoid.v1",
    "animation.rozizodivo.idle-walk-run.v1",
    "presentation.rozizodivo.textured-hotfix.v2",
};

const WeaponDefinition kPrototypeRifle{
    "weapon.prototype_rifle",
    "runtime://weapons/legacy-assault-rifle.tarvoweapon",
    "muzzle.primary",
    "recoil.prototype_rifle.v1",
    "fire.hitscan_rifle.v1",
    "audio.owned-legacy-rifle.native-wav.v1",
};

const CharacterWeaponAttachmentDefinition kRozizodivoRifleAttachment{
    "attachment.rozizodivo.rifle.v1",
    "skeleton.rozizodivo.armature.24j",
    "RightHandWeaponSocket",
    "LeftHandSupportTarget",
    "MuzzleSocket",
    {0.28f, 1.2f, 0.08f, 0.92f},
};

const ArenaPresentationDefinition kZe001{
    "ZE001",
    "procedural://arenas/ze001-visual-redesign-v2",
    "materials.ze001.training-facility.v2",
    "lighting.ze001.tactical-hall.v2",
    "signage.ze001.sectors.v2",
};

}  // namespace

const CharacterDefinition& TrainingProxyCharacter() { return kTrainingProxy; }
const CharacterDefinition& RozizodivoCharacter() { return kRozizodivo; }
const WeaponDefinition& PrototypeRifle() { return kPrototypeRifle; }
const CharacterWeaponAttachmentDefinition& RozizodivoRifleAttachment() { return kRozizodivoRifleAttachment; }
const ArenaPresentationDefinition& Ze001Presentation() { return kZe001; }

bool IsValid(const CharacterDefinition& d) {
    return !d.id.empty() && !d.assetUri.empty() && !d.skeletonId.empty() && !d.collisionId.empty() &&
           !d.hitboxId.empty() && !d.animationSetId.empty() && !d.presentationId.empty();
}

bool IsValid(const WeaponDefinition& d) {
    return !d.id.empty() && !d.assetUri.empty() && !d.muzzleId.empty() && !d.recoilId.empty() && !d.fireId.empty() &&
           !d.audioId.empty();
}

bool IsValid(const CharacterWeaponAttachmentDefinition& d) {
    // Plain comparisons, so a NaN offset fails.
    return !d.id.empty() && !d.skeletonId.empty() && !d.weaponSocket.empty() && !d.supportTarget.empty() &&
           !d.muzzleSocket.empty() && d.socketOffset.y > 0.0f && d.socketOffset.w > 0.0f;
}

bool IsValid(const ArenaPresentationDefinition& d) {
    return !d.code.empty() && !d.arenaUri.empty() && !d.materialsId.empty() && !d.lightingId.empty() &&
           !d.signageId.empty();
}

}  // namespace tarvo::presentation
