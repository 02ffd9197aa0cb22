#include <gtest/gtest.h>
#include "core/GameState.h"

TEST(Smoke, StateIdsAreStable) {
  EXPECT_EQ(STATE_QUIT, 0);
  EXPECT_EQ(STATE_TUTORIAL, 6);
}
