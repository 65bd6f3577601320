#pragma once

#include <string>

namespace tarvo::presentation {

struct CharacterDefinition {
    std::string id;
    std::string assetUri;
    std::string skeletonId;
    std::string collisionId;
    std::string hitboxId;
    std::string animationSetId;
    std::string presentationId;
};

struct WeaponDefinition {
    std::string id;
    std::string assetUri;
    std::string muzzleId;
    std::string recoilId;
    std::string fireId;
    std::string audioId;
};

struct SocketOffset {
    float x = 0.0f;  // metres, character-local (y up, before the character's yaw)
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

struct CharacterWeaponAttachmentDefinition {
    std::string id;
    std::string skeletonId;
    std::string weaponSocket;
    std::string supportTarget;
    std::string muzzleSocket;
    SocketOffset socketOffset;  // where the weapon sits when the character has no attachment pose
};

struct ArenaPresentationDefinition {
    std::string code;
    std::string arenaUri;
    std::string materialsId;
    std::string lightingId;
    std::string signageId;
};

const CharacterDefinition& TrainingProxyCharacter();
const CharacterDefinition& RozizodivoCharacter();
const WeaponDefinition& PrototypeRifle();
const CharacterWeaponAttachmentDefinition& RozizodivoRifleAttachment();
const ArenaPresentationDefinition& Ze001Presentation();

// Record invariants: every string non-empty; the attachment also needs
// socketOffset.y > 0 and socketOffset.w > 0.
bool IsValid(const CharacterDefinition& definition);
bool IsValid(const WeaponDefinition& definition);
bool IsValid(const CharacterWeaponAttachmentDefinition& definition);
bool IsValid(const ArenaPresentationDefinition& definition);

}  // namespace tarvo::presentation
