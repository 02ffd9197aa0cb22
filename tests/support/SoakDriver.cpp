#include "support/SoakDriver.h"
#include <malloc.h>
#include "core/GameState.h"
#include "core/Window.h"
#include "editor/Editor.h"
#include "screens/Button.h"
#include "objects/Vehicle.h"
#include "objects/World.h"
#include <GL/glew.h>
#include "support/XFocus.h"
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// Keys by how often a player presses them: driving and firing most, menus' keys often,
// the rest of the keyboard now and then.
const std::vector<std::pair<SDL_Scancode, int>> kKeys = {
    {SDL_SCANCODE_W, 30},      {SDL_SCANCODE_A, 12},      {SDL_SCANCODE_S, 8},         {SDL_SCANCODE_D, 12},
    {SDL_SCANCODE_UP, 10},     {SDL_SCANCODE_DOWN, 6},    {SDL_SCANCODE_LEFT, 8},      {SDL_SCANCODE_RIGHT, 8},
    {SDL_SCANCODE_SPACE, 12},  {SDL_SCANCODE_RETURN, 6},  {SDL_SCANCODE_ESCAPE, 4},    {SDL_SCANCODE_K, 6},
    {SDL_SCANCODE_T, 2},       {SDL_SCANCODE_E, 3},       {SDL_SCANCODE_Q, 3},         {SDL_SCANCODE_C, 2},
    {SDL_SCANCODE_F11, 2},     {SDL_SCANCODE_F12, 1},     {SDL_SCANCODE_TAB, 2},       {SDL_SCANCODE_BACKSPACE, 2},
    {SDL_SCANCODE_DELETE, 2},  {SDL_SCANCODE_PAGEUP, 1},  {SDL_SCANCODE_PAGEDOWN, 1},  {SDL_SCANCODE_HOME, 1},
    {SDL_SCANCODE_END, 1},     {SDL_SCANCODE_INSERT, 1},  {SDL_SCANCODE_LSHIFT, 2},    {SDL_SCANCODE_LCTRL, 2},
    {SDL_SCANCODE_1, 2},       {SDL_SCANCODE_2, 2},       {SDL_SCANCODE_0, 1},         {SDL_SCANCODE_KP_5, 1},
    {SDL_SCANCODE_F1, 1},      {SDL_SCANCODE_F6, 1},      {SDL_SCANCODE_F7, 1},        {SDL_SCANCODE_F8, 1},
    {SDL_SCANCODE_X, 2},       {SDL_SCANCODE_Z, 2},       {SDL_SCANCODE_M, 1},         {SDL_SCANCODE_P, 1},
};

const SDL_GameControllerButton kPadButtons[] = {
    SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B,          SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,         SDL_CONTROLLER_BUTTON_BACK,       SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT,  SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};

const char* GlErrorName(GLenum e) {
  switch (e) {
  case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
  case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
  case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
  case GL_INVALID_FRAMEBUFFER_OPERATION: return "GL_INVALID_FRAMEBUFFER_OPERATION";
  case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
  default: return "GL error";
  }
}

} // namespace

SoakDriver::SoakDriver(uint32_t seed) : random(seed) {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  xDisplay = OpenXConnection();
}

SoakDriver::~SoakDriver() {
  Stop();
  CloseXConnection(xDisplay);
}

bool SoakDriver::Start() {
  Stop();
  game = std::make_unique<GameHarness>();
  if (!game->Start()) return false;
  ++counts.gameRuns;
  while (glGetError() != GL_NO_ERROR) {} // what start-up's GL loader may leave behind
  try {
    pad = std::make_unique<VirtualPad>();
  } catch (const std::exception& e) {
    std::printf("soak: no virtual pad (%s)\n", e.what());
  }
  heldKeys.clear();
  dragFramesLeft = focusFramesLeft = phaseFramesLeft = 0;
  return true;
}

void SoakDriver::Stop() {
  if (!game) return;
  // Leave a running state while the window exists, so that it frees what it drew with.
  pad.reset();
  game->Stop();
  game.reset();
}

int SoakDriver::CurrentState() const { return g_loop.currentState; }

void SoakDriver::Request(int stateId) { g_loop.nextState = stateId; }

void SoakDriver::CheckGl() {
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
    ++counts.glErrors;
    if (counts.firstGlError.empty())
      counts.firstGlError = std::string(GlErrorName(e)) + " in state " + std::to_string(CurrentState()) +
                            " at frame " + std::to_string(counts.frames);
  }
}

void SoakDriver::Settle() {
  ReleaseHeld();
  if (dragFramesLeft > 0) game->MouseButton(SDL_BUTTON_LEFT, false);
  dragFramesLeft = 0;
  if (pad)
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) pad->Button(static_cast<SDL_GameControllerButton>(b), false);
  if (game->Sdl() && focusFramesLeft > 0) {
    SDL_SetWindowInputFocus(game->Sdl());
    focusFramesLeft = 0;
  }
  game->Drain();
}

void SoakDriver::ReleaseHeld() {
  for (const Held& h : heldKeys) game->Key(static_cast<SDL_Scancode>(h.scancode), false);
  heldKeys.clear();
}

void SoakDriver::LoseFocus() {
  DropXFocus(xDisplay);
}

void SoakDriver::RandomInput() {
  std::uniform_int_distribution<int> percent(0, 999);
  SDL_Window* window = game->Sdl();
  int w = 1280, h = 720;
  if (window) SDL_GetWindowSize(window, &w, &h);
  std::uniform_int_distribution<int> px(-20, w + 20), py(-20, h + 20);

  // Keys: held ones run out, new ones are pressed held or tapped.
  for (auto it = heldKeys.begin(); it != heldKeys.end();) {
    if (--it->framesLeft <= 0) {
      game->Key(static_cast<SDL_Scancode>(it->scancode), false);
      it = heldKeys.erase(it);
    } else {
      ++it;
    }
  }
  if (percent(random) < 120) {
    int total = 0;
    for (auto& k : kKeys) total += k.second;
    int pick = std::uniform_int_distribution<int>(0, total - 1)(random);
    SDL_Scancode key = kKeys.back().first;
    for (auto& k : kKeys)
      if ((pick -= k.second) < 0) {
        key = k.first;
        break;
      }
    if (!allowQuit && key == SDL_SCANCODE_ESCAPE) key = SDL_SCANCODE_W;
    if (!allowWindowChanges && key == SDL_SCANCODE_F12) key = SDL_SCANCODE_W;
    bool alreadyHeld = false;
    for (const Held& held : heldKeys) alreadyHeld = alreadyHeld || held.scancode == key;
    if (!alreadyHeld) {
      game->Key(key, true);
      heldKeys.push_back({key, std::uniform_int_distribution<int>(1, 90)(random)});
    }
  }

  // The mouse: moves, clicks and drags anywhere on (and just off) the window.
  int roll = percent(random);
  if (dragFramesLeft > 0) {
    game->MouseMove(px(random), py(random));
    if (--dragFramesLeft == 0) game->MouseButton(SDL_BUTTON_LEFT, false);
  } else if (roll < 150) {
    game->MouseMove(px(random), py(random));
  } else if (roll < 200 && allowQuit) {
    const int button = roll < 185 ? SDL_BUTTON_LEFT : roll < 195 ? SDL_BUTTON_RIGHT : SDL_BUTTON_MIDDLE;
    game->MouseMove(px(random), py(random));
    game->MouseButton(button, true);
    game->MouseButton(button, false);
  } else if (roll >= 200 && roll < 208 && allowQuit) {
    game->MouseMove(px(random), py(random));
    game->MouseButton(SDL_BUTTON_LEFT, true);
    dragFramesLeft = std::uniform_int_distribution<int>(2, 30)(random);
  }

  // The pad.
  if (pad && pad->Attached()) {
    roll = percent(random);
    if (roll < 40 && allowQuit) {
      auto button = kPadButtons[std::uniform_int_distribution<int>(0, std::size(kPadButtons) - 1)(random)];
      pad->Button(button, true);
    } else if (roll < 90) {
      for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) pad->Button(static_cast<SDL_GameControllerButton>(b), false);
    } else if (roll < 140) {
      auto axis = static_cast<SDL_GameControllerAxis>(std::uniform_int_distribution<int>(0, SDL_CONTROLLER_AXIS_MAX - 1)(random));
      pad->Axis(axis, static_cast<Sint16>(std::uniform_int_distribution<int>(-32768, 32767)(random)));
    } else if (roll < 160) {
      for (int a = 0; a < SDL_CONTROLLER_AXIS_RIGHTY + 1; ++a) pad->Axis(static_cast<SDL_GameControllerAxis>(a), 0);
    }
  }

  // The window: focus away and back, resizes.
  roll = percent(random);
  if (focusFramesLeft > 0) {
    if (--focusFramesLeft == 0 && window) SDL_SetWindowInputFocus(window);
  } else if (roll < 3 && allowWindowChanges) {
    LoseFocus();
    focusFramesLeft = std::uniform_int_distribution<int>(5, 60)(random);
  } else if (roll < 6 && window && allowWindowChanges) {
    SDL_SetWindowSize(window, std::uniform_int_distribution<int>(320, 1280)(random),
                      std::uniform_int_distribution<int>(200, 800)(random));
  }
}

bool SoakDriver::Step() {
  if (!game || !game->running) {
    if (!Start()) return false;
  }
  RandomInput();
  const int state = CurrentState();
  const bool running = game->Frame();
  ++counts.frames;
  ++counts.framesInState[state];
  if (running) CheckGl();
  if (g_play.levelWon && !lastWon) ++counts.wins;
  if (g_play.levelLost && !lastLost) ++counts.losses;
  lastWon = g_play.levelWon;
  lastLost = g_play.levelLost;
  if (!running) {
    heldKeys.clear();
    Stop(); // the player quit: the next step starts the game again
  }
  return true;
}

void SoakDriver::VisitNextState() {
  const int state = CurrentState();
  int pick = std::uniform_int_distribution<int>(0, 9)(random);
  switch (pick) {
  case 0:
  case 1:
    // The campaign, by the menu's Enter when the menu runs.
    if (state == STATE_MAIN_MENU && !g_loop.paused) {
      game->Key(SDL_SCANCODE_RETURN, true);
      game->Key(SDL_SCANCODE_RETURN, false);
    } else {
      Request(STATE_LEVEL);
    }
    break;
  case 2:
    if (state == STATE_LEVEL) Request(STATE_RESTART);
    else Request(STATE_LEVEL);
    break;
  case 3: Request(STATE_WEAPON_SELECT); break;
  case 4:
    if (state == STATE_MAIN_MENU && !g_loop.paused) {
      game->Key(SDL_SCANCODE_T, true);
      game->Key(SDL_SCANCODE_T, false);
    } else {
      Request(STATE_TUTORIAL);
    }
    break;
  case 5: Request(STATE_EDITOR); break;
  case 6: Request(STATE_MAIN_MENU); break;
  default: break; // stay: the longer a state runs, the more of it random input reaches
  }
  phaseFramesLeft = std::uniform_int_distribution<int>(30, 300)(random);
}

bool SoakDriver::Tour(double seconds) {
  const auto start = std::chrono::steady_clock::now();
  // Every state once first, so that a slow machine still reaches them all; then chance.
  if (!VisitEveryState(20)) return false;
  while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
    if (game && game->running && --phaseFramesLeft <= 0) {
      if (!editorScratchLevel.empty() && CurrentState() == STATE_EDITOR) EditorSaveAndLoad(editorScratchLevel);
      VisitNextState();
    }
    if (!Step()) return false;
  }
  return true;
}

void SoakDriver::ClickEditorButton(const std::string& name) {
  for (auto& b : g_editor.buttons)
    if (b->name == name) {
      auto [low, high] = b->shape->Bounds();
      game->MouseMoveToLogical((low.x + high.x) / 2, (low.y + high.y) / 2);
      game->MouseButton(SDL_BUTTON_LEFT, true);
      game->Drain();
      game->MouseButton(SDL_BUTTON_LEFT, false);
      game->Drain();
      CheckGl();
      return;
    }
}

bool SoakDriver::EditorSaveAndLoad(const std::string& name) {
  if (!game || !game->running || g_loop.currentState != STATE_EDITOR || g_loop.nextState != STATE_EDITOR) return false;
  Settle();
  if (g_editor.renameMode) ClickEditorButton("RENAME");
  // The name a designer would have typed after RENAME.
  g_editor.levelName = g_editor.displayName = name;
  const std::string path = "../Assets/Levels/" + name + ".txt";
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::filesystem::remove(path + "2", ignored);
  ClickEditorButton("SERIALIZE");
  const bool saved = std::filesystem::exists(path) && std::filesystem::exists(path + "2");
  if (saved) ++counts.editorSaves;
  if (!game->running || g_loop.currentState != STATE_EDITOR) return false;
  const size_t placed = g_editor.placedObjects.size();
  ClickEditorButton("UNSERIALIZE");
  const bool loaded = saved && g_editor.levelPath == path && g_editor.placedObjects.size() == placed;
  if (loaded) ++counts.editorLoads;
  return loaded;
}

bool SoakDriver::Visit(int stateId, int frames) {
  Request(stateId);
  const int target = stateId == STATE_RESTART ? CurrentState() : stateId;
  // Leaving takes a frame; the restart comes back to the same id.
  if (!Step()) return false;
  if (!StepsUntil([target] { return g_loop.currentState == target; }, 300)) return false;
  return Play(frames) && game && game->running;
}

bool SoakDriver::VisitEveryState(int frames) {
  bool ok = Visit(STATE_MAIN_MENU, frames) && Visit(STATE_LEVEL, frames);
  if (ok && g_play.player) {
    // The campaign's end screen: the tank runs out of hit points as it would under fire.
    g_play.player->hp = 0;
    ok = Play(frames);
  }
  ok = ok && Visit(STATE_RESTART, frames) && Visit(STATE_WEAPON_SELECT, frames) && Visit(STATE_TUTORIAL, frames) &&
       Visit(STATE_EDITOR, frames);
  if (ok && !editorScratchLevel.empty()) EditorSaveAndLoad(editorScratchLevel);
  return ok && Visit(STATE_LEVEL, frames) && Visit(STATE_MAIN_MENU, frames);
}

bool SoakDriver::Play(int frames) {
  for (int i = 0; i < frames; ++i)
    if (!Step()) return false;
  return true;
}

bool SoakDriver::StepsUntil(const std::function<bool()>& done, int maxFrames) {
  for (int i = 0; i < maxFrames; ++i) {
    if (done()) return true;
    if (!Step()) return false;
  }
  return done();
}

int SoakDriver::LiveTextureCount() {
  // GL hands out the lowest names first in Mesa and never far above the live ones: probe
  // every name up to a fresh one, with a margin.
  GLuint fresh = 0;
  glGenTextures(1, &fresh);
  glDeleteTextures(1, &fresh);
  int live = 0;
  for (GLuint name = 1; name < fresh + 256; ++name)
    if (glIsTexture(name)) ++live;
  return live;
}

std::string SoakDriver::LiveGlObjects() {
  // Buffers, vertex arrays and programs by probing names, as for the textures.
  auto count = [](GLboolean (*is)(GLuint), GLuint limit) {
    int live = 0;
    for (GLuint name = 1; name < limit; ++name) live += is(name) ? 1 : 0;
    return live;
  };
  GLuint buffer = 0, array = 0;
  glGenBuffers(1, &buffer);
  glDeleteBuffers(1, &buffer);
  glGenVertexArrays(1, &array);
  glDeleteVertexArrays(1, &array);
  const GLuint program = glCreateProgram();
  glDeleteProgram(program);
  return std::to_string(count([](GLuint n) { return glIsBuffer(n); }, buffer + 256)) + " buffers, " +
         std::to_string(count([](GLuint n) { return glIsVertexArray(n); }, array + 256)) + " vertex arrays, " +
         std::to_string(count([](GLuint n) { return glIsProgram(n); }, program + 256)) + " programs";
}

long SoakDriver::ResidentKilobytes() {
  // The last frame finished first: the GL driver's share should not depend on how far along it is.
  glFinish();
  // Freed heap that the C library keeps for later is not the game's: tens of megabytes of it
  // come and go with the order of frees, and would read as growth or shrinkage at random.
  malloc_trim(0);
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
