#include <gtest/gtest.h>

#include <cmath>

#include "objects/Shape.h"

namespace {

// Corners in the order objects build them: normals come out (-1,0), (0,1), (1,0), (0,-1).
Poly Square(float cx, float cy, float half) {
  return Poly({{cx - half, cy - half, 0}, {cx - half, cy + half, 0}, {cx + half, cy + half, 0},
               {cx + half, cy - half, 0}});
}

void ExpectSameVertices(const Poly& a, const Poly& b, float tolerance) {
  ASSERT_EQ(a.vertices.size(), b.vertices.size());
  for (size_t i = 0; i < a.vertices.size(); ++i) {
    EXPECT_NEAR(a.vertices[i].x, b.vertices[i].x, tolerance) << "vertex " << i;
    EXPECT_NEAR(a.vertices[i].y, b.vertices[i].y, tolerance) << "vertex " << i;
  }
}

} // namespace

TEST(PolygonShape, NormalsPointOutwardForTheObjectCornerOrder) {
  Poly p = Square(0, 0, 10);
  const Vec3 expected[] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}};
  ASSERT_EQ(p.normals.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(p.normals[i].x, expected[i].x);
    EXPECT_FLOAT_EQ(p.normals[i].y, expected[i].y);
  }
  for (const auto& v : p.vertices) EXPECT_EQ(v.z, 1.0f);
}

TEST(PolygonOverlap, SquaresTouchingAlongAnEdgeOverlapAndAHairApartDoNot) {
  EXPECT_TRUE(Square(0, 0, 10).Intersects(Square(20, 0, 10)));
  EXPECT_TRUE(Square(20, 0, 10).Intersects(Square(0, 0, 10)));
  EXPECT_FALSE(Square(0, 0, 10).Intersects(Square(20.01f, 0, 10)));
  EXPECT_FALSE(Square(0, 0, 10).Intersects(Square(0, -20.01f, 10)));
  // Corner to corner is still touching.
  EXPECT_TRUE(Square(0, 0, 10).Intersects(Square(20, 20, 10)));
}

TEST(PolygonOverlap, FirstVerticesFurtherThan150ApartNeverCollide) {
  EXPECT_TRUE(Square(0, 0, 100).Intersects(Square(120, 0, 100)));
  // Still overlapping on screen, but the quick rejection measures first vertices.
  EXPECT_FALSE(Square(0, 0, 100).Intersects(Square(160, 0, 100)));
  EXPECT_TRUE(Square(0, 0, 100).Intersects(Square(150, 0, 100)));
}

TEST(PolygonOverlap, HeightIsIgnored) {
  Poly raised = Square(15, 0, 10);
  raised.Translate({0, 0, 5});
  for (const auto& v : raised.vertices) EXPECT_FLOAT_EQ(v.z, 6.0f);
  EXPECT_TRUE(Square(0, 0, 10).Intersects(raised));
  raised.Translate({10, 0, 0});
  EXPECT_FALSE(Square(0, 0, 10).Intersects(raised));
}

TEST(PolygonOverlap, ContainmentAndRotatedShapes) {
  EXPECT_TRUE(Square(0, 0, 50).Intersects(Square(5, 5, 2)));
  EXPECT_TRUE(Square(5, 5, 2).Intersects(Square(0, 0, 50)));
  Poly diamond = Square(0, 0, 10);
  diamond.Rotate(0.78539816f);
  // The diamond's tip reaches 14.14 along x: a square whose edge is at 14 is hit, one at 14.3 is not.
  EXPECT_TRUE(diamond.Intersects(Square(24, 0, 10)));
  EXPECT_FALSE(diamond.Intersects(Square(24.3f, 0, 10)));
}

TEST(PolygonOverlap, EmptyPolygonsOverlapNothing) {
  Poly empty;
  EXPECT_FALSE(empty.Intersects(Square(0, 0, 10)));
  EXPECT_FALSE(Square(0, 0, 10).Intersects(empty));
  EXPECT_TRUE(empty.ContainsPoint({123, 456, 0}));
  EXPECT_EQ(empty.Centroid(), Vec3());
}

TEST(PolygonPoint, BoundaryIsInsideAndJustBeyondIsOutside) {
  Poly p = Square(0, 0, 10);
  EXPECT_TRUE(p.ContainsPoint({10, 3, 0}));
  EXPECT_TRUE(p.ContainsPoint({-10, -10, 0}));
  EXPECT_TRUE(p.ContainsPoint({0, 0, 0}));
  EXPECT_FALSE(p.ContainsPoint({10.001f, 3, 0}));
  EXPECT_FALSE(p.ContainsPoint({3, -10.001f, 0}));
}

TEST(PolygonPoint, ZeroSizeShapeStaysFreeOfNaN) {
  Poly dot = Square(5, 5, 0);
  for (const auto& n : dot.normals) {
    EXPECT_FALSE(std::isnan(n.x));
    EXPECT_FALSE(std::isnan(n.y));
  }
  dot.Rotate(1.0f);
  EXPECT_FALSE(std::isnan(dot.vertices[0].x));
}

TEST(PolygonTransform, FourQuarterTurnsComeBackWithUnitNormals) {
  Poly p({{3, 1, 0}, {1, 7, 0}, {9, 8, 0}, {12, 2, 0}});
  const Poly start = p;
  for (int i = 0; i < 4; ++i) p.Rotate(1.5707964f);
  ExpectSameVertices(p, start, 1e-4f);
  for (const auto& n : p.normals) EXPECT_NEAR(std::hypot(n.x, n.y), 1.0f, 1e-5f);
}

TEST(PolygonTransform, QuarterTurnIsClockwiseOnScreenAboutTheCentroid) {
  Poly wide({{90, 45, 0}, {90, 55, 0}, {110, 55, 0}, {110, 45, 0}}); // 20 x 10
  wide.Rotate(1.5707964f);
  auto [lo, hi] = wide.Bounds();
  EXPECT_NEAR(hi.x - lo.x, 10.0f, 1e-4f);
  EXPECT_NEAR(hi.y - lo.y, 20.0f, 1e-4f);
  EXPECT_NEAR(wide.Centroid().x, 100.0f, 1e-4f);
  EXPECT_NEAR(wide.Centroid().y, 50.0f, 1e-4f);
  // +x turns towards +y: the first normal (-1, 0) becomes (0, -1).
  EXPECT_NEAR(wide.normals[0].x, 0.0f, 1e-6f);
  EXPECT_NEAR(wide.normals[0].y, -1.0f, 1e-6f);
}

TEST(PolygonTransform, ScaleAboutTheCentroidKeepsHeightAndNormals) {
  Poly p = Square(40, -20, 10);
  p.Translate({0, 0, 2});
  p.Scale(2.0f);
  auto [lo, hi] = p.Bounds();
  EXPECT_FLOAT_EQ(lo.x, 20.0f);
  EXPECT_FLOAT_EQ(hi.y, 0.0f);
  EXPECT_FLOAT_EQ(lo.z, 3.0f);
  EXPECT_FLOAT_EQ(p.normals[1].y, 1.0f);
  p.Scale(0.5f);
  ExpectSameVertices(p, Square(40, -20, 10), 1e-5f);
}
