#include "renderer/world_parts.h"

#include <algorithm>
#include <cmath>

#include "presentation/visual_definitions.h"
#include "presentation/weapon_meshes.h"

namespace tarvo::renderer {

using gameplay::Color3;
using gameplay::ScenePrimitive;
using gameplay::Vec3;

Color3 ArenaColour(int map, const ScenePrimitive& p) {
    const int kind = static_cast<int>(p.kind);
    if (map == 0) {
        if (kind == 0) return {0.025f, 0.035f, 0.042f};
        if (kind == 2) {
            if (p.color.b > 2.0f * p.color.r) return {0.025f, 0.18f, 0.24f};
            if (p.color.g > 2.0f * p.color.r) return {0.31f, 0.13f, 0.035f};
            return {0.065f, 0.085f, 0.10f};
        }
        if (kind == 3 || kind == 4) return {0.11f, 0.14f, 0.155f};
        return {0.055f, 0.08f, 0.105f};
    }
    if (kind == 2) return p.color;
    if (kind == 3 || kind == 4) return {0.16f, 0.19f, 0.21f};
    if (kind == 0) return map == 1 ? Color3{0.11f, 0.12f, 0.13f} : Color3{0.10f, 0.14f, 0.19f};
    return map == 1 ? Color3{0.18f, 0.15f, 0.12f} : Color3{0.12f, 0.20f, 0.27f};
}

void AppendCapturePoint(FrameBuilder& b, int map, const RenderOverlay& overlay) {
    float cx, cz;
    const int point = overlay.activePoint;
    if (map == 0) {
        cx = point == 0 ? 0.0f : point == 1 ? -25.0f : 25.0f;
        cz = point == 0 ? 7.0f : point == 1 ? 16.0f : -16.0f;
    } else if (map == 1) {
        cx = point == 0 ? 0.0f : point == 1 ? -18.0f : 18.0f;
        cz = point == 0 ? 12.0f : 0.0f;
    } else {
        cx = point == 0 ? 0.0f : point == 1 ? -13.0f : 13.0f;
        cz = point == 0 ? 0.0f : point == 1 ? -23.0f : 23.0f;
    }
    const Color3 colour = overlay.pointOwner == 1   ? Color3{0.02f, 0.75f, 0.9f}
                          : overlay.pointOwner == 2 ? Color3{0.95f, 0.35f, 0.07f}
                                                    : Color3{0.7f, 0.8f, 0.85f};
    constexpr float kTwoPi = 6.28318548f;
    for (int i = 1; i <= 40; ++i) {
        const float a0 = kTwoPi * float(i - 1) / 40.0f;
        const float a1 = kTwoPi * float(i) / 40.0f;
        const auto at = [&](float a, float r) { return Vec3{cx + std::sin(a) * r, 0.035f, cz + std::cos(a) * r}; };
        const Vec3 p0 = at(a0, 3.85f), p1 = at(a0, 4.0f), p2 = at(a1, 4.0f), p3 = at(a1, 3.85f);
        b.Triangle(p0, p1, p2, colour, true);
        b.Triangle(p0, p2, p3, colour, true);
    }
    b.OrientedBox({cx, 1.1f, cz}, {0.32f, 0.32f, 0.32f}, overlay.elapsedSeconds * 45.0f, colour);
}

BotClip BotAnimation(const gameplay::Bot& bot) {
    if (bot.horizontalSpeed < 0.1f) return {"idle", bot.stateTimer};
    if (bot.horizontalSpeed > 3.5f) return {"run", bot.distanceTravelled * 0.24f};
    return {"walk", bot.distanceTravelled * 0.58f};
}

RifleHold BotRifleHold(const gameplay::Bot& bot, const presentation::ImportedCharacterAsset& character,
                       const BotClip& clip) {
    RifleHold hold;
    const auto pose = character.SampleAttachments(clip.name, clip.time);
    if (pose) {
        hold.grip = bot.position + TurnByYaw({pose->values[0], pose->values[1], pose->values[2]}, bot.yaw);
        hold.support = bot.position + TurnByYaw({pose->values[3], pose->values[4], pose->values[5]}, bot.yaw);
    } else {
        const presentation::SocketOffset& socket = presentation::RozizodivoRifleAttachment().socketOffset;
        hold.grip = bot.position + TurnByYaw({socket.x, socket.y, socket.z}, bot.yaw);
        hold.support = hold.grip + TurnByYaw({0.0f, 0.06f, 0.3f}, bot.yaw);
    }
    hold.muzzle = presentation::HeldRiflePoint({0.5f, 0.09f, 0.0f}, hold.grip, hold.support);
    return hold;
}

void AppendHeldMesh(FrameBuilder& b, std::span<const presentation::ImportedWeaponVertex> mesh,
                    const RifleHold& hold) {
    // Holding a rifle places it rigidly (turned and scaled), an affine map of the
    // rifle-local point: take it once from four points instead of once per vertex.
    const Vec3 origin = presentation::HeldRiflePoint({0, 0, 0}, hold.grip, hold.support);
    const Vec3 ax = presentation::HeldRiflePoint({1, 0, 0}, hold.grip, hold.support) - origin;
    const Vec3 ay = presentation::HeldRiflePoint({0, 1, 0}, hold.grip, hold.support) - origin;
    const Vec3 az = presentation::HeldRiflePoint({0, 0, 1}, hold.grip, hold.support) - origin;
    // Four vertices at a time: origin + ax x + ay y + az z, projected, the own colour
    // fogged (c + fog (fog colour - c)), uv (0, 0) and mode 0.
    static_assert(sizeof(presentation::ImportedWeaponVertex) == 24, "a vertex is six packed floats");
    const auto splat = [](float v) { return _mm_set1_ps(v); };
    const size_t count = mesh.size();
    Vertex* out = b.Extend(count);
    for (size_t i = 0; i < count; i += 4) {
        __m128 x, y, z, r, g, bl;
        if (i + 4 <= count) {
            // Two vertices are three loads: x0 y0 z0 r0 | g0 b0 x1 y1 | z1 r1 g1 b1.
            const float* from = &mesh[i].position.x;
            __m128 xy[2], zr[2], gb[2];
            for (int pair = 0; pair < 2; ++pair) {
                const __m128 a = _mm_loadu_ps(from + 12 * pair), c = _mm_loadu_ps(from + 12 * pair + 4),
                             e = _mm_loadu_ps(from + 12 * pair + 8);
                xy[pair] = _mm_shuffle_ps(a, c, _MM_SHUFFLE(3, 2, 1, 0));  // x0 y0 x1 y1
                zr[pair] = _mm_shuffle_ps(a, e, _MM_SHUFFLE(1, 0, 3, 2));  // z0 r0 z1 r1
                gb[pair] = _mm_shuffle_ps(c, e, _MM_SHUFFLE(3, 2, 1, 0));  // g0 b0 g1 b1
            }
            x = _mm_shuffle_ps(xy[0], xy[1], _MM_SHUFFLE(2, 0, 2, 0));
            y = _mm_shuffle_ps(xy[0], xy[1], _MM_SHUFFLE(3, 1, 3, 1));
            z = _mm_shuffle_ps(zr[0], zr[1], _MM_SHUFFLE(2, 0, 2, 0));
            r = _mm_shuffle_ps(zr[0], zr[1], _MM_SHUFFLE(3, 1, 3, 1));
            g = _mm_shuffle_ps(gb[0], gb[1], _MM_SHUFFLE(2, 0, 2, 0));
            bl = _mm_shuffle_ps(gb[0], gb[1], _MM_SHUFFLE(3, 1, 3, 1));
        } else {
            // The last group repeats its final vertex in the lanes past the end.
            const presentation::ImportedWeaponVertex* v[4];
            for (size_t lane = 0; lane < 4; ++lane) v[lane] = &mesh[std::min(i + lane, count - 1)];
            const auto gather = [&](auto field) {
                return _mm_setr_ps(field(*v[0]), field(*v[1]), field(*v[2]), field(*v[3]));
            };
            x = gather([](const auto& w) { return w.position.x; });
            y = gather([](const auto& w) { return w.position.y; });
            z = gather([](const auto& w) { return w.position.z; });
            r = gather([](const auto& w) { return w.color.r; });
            g = gather([](const auto& w) { return w.color.g; });
            bl = gather([](const auto& w) { return w.color.b; });
        }
        const auto along = [&](float o, float a, float b2, float c) {
            return _mm_add_ps(_mm_add_ps(_mm_add_ps(splat(o), _mm_mul_ps(splat(a), x)), _mm_mul_ps(splat(b2), y)),
                              _mm_mul_ps(splat(c), z));
        };
        FrameBuilder::ProjectedPoints q = b.ProjectPoints(along(origin.x, ax.x, ay.x, az.x),
                                                          along(origin.y, ax.y, ay.y, az.y),
                                                          along(origin.z, ax.z, ay.z, az.z));
        const auto fogged = [&](__m128 c, float target) {
            return _mm_add_ps(c, _mm_mul_ps(q.fog, _mm_sub_ps(splat(target), c)));
        };
        r = fogged(r, kFogColour.r);
        g = fogged(g, kFogColour.g);
        bl = fogged(bl, kFogColour.b);
        __m128 u = _mm_setzero_ps();  // then (v, mode) = (0, 0)
        _MM_TRANSPOSE4_PS(q.x, q.y, q.z, q.w);
        _MM_TRANSPOSE4_PS(r, g, bl, u);
        const __m128 position[4] = {q.x, q.y, q.z, q.w};
        const __m128 colour[4] = {r, g, bl, u};
        const size_t lanes = std::min<size_t>(4, count - i);
        for (size_t lane = 0; lane < lanes; ++lane) {
            _mm_storeu_ps(out->position, position[lane]);
            _mm_storeu_ps(out->color, colour[lane]);
            _mm_storel_pi(reinterpret_cast<__m64*>(&out->uv[1]), _mm_setzero_ps());
            ++out;
        }
    }
}

}  // namespace tarvo::renderer
