#include "presentation/scene_decorations.h"

#include <cmath>

namespace tarvo::presentation {
namespace {

using gameplay::Color3;
using gameplay::ScenePrimitive;
using gameplay::ScenePrimitiveKind;
using gameplay::ScenePrimitiveType;
using gameplay::Vec3;

constexpr Color3 kTeal{0.015f, 0.63f, 0.76f};
constexpr Color3 kOrange{0.9f, 0.32f, 0.035f};
constexpr Color3 kSteel{0.2f, 0.25f, 0.29f};
constexpr Color3 kDark{0.025f, 0.035f, 0.045f};

constexpr Color3 kRelayBlue{0.025f, 0.48f, 0.62f};
constexpr Color3 kRelayAmber{0.72f, 0.29f, 0.045f};
constexpr Color3 kTrim{0.18f, 0.21f, 0.23f};
constexpr Color3 kPanelColor{0.085f, 0.11f, 0.13f};
constexpr Color3 kShadow{0.018f, 0.025f, 0.032f};

constexpr int kMaxSlatsPerSide = 1024;

// Decorations are visual only: never solid, always drawn as plain wall boxes.
void Add(std::vector<ScenePrimitive>& out, Vec3 center, Vec3 size, Color3 color) {
    ScenePrimitive box;
    box.type = ScenePrimitiveType::Box;
    box.center = center;
    box.size = size;
    box.color = color;
    box.solid = false;
    box.kind = ScenePrimitiveKind::Wall;
    out.push_back(box);
}

void AddCoverDressing(std::vector<ScenePrimitive>& out, const ScenePrimitive& cover, Color3 accent) {
    const Vec3 c = cover.center;
    const Vec3 s = cover.size;
    Add(out, c + Vec3{0.0f, 0.5f * s.y - 0.035f, 0.0f}, {0.96f * s.x, 0.06f, 0.96f * s.z}, kSteel);
    for (const float side : {-1.0f, 1.0f}) {
        Add(out, c + Vec3{(0.5f * s.x - 0.025f) * side, 0.0f, 0.0f}, {0.055f, 0.92f * s.y, 0.94f * s.z}, kDark);
        Add(out, c + Vec3{0.0f, 0.3f * s.y, (0.5f * s.z + 0.005f) * side}, {0.85f * s.x, 0.07f, 0.025f}, accent);
        const float limit = 0.35f * s.z;
        // A valid arena's longest cover takes about 180 slats a side; the count guards a box from
        // elsewhere so large that adding 0.5 no longer moves t.
        int slats = 0;
        for (float t = -0.35f * s.z; t <= limit && slats < kMaxSlatsPerSide; t += 0.5f, ++slats) {
            Add(out, c + Vec3{(0.5f * s.x + 0.005f) * side, 0.0f, t}, {0.025f, 0.8f * s.y, 0.06f}, kSteel);
        }
    }
}

void AddCeilingSet(std::vector<ScenePrimitive>& out) {
    Add(out, {0.0f, 8.5f, 0.0f}, {63.0f, 0.3f, 83.0f}, kDark);
    for (int z = -36; z <= 36; z += 9) {
        Add(out, {0.0f, 7.7f, static_cast<float>(z)}, {63.0f, 0.3f, 0.35f}, kSteel);
        Add(out, {0.0f, 7.48f, static_cast<float>(z)}, {18.0f, 0.08f, 0.18f}, kOrange);
    }
    for (const float x : {-27.0f, 27.0f}) {
        Add(out, {x, 6.4f, 0.0f}, {1.2f, 0.9f, 80.0f}, kSteel);
        Add(out, {x, 5.92f, 0.0f}, {0.08f, 0.06f, 77.0f}, kOrange);
    }
    for (const float z : {-4.51f, 4.51f}) {
        for (float x = -3.5f; x <= 3.5f; x += 0.7f) {
            Add(out, {x, 1.5f, z}, {0.15f, 2.3f, 0.05f}, kOrange);
        }
    }
}

void AddSkylineSet(std::vector<ScenePrimitive>& out) {
    for (const float side : {-1.0f, 1.0f}) {
        const float x = 31.8f * side;
        for (int z = -40; z <= 40; z += 5) {
            Add(out, {x, 1.8f, static_cast<float>(z)}, {0.12f, 1.8f, 0.12f}, kSteel);
            Add(out, {x, 2.64f, static_cast<float>(z)}, {0.1f, 0.1f, 4.9f}, kTeal);
        }
    }
    for (int i = 0; i < 12; ++i) {
        const int r = i % 3;
        float x = static_cast<float>(42 + 7 * r);
        if (i % 2 == 0) {
            x = -x;
        }
        const float z = static_cast<float>(9 * i - 48);
        const int height = 16 + (7 * i) % 29;
        const float h = static_cast<float>(height);
        Add(out, {x, 0.5f * h, z}, {9.0f, h, 10.0f}, kDark);
        Add(out, {x, h, z}, {9.3f, 0.2f, 10.3f}, kSteel);
        const float wx = x <= 0.0f ? x + 4.51f : x - 4.51f;
        const Color3 glass = r == 0 ? Color3{0.42f, 0.24f, 0.1f} : Color3{0.08f, 0.24f, 0.32f};
        for (int y = 5; y < height - 1; y += 3) {
            Add(out, {wx, static_cast<float>(y), z - 3.0f}, {0.06f, 0.8f, 1.3f}, glass);
            Add(out, {wx, static_cast<float>(y), z + 3.0f}, {0.06f, 0.8f, 1.3f}, glass);
        }
    }
    Add(out, {0.0f, 1.4f, -41.5f}, {58.0f, 0.08f, 0.08f}, kTeal);
    Add(out, {0.0f, 1.4f, 41.5f}, {58.0f, 0.08f, 0.08f}, kTeal);
}

std::vector<ScenePrimitive> BuildRelay() {
    std::vector<ScenePrimitive> out;
    out.reserve(1352);
    // 1. Floor tiles with a checker of two shades and a marker each.
    for (int x = -28; x <= 28; x += 4) {
        for (int z = -38; z <= 38; z += 4) {
            const bool dark = (x + z) % 8 == 0;
            const float fx = static_cast<float>(x);
            const float fz = static_cast<float>(z);
            Add(out, {fx, 0.009f, fz}, {3.94f, 0.012f, 3.94f},
                dark ? Color3{0.036f, 0.047f, 0.055f} : Color3{0.029f, 0.04f, 0.048f});
            Add(out, {fx - 1.9f, 0.018f, fz - 1.7f}, {0.03f, 0.018f, 0.3f}, kTrim);
        }
    }
    // 2. Side walls.
    for (const float side : {-1.0f, 1.0f}) {
        const Color3 accent = side < 0.0f ? kRelayBlue : kRelayAmber;
        for (int z = -36; z <= 36; z += 6) {
            const float fz = static_cast<float>(z);
            const Color3 panel = z % 12 == 0 ? Color3{0.052f, 0.073f, 0.092f} : Color3{0.072f, 0.1f, 0.13f};
            Add(out, {31.43f * side, 2.65f, fz}, {0.08f, 4.9f, 5.8f}, panel);
            Add(out, {31.34f * side, 0.35f, fz}, {0.12f, 0.4f, 5.82f}, kPanelColor);
            Add(out, {31.34f * side, 4.9f, fz}, {0.12f, 0.12f, 5.82f}, kTrim);
            Add(out, {31.28f * side, 3.9f, fz}, {0.14f, 0.08f, 3.4f}, accent);
            for (float y = 1.0f; y <= 3.0f; y += 0.3f) {
                Add(out, {31.25f * side, y, fz}, {0.16f, 0.045f, 1.5f}, kShadow);
            }
        }
    }
    // 3. End walls.
    for (int x = -27; x <= 27; x += 6) {
        const float fx = static_cast<float>(x);
        for (const float side : {-1.0f, 1.0f}) {
            const Color3 accent = side < 0.0f ? kRelayBlue : kRelayAmber;
            Add(out, {fx, 2.5f, 41.42f * side}, {5.8f, 4.9f, 0.08f}, kPanelColor);
            Add(out, {fx, 3.7f, 41.3f * side}, {4.6f, 0.12f, 0.16f}, accent);
            for (float d = -1.5f; d <= 1.5f; d += 0.3f) {
                Add(out, {fx + d, 1.7f, 41.22f * side}, {0.045f, 1.4f, 0.08f}, kTrim);
            }
        }
    }
    // 4, 5. Lane marks.
    for (int z = -34; z <= 34; z += 2) {
        Add(out, {-10.0f, 0.025f, static_cast<float>(z)}, {0.11f, 0.025f, 1.4f}, kRelayBlue);
    }
    for (int z = -34; z <= 34; z += 2) {
        Add(out, {10.0f, 0.025f, static_cast<float>(z)}, {0.11f, 0.025f, 1.4f}, kRelayAmber);
    }
    // 6, 7. Start stripes.
    for (const float z : {-37.0f, 37.0f}) {
        for (int i = 0; i < 12; ++i) {
            Add(out, {static_cast<float>(i) - 5.5f, 0.03f, z}, {0.54f, 0.03f, 0.28f}, i % 2 == 0 ? kRelayAmber : kShadow);
        }
    }
    // 8. Centre screens.
    for (float x = -3.3f; x <= 3.3f; x += 1.1f) {
        Add(out, {x, 1.22f, -2.52f}, {0.95f, 1.9f, 0.07f}, kShadow);
        Add(out, {x, 1.22f, 2.52f}, {0.95f, 1.9f, 0.07f}, kShadow);
        for (float y = 0.6f; y < 1.9f; y += 0.22f) {
            Add(out, {x, y, -2.57f}, {0.72f, 0.075f, 0.045f}, kRelayBlue);
            Add(out, {x, y, 2.57f}, {0.72f, 0.075f, 0.045f}, kRelayAmber);
        }
    }
    // 9. Canopy.
    Add(out, {0.0f, 2.34f, 0.0f}, {8.05f, 0.07f, 5.05f}, kTrim);
    // 10. Roof beams and lights.
    for (int z = -36; z <= 36; z += 9) {
        const float fz = static_cast<float>(z);
        Add(out, {0.0f, 5.85f, fz}, {60.0f, 0.13f, 0.18f}, kPanelColor);
        Add(out, {-18.0f, 5.76f, fz}, {7.0f, 0.07f, 0.24f}, {0.45f, 0.65f, 0.72f});
        Add(out, {18.0f, 5.76f, fz}, {7.0f, 0.07f, 0.24f}, {0.72f, 0.48f, 0.24f});
    }
    return out;
}

}  // namespace

std::vector<ScenePrimitive> BuildDerivedDecorations(int map, std::span<const ScenePrimitive> arena) {
    const bool foundry = map == 1;
    const Color3 accent = foundry ? kOrange : kTeal;
    std::vector<ScenePrimitive> out;
    out.reserve(800);
    for (const ScenePrimitive& box : arena) {
        if (box.kind == ScenePrimitiveKind::Cover) {
            AddCoverDressing(out, box, accent);
        }
    }
    const Color3 tile = foundry ? Color3{0.1f, 0.115f, 0.12f} : Color3{0.09f, 0.13f, 0.18f};
    for (int x = -28; x <= 28; x += 4) {
        for (int z = -38; z <= 38; z += 4) {
            const float fx = static_cast<float>(x);
            const float fz = static_cast<float>(z);
            Add(out, {fx, 0.012f, fz}, {3.94f, 0.018f, 3.94f}, tile);
            Add(out, {fx - 1.75f, 0.026f, fz - 1.75f}, {0.04f, 0.012f, 0.24f}, kSteel);
        }
    }
    for (const float x : {-29.0f, 29.0f}) {
        for (int z = -37; z <= 35; z += 4) {
            Add(out, {x, 0.03f, static_cast<float>(z)}, {0.15f, 0.025f, 2.0f}, accent);
        }
    }
    if (foundry) {
        AddCeilingSet(out);
    } else {
        AddSkylineSet(out);
    }
    return out;
}

const std::vector<ScenePrimitive>& RelayDecorations() {
    static const std::vector<ScenePrimitive> props = BuildRelay();
    return props;
}

const std::vector<ScenePrimitive>& MapDecorations(int map, std::span<const ScenePrimitive> arena) {
    if (map == 0) {
        return RelayDecorations();
    }
    // Each slot is built by its own map's rule and published only once complete:
    // a build that throws leaves the slot unbuilt and the next call tries again.
    if (map >= 2) {
        static const std::vector<ScenePrimitive> skydock = BuildDerivedDecorations(2, arena);
        return skydock;
    }
    static const std::vector<ScenePrimitive> foundry = BuildDerivedDecorations(1, arena);
    return foundry;
}

}  // namespace tarvo::presentation
