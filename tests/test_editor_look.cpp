// Not a check: puts a small level and both bars on the screen and saves a screenshot of
// the X display for a person to look at. Run by hand:
//   xvfb-run -a -s "-screen 0 1280x800x24" ./tests/test_editor_look --gtest_also_run_disabled_tests
#include "core/GameState.h"
#include "editor/Editor.h"
#include "objects/GameObject.h"
#include "support/EditorSession.h"
#include <gtest/gtest.h>
#include <cstdlib>

TEST(EditorLook, DISABLED_Screenshot) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  s.Key(SDL_SCANCODE_1);
  s.Click(500, 450);
  s.Key(SDL_SCANCODE_2);
  for (float x = 425; x < 900; x += 50) s.Click(x, 525);
  s.Key(SDL_SCANCODE_4);
  s.Click(700, 420);
  for (GameObject* o : g_editor.palette)
    if (o->name == "WALL") {
      s.Click(o->Position().x, o->Position().y);
      break;
    }
  for (float x = 400; x < 900; x += 52) s.Click(x, 600);
  s.Click(700, 420);
  s.harness.Frame(5);
  const char* out = std::getenv("KVO_SCREENSHOT");
  std::string command = std::string("import -window root ") + (out ? out : "/tmp/editor.png");
  ASSERT_EQ(std::system(command.c_str()), 0);
}
