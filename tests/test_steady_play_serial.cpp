// Serial: the level pauses while its window lacks the keyboard focus, so it must hold it.
// Steady play allocates nothing: once a shipped campaign level has run for a second,
// its Update and Draw take no memory from the heap, frame after frame. An allocation a
// frame is a stall waiting to happen on a slow machine, and it hides behind the
// rules' code (a temporary list, a string built to compare names) where no one looks.
#include <gtest/gtest.h>

#include "core/GameState.h"
#include "core/Window.h"
#include "levels/GenericLevel.h"
#include "objects/Vehicle.h"
#include "support/AllocationCount.h"
#include "support/GameHarness.h"

namespace {

class SteadyPlay : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(game.StartWithLevel());
  }
  void TearDown() override { game.LeaveLevelAndStop(); }

  // The level's own frame, as the loop runs it, with the player kept alive so that
  // nothing ends while the frames are counted.
  void PlayFrames(GenericLevel& level, int count) {
    for (int i = 0; i < count; ++i) {
      if (g_play.player) g_play.player->hp = 10;
      g_loop.frameTime = 1.0f / 60.0f;
      level.Update();
      level.Draw();
      game.loop.GetWindow()->Present();
    }
  }

  GameHarness game;
};

TEST_F(SteadyPlay, TheCampaignLevelsAllocateNothingAfterTheirFirstSecond) {
  g_loop.nextState = STATE_LEVEL;
  game.Frame(2);
  const char* names[3] = {"FIRSTMOD", "SECOND", "BOSS"};
  for (int i = 0; i < 3; ++i) {
    const std::string name = names[i];
    SCOPED_TRACE(name);
    auto* level = dynamic_cast<GenericLevel*>(game.loop.CurrentLevel());
    ASSERT_NE(level, nullptr);
    ASSERT_EQ(level->levelPath, std::string("../Assets/Levels/") + name + ".txt");
    level->screens.loading.loadTime = 3.0f; // past the loading picture
    PlayFrames(*level, 60);
    const long before = AllocationCount();
    PlayFrames(*level, 120);
    EXPECT_EQ(AllocationCount() - before, 0);
    // On to the next level, as the end screen's button does after a win.
    level->levelIndex = i + 1;
    g_loop.nextState = STATE_RESTART;
    game.Frame(2);
  }
}

} // namespace
