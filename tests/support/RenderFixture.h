#pragma once
// Fixture for tests that draw: a shared GL context, a cleared frame, fresh state
// program caches, and a check that the test left no GL error behind.
#include <gtest/gtest.h>

#include "support/GlTestContext.h"

struct Box {
  int left = 0, top = 0, right = -1, bottom = -1; // inclusive, logical pixels
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
  bool Empty() const { return right < left; }
};

class RenderTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Bounding box of the pixels of the last ReadFrame that are brighter than black.
  Box LitBox() const;
  int LitCount() const;

  GlTestContext* gl = nullptr;
};
