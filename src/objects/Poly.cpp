#include "objects/Shape.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float QUICK_REJECT_SQUARED = 22500.0f; // 150 units between first vertices

unsigned long s_filedMoves = 0;

Vec3 EdgeNormal(const Vec3& a, const Vec3& b) {
  float nx = -(b.y - a.y);
  float ny = b.x - a.x;
  float length = std::sqrt(nx * nx + ny * ny);
  // A zero-size object has zero-length edges; a zero normal keeps NaN out of
  // every later test instead of spreading it through the level.
  if (length == 0.0f) return {0.0f, 0.0f, 0.0f};
  return {nx / length, ny / length, 0.0f};
}

} // namespace

Poly::Poly(const std::vector<Vec3>& points) : vertices(points) {
  for (auto& v : vertices) v.z = 1.0f;
  const size_t n = vertices.size();
  normals.reserve(n);
  for (size_t i = 0; i < n; ++i) normals.push_back(EdgeNormal(vertices[i], vertices[(i + 1) % n]));
}

bool Poly::ContainsPoint(const Vec3& p) const {
  for (size_t i = 0; i < vertices.size() && i < normals.size(); ++i) {
    const Vec3& v = vertices[i];
    const Vec3& n = normals[i];
    if (n.x * (p.x - v.x) + n.y * (p.y - v.y) > 0.0f) return false;
  }
  return true;
}

bool EdgeSeparates(const Poly& a, const Poly& b) {
  for (size_t i = 0; i < a.vertices.size() && i < a.normals.size(); ++i) {
    if (b.vertices.empty()) return false;
    const Vec3& v = a.vertices[i];
    const Vec3& n = a.normals[i];
    float m = 1.0f;
    for (const Vec3& p : b.vertices) {
      m = std::min(m, n.x * (p.x - v.x) + n.y * (p.y - v.y));
      if (m < 0.0f) break;
    }
    if (m > 0.0f) return false;
  }
  return true;
}

bool Poly::Intersects(const Poly& other) const {
  // An empty polygon has no first vertex to measure from and covers nothing.
  if (vertices.empty() || other.vertices.empty()) return false;
  float dx = vertices[0].x - other.vertices[0].x;
  float dy = vertices[0].y - other.vertices[0].y;
  if (dx * dx + dy * dy > QUICK_REJECT_SQUARED) return false;
  return EdgeSeparates(*this, other) && EdgeSeparates(other, *this);
}

Vec3 Poly::Centroid() const {
  if (vertices.empty()) return {};
  Vec3 sum;
  for (const Vec3& v : vertices) sum += v;
  return sum / static_cast<float>(vertices.size());
}

std::pair<Vec3, Vec3> Poly::Bounds() const {
  if (vertices.empty()) return {};
  Vec3 lo = vertices[0];
  Vec3 hi = vertices[0];
  for (const Vec3& v : vertices) {
    if (v.x < lo.x) lo.x = v.x;
    if (v.y < lo.y) lo.y = v.y;
    if (v.x > hi.x) hi.x = v.x;
    if (v.y > hi.y) hi.y = v.y;
  }
  lo.z = hi.z = vertices[0].z;
  return {lo, hi};
}

unsigned long FiledPolyMoves() { return s_filedMoves; }

Poly& Poly::operator=(const Poly& other) {
  if (filed) ++s_filedMoves;
  label = other.label;
  vertices = other.vertices;
  normals = other.normals;
  return *this;
}

void Poly::Translate(const Vec3& delta) {
  if (filed) ++s_filedMoves;
  for (auto& v : vertices) v += delta;
}

void Poly::Rotate(float angle) {
  if (filed) ++s_filedMoves;
  const Vec3 q = Centroid();
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  for (auto& v : vertices) {
    Vec3 d = v - q;
    v = Vec3(d.x * c - d.y * s, d.x * s + d.y * c, d.z) + q;
  }
  for (auto& n : normals) n = Vec3(n.x * c - n.y * s, n.x * s + n.y * c, n.z);
}

void Poly::Scale(float factor) {
  if (filed) ++s_filedMoves;
  const Vec3 q = Centroid();
  for (auto& v : vertices) {
    v.x = q.x + (v.x - q.x) * factor;
    v.y = q.y + (v.y - q.y) * factor;
  }
}
