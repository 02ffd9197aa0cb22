#pragma once
#include <cmath>

// Positions, velocities and polygon corners, in logical pixels unless stated.
struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  Vec3() = default;
  Vec3(float x_, float y_, float z_ = 0.0f) : x(x_), y(y_), z(z_) {}
  Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  Vec3 operator-() const { return {-x, -y, -z}; }
  Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
  Vec3 operator/(float s) const { return {x / s, y / s, z / s}; }
  Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
  Vec3& operator-=(const Vec3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
  Vec3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
  bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }
};

inline Vec3 operator*(float s, const Vec3& v) { return v * s; }

// Plane measures: collision and distances in the game ignore z.
inline float LengthSquared2D(const Vec3& v) { return v.x * v.x + v.y * v.y; }
inline float Length2D(const Vec3& v) { return std::sqrt(LengthSquared2D(v)); }
inline float Length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
