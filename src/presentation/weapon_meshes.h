#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gameplay/vec3.h"
#include "presentation/imported_weapon_asset.h"

namespace tarvo::presentation {

struct ArsenalEntry {
    const char* name;
    int32_t price;        // coins
    int32_t damage;
    int32_t magazine;
    const char* description;
};

// The three purchasable weapons of the online test mode, by weapon number (buy keys 1, 2, 3).
inline constexpr ArsenalEntry Arsenal[3] = {
    {"AK-47", 0, 34, 30, "ASSAULT / 30 ROUNDS"},
    {"VIRORA-9", 300, 22, 32, "SMG / 32 ROUNDS / FAST FIRE"},
    {"DMR-12", 600, 55, 12, "MARKSMAN / 12 ROUNDS"},
};

// Rifle-local frame: x along the barrel (muzzle toward +x), y up, z sideways.
inline constexpr gameplay::Vec3 RifleTriggerGrip{-0.2f, -0.012f, 0.0f};
inline constexpr gameplay::Vec3 RifleSupportGrip{0.18f, 0.065f, 0.0f};

// The triangle list of an arsenal weapon, lighting baked into the colours.
// Weapons 1 and 2 are procedural (rifle-local frame); any other number is weapon 0:
// the imported rifle restyled once into the game's palette, or the empty span
// unchanged when nothing was imported. Built once; valid until exit. UI thread only.
std::span<const ImportedWeaponVertex> ArsenalMesh(int weapon, std::span<const ImportedWeaponVertex> imported);

// World position of a rifle-local point for a rifle held with the trigger hand at
// `trigger` and the support hand at `support`; the grips map onto the hands. Pure.
gameplay::Vec3 HeldRiflePoint(gameplay::Vec3 local, gameplay::Vec3 trigger, gameplay::Vec3 support);

// Gloved first-person arms in the rifle-local frame, hands on the grips. Built once.
const std::vector<ImportedWeaponVertex>& FirstPersonGripArms();

// Building blocks, exposed for tests and tools.
void AppendShadedBox(std::vector<ImportedWeaponVertex>& out, gameplay::Vec3 center, gameplay::Vec3 size, gameplay::Color3 color);
void AppendTaperedSegment(std::vector<ImportedWeaponVertex>& out, gameplay::Vec3 a, gameplay::Vec3 b, float r0, float r1,
                          gameplay::Color3 color);
std::vector<ImportedWeaponVertex> RestyleImportedRifle(std::span<const ImportedWeaponVertex> imported);

}  // namespace tarvo::presentation
