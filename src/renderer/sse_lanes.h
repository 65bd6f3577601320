#pragma once
// Four floats at a time with SSE2 (the x86-64 baseline), each lane doing exactly what
// the one-at-a-time formula does, in the same order, so results stay bit for bit the
// same: the frame builders' digests depend on it.

#include <emmintrin.h>

#include "gameplay/vec3.h"

namespace tarvo::renderer::lanes {

// x, y and z of four points or directions, one per lane.
struct Vec3x4 {
    __m128 x, y, z;
};

inline __m128 Splat(float v) { return _mm_set1_ps(v); }

// gameplay::Dot: (a.x b.x + a.y b.y) + a.z b.z.
inline __m128 Dot(const Vec3x4& a, gameplay::Vec3 b) {
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(a.x, Splat(b.x)), _mm_mul_ps(a.y, Splat(b.y))),
                      _mm_mul_ps(a.z, Splat(b.z)));
}

// The same, with b already in every lane.
inline __m128 Dot(const Vec3x4& a, const Vec3x4& b) {
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(a.x, b.x), _mm_mul_ps(a.y, b.y)), _mm_mul_ps(a.z, b.z));
}
inline Vec3x4 Splat(gameplay::Vec3 v) { return {Splat(v.x), Splat(v.y), Splat(v.z)}; }

inline __m128 Abs(__m128 v) { return _mm_and_ps(v, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF))); }

// std::clamp, std::max and std::min, NaN and signed zeros included: SSE's max and min
// return their second operand unless the first one wins.
inline __m128 Clamp(__m128 v, float lo, float hi) { return _mm_min_ps(Splat(hi), _mm_max_ps(Splat(lo), v)); }
inline __m128 MaxWith(__m128 v, float bound) { return _mm_max_ps(Splat(bound), v); }  // std::max(v, bound)
inline __m128 MinWith(__m128 v, float bound) { return _mm_min_ps(v, Splat(bound)); }  // std::min(bound, v)

// when ? a : b, lane by lane (when is a comparison's all-ones or all-zeros).
inline __m128 Select(__m128 when, __m128 a, __m128 b) { return _mm_or_ps(_mm_and_ps(when, a), _mm_andnot_ps(when, b)); }

// (r, g, b, u) of a Vertex's colour and first texture coordinate, from a colour in
// lanes 0..2 and u in lane 0 of tail.
inline __m128 WithU(__m128 colour, __m128 tail) {
    return _mm_shuffle_ps(colour, _mm_shuffle_ps(colour, tail, _MM_SHUFFLE(0, 0, 2, 2)), _MM_SHUFFLE(2, 0, 1, 0));
}

// gameplay::Normalize(Cross(b - a, c - a)) of four triangles: the flat-lighting normal.
inline Vec3x4 FaceNormal(const Vec3x4& a, const Vec3x4& b, const Vec3x4& c) {
    const Vec3x4 e1{_mm_sub_ps(b.x, a.x), _mm_sub_ps(b.y, a.y), _mm_sub_ps(b.z, a.z)};
    const Vec3x4 e2{_mm_sub_ps(c.x, a.x), _mm_sub_ps(c.y, a.y), _mm_sub_ps(c.z, a.z)};
    const Vec3x4 n{_mm_sub_ps(_mm_mul_ps(e1.y, e2.z), _mm_mul_ps(e1.z, e2.y)),
                   _mm_sub_ps(_mm_mul_ps(e1.z, e2.x), _mm_mul_ps(e1.x, e2.z)),
                   _mm_sub_ps(_mm_mul_ps(e1.x, e2.y), _mm_mul_ps(e1.y, e2.x))};
    const __m128 length =
        _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(n.x, n.x), _mm_mul_ps(n.y, n.y)), _mm_mul_ps(n.z, n.z)));
    // Shorter than 1e-5 has no direction: zero, as Normalize gives.
    const __m128 keep = _mm_cmpgt_ps(length, Splat(1e-5f));
    const __m128 inverse = _mm_div_ps(Splat(1.0f), length);
    return {_mm_and_ps(keep, _mm_mul_ps(n.x, inverse)), _mm_and_ps(keep, _mm_mul_ps(n.y, inverse)),
            _mm_and_ps(keep, _mm_mul_ps(n.z, inverse))};
}

}  // namespace tarvo::renderer::lanes
