// The editor's property bar and sound bar, used through Dear ImGui as a designer does:
// pointer moves, clicks and typing pushed as SDL events into the real loop.
#include "audio/Audio.h"
#include "core/GameState.h"
#include "editor/Editor.h"
#include "editor/PropertyBar.h"
#include "editor/SoundBar.h"
#include "objects/GameObject.h"
#include "platform/TweakBar.h"
#include "core/Input.h"
#include "core/Viewport.h"
#include "core/Window.h"
#include "support/EditorSession.h"
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

namespace {

constexpr const char* PROPERTY_BAR = "happybar";
constexpr const char* SOUND_BAR = "anotherbar";
constexpr const char* EMPTY_LABEL = "Update! Container is 0";

std::vector<std::string> Labels(const EditorSession& s, const char* bar) {
  std::vector<std::string> labels;
  for (const TwItemInfo& item : s.Items(bar)) labels.push_back(item.label);
  return labels;
}

// The sound rows are the read-only ones, labelled with their running numbers.
std::vector<std::string> SoundLabels(const EditorSession& s) {
  std::vector<std::string> labels;
  for (const TwItemInfo& item : s.Items(SOUND_BAR))
    if (item.kind == "readonly") labels.push_back(item.label);
  return labels;
}

// Two gunners and the player placed, the property bar showing the first object.
void PlaceThree(EditorSession& s) {
  s.Key(SDL_SCANCODE_1);
  s.Click(500, 300);
  s.Key(SDL_SCANCODE_4);
  s.Click(650, 300);
  s.Click(800, 300);
  ASSERT_EQ(g_editor.placedObjects.size(), 3u);
  s.Click(500, 300); // on the player: its properties
  s.FocusBar(PROPERTY_BAR);
}

} // namespace

TEST(EditorPropertyBar, EmptyLevelShowsOnlyTheUpdateButton) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  ASSERT_NE(TwFindBar(PROPERTY_BAR), nullptr);
  EXPECT_EQ(Labels(s, PROPERTY_BAR), std::vector<std::string>{EMPTY_LABEL});
  s.FocusBar(PROPERTY_BAR);
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, EMPTY_LABEL));
  EXPECT_EQ(Labels(s, PROPERTY_BAR), std::vector<std::string>{EMPTY_LABEL});
  EXPECT_TRUE(g_editor.placedObjects.empty());
  // A click on a bar is the bar's: nothing is placed beneath it.
  EXPECT_EQ(g_loop.currentState, STATE_EDITOR);
}

TEST(EditorPropertyBar, TitleButtonWalksTheObjectsAndWraps) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  PlaceThree(s);
  EXPECT_EQ(Labels(s, PROPERTY_BAR),
            (std::vector<std::string>{"PLAYER", "Pos X: ", "Pos Y: ", "Scale: ", "Rotate Degree: ", "HP: ", "Name: "}));
  EXPECT_EQ(s.Value(PROPERTY_BAR, "Name: "), "PLAYER");
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, "PLAYER"));
  EXPECT_EQ(s.Items(PROPERTY_BAR).front().label, "ENEMY");
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, "ENEMY"));
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, "ENEMY"));
  EXPECT_EQ(s.Items(PROPERTY_BAR).front().label, "PLAYER"); // past the last, the first again
  EXPECT_EQ(g_editor.placedObjects.size(), 3u); // clicks on the bar placed nothing
}

TEST(EditorPropertyBar, TypedValuesReachTheObject) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  PlaceThree(s);
  GameObject* player = g_editor.placedObjects[0];

  ASSERT_TRUE(s.EnterValue(PROPERTY_BAR, "Pos X: ", "420"));
  EXPECT_NEAR(player->Position().x, 420.0f, 0.01f);
  ASSERT_TRUE(s.EnterValue(PROPERTY_BAR, "HP: ", "7"));
  EXPECT_EQ(player->hp, 7);
  ASSERT_TRUE(s.EnterValue(PROPERTY_BAR, "Scale: ", "12"));
  EXPECT_FLOAT_EQ(player->scale, 1.0f); // outside 0-10: ignored
  ASSERT_TRUE(s.EnterValue(PROPERTY_BAR, "Scale: ", "2"));
  for (const char* tiny : {"1e-40", "0.001"}) ASSERT_TRUE(s.EnterValue(PROPERTY_BAR, "Scale: ", tiny));
  EXPECT_FLOAT_EQ(player->scale, 2.0f); // too small to be divided by at the next change

  ASSERT_TRUE(s.EnterValue(PROPERTY_BAR, "Rotate Degree: ", "-90"));
  EXPECT_NEAR(player->rotation, -std::numbers::pi / 2, 1e-4);
  EXPECT_NEAR(std::stof(s.Value(PROPERTY_BAR, "Rotate Degree: ")), -90.0f, 1e-3f);

  // Typing into the bar is the bar's: the C in the name does not clear the level.
  GameObject* gunner = g_editor.placedObjects[1];
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, "PLAYER"));
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, "Name: "));
  s.TypeKey(SDL_SCANCODE_C, "C");
  s.TypeKey(SDL_SCANCODE_C, "c");
  s.Key(SDL_SCANCODE_RETURN);
  s.harness.Frame(2);
  EXPECT_EQ(gunner->name, "Cc");
  EXPECT_EQ(g_editor.placedObjects.size(), 3u);
}

// The object, and so the file, keeps its angle within one turn: 400 degrees turn it by
// 40. The bar reads back what was typed while the object keeps that angle.
TEST(EditorPropertyBar, AnAngleReadsBackAsTypedAndIsSavedWithinOneTurn) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  PlaceThree(s);
  GameObject* player = g_editor.placedObjects[0];
  auto degrees = [&] { return std::stof(s.Value(PROPERTY_BAR, "Rotate Degree: ")); };

  ASSERT_TRUE(s.EnterValue(PROPERTY_BAR, "Rotate Degree: ", "400"));
  EXPECT_NEAR(player->rotation, 40.0 * std::numbers::pi / 180.0, 1e-4);
  EXPECT_FLOAT_EQ(degrees(), 400.0f);
  // Still 400 after the title button has walked all the way round, and only there.
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, "PLAYER"));
  EXPECT_FLOAT_EQ(degrees(), 0.0f);
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, "ENEMY"));
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, "ENEMY"));
  ASSERT_EQ(s.Items(PROPERTY_BAR).front().label, "PLAYER");
  EXPECT_FLOAT_EQ(degrees(), 400.0f);

  // Turned by anything else, the bar tells the object's own angle.
  player->Rotate(static_cast<float>(std::numbers::pi / 18));
  s.harness.Frame(2);
  EXPECT_NEAR(degrees(), 50.0f, 1e-3f);
  ASSERT_TRUE(s.EnterValue(PROPERTY_BAR, "Rotate Degree: ", "400"));

  // Saved as the object holds it, and opened again as 40 degrees.
  s.ClickButton("SERIALIZE");
  const std::vector<std::string> list = FileTokens(s.LevelsFolder() + "/" + g_editor.displayName + ".txt2");
  ASSERT_GE(list.size(), 12u);
  ASSERT_EQ(list[1], "PLAYER");
  EXPECT_NEAR(std::stod(list[6]), 40.0 * std::numbers::pi / 180.0, 1e-5);
  s.ClickButton("UNSERIALIZE");
  ASSERT_FALSE(g_editor.placedObjects.empty());
  s.Click(500, 300);
  ASSERT_EQ(s.Items(PROPERTY_BAR).front().label, "PLAYER");
  EXPECT_NEAR(degrees(), 40.0f, 1e-3f);
}

TEST(EditorPropertyBar, BlanksInANameSaveAndLoadAsOneObject) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  PlaceThree(s);
  ASSERT_TRUE(s.ClickItem(PROPERTY_BAR, "PLAYER"));
  ASSERT_TRUE(s.EnterValue(PROPERTY_BAR, "Name: ", "A B"));
  EXPECT_EQ(g_editor.placedObjects[1]->name, "A_B");

  s.ClickButton("SERIALIZE");
  s.Key(SDL_SCANCODE_C);
  s.ClickButton("UNSERIALIZE");
  ASSERT_EQ(g_editor.placedObjects.size(), 3u + 25u);
  EXPECT_EQ(g_editor.placedObjects[0]->name, "PLAYER");
  EXPECT_EQ(g_editor.placedObjects[1]->name, "A_B");
  EXPECT_EQ(g_editor.placedObjects[2]->name, "ENEMY");
  EXPECT_NEAR(g_editor.placedObjects[2]->Position().x, 800.0f, 1.5f);
}

TEST(EditorSoundBar, SlotsRetargetEffectsAndZeroPlaysNothing) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  ASSERT_NE(TwFindBar(SOUND_BAR), nullptr);
  ASSERT_GE(g_audio->SoundCount(), 4);
  std::vector<std::string> sounds = SoundLabels(s);
  ASSERT_EQ(static_cast<int>(sounds.size()), g_audio->SoundCount());
  EXPECT_EQ(sounds.front(), "1");
  EXPECT_EQ(s.Value(SOUND_BAR, "1"), g_audio->soundNames[0]);
  auto group = s.Items(SOUND_BAR)[sounds.size() + 3];
  EXPECT_EQ(group.label, "SE1: ");
  EXPECT_EQ(group.group, "Effects");
  EXPECT_EQ(group.help, "Sound of projectile hitting enemy");

  // SE4 is slot 5, the player-hit effect: set to 3, the hit plays sound 3.
  s.FocusBar(SOUND_BAR);
  ASSERT_TRUE(s.EnterValue(SOUND_BAR, "SE4: ", "3"));
  EXPECT_EQ(g_soundSlots[4], 3u);
  g_audio->effectTimer = 1.0f;
  PlaySlot(5);
  EXPECT_EQ(g_audio->lastEffect, g_audio->sounds[g_audio->soundNames[2]]);
  EXPECT_EQ(g_soundSlots[8], 9u); // the click keeps its own sound

  // A slot set to 0 plays nothing, and neither does "Play" with 0.
  ASSERT_TRUE(s.EnterValue(SOUND_BAR, "SE4: ", "0"));
  EXPECT_EQ(g_soundSlots[4], 0u);
  g_audio->lastEffect = nullptr;
  PlaySlot(5);
  EXPECT_EQ(g_audio->lastEffect, nullptr);
  ASSERT_TRUE(s.ClickItem(SOUND_BAR, "Play"));
  EXPECT_EQ(g_audio->lastEffect, nullptr);
  ASSERT_TRUE(s.EnterValue(SOUND_BAR, "In: ", "2"));
  ASSERT_TRUE(s.ClickItem(SOUND_BAR, "Play"));
  EXPECT_EQ(g_audio->lastEffect, g_audio->sounds[g_audio->soundNames[1]]);
  g_audio->nextEffectChannel = 5; // a full ring: the next effect would start it again
  for (const char* typed : {"2147483648", "4294967295"}) // past the int range: no sound either
    ASSERT_TRUE(s.EnterValue(SOUND_BAR, "In: ", typed) && s.ClickItem(SOUND_BAR, "Play"));
  EXPECT_EQ(g_audio->nextEffectChannel, 5);
}

TEST(EditorSoundBar, RebuildKeepsCountingAndRefreshStartsAgain) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  const size_t count = SoundLabels(s).size();
  ASSERT_GT(count, 0u);
  s.Key(SDL_SCANCODE_F12); // a display change rebuilds both bars
  s.harness.Frame(3);
  std::vector<std::string> rebuilt = SoundLabels(s);
  ASSERT_EQ(rebuilt.size(), count);
  EXPECT_EQ(rebuilt.front(), std::to_string(count + 1));
  EXPECT_EQ(Labels(s, PROPERTY_BAR), std::vector<std::string>{EMPTY_LABEL});

  Audio* before = g_audio.get();
  s.FocusBar(SOUND_BAR);
  ASSERT_TRUE(s.ClickItem(SOUND_BAR, "Refresh"));
  EXPECT_NE(g_audio.get(), before);
  std::vector<std::string> refreshed = SoundLabels(s);
  ASSERT_EQ(refreshed.size(), count);
  EXPECT_EQ(refreshed.front(), "1");
  EXPECT_EQ(refreshed.back(), std::to_string(count));
}

TEST(EditorBars, ReleasedWithTheEditorAndMadeAgainOnReturn) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  PlaceThree(s);
  EXPECT_EQ(TwBarCount(), 2);

  s.Key(SDL_SCANCODE_ESCAPE); // to the main menu
  ASSERT_TRUE(s.harness.FramesUntil([] { return g_loop.currentState == STATE_MAIN_MENU; }));
  s.harness.Frame(2);
  EXPECT_EQ(TwBarCount(), 0);
  EXPECT_EQ(g_editor.soundBar, nullptr);
  EXPECT_EQ(g_editor.propertyBar.bar, nullptr);
  s.Key(SDL_SCANCODE_F12);
  s.harness.Frame(3);
  EXPECT_EQ(TwBarCount(), 0);
  // Where the bars were, the menu gets its clicks.
  s.MoveTo(150, 100);
  s.Press(SDL_BUTTON_LEFT, true);
  EXPECT_TRUE(g_input.keyDown[1]);
  s.Press(SDL_BUTTON_LEFT, false);
  s.Type("kvo"); // text input is on all game: with no bar shown, none of it waits for one
  EXPECT_EQ(TwQueuedCharacters(), 0);

  g_loop.nextState = STATE_EDITOR;
  ASSERT_TRUE(s.harness.FramesUntil([] { return g_loop.currentState == STATE_EDITOR; }));
  s.harness.Frame(3);
  EXPECT_EQ(TwBarCount(), 2);
  EXPECT_EQ(Labels(s, PROPERTY_BAR), std::vector<std::string>{EMPTY_LABEL});
  EXPECT_EQ(SoundLabels(s).front(), "1");
}

// A full screen of another shape letterboxes the picture. The bars lie on the picture:
// drawn inside it, never on the black bands, and pointed at through it.
TEST(EditorBars, StayOnTheLetterboxedPicture) {
  EditorSession s;
  ASSERT_TRUE(s.Enter());
  const PictureArea area = CurrentPictureArea(g_screen.windowWidth, g_screen.windowHeight);
  if (area.x == 0 && area.y == 0) GTEST_SKIP() << "the display has the picture's shape: nothing is letterboxed";

  for (const char* name : {PROPERTY_BAR, SOUND_BAR}) {
    SCOPED_TRACE(name);
    float x = 0, y = 0, w = 0, h = 0;
    TwShownPlacement(TwFindBar(name), x, y, w, h);
    ASSERT_GT(w, 0.0f);
    int left = 0, top = 0, right = 0, bottom = 0;
    TwToWindowPixels(x, y, left, top);
    TwToWindowPixels(x + w, y + h, right, bottom);
    EXPECT_GE(left, area.x);
    EXPECT_GE(top, area.y);
    EXPECT_LE(right, area.x + area.width);
    EXPECT_LE(bottom, area.y + area.height);
  }

  // Drawn over a black window: the band above the bars stays black, the property bar
  // starts right at the picture's top-left corner. Without a window manager the X server
  // keeps the window at its windowed size whatever SDL reports, and the top rows have no
  // pixels to look at.
  auto brightest = [&](int row, int fromX, int toX) {
    std::vector<unsigned char> pixels(static_cast<size_t>(toX - fromX) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(fromX, g_screen.windowHeight - 1 - row, toX - fromX, 1, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return static_cast<int>(*std::max_element(pixels.begin(), pixels.end()));
  };
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (brightest(0, 0, 1) > 0) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(TwDraw());
    if (area.y > 0) { EXPECT_EQ(brightest(area.y - 2, 0, 300), 0); }
    if (area.x > 0) { EXPECT_EQ(brightest(area.y + 40, 0, area.x), 0); }
    EXPECT_GT(brightest(area.y + 6, area.x + 2, area.x + 150), 40);
  }

  // Pointed at: a press on the band beside the bar is the game's, one on the bar the bar's.
  auto pressTaken = [&](int px, int py) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = px;
    e.button.y = py;
    const bool taken = TwEventHandler(&e);
    e.type = SDL_MOUSEBUTTONUP;
    TwEventHandler(&e);
    return taken;
  };
  EXPECT_TRUE(pressTaken(area.x + 20, area.y + 3));
  if (area.y > 0) { EXPECT_FALSE(pressTaken(area.x + 20, area.y - 3)); }
  if (area.x > 0) { EXPECT_FALSE(pressTaken(area.x - 3, area.y + 20)); }
}

// The bars open on the field, apart from each other and clear of the palette, the sound
// bar wide enough for every sound name in the bars' font, on any screen: the shipped one,
// full screen on a 1600 x 1200 display (the picture letterboxed and drawn larger), and the
// smaller logical screens Windows.txt may ask for, where the bars end up stacked.
TEST(EditorBars, OpenApartOnTheFieldWithRoomForEverySoundName) {
  struct Screen {
    const char* name;
    const char* windows; // Windows.txt; null: the shipped one
    int displayWidth, displayHeight; // a full-screen display to show the picture on; 0: none
    bool sideBySide;
  };
  const Screen screens[] = {
      {"shipped", nullptr, 0, 0, true},
      {"full screen 1600 x 1200", nullptr, 1600, 1200, true},
      {"800 x 600", "816 640 0\n", 0, 0, true},
      {"640 x 360", "656 400 0\n", 0, 0, false},
  };
  for (const Screen& screen : screens) {
    SCOPED_TRACE(screen.name);
    EditorSession s;
    if (screen.windows) {
      std::filesystem::remove(s.tree.root + "/Assets/Windows.txt"); // the link, not the shipped file
      s.tree.Write("Assets/Windows.txt", screen.windows);
    }
    ASSERT_TRUE(s.Enter());
    if (screen.displayWidth > 0) {
      // What the window does on such a display: the picture moves, the bars are made again.
      const PictureArea area = FitPicture(screen.displayWidth, screen.displayHeight, g_screen.width, g_screen.height);
      TwPictureArea(area.x, area.y, area.width, area.height);
      RebuildEditorBars();
    }
    const float fieldWidth = static_cast<float>(g_screen.width - LEVEL_AREA_MARGIN);
    s.Key(SDL_SCANCODE_1);
    for (int click = 0; click < 2; ++click) s.Click(fieldWidth - 40, g_screen.height - 40.0f); // placed, then shown
    ASSERT_EQ(Labels(s, PROPERTY_BAR).size(), 7u);

    struct Rect {
      float x = 0, y = 0, w = 0, h = 0;
    } bars[2];
    for (int i = 0; i < 2; ++i) {
      const char* name = i == 0 ? PROPERTY_BAR : SOUND_BAR;
      TwShownPlacement(TwFindBar(name), bars[i].x, bars[i].y, bars[i].w, bars[i].h);
      EXPECT_GT(bars[i].w, 0.0f) << name;
      EXPECT_GE(std::min(bars[i].x, bars[i].y), 0.0f) << name;
      EXPECT_LE(bars[i].x + bars[i].w, fieldWidth) << name << " covers the palette";
      EXPECT_LE(bars[i].y + bars[i].h, static_cast<float>(g_screen.height)) << name;
    }
    const Rect &a = bars[0], &b = bars[1];
    EXPECT_TRUE(a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y) << "the bars overlap";
    EXPECT_EQ(a.y == b.y, screen.sideBySide);
    for (const TwItemInfo& item : s.Items(SOUND_BAR))
      if (item.kind == "readonly") { EXPECT_TRUE(item.whole) << item.value << " is cut"; }
  }
}

// A font file cut short (its outlines lost, or its tables too) is said once; the bars write
// with ImGui's own font, still with room for every sound name.
TEST(EditorBars, ADamagedFontIsSaidOnceAndTheBarsWriteWithTheirOwn) {
  for (double keep : {0.5, 0.1}) {
    SCOPED_TRACE(keep);
    EditorSession s;
    const std::string font = s.tree.root + "/Assets/font";
    std::filesystem::remove(font); // the link, not the shipped folder
    std::filesystem::create_directories(font);
    const std::string file = font + "/RobotoCondensed-Regular.ttf";
    std::filesystem::copy_file(s.realAssets + "/font/RobotoCondensed-Regular.ttf", file);
    std::filesystem::resize_file(file, static_cast<uintmax_t>(std::filesystem::file_size(file) * keep));
    testing::internal::CaptureStdout();
    ASSERT_TRUE(s.Enter());
    s.Key(SDL_SCANCODE_F12); // the bars made again: nothing more is said
    s.harness.Frame(3);
    const std::string output = testing::internal::GetCapturedStdout();
    size_t said = 0;
    for (size_t at = 0; (at = output.find("is not a font the tweak bars can use", at)) != std::string::npos; ++at) ++said;
    EXPECT_EQ(said, 1u) << output;
    for (const TwItemInfo& item : s.Items(SOUND_BAR))
      if (item.kind == "readonly") { EXPECT_TRUE(item.whole) << item.value << " is cut"; }
  }
}
