#include "presentation/weapon_meshes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tarvo::presentation {
namespace {

using gameplay::Color3;
using gameplay::Vec3;

Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Color3 Scale(Color3 c, float s) { return {c.r * s, c.g * s, c.b * s}; }

constexpr Color3 kBody{0.12f, 0.16f, 0.18f};
constexpr Color3 kBlack{0.035f, 0.045f, 0.05f};

struct BoxSpec {
    Vec3 center;
    Vec3 size;
    Color3 color;
};

// Boxes shared by both procedural weapons (receiver, grip, handguard, stock...).
constexpr BoxSpec kCommonFront[] = {
    {{-0.02f, 0.075f, 0.0f}, {0.51f, 0.135f, 0.085f}, kBody},
    {{-0.2f, -0.055f, 0.0f}, {0.065f, 0.19f, 0.065f}, kBlack},
    {{0.18f, 0.075f, 0.0f}, {0.2f, 0.1f, 0.085f}, kBlack},
    {{-0.38f, 0.065f, 0.0f}, {0.23f, 0.075f, 0.065f}, kBody},
    {{-0.5f, 0.04f, 0.0f}, {0.04f, 0.15f, 0.085f}, kBlack},
};

constexpr BoxSpec kSmgRest[] = {
    {{0.04f, -0.095f, 0.0f}, {0.045f, 0.28f, 0.055f}, kBlack},
    {{0.32f, 0.09f, 0.0f}, {0.09f, 0.045f, 0.045f}, kBody},
    {{0.4f, 0.09f, 0.0f}, {0.08f, 0.028f, 0.028f}, kBody},
    {{0.05f, 0.15f, 0.0f}, {0.29f, 0.025f, 0.07f}, kBlack},
    {{-0.04f, 0.065f, 0.046f}, {0.14f, 0.04f, 0.009f}, {0.025f, 0.52f, 0.64f}},
    {{-0.08f, 0.195f, 0.0f}, {0.065f, 0.06f, 0.055f}, kBody},
    {{0.25f, 0.16f, 0.0f}, {0.025f, 0.07f, 0.04f}, kBody},
};

constexpr BoxSpec kDmrRest[] = {
    {{0.04f, -0.095f, 0.0f}, {0.075f, 0.19f, 0.055f}, kBlack},
    {{0.32f, 0.09f, 0.0f}, {0.2f, 0.045f, 0.045f}, kBody},
    {{0.54f, 0.09f, 0.0f}, {0.28f, 0.028f, 0.028f}, kBody},
    {{0.05f, 0.15f, 0.0f}, {0.29f, 0.025f, 0.07f}, kBlack},
    {{-0.04f, 0.065f, 0.046f}, {0.14f, 0.04f, 0.009f}, {0.62f, 0.29f, 0.055f}},
    {{-0.01f, 0.21f, 0.0f}, {0.055f, 0.11f, 0.04f}, kBody},
    {{0.02f, 0.27f, 0.0f}, {0.27f, 0.085f, 0.085f}, kBlack},
    {{0.16f, 0.27f, 0.0f}, {0.016f, 0.066f, 0.066f}, {0.015f, 0.48f, 0.6f}},
};

std::vector<ImportedWeaponVertex> BuildProcedural(std::span<const BoxSpec> rest) {
    std::vector<ImportedWeaponVertex> mesh;
    mesh.reserve((std::size(kCommonFront) + rest.size()) * 36);
    for (const BoxSpec& box : kCommonFront) {
        AppendShadedBox(mesh, box.center, box.size, box.color);
    }
    for (const BoxSpec& box : rest) {
        AppendShadedBox(mesh, box.center, box.size, box.color);
    }
    return mesh;
}

struct ProceduralWeapons {
    std::array<std::vector<ImportedWeaponVertex>, 2> meshes;
};

ProceduralWeapons BuildProceduralWeapons() {
    return {{BuildProcedural(kSmgRest), BuildProcedural(kDmrRest)}};
}

struct ArmSegment {
    Vec3 a;
    Vec3 b;
    float r0;
    float r1;
    Color3 color;
};

std::vector<ImportedWeaponVertex> BuildArms() {
    constexpr Color3 sleeve{0.14f, 0.18f, 0.16f};
    constexpr Color3 glove{0.055f, 0.065f, 0.06f};
    constexpr Color3 finger{0.1f, 0.12f, 0.105f};
    const Vec3 triggerHand = RifleTriggerGrip + Vec3{0.0f, 0.0f, 0.028f};
    const Vec3 supportHand = RifleSupportGrip + Vec3{0.0f, -0.022f, 0.018f};
    std::vector<ArmSegment> segments = {
        {{0.12f, -0.46f, 0.13f}, {-0.16f, -0.1f, 0.035f}, 0.065f, 0.043f, sleeve},
        {{-0.16f, -0.1f, 0.035f}, triggerHand, 0.045f, 0.041f, glove},
        {{-0.3f, -0.44f, -0.14f}, {0.13f, -0.012f, 0.035f}, 0.065f, 0.041f, sleeve},
        {{0.13f, -0.012f, 0.035f}, supportHand, 0.044f, 0.041f, glove},
    };
    constexpr float triggerFingers[] = {-0.035f, -0.019f, -0.003f, 0.013f};
    constexpr float supportFingers[] = {0.14f, 0.162f, 0.184f, 0.206f};
    for (int i = 0; i < 4; ++i) {
        const float y = triggerFingers[i];
        const float x = supportFingers[i];
        segments.push_back({{-0.228f, y, 0.025f}, {-0.183f, y, -0.025f}, 0.011f, 0.01f, finger});
        segments.push_back({{x, 0.036f, 0.035f}, {x, 0.078f, -0.025f}, 0.012f, 0.01f, finger});
    }
    segments.push_back({{-0.17f, 0.012f, 0.032f}, {-0.15f, 0.034f, -0.005f}, 0.015f, 0.012f, glove});
    segments.push_back({{0.13f, 0.08f, 0.03f}, {0.18f, 0.097f, 0.012f}, 0.014f, 0.011f, glove});

    std::vector<ImportedWeaponVertex> mesh;
    mesh.reserve(segments.size() * 72);
    for (const ArmSegment& s : segments) {
        AppendTaperedSegment(mesh, s.a, s.b, s.r0, s.r1, s.color);
    }
    return mesh;
}

}  // namespace

void AppendShadedBox(std::vector<ImportedWeaponVertex>& out, Vec3 center, Vec3 size, Color3 color) {
    const Vec3 h = size * 0.5f;
    Vec3 corners[8];
    for (int i = 0; i < 8; ++i) {
        corners[i] = {center.x + ((i & 1) ? h.x : -h.x), center.y + ((i & 2) ? h.y : -h.y),
                      center.z + ((i & 4) ? h.z : -h.z)};
    }
    // Two triangles per face, wound so (b - a) x (c - a) points outward.
    static constexpr int kFaces[6][6] = {
        {0, 2, 3, 0, 3, 1},  // z-
        {4, 5, 7, 4, 7, 6},  // z+
        {0, 4, 6, 0, 6, 2},  // x-
        {1, 3, 7, 1, 7, 5},  // x+
        {2, 6, 7, 2, 7, 3},  // y+
        {0, 1, 5, 0, 5, 4},  // y-
    };
    for (int face = 0; face < 6; ++face) {
        const Color3 shaded = Scale(color, 0.72f + 0.14f * static_cast<float>(face % 3));
        for (const int corner : kFaces[face]) {
            out.push_back({corners[corner], shaded});
        }
    }
}

void AppendTaperedSegment(std::vector<ImportedWeaponVertex>& out, Vec3 a, Vec3 b, float r0, float r1, Color3 color) {
    const Vec3 d = gameplay::Normalize(b - a);
    const Vec3 across = Cross(d, {0.0f, 0.0f, 1.0f});
    const Vec3 s = gameplay::Length(across) < 0.01f ? Vec3{1.0f, 0.0f, 0.0f} : gameplay::Normalize(across);
    const Vec3 w = Cross(d, s);
    constexpr float kStep = 2.0f * std::numbers::pi_v<float> / 12.0f;
    for (int i = 0; i < 12; ++i) {
        const float t0 = kStep * static_cast<float>(i);
        const float t1 = kStep * static_cast<float>(i + 1);
        const Vec3 m0 = s * std::cos(t0) + w * std::sin(t0);
        const Vec3 m1 = s * std::cos(t1) + w * std::sin(t1);
        const Vec3 a0 = a + m0 * r0;
        const Vec3 b0 = b + m0 * r1;
        const Vec3 b1 = b + m1 * r1;
        const Vec3 a1 = a + m1 * r0;
        const Color3 k = Scale(color, 0.76f + 0.24f * std::fabs(std::sin(t0)));
        for (const Vec3& p : {a0, b0, b1, a0, b1, a1}) {
            out.push_back({p, k});
        }
    }
}

std::vector<ImportedWeaponVertex> RestyleImportedRifle(std::span<const ImportedWeaponVertex> imported) {
    std::vector<ImportedWeaponVertex> mesh(imported.begin(), imported.end());
    for (ImportedWeaponVertex& v : mesh) {
        const Color3 c = v.color;
        if (c.r > 1.08f * c.g && c.g > 1.04f * c.b) {
            const float t = 0.92f + 0.08f * std::sin(180.0f * v.position.x + 65.0f * v.position.y);
            v.color = {0.34f * t, 0.135f * t, 0.045f * t};
        } else {
            const float l = std::clamp((c.r + c.g + c.b) / 1.2f, 0.55f, 1.15f);
            v.color = {0.12f * l, 0.155f * l, 0.18f * l};
        }
    }
    const Vec3 light = gameplay::Normalize({-0.4f, 0.8f, 0.3f});
    for (size_t j = 0; j + 2 < mesh.size(); j += 3) {
        const Vec3 p = mesh[j].position;
        const Vec3 normal = gameplay::Normalize(Cross(mesh[j + 1].position - p, mesh[j + 2].position - p));
        const float shade = 0.6f + 0.5f * std::fabs(gameplay::Dot(normal, light));
        for (size_t k = j; k < j + 3; ++k) {
            mesh[k].color = Scale(mesh[k].color, shade);
        }
    }
    return mesh;
}

std::span<const ImportedWeaponVertex> ArsenalMesh(int weapon, std::span<const ImportedWeaponVertex> imported) {
    if (weapon == 1 || weapon == 2) {
        static const ProceduralWeapons procedural = BuildProceduralWeapons();
        return procedural.meshes[static_cast<size_t>(weapon - 1)];
    }
    if (imported.empty()) {
        return imported;
    }
    static const std::vector<ImportedWeaponVertex> finished = RestyleImportedRifle(imported);
    return finished;
}

gameplay::Vec3 HeldRiflePoint(Vec3 local, Vec3 trigger, Vec3 support) {
    const Vec3 gripSpan = RifleSupportGrip - RifleTriggerGrip;
    const Vec3 axis = gameplay::Normalize(gripSpan);
    const Vec3 perp{-axis.y, axis.x, 0.0f};
    const Vec3 d = support - trigger;
    const float len = gameplay::Length(d);
    Vec3 f{0.0f, 0.0f, 1.0f};
    float scale = 1.0f;
    if (len > 0.001f) {
        f = d * (1.0f / len);
        scale = len / gameplay::Length(gripSpan);
    }
    const Vec3 across = Cross(f, {0.0f, 1.0f, 0.0f});
    const Vec3 r = gameplay::Length(across) < 0.01f ? Vec3{1.0f, 0.0f, 0.0f} : gameplay::Normalize(across);
    const Vec3 u = gameplay::Normalize(Cross(r, f));
    const Vec3 q = local - RifleTriggerGrip;
    return trigger + (f * gameplay::Dot(q, axis) + u * gameplay::Dot(q, perp) + r * q.z) * scale;
}

const std::vector<ImportedWeaponVertex>& FirstPersonGripArms() {
    static const std::vector<ImportedWeaponVertex> mesh = BuildArms();
    return mesh;
}

}  // namespace tarvo::presentation
