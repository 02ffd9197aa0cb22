// Nothing lost in the editor: a game killed with SIGKILL mid-edit offers its work at the
// next entry and has damaged nothing saved; the recovery copy follows unsaved work and goes
// with it; every way out of a changed level asks, and each answer keeps its promise.
// The killing test forks before this process starts SDL: it stays first in the file.
#include "core/GameState.h"
#include "core/Window.h"
#include "editor/Editor.h"
#include "editor/Recovery.h"
#include "levels/PlayTest.h"
#include "objects/GameObject.h"
#include "support/EditorSession.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
int Count(const std::vector<std::string>& tokens) { return static_cast<int>(std::count(tokens.begin(), tokens.end(), "ENEMY")); }
int Gunners() {
  return static_cast<int>(std::count_if(g_editor.placedObjects.begin(), g_editor.placedObjects.end(), [](GameObject* o) { return o->name == "ENEMY"; }));
}
void Undo(EditorSession& s) {
  s.harness.Key(SDL_SCANCODE_LCTRL, true);
  s.Key(SDL_SCANCODE_Z);
  s.harness.Key(SDL_SCANCODE_LCTRL, false);
  s.harness.Drain();
}

} // namespace

TEST(EditorRecovery, AGameKilledWhileEditingOffersItsWorkAndDamagedNothingSaved) {
  EditorSession s({.shippedLevels = true, .palette = true, .paletteText = ""});
  std::map<fs::path, std::string> saved;
  for (const auto& entry : fs::directory_iterator(s.LevelsFolder())) saved[entry.path()] = Bytes(entry.path());
  const fs::path copy = fs::path(s.LevelsFolder()) / "../Recovery/BOSS.txt2";
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    // The game editing BOSS in half-second frames: its copy is due after a minute of frames.
    std::freopen("/dev/null", "w", stdout);
    s.harness.loop.fixedFrameTime = 0.5f;
    if (!s.Enter()) _exit(1);
    g_editor.levelName = g_editor.displayName = "BOSS";
    s.ClickButton("UNSERIALIZE");
    s.Key(SDL_SCANCODE_4);
    s.Click(300, 600);
    s.Click(500, 650);
    for (;;) s.harness.Frame();
  }
  ASSERT_GT(child, 0);
  const auto start = std::chrono::steady_clock::now();
  while (!fs::exists(copy) && std::chrono::steady_clock::now() - start < std::chrono::seconds(60))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::this_thread::sleep_for(std::chrono::milliseconds(300)); // well into its next frames
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself";
  for (const auto& [path, bytes] : saved) EXPECT_TRUE(Bytes(path) == bytes) << path;

  ASSERT_TRUE(s.Enter());
  ASSERT_TRUE(g_editor.dialog.IsOpen());
  EXPECT_EQ(g_editor.dialog.LevelName(), "BOSS");
  s.Key(SDL_SCANCODE_R);
  EXPECT_EQ(g_editor.displayName, "BOSS");
  const int restored = Gunners();
  EXPECT_TRUE(g_editor.history.Unsaved());
  Undo(s); // the level as saved is one step back
  EXPECT_EQ(Gunners(), restored - 2);
  EXPECT_FALSE(g_editor.history.Unsaved());
  EXPECT_FALSE(fs::exists(copy)); // nothing unsaved: nothing to recover
}

TEST(EditorRecovery, TheCopyFollowsUnsavedWorkAndGoesWithIt) {
  EditorSession s({.shippedLevels = true, .palette = true, .paletteText = ""});
  s.harness.loop.fixedFrameTime = 1.0f; // a frame is a second of editing
  ASSERT_TRUE(s.Enter());
  EXPECT_FALSE(g_editor.dialog.IsOpen()); // nothing to offer
  const fs::path copy = fs::path(s.LevelsFolder()) / "../Recovery/BOSS.txt2";
  g_editor.levelName = g_editor.displayName = "BOSS";
  s.ClickButton("UNSERIALIZE");
  s.Key(SDL_SCANCODE_4);
  s.Click(300, 600);
  s.harness.Frame(static_cast<int>(RECOVERY_INTERVAL) - 8);
  EXPECT_FALSE(fs::exists(copy));
  s.harness.Frame(8);
  ASSERT_TRUE(fs::exists(copy));
  EXPECT_EQ(Count(FileTokens(copy.string())), Count(FileTokens(s.LevelsFolder() + "/BOSS.txt2")) + 1);

  // Undone to what the files hold; a play test keeps a copy at once; saved; discarded.
  Undo(s);
  EXPECT_FALSE(fs::exists(copy));
  s.Click(300, 600);
  s.Key(SDL_SCANCODE_F5);
  EXPECT_TRUE(fs::exists(copy));
  s.Key(SDL_SCANCODE_ESCAPE); // stay
  s.ClickButton("SERIALIZE");
  EXPECT_FALSE(fs::exists(copy));
  s.Click(500, 650);
  s.Key(SDL_SCANCODE_F5);
  for (SDL_Scancode key : {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_D}) s.Key(key);
  ASSERT_TRUE(s.harness.FramesUntil([] { return g_loop.currentState == STATE_MAIN_MENU; }, 50));
  EXPECT_FALSE(fs::exists(copy));

  // A new level, never asked about, is kept when the window closes: offered, put off, discarded.
  g_loop.nextState = STATE_EDITOR;
  s.harness.FramesUntil([] { return g_loop.currentState == STATE_EDITOR; }, 50);
  s.harness.Frame(2);
  g_editor.levelName = g_editor.displayName = "FRESH";
  s.Click(300, 600);
  s.harness.CloseWindow();
  s.harness.FramesUntil([&] { return !s.harness.running; }, 50);
  s.harness.Stop();
  const fs::path fresh = fs::path(s.LevelsFolder()) / "../Recovery/FRESH.txt2";
  for (SDL_Scancode answer : {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_D}) {
    ASSERT_TRUE(fs::exists(fresh));
    ASSERT_TRUE(s.Enter());
    ASSERT_TRUE(g_editor.dialog.IsOpen());
    EXPECT_EQ(g_editor.dialog.LevelName(), "FRESH");
    s.Key(answer);
    EXPECT_FALSE(g_editor.dialog.IsOpen());
    s.harness.Stop();
  }
  EXPECT_FALSE(fs::exists(fresh));
}

namespace {

enum Way { ESCAPE, LOAD, PREVIOUS, NEXT, F5 };
enum Answer { SAVE, DISCARD, STAY };

// Answered by letter, arrows and Enter, pad or mouse, in turn over the table's rows.
void Reply(EditorSession& s, VirtualPad& pad, Answer answer, int means) {
  if (means == 0) s.Key(answer == SAVE ? SDL_SCANCODE_S : answer == DISCARD ? SDL_SCANCODE_D : SDL_SCANCODE_ESCAPE);
  if (means == 1) {
    if (answer != SAVE) s.Key(answer == DISCARD ? SDL_SCANCODE_RIGHT : SDL_SCANCODE_LEFT); // left wraps to STAY
    s.Key(SDL_SCANCODE_RETURN);
  }
  if (means == 2) {
    const auto b = answer == SAVE ? SDL_CONTROLLER_BUTTON_A : answer == DISCARD ? SDL_CONTROLLER_BUTTON_X : SDL_CONTROLLER_BUTTON_B;
    pad.Button(b, true);
    s.harness.Frame(3);
    pad.Button(b, false);
    s.harness.Frame(3);
  }
  if (means == 3) s.Click(g_screen.width / 2.0f + 180.0f * (answer - 1), g_screen.height / 2.0f + 40.0f);
}

void AskAndAnswer(Way way) {
  for (Answer answer : {SAVE, DISCARD, STAY}) {
    SCOPED_TRACE(answer);
    EditorSession s;
    const char* level = "Vehicle PLAYER ../Assets/image/Tank_moving.png 0 1 1 0 100 100 25 25 EndVehicle\n"
                        "GameObject PROJECTILE ../Assets/image/mushroom2.png 0 1 1 0 0 0 10 5 EndGameObject\n"
                        "GameObject ENEMYPROJECTILE ../Assets/image/mushroom2.png 0 1 1 0 0 0 10 5 EndGameObject\n";
    for (const char* file : {"AAA.txt", "AAA.txt2", "BBB.txt", "BBB.txt2"}) s.tree.Write(std::string("Assets/Levels/") + file, level);
    std::string played;
    s.harness.Install(STATE_TUTORIAL, [&] {
      auto standIn = std::make_unique<RecordingLevel>(std::make_shared<std::vector<std::string>>());
      standIn->onUpdate = [&](RecordingLevel&) {
        played = PlayTestLevelPath("");
        g_loop.nextState = PlayTestExitState(STATE_MAIN_MENU);
      };
      return standIn;
    });
    ASSERT_TRUE(s.Enter());
    VirtualPad pad;
    s.ClickButton("UNSERIALIZE"); // AAA as saved: no question
    ASSERT_FALSE(g_editor.dialog.IsOpen());
    s.Key(SDL_SCANCODE_4);
    s.Click(800, 420);
    EXPECT_EQ(g_editor.windowTitle, "AAA* - Kvo level editor");

    if (way == ESCAPE) s.Key(SDL_SCANCODE_ESCAPE);
    if (way == F5) s.Key(SDL_SCANCODE_F5);
    if (way == LOAD || way == PREVIOUS || way == NEXT)
      s.ClickButton(way == LOAD ? "UNSERIALIZE" : way == PREVIOUS ? "PREVIOUS" : "NEXT");
    ASSERT_TRUE(g_editor.dialog.IsOpen());
    Reply(s, pad, answer, (way * 3 + answer) % 4);
    s.harness.FramesUntil([] { return g_loop.currentState != STATE_TUTORIAL; }, 50);
    s.harness.Frame(3);

    const bool goes = answer != STAY;
    EXPECT_FALSE(g_editor.dialog.IsOpen());
    EXPECT_EQ(Count(FileTokens(s.LevelsFolder() + "/AAA.txt2")), answer == SAVE ? 1 : 0);
    EXPECT_EQ(g_loop.currentState, way == ESCAPE && goes ? STATE_MAIN_MENU : STATE_EDITOR);
    EXPECT_EQ(played, way == F5 && goes ? "../Assets/Levels/AAA.txt" : "");
    EXPECT_EQ(g_editor.displayName, (way == PREVIOUS || way == NEXT) && goes ? "BBB" : "AAA");
    EXPECT_EQ(Gunners(), answer == DISCARD || (way == ESCAPE && goes) ? 0 : 1); // a left editor holds nothing
    EXPECT_EQ(g_editor.history.Unsaved(), answer == STAY);
    EXPECT_FALSE(goes && fs::exists(s.LevelsFolder() + "/../Recovery/AAA.txt2"));
  }
}

} // namespace

TEST(EditorUnsaved, EscapeAsks) { AskAndAnswer(ESCAPE); }
TEST(EditorUnsaved, LoadAsks) { AskAndAnswer(LOAD); }
TEST(EditorUnsaved, PreviousAsks) { AskAndAnswer(PREVIOUS); }
TEST(EditorUnsaved, NextAsks) { AskAndAnswer(NEXT); }
TEST(EditorUnsaved, F5OverASavedLevelAsks) { AskAndAnswer(F5); }
