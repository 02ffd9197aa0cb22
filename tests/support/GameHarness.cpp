#include "support/GameHarness.h"
#include "game/GameSubsystems.h"
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/Options.h"
#include "levels/Replay.h"
#include "core/System.h"
#include "core/Viewport.h"
#include "core/Window.h"
#include "audio/Audio.h"
#include "editor/Editor.h"
#include "levels/FrontEnd.h"
#include "levels/GenericLevel.h"
#include "levels/Hud.h"
#include "levels/LevelFile.h"
#include "levels/PlayerRecords.h"
#include "levels/PlayTest.h"
#include "levels/TutorialLevel.h"
#include "objects/World.h"
#include "objects/WorldRules.h"
#include "pilot/Prove.h"
#include "platform/Display.h"
#include "platform/Focus.h"
#include "render/ParticleSys.h"
#include "render/TextureCache.h"
#include "screens/HighscoreTable.h"
#include "screens/MainMenu.h"
#include "screens/MyLevels.h"
#include "screens/UserLevel.h"
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include "core/Controls.h"
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void ResetGameGlobals() {
  // The loop, the screen, input and options; the engine systems.
  g_loop.Reset();
  g_screen.Reset();
  g_input.Reset();
  g_gamepad = Gamepad();
  g_options = Options{};
  g_controls.Reset();
  g_systems.clear();
  // Sound, play and the campaign's world.
  g_audio.reset();
  ResetSoundSlots();
  g_play.Reset();
  g_campaignWorld.Clear();
  DestroyBackgroundTiles();
  // The screens' records, as a new run of the game finds them.
  g_menu = MenuState();
  g_myLevels = MyLevelsState();
  g_userLevelRequest = UserLevelRequest();
  TakeCampaignStart();
  g_highscoreFile.ClearResult(); // the table stays where the test or the autopilot pointed it
  g_editor.Reset();
  g_hud.Reset();
  TUTORIAL_LEVEL::g_tutorial = TUTORIAL_LEVEL::TutorialState();
  g_frontEnd = FrontEnd();
  g_levelNames.clear();
  EndPlayTest();
  g_prove = ProveState();
  g_particles = ParticlePools();
}

// ============================================================================
// GameHarness
// ============================================================================

namespace {

// Tests share one X server, and its one pointer: another test's window moving it reaches
// ours as motion the test never made. The harness marks the mouse events it pushes, and
// the X server's own are dropped for as long as a harness drives the loop.
constexpr Uint32 HARNESS_MOUSE = 0x4B564F;

int KeepHarnessMouse(void*, SDL_Event* e) {
  switch (e->type) {
    case SDL_MOUSEMOTION: return e->motion.which == HARNESS_MOUSE;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return e->button.which == HARNESS_MOUSE;
    case SDL_MOUSEWHEEL: return e->wheel.which == HARNESS_MOUSE;
    default: return 1;
  }
}

} // namespace

GameHarness::GameHarness() {
  ResetGameGlobals();
  // Each run starts from the default options and keeps what it changes to itself, never
  // in the checkout's Assets/ the tests run beside.
  savedOptionsPath = OptionsPath();
  std::string pattern = (std::filesystem::temp_directory_path() / "kvo-options-XXXXXX").string();
  if (mkdtemp(pattern.data())) optionsFolder = pattern;
  SetOptionsPath(optionsFolder + "/Options.txt");
  savedRecordPaths = g_recordPaths;
  g_recordPaths = RecordPaths{optionsFolder + "/LevelBests.txt", optionsFolder + "/Progress.txt"};
  savedControlsPath = ControlsPath();
  SetControlsPath(optionsFolder + "/Controls.txt");
  savedReplayFolder = ReplayFolder();
  SetReplayFolder(optionsFolder + "/Replays"); // the runs a test plays are recorded there
  SetMessageBoxesShown(false);
  loop.framePacing = false;
  loop.subsystems = MakeGameSubsystems(); // the whole game behind the states a test installs
}

GameHarness::~GameHarness() {
  Stop();
  SetOptionsPath(savedOptionsPath);
  g_recordPaths = savedRecordPaths;
  SetControlsPath(savedControlsPath);
  SetReplayFolder(savedReplayFolder);
  std::error_code ignored;
  if (!optionsFolder.empty()) std::filesystem::remove_all(optionsFolder, ignored);
}

void GameHarness::Install(int stateId, GameLoop::LevelMaker make) { loop.InstallLevel(stateId, std::move(make)); }

bool GameHarness::Start() {
  SDL_SetEventFilter(KeepHarnessMouse, nullptr);
  running = loop.Startup();
  if (running) Settle();
  return running;
}

bool GameHarness::Frame(int count) {
  for (int i = 0; i < count && running; ++i) running = loop.RunFrame();
  return running;
}

bool GameHarness::Drain(int maxFrames) {
  Frame();
  for (int i = 1; i < maxFrames && running && PendingMessages() > 0; ++i) Frame();
  return running;
}

bool GameHarness::FramesUntil(const std::function<bool()>& done, int maxFrames) {
  for (int i = 0; i < maxFrames; ++i) {
    if (done()) return true;
    if (!Frame()) return done();
    SDL_Delay(1);
  }
  return done();
}

void GameHarness::Settle(double maxSeconds) {
  Clock::time_point start = Clock::now(), quietSince = start, focusAsked = start;
  while (running && std::chrono::duration<double>(Clock::now() - start).count() < maxSeconds) {
    Frame();
    bool focus = HasKeyboardFocus();
    // Tests running side by side share the X server: each new window takes the focus.
    if (!focus && Clock::now() - focusAsked > std::chrono::milliseconds(300)) {
      SDL_SetWindowInputFocus(Sdl());
      focusAsked = Clock::now();
    }
    if (!focus || PendingMessages() > 0)
      quietSince = Clock::now();
    else if (Clock::now() - quietSince > std::chrono::milliseconds(100))
      return;
    SDL_Delay(2);
  }
  if (running) std::printf("harness: still unsettled after %.1f s (focus %d, %d messages waiting)\n", maxSeconds,
                           HasKeyboardFocus() ? 1 : 0, PendingMessages());
}

bool GameHarness::StartWithLevel() {
  Install(STATE_MAIN_MENU, [] { return std::make_unique<Level>(); });
  Install<GenericLevel>(STATE_LEVEL);
  return Start();
}

void GameHarness::LeaveLevelAndStop() {
  g_loop.nextState = STATE_MAIN_MENU;
  Frame(2);
  DeleteCachedTextures();
  Stop();
}

void GameHarness::Stop() {
  loop.Shutdown();
  running = false;
  SDL_SetEventFilter(nullptr, nullptr);
}

SDL_Window* GameHarness::Sdl() const { return SdlWindowOf(g_screen.window); }

int GameHarness::PendingMessages() const {
  SDL_PumpEvents();
  return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void GameHarness::Key(SDL_Scancode key, bool down, bool repeat) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = SDL_GetWindowID(Sdl());
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.scancode = key;
  e.key.keysym.sym = SDL_GetKeyFromScancode(key);
  SDL_PushEvent(&e);
}

void GameHarness::TapKey(SDL_Scancode key) {
  Key(key, true);
  Drain();
  Key(key, false);
  Drain();
}

void GameHarness::MouseMove(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.which = HARNESS_MOUSE;
  e.motion.windowID = SDL_GetWindowID(Sdl());
  e.motion.x = x;
  e.motion.y = y;
  SDL_PushEvent(&e);
  pointerX = x;
  pointerY = y;
}

void LogicalToWindowPixel(float x, float y, int& px, int& py) {
  LogicalToWindow(CurrentPictureArea(g_screen.windowWidth, g_screen.windowHeight), g_screen.width, g_screen.height, x,
                  y, px, py);
}

void GameHarness::MouseMoveToLogical(float x, float y) {
  int px = 0, py = 0;
  LogicalToWindowPixel(x, y, px, py);
  MouseMove(px, py);
}

void GameHarness::ClickLogical(float x, float y) {
  MouseMoveToLogical(x, y);
  Drain();
  MouseButton(SDL_BUTTON_LEFT, true);
  Drain();
  MouseButton(SDL_BUTTON_LEFT, false);
  Drain();
}

void GameHarness::MouseButton(int sdlButton, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.which = HARNESS_MOUSE;
  e.button.windowID = SDL_GetWindowID(Sdl());
  e.button.button = static_cast<Uint8>(sdlButton);
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  // A real button event says where the pointer is; the tweak bars read it from there.
  e.button.x = pointerX;
  e.button.y = pointerY;
  SDL_PushEvent(&e);
}

void GameHarness::MouseWheel(int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.which = HARNESS_MOUSE;
  e.wheel.windowID = SDL_GetWindowID(Sdl());
  e.wheel.y = y;
  SDL_PushEvent(&e);
}

void GameHarness::CloseWindow() {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = SDL_GetWindowID(Sdl());
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_PushEvent(&e);
}

// ============================================================================
// VirtualPad
// ============================================================================

static int SDLCALL RecordRumble(void* userdata, Uint16 low, Uint16 high) {
  auto* pad = static_cast<VirtualPad*>(userdata);
  pad->lowSpeed = low;
  pad->highSpeed = high;
  ++pad->rumbleRequests;
  return 0;
}

VirtualPad::VirtualPad() {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "Test pad";
  desc.userdata = this;
  desc.Rumble = RecordRumble;
  deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
  if (deviceIndex < 0) throw std::runtime_error(std::string("virtual pad: ") + SDL_GetError());
  joystick = SDL_JoystickOpen(deviceIndex);
  if (!joystick) throw std::runtime_error(std::string("virtual pad: ") + SDL_GetError());
  // Triggers rest at the bottom of their raw range.
  SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MIN);
  SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MIN);
}

VirtualPad::~VirtualPad() { Detach(); }

void VirtualPad::Detach() {
  if (!joystick) return;
  SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
  SDL_JoystickClose(joystick);
  joystick = nullptr;
  for (int i = 0; i < SDL_NumJoysticks(); ++i)
    if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
}

void VirtualPad::Button(SDL_GameControllerButton button, bool down) {
  SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
}

void VirtualPad::Axis(SDL_GameControllerAxis axis, Sint16 value) { SDL_JoystickSetVirtualAxis(joystick, axis, value); }

// ============================================================================
// ScratchTree
// ============================================================================

ScratchTree::ScratchTree() {
  std::string pattern = (fs::temp_directory_path() / "kvo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
  root = pattern;
  fs::create_directories(fs::path(root) / "Assets");
  fs::create_directories(fs::path(root) / "shaders");
  fs::create_directories(fs::path(root) / "run");
  previousDirectory = fs::current_path().string();
  fs::current_path(fs::path(root) / "run");
}

ScratchTree::~ScratchTree() {
  std::error_code ignored;
  fs::current_path(previousDirectory, ignored);
  fs::remove_all(root, ignored);
}

void ScratchTree::Write(const std::string& relative, const std::string& content) const {
  fs::path path = fs::path(root) / relative;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}
