#pragma once
// The light models of the frame builders: one light factor per triangle (flat shading)
// from its normal's dot products with the key and the fill light. Each model is written
// once, four triangles at a time; a path that lights one triangle puts it in every lane,
// so the one-at-a-time and four-at-a-time paths cannot drift apart.

#include <emmintrin.h>

#include "gameplay/vec3.h"
#include "renderer/sse_lanes.h"

namespace tarvo::renderer {

// Key and fill light directions (unit length).
inline gameplay::Vec3 KeyLight() {
    static const gameplay::Vec3 light = gameplay::Normalize({-0.32f, 0.88f, -0.25f});
    return light;
}
inline gameplay::Vec3 FillLight() {
    static const gameplay::Vec3 light = gameplay::Normalize({0.55f, 0.30f, 0.72f});
    return light;
}

// The numbers of the key-and-fill model, in every lane.
struct KeyFillLight {
    __m128 ambient, key, fill;
};
inline KeyFillLight SplatKeyFill(float ambient, float key, float fill) {
    return {lanes::Splat(ambient), lanes::Splat(key), lanes::Splat(fill)};
}

// ambient + key |N.L1| + fill max(N.L2, 0), clamped to 0..1: a face and its back take
// the key light alike. The world's faces use their builder's numbers, the Vulkan
// character its own.
inline __m128 KeyFillFactor(const KeyFillLight& light, __m128 facingKey, __m128 facingFill) {
    const __m128 key = _mm_mul_ps(light.key, lanes::Abs(facingKey));
    const __m128 fill = _mm_mul_ps(light.fill, lanes::MaxWith(facingFill, 0.0f));
    return lanes::Clamp(_mm_add_ps(_mm_add_ps(light.ambient, key), fill), 0.0f, 1.0f);
}

// 0.92 min(1, 0.38 + 0.62 |N.L1|), clamped to 0..1: the Direct3D 11 character, which
// takes no fill light.
inline __m128 CappedKeyFactor(__m128 facingKey) {
    const __m128 k = _mm_add_ps(lanes::Splat(0.38f), _mm_mul_ps(lanes::Splat(0.62f), lanes::Abs(facingKey)));
    return lanes::Clamp(_mm_mul_ps(lanes::Splat(0.92f), lanes::MinWith(k, 1.0f)), 0.0f, 1.0f);
}

// A colour (or one channel of four colours) lit by k: each channel of k x colour
// clamped to 0..1.
inline __m128 Lit(__m128 colour, __m128 k) { return lanes::Clamp(_mm_mul_ps(colour, k), 0.0f, 1.0f); }

}  // namespace tarvo::renderer
