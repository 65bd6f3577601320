#pragma once

#include <cmath>

namespace tarvo::gameplay {

// Metres, y up; yaw 0 looks along +z.
struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Linear colour, each channel 0..1.
struct Color3 {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 v, float s) { return {v.x * s, v.y * s, v.z * s}; }

inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float Length(Vec3 v) { return std::sqrt(Dot(v, v)); }

// Directions shorter than 1e-5 have no meaningful heading, so they become zero.
inline Vec3 Normalize(Vec3 v) {
    const float len = Length(v);
    if (len > 1e-5f) {
        return v * (1.0f / len);
    }
    return {0.0f, 0.0f, 0.0f};
}

}  // namespace tarvo::gameplay
