#include <gtest/gtest.h>

#include <cmath>

#include "objects/Shape.h"

namespace {

// Corners in the order objects build them, so the normals point outward.
Poly Square(float cx, float cy, float half) {
  return Poly({{cx - half, cy - half, 0}, {cx - half, cy + half, 0}, {cx + half, cy + half, 0},
               {cx + half, cy - half, 0}});
}

} // namespace

TEST(PolygonOverlap, TouchingCountsAndAHairApartDoesNot) {
  EXPECT_TRUE(Square(0, 0, 10).Intersects(Square(20, 0, 10)));
  EXPECT_TRUE(Square(20, 0, 10).Intersects(Square(0, 0, 10)));
  EXPECT_TRUE(Square(0, 0, 10).Intersects(Square(20, 20, 10))); // corner to corner
  EXPECT_FALSE(Square(0, 0, 10).Intersects(Square(20.01f, 0, 10)));
  EXPECT_FALSE(Square(0, 0, 10).Intersects(Square(0, -20.01f, 10)));
  EXPECT_TRUE(Square(5, 5, 2).Intersects(Square(0, 0, 50))); // one inside the other
  // The diamond's tip reaches 14.14 along x.
  Poly diamond = Square(0, 0, 10);
  diamond.Rotate(0.78539816f);
  EXPECT_TRUE(diamond.Intersects(Square(24, 0, 10)));
  EXPECT_FALSE(diamond.Intersects(Square(24.3f, 0, 10)));
}

TEST(PolygonOverlap, FirstVerticesMoreThan150ApartNeverCollide) {
  EXPECT_TRUE(Square(0, 0, 100).Intersects(Square(120, 0, 100)));
  EXPECT_TRUE(Square(0, 0, 100).Intersects(Square(150, 0, 100)));
  EXPECT_FALSE(Square(0, 0, 100).Intersects(Square(160, 0, 100))); // overlapping, yet too far
  Poly raised = Square(15, 0, 10);
  raised.Translate({0, 0, 5});
  EXPECT_FLOAT_EQ(raised.vertices[2].z, 6.0f);
  EXPECT_TRUE(Square(0, 0, 10).Intersects(raised)); // height plays no part
}

TEST(PolygonOverlap, DegeneratePolygonsStaySafe) {
  Poly empty;
  EXPECT_FALSE(empty.Intersects(Square(0, 0, 10)));
  EXPECT_FALSE(Square(0, 0, 10).Intersects(empty));
  EXPECT_EQ(empty.Centroid(), Vec3());
  Poly dot = Square(5, 5, 0); // a zero-size object
  dot.Rotate(1.0f);
  for (const auto& n : dot.normals) EXPECT_FALSE(std::isnan(n.x) || std::isnan(n.y));
  EXPECT_FALSE(std::isnan(dot.vertices[0].x));
}

TEST(PolygonPoint, BoundaryIsInsideAndJustBeyondIsOutside) {
  Poly p = Square(0, 0, 10);
  EXPECT_TRUE(p.ContainsPoint({10, 3, 0}));
  EXPECT_TRUE(p.ContainsPoint({-10, -10, 0}));
  EXPECT_FALSE(p.ContainsPoint({10.001f, 3, 0}));
  EXPECT_FALSE(p.ContainsPoint({3, -10.001f, 0}));
}

TEST(PolygonTransform, TurnsAndScalesAboutTheCentroid) {
  Poly p({{3, 1, 0}, {1, 7, 0}, {9, 8, 0}, {12, 2, 0}});
  const Poly start = p;
  for (int i = 0; i < 4; ++i) p.Rotate(1.5707964f);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(p.vertices[i].x, start.vertices[i].x, 1e-4f);
    EXPECT_NEAR(p.vertices[i].y, start.vertices[i].y, 1e-4f);
    EXPECT_NEAR(std::hypot(p.normals[i].x, p.normals[i].y), 1.0f, 1e-5f);
  }
  // A quarter turn is clockwise on the y-down screen: 20 x 10 becomes 10 x 20 in place.
  Poly wide({{90, 45, 0}, {90, 55, 0}, {110, 55, 0}, {110, 45, 0}});
  wide.Rotate(1.5707964f);
  auto [lo, hi] = wide.Bounds();
  EXPECT_NEAR(hi.x - lo.x, 10.0f, 1e-4f);
  EXPECT_NEAR(hi.y - lo.y, 20.0f, 1e-4f);
  EXPECT_NEAR(wide.normals[0].y, -1.0f, 1e-6f); // (-1, 0) turned towards +y
  wide.Scale(2.0f);
  EXPECT_NEAR(wide.Bounds().first.x, 90.0f, 1e-4f);
  EXPECT_NEAR(wide.Centroid().y, 50.0f, 1e-4f);
}
