#pragma once
#include <string>
#include <utility>
#include <vector>
#include "core/Vec3.h"

class Poly;

// A collision shape in world units. The owning object keeps it in step with
// its picture; every collision answer in the game comes from these slots.
class Shape {
public:
  virtual bool ContainsPoint(const Vec3& p) const = 0;         // inside or on the boundary
  virtual bool Intersects(const Poly& other) const = 0;        // overlap or touch, 150-unit reach
  virtual Vec3 Centroid() const = 0;                           // mean of the vertices, z included
  virtual std::pair<Vec3, Vec3> Bounds() const = 0;            // (min x,y ; max x,y), z of vertex 0
  virtual void Translate(const Vec3& delta) = 0;               // every vertex, z included
  virtual void Rotate(float /*angle*/) {}                      // radians, about the centroid
  virtual void Scale(float factor) = 0;                        // x and y about the centroid
  virtual ~Shape() = default;

  std::string label; // free text; copies keep it, nothing reads it
};

// Convex polygon with one outward unit normal per edge: normals[i] belongs to
// the edge from vertices[i] to vertices[(i + 1) % n]. Built from corners given
// counter-clockwise on a y-down screen (the order objects use), the normals
// point outward, which every test below relies on.
class Poly : public Shape {
public:
  Poly() = default;
  explicit Poly(const std::vector<Vec3>& points); // z of every vertex becomes 1
  Poly(const Poly& other) = default;              // label, vertices and normals exactly
  Poly& operator=(const Poly& other);             // the same; a filed polygon counts it as a move

  bool ContainsPoint(const Vec3& p) const override;
  // Rejects at once when the first vertices are more than 150 units apart:
  // level code tests all pairs every frame and objects are sized for this.
  bool Intersects(const Poly& other) const override;
  Vec3 Centroid() const override;
  std::pair<Vec3, Vec3> Bounds() const override;
  void Translate(const Vec3& delta) override;
  void Rotate(float angle) override; // positive turns +x towards +y (clockwise on screen)
  void Scale(float factor) override; // normals keep their direction
  ~Poly() override = default;

  std::vector<Vec3> vertices; // world units, construction order
  std::vector<Vec3> normals;  // unit, z 0; never renormalised after rotations
  bool filed = false;         // a BlockerIndex filed it by its place: moving it counts (FiledPolyMoves)
};

// How many times a polygon with filed set has been moved, turned, scaled or assigned since
// start-up; a BlockerIndex that reads the count it filed under knows none of its own moved.
unsigned long FiledPolyMoves();

// True when no edge of a separates b (the half of the separating-axis test
// that uses a's normals). Touching counts as overlapping.
bool EdgeSeparates(const Poly& a, const Poly& b);
