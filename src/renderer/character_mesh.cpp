#include "renderer/character_mesh.h"

#include <algorithm>

namespace tarvo::renderer {

using gameplay::Vec3;

namespace {

using lanes::Vec3x4;

static_assert(sizeof(Vec3) == 12 && sizeof(presentation::ImportedTextureCoordinate) == 8,
              "corners are read as packed floats");

// x, y and z of the four points (x, y, z, 0 each) at the given indices.
Vec3x4 Gather(const float* points, const uint32_t (&at)[4]) {
    __m128 p0 = _mm_loadu_ps(points + 4 * size_t(at[0]));
    __m128 p1 = _mm_loadu_ps(points + 4 * size_t(at[1]));
    __m128 p2 = _mm_loadu_ps(points + 4 * size_t(at[2]));
    __m128 p3 = _mm_loadu_ps(points + 4 * size_t(at[3]));
    _MM_TRANSPOSE4_PS(p0, p1, p2, p3);
    return {p0, p1, p2};
}

// True when every index names a placed corner, so that no triangle is skipped and the
// loops below need no checks (an asset's indices always do; the checks are for the rest).
bool AllIndicesBelow(std::span<const uint32_t> indices, size_t count) {
    if (count > size_t(INT32_MAX)) return false;
    const __m128i bias = _mm_set1_epi32(INT32_MIN);  // unsigned order through the signed compare
    const __m128i limit = _mm_xor_si128(_mm_set1_epi32(static_cast<int32_t>(count)), bias);
    __m128i inside = _mm_set1_epi32(-1);
    size_t i = 0;
    for (; i + 4 <= indices.size(); i += 4) {
        const __m128i at = _mm_loadu_si128(reinterpret_cast<const __m128i*>(indices.data() + i));
        inside = _mm_and_si128(inside, _mm_cmplt_epi32(_mm_xor_si128(at, bias), limit));
    }
    bool all = _mm_movemask_epi8(inside) == 0xFFFF;
    for (; i < indices.size(); ++i) all = all && indices[i] < count;
    return all;
}

// The flat light of every index triple. Checked: an index past the corners is lit as
// corner 0 (its triangle is not drawn).
template <bool kChecked>
void LightTriangles(std::span<const uint32_t> indices, CharacterLight light, CharacterScratch& scratch) {
    const size_t triangles = indices.size() / 3;
    const size_t count = scratch.placed;
    scratch.light.resize(triangles + 3);
    const float* points = scratch.points.data();
    const Vec3x4 key = lanes::Splat(KeyLight());
    const Vec3x4 fill = lanes::Splat(FillLight());
    const KeyFillLight localPose = SplatKeyFill(0.34f, 0.5f, 0.16f);
    const __m128i bias = _mm_set1_epi32(INT32_MIN);
    const __m128i limit = _mm_xor_si128(_mm_set1_epi32(static_cast<int32_t>(count)), bias);
    const auto valid = [&](__m128i at) {
        return kChecked ? _mm_and_si128(at, _mm_cmplt_epi32(_mm_xor_si128(at, bias), limit)) : at;
    };
    for (size_t t = 0; t < triangles; t += 4) {
        alignas(16) uint32_t at[12];
        if (t + 4 <= triangles) {
            const __m128i* from = reinterpret_cast<const __m128i*>(indices.data() + 3 * t);
            _mm_store_si128(reinterpret_cast<__m128i*>(at), valid(_mm_loadu_si128(from)));
            _mm_store_si128(reinterpret_cast<__m128i*>(at + 4), valid(_mm_loadu_si128(from + 1)));
            _mm_store_si128(reinterpret_cast<__m128i*>(at + 8), valid(_mm_loadu_si128(from + 2)));
        } else {
            // The last few triangles repeat the final one in the spare lanes.
            for (size_t lane = 0; lane < 4; ++lane) {
                const size_t triangle = std::min(t + lane, triangles - 1);
                for (size_t k = 0; k < 3; ++k) {
                    const uint32_t index = indices[3 * triangle + k];
                    at[3 * lane + k] = !kChecked || index < count ? index : 0;
                }
            }
        }
        const Vec3x4 n = lanes::FaceNormal(Gather(points, {at[0], at[3], at[6], at[9]}),
                                           Gather(points, {at[1], at[4], at[7], at[10]}),
                                           Gather(points, {at[2], at[5], at[8], at[11]}));
        const __m128 k = light == CharacterLight::LocalPose
                             ? KeyFillFactor(localPose, lanes::Dot(n, key), lanes::Dot(n, fill))
                             : CappedKeyFactor(lanes::Dot(n, key));
        _mm_storeu_ps(&scratch.light[t], k);
    }
}

// Writes the triangles in the grey of their light. Checked: a triangle with an index past
// the corners is skipped.
template <bool kChecked, bool kFog>
Vertex* WriteTriangles(Vertex* out, std::span<const uint32_t> indices, const CharacterScratch& scratch) {
    const size_t count = scratch.placed;
    const CharacterCorner* corners = scratch.corners.data();
    const float* light = scratch.light.data();
    const __m128 fogColour = FogColourLanes();
    const size_t triangles = indices.size() / 3;
    for (size_t t = 0; t < triangles; ++t) {
        const uint32_t* corner = indices.data() + 3 * t;
        if (kChecked && (corner[0] >= count || corner[1] >= count || corner[2] >= count)) continue;
        const __m128 grey = _mm_set1_ps(light[t]);
        const __m128 towardsFog = _mm_sub_ps(fogColour, grey);
        for (int k = 0; k < 3; ++k) {
            const float* from = corners[corner[k]].position;
            const __m128 tail = _mm_loadu_ps(from + 4);  // u, fog, v, mode
            // k + fog * (fog colour - k), as FrameProjection::Write; without fog that adds a
            // zero to k, which leaves it as it is.
            const __m128 colour =
                kFog ? _mm_add_ps(grey, _mm_mul_ps(_mm_shuffle_ps(tail, tail, 0x55), towardsFog)) : grey;
            FrameProjection::Write(out++, _mm_loadu_ps(from), colour, tail);
        }
    }
    return out;
}


}  // namespace

void PlaceCharacterCorners(const FrameProjection& b, std::span<const Vec3> local, Vec3 origin, float c, float s,
                           std::span<const presentation::ImportedTextureCoordinate> uvs, float textured,
                           CharacterLight light, CharacterScratch& scratch) {
    const size_t count = local.size();
    scratch.placed = count;
    scratch.corners.resize((count + 3) / 4 * 4);  // whole groups of four
    scratch.points.resize((count + 3) / 4 * 16);
    const bool keepLocal = light == CharacterLight::LocalPose;
    const __m128 cosine = _mm_set1_ps(c), sine = _mm_set1_ps(s);
    const __m128 ox = _mm_set1_ps(origin.x), oy = _mm_set1_ps(origin.y), oz = _mm_set1_ps(origin.z);
    const __m128 mode = _mm_set1_ps(textured);
    for (size_t i = 0; i < count; i += 4) {
        __m128 x, y, z, u, v;
        if (i + 4 <= count) {
            // Four packed points are three loads: x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3.
            const float* from = &local[i].x;
            const __m128 l0 = _mm_loadu_ps(from), l1 = _mm_loadu_ps(from + 4), l2 = _mm_loadu_ps(from + 8);
            x = _mm_shuffle_ps(l0, _mm_shuffle_ps(l1, l2, _MM_SHUFFLE(1, 1, 2, 2)), _MM_SHUFFLE(2, 0, 3, 0));
            y = _mm_shuffle_ps(_mm_shuffle_ps(l0, l1, _MM_SHUFFLE(0, 0, 1, 1)),
                               _mm_shuffle_ps(l1, l2, _MM_SHUFFLE(2, 2, 3, 3)), _MM_SHUFFLE(2, 0, 2, 0));
            z = _mm_shuffle_ps(_mm_shuffle_ps(l0, l1, _MM_SHUFFLE(1, 1, 2, 2)),
                               _mm_shuffle_ps(l2, l2, _MM_SHUFFLE(3, 3, 0, 0)), _MM_SHUFFLE(2, 0, 2, 0));
        } else {
            // The last group repeats its final corner in the lanes past the end.
            size_t at[4];
            for (size_t lane = 0; lane < 4; ++lane) at[lane] = std::min(i + lane, count - 1);
            x = _mm_setr_ps(local[at[0]].x, local[at[1]].x, local[at[2]].x, local[at[3]].x);
            y = _mm_setr_ps(local[at[0]].y, local[at[1]].y, local[at[2]].y, local[at[3]].y);
            z = _mm_setr_ps(local[at[0]].z, local[at[1]].z, local[at[2]].z, local[at[3]].z);
        }
        if (i + 4 <= uvs.size()) {
            const float* from = &uvs[i].u;
            const __m128 l0 = _mm_loadu_ps(from), l1 = _mm_loadu_ps(from + 4);  // u0 v0 u1 v1 | u2 v2 u3 v3
            u = _mm_shuffle_ps(l0, l1, _MM_SHUFFLE(2, 0, 2, 0));
            v = _mm_shuffle_ps(l0, l1, _MM_SHUFFLE(3, 1, 3, 1));
        } else {
            const auto uvAt = [&](size_t at) {
                return at < uvs.size() ? uvs[at] : presentation::ImportedTextureCoordinate{};
            };
            const presentation::ImportedTextureCoordinate t0 = uvAt(i), t1 = uvAt(i + 1), t2 = uvAt(i + 2),
                                                          t3 = uvAt(i + 3);
            u = _mm_setr_ps(t0.u, t1.u, t2.u, t3.u);
            v = _mm_setr_ps(t0.v, t1.v, t2.v, t3.v);
        }
        // (origin.x + x c) + z s, origin.y + y, (origin.z + z c) - x s
        const __m128 px = _mm_add_ps(_mm_add_ps(ox, _mm_mul_ps(x, cosine)), _mm_mul_ps(z, sine));
        const __m128 py = _mm_add_ps(oy, y);
        const __m128 pz = _mm_sub_ps(_mm_add_ps(oz, _mm_mul_ps(z, cosine)), _mm_mul_ps(x, sine));
        FrameProjection::ProjectedPoints q = b.ProjectPoints(px, py, pz);
        __m128 m = mode;
        __m128 fog = q.fog;
        _MM_TRANSPOSE4_PS(q.x, q.y, q.z, q.w);
        _MM_TRANSPOSE4_PS(u, fog, v, m);
        __m128 kx = keepLocal ? x : px, ky = keepLocal ? y : py, kz = keepLocal ? z : pz, kw = _mm_setzero_ps();
        _MM_TRANSPOSE4_PS(kx, ky, kz, kw);
        // Whole groups are stored; the lanes past the end are never read.
        CharacterCorner* corner = scratch.corners.data() + i;
        float* point = scratch.points.data() + 4 * i;
        _mm_storeu_ps(corner[0].position, q.x);
        _mm_storeu_ps(&corner[0].u, u);
        _mm_storeu_ps(corner[1].position, q.y);
        _mm_storeu_ps(&corner[1].u, fog);
        _mm_storeu_ps(corner[2].position, q.z);
        _mm_storeu_ps(&corner[2].u, v);
        _mm_storeu_ps(corner[3].position, q.w);
        _mm_storeu_ps(&corner[3].u, m);
        _mm_storeu_ps(point, kx);
        _mm_storeu_ps(point + 4, ky);
        _mm_storeu_ps(point + 8, kz);
        _mm_storeu_ps(point + 12, kw);
    }
}

void AppendCharacterTriangles(FrameProjection& b, std::span<const uint32_t> indices, CharacterLight light,
                              CharacterScratch& scratch) {
    if (scratch.placed == 0) return;  // every triangle would be skipped
    const bool checked = !AllIndicesBelow(indices, scratch.placed);
    if (checked) LightTriangles<true>(indices, light, scratch);
    else LightTriangles<false>(indices, light, scratch);
    Vertex* out = b.Extend(indices.size() / 3 * 3);
    const bool fog = b.Profile().fog;
    if (checked) {
        out = fog ? WriteTriangles<true, true>(out, indices, scratch)
                  : WriteTriangles<true, false>(out, indices, scratch);
    } else {
        out = fog ? WriteTriangles<false, true>(out, indices, scratch)
                  : WriteTriangles<false, false>(out, indices, scratch);
    }
    b.Truncate(out);
}

}  // namespace tarvo::renderer
