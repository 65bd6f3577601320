#pragma once
// World pieces both backends' frame builders draw alike: the arena palette, the
// capture-point marker, a bot's animation clip and the rifle held in its hands.

#include <span>

#include "gameplay/scene_primitive.h"
#include "gameplay/training_simulation.h"
#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/frame_geometry.h"
#include "renderer/render_overlay.h"

namespace tarvo::renderer {

// Colour of an arena box by map and kind (covers on map 0 keep only their hue family).
gameplay::Color3 ArenaColour(int map, const gameplay::ScenePrimitive& primitive);

// The active capture point: an unlit 40-segment ring on the floor and a lit cube
// spinning at 45 degrees a second above it, coloured by the owning team.
void AppendCapturePoint(FrameBuilder& builder, int map, const RenderOverlay& overlay);

// Animation clip and time from a bot's horizontal speed: idle, walk or run.
struct BotClip {
    const char* name;
    float time;
};
BotClip BotAnimation(const gameplay::Bot& bot);

// Where a bot's hands hold its rifle: the character's attachment pose at that clip
// time, or the attachment's fixed grip with the support hand ahead of it.
struct RifleHold {
    gameplay::Vec3 grip;
    gameplay::Vec3 support;
    gameplay::Vec3 muzzle;
};
RifleHold BotRifleHold(const gameplay::Bot& bot, const presentation::ImportedCharacterAsset& character,
                       const BotClip& clip);

// A rifle-local triangle list placed in the hands, unlit in its own colours.
void AppendHeldMesh(FrameBuilder& builder, std::span<const presentation::ImportedWeaponVertex> mesh,
                    const RifleHold& hold);

}  // namespace tarvo::renderer
