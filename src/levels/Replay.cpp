#include "levels/Replay.h"

#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/InputTape.h"
#include "core/Options.h"
#include "core/Window.h"
#include "levels/GenericLevel.h"
#include "levels/Hud.h"
#include "levels/PlayTest.h"
#include "levels/TutorialLevel.h"
#include "objects/GameObject.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "platform/KeyCodes.h"
#include "render/Font.h"
#include "render/ImageFile.h"
#include "render/SquarePrimitive.h"
#include "render/TextureCache.h"
#include "render/Texture.h"

namespace {

// ============================================================================
// Module state
// ============================================================================

constexpr float GHOST_ALPHA = 0.7f;
constexpr int HOLD_AFTER_END_FRAMES = 150; // the end screen stays this long after a watched run
constexpr int FAST_FORWARD = 4;

// Input and play state carried into a level from before its build.
ReplayStart TakeStart() {
  ReplayStart start;
  for (int code = 0; code < 256; ++code) {
    auto down = g_input.keyDown.find(code), triggered = g_input.keyTriggered.find(code);
    if (down != g_input.keyDown.end() && down->second) start.keyDown[code / 8] |= static_cast<uint8_t>(1 << (code % 8));
    if (triggered != g_input.keyTriggered.end() && triggered->second)
      start.keyTriggered[code / 8] |= static_cast<uint8_t>(1 << (code % 8));
  }
  start.mouseX = g_input.mousePosition.x;
  start.mouseY = g_input.mousePosition.y;
  start.usingGamepad = g_input.usingGamepad;
  for (int i = 0; i < PAD_BUTTON_COUNT; ++i)
    if (g_gamepad.previous[i]) start.padPrevious |= static_cast<uint16_t>(1 << i);
  start.cheatMode = g_play.cheatMode;
  return start;
}

void RestoreStart(const ReplayStart& start) {
  for (int code = 0; code < 256; ++code) {
    const bool down = start.keyDown[code / 8] & (1 << (code % 8));
    const bool triggered = start.keyTriggered[code / 8] & (1 << (code % 8));
    // Entries the recording never had stay absent: reading one creates it as false anyway.
    if (down || g_input.keyDown.count(code)) g_input.keyDown[code] = down;
    if (triggered || g_input.keyTriggered.count(code)) g_input.keyTriggered[code] = triggered;
  }
  g_input.mousePosition.x = start.mouseX;
  g_input.mousePosition.y = start.mouseY;
  g_input.usingGamepad = start.usingGamepad;
  for (int i = 0; i < PAD_BUTTON_COUNT; ++i) g_gamepad.previous[i] = start.padPrevious & (1 << i);
  g_play.cheatMode = start.cheatMode;
}

bool RunOver();

ReplayOutcome Standing(const GenericLevel& level, int frames) {
  ReplayOutcome now;
  now.won = g_play.levelWon || (RunOver() && !g_play.levelLost);
  now.frames = frames;
  now.hp = g_play.player ? g_play.player->hp : 0;
  now.stars = g_play.score;
  now.thermometer = level.PizzaCounts() ? std::clamp(g_play.thermometer, 0.0f, 1.0f) : 0.0f;
  now.total = ScoreTotal(now.thermometer, now.stars);
  return now;
}

bool Beats(const ReplayOutcome& a, const ReplayOutcome& b) {
  if (a.won != b.won) return a.won;
  if (a.total != b.total) return a.total > b.total;
  return a.frames < b.frames;
}

std::string Loadout() {
  std::string text;
  if (!g_play.player) return text;
  for (const auto& weapon : g_play.player->weapons) text += (text.empty() ? "" : " ") + (weapon ? weapon->name : "-");
  return text;
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ============================================================================
// Recording
// ============================================================================

class Recording : public InputTape {
public:
  Recording(GenericLevel& level_, Replay header) : level(level_), run(std::move(header)) {}

  bool BeginFrame() override {
    current.frameTime = g_loop.frameTime;
    current.focus = RealFocus();
    current.events = std::move(heard);
    heard.clear();
    return true;
  }
  void Heard(const InputEvent& event) override {
    // The loop's own keys (display mode, read-outs) are not the rules' input.
    const bool loopKey = (event.kind == InputEvent::Kind::KeyDown || event.kind == InputEvent::Kind::KeyUp) &&
                         (event.code == KEY_F11 || event.code == KEY_F12);
    if (!loopKey && !ended) heard.push_back(event);
  }
  void PadPolled(PadState& polled) override {
    current.pad = polled;
    current.pad.packetNumber = 0;
  }
  bool Focus() override { return current.focus; }
  void EndFrame() override;

  GenericLevel& level;
  Replay run;
  int frame = 0; // frames recorded so far
  bool ended = false;

private:
  ReplayFrame current;
  std::vector<InputEvent> heard;
};

// ============================================================================
// Playback
// ============================================================================

class Playback : public InputTape {
public:
  Playback(GenericLevel& level_, Replay recorded, int exitState_, bool checking_)
      : level(level_), run(std::move(recorded)), exitState(exitState_), checking(checking_) {}

  bool BeginFrame() override;
  void EndFrame() override;
  bool PacesFrame() const override { return !fast || frame % FAST_FORWARD == 0; }
  bool Intercepts(const InputEvent& event) override;
  void PadPolled(PadState& polled) override {
    if (Current()) polled = Current()->pad;
  }
  bool Focus() override { return Current() ? Current()->focus : true; }
  bool KeepsOptions() const override { return false; }
  void Conclude();

  GenericLevel& level;
  Replay run;
  int exitState;
  bool checking;
  int frame = 0;     // tape frames played
  bool played = false; // this frame took its input from the tape
  bool paused = false;
  bool pauseAsked = false;
  bool fast = false;
  bool concluded = false;
  int hold = HOLD_AFTER_END_FRAMES;
  std::unique_ptr<SquarePrimitive> backing; // under the replay's lines
  bool outcomeTaken = false;
  ReplayOutcome outcome;
  int departedAt = -1;
  size_t nextTrace = 0;

private:
  const ReplayFrame* Current() const {
    return frame < static_cast<int>(run.frames.size()) ? &run.frames[static_cast<size_t>(frame)] : nullptr;
  }
};

// ============================================================================
// The ghost: the best run's tank along its trace
// ============================================================================

struct Ghost {
  std::vector<TracePoint> trace;
  std::unique_ptr<GameObject> tank;
  unsigned int texture = 0; // the player's picture at a fraction of its opacity
};

struct ReplayModule {
  std::string folder = REPLAY_FOLDER;
  std::unique_ptr<Recording> recording;
  std::unique_ptr<Playback> playback;
  std::unique_ptr<Replay> pending; // read, waiting for its level's build
  int pendingExit = STATE_MAIN_MENU;
  uint32_t seed = 0;
  uint64_t weaponDraws = 0;
  bool leftByPortal = false; // this run ended at a portal to the menu
  std::string lastRunPath;
  bool checking = false;
  bool keepRuns = true;
  ReplayVerdict verdict;
  Ghost ghost;
};
ReplayModule s_replay;

bool RunOver() { return g_play.levelWon || g_play.levelLost || s_replay.leftByPortal; }

void Detach(InputTape* tape) {
  if (g_inputTape == tape) g_inputTape = nullptr;
}

void Keep(Recording& r) {
  if (!s_replay.keepRuns) return;
  std::error_code error;
  std::filesystem::create_directories(s_replay.folder, error);
  const std::string name = r.run.levelName;
  std::string failure;
  const std::string last = LastReplayPath(name);
  if (!WriteReplayFile(last, r.run, failure)) {
    std::printf("Replay: the run of %s is not kept (%s)\n", name.c_str(), failure.c_str());
    return;
  }
  s_replay.lastRunPath = last;
  if (!r.run.outcome.won) return;
  Replay best;
  std::string unread;
  const bool hasBest = ReadReplayFile(BestReplayPath(name), best, unread) && best.levelChecksum == r.run.levelChecksum;
  if (hasBest && !Beats(r.run.outcome, best.outcome)) return;
  if (!WriteReplayFile(BestReplayPath(name), r.run, failure))
    std::printf("Replay: the best run of %s is not kept (%s)\n", name.c_str(), failure.c_str());
}

void Recording::EndFrame() {
  if (ended) return;
  run.frames.push_back(current);
  current.events.clear();
  if (frame % TRACE_EVERY_FRAMES == 0 && g_play.player) {
    const Vec3 at = g_play.player->Position();
    run.trace.push_back(TracePoint{frame, at.x, at.y, g_play.player->rotation});
  }
  ++frame;
  if (!RunOver()) return;
  ended = true;
  run.outcome = Standing(level, frame);
  Keep(*this);
}

bool Playback::BeginFrame() {
  if (pauseAsked) {
    // The frame the pause was asked in still plays, so the picture that stays says so.
    pauseAsked = false;
    paused = true;
  } else if (paused) {
    return false;
  }
  const ReplayFrame* f = Current();
  if (!f) {
    if (!concluded) Conclude();
    if (checking || --hold < 0) {
      g_loop.nextState = exitState;
      return false;
    }
    g_loop.frameTime = 1.0f / 60.0f; // the end screen shows; nothing is fed any more
    return true;
  }
  g_loop.frameTime = f->frameTime;
  for (const InputEvent& e : f->events) ApplyInput(e);
  played = true;
  return true;
}

void Playback::EndFrame() {
  if (!played || !Current()) return;
  played = false;
  if (nextTrace < run.trace.size() && run.trace[nextTrace].frame == frame) {
    const TracePoint& t = run.trace[nextTrace++];
    const Vec3 at = g_play.player ? g_play.player->Position() : Vec3();
    const float rotation = g_play.player ? g_play.player->rotation : 0.0f;
    if (departedAt < 0 && !(SameBits(at.x, t.x) && SameBits(at.y, t.y) && SameBits(rotation, t.rotation)))
      departedAt = frame;
  }
  ++frame;
  if (!outcomeTaken && RunOver()) {
    outcomeTaken = true;
    outcome = Standing(level, frame);
  }
}

bool Playback::Intercepts(const InputEvent& event) {
  if (checking || event.kind != InputEvent::Kind::KeyDown) return true;
  if (event.code == KEY_ESCAPE) {
    if (!concluded) Conclude();
    g_loop.nextState = exitState;
  } else if (event.code == KEY_A + ('P' - 'A') || event.code == KEY_SPACE) {
    if (paused) paused = false;
    else pauseAsked = true;
  } else if (event.code == KEY_A + ('F' - 'A')) {
    fast = !fast;
  }
  return true; // nothing of the watcher's reaches the rules
}

void Playback::Conclude() {
  concluded = true;
  ReplayVerdict& v = s_replay.verdict;
  v = ReplayVerdict();
  v.levelName = run.levelName;
  v.played = !Current();
  v.recorded = run.outcome;
  v.ended = outcomeTaken;
  v.got = outcomeTaken ? outcome : Standing(level, frame);
  if (!outcomeTaken) v.got.won = false;
  v.matches = v.played && v.got.won == v.recorded.won && v.got.frames == v.recorded.frames &&
              v.got.hp == v.recorded.hp && v.got.stars == v.recorded.stars &&
              SameBits(v.got.thermometer, v.recorded.thermometer) && v.got.total == v.recorded.total;
  v.departedAt = departedAt;
}

// The player's picture, its alpha scaled down: the ghost's own texture.
unsigned int GhostTexture(const std::string& path) {
  DecodedImage image;
  if (path.size() < 4 || path.compare(path.size() - 4, 4, ".png") != 0 || !DecodePng(path.c_str(), image)) return 0;
  DecodedImage ghost;
  ghost.width = image.width;
  ghost.height = image.height;
  ghost.channels = 4;
  ghost.pixels.resize(static_cast<size_t>(image.width) * image.height * 4);
  std::vector<unsigned char>& rgba = ghost.pixels;
  for (size_t i = 0, n = static_cast<size_t>(image.width) * image.height; i < n; ++i) {
    const unsigned char* p = &image.pixels[i * static_cast<size_t>(image.channels)];
    const float a = (image.channels == 4 ? p[3] : 255) * GHOST_ALPHA;
    // A pale blue cast, so the ghost never reads as the player.
    rgba[i * 4 + 0] = static_cast<unsigned char>(p[0] * 0.3f + 150);
    rgba[i * 4 + 1] = static_cast<unsigned char>(p[1] * 0.3f + 175);
    rgba[i * 4 + 2] = static_cast<unsigned char>(p[2] * 0.15f + 215);
    rgba[i * 4 + 3] = static_cast<unsigned char>(a);
  }
  return UploadImage(ghost);
}

void DropGhost() {
  if (s_replay.ghost.texture) glDeleteTextures(1, &s_replay.ghost.texture);
  s_replay.ghost = Ghost();
}

void StartGhost(const std::string& levelName, uint32_t checksum) {
  DropGhost();
  if (!g_options.ghost || !g_play.player || !g_play.player->graphic) return;
  Replay best;
  std::string unread;
  if (!ReadReplayFile(BestReplayPath(levelName), best, unread) || best.levelChecksum != checksum ||
      best.trace.empty())
    return;
  Ghost& ghost = s_replay.ghost;
  ghost.trace = std::move(best.trace);
  ghost.tank = std::make_unique<GameObject>(*g_play.player);
  ghost.tank->ResetTree();
  ghost.texture = GhostTexture(g_play.player->ImagePath());
  if (ghost.texture) ghost.tank->graphic->textureName = ghost.texture;
}

// Where the ghost stands after `frame` frames: along the trace, eased between its points.
bool GhostAt(int frame, TracePoint& out) {
  const std::vector<TracePoint>& t = s_replay.ghost.trace;
  if (t.empty() || frame > t.back().frame + TRACE_EVERY_FRAMES) return false; // its run has ended
  auto next = std::upper_bound(t.begin(), t.end(), frame, [](int f, const TracePoint& p) { return f < p.frame; });
  if (next == t.begin()) {
    out = t.front();
    return true;
  }
  if (next == t.end()) {
    out = t.back();
    return true;
  }
  const TracePoint& a = *(next - 1);
  const TracePoint& b = *next;
  // Catmull-Rom through the neighbours: a turn between two points is drawn as a curve.
  const TracePoint& p0 = next - 1 == t.begin() ? a : *(next - 2);
  const TracePoint& p3 = next + 1 == t.end() ? b : *(next + 1);
  const float s = static_cast<float>(frame - a.frame) / static_cast<float>(std::max(1, b.frame - a.frame));
  auto spline = [s](float v0, float v1, float v2, float v3) {
    return 0.5f * (2 * v1 + (-v0 + v2) * s + (2 * v0 - 5 * v1 + 4 * v2 - v3) * s * s + (-v0 + 3 * v1 - 3 * v2 + v3) * s * s * s);
  };
  out.frame = frame;
  out.x = spline(p0.x, a.x, b.x, p3.x);
  out.y = spline(p0.y, a.y, b.y, p3.y);
  // The shorter way round between the two headings.
  float turn = std::remainder(b.rotation - a.rotation, 2.0f * static_cast<float>(M_PI));
  out.rotation = a.rotation + turn * s;
  return true;
}

} // namespace

// ============================================================================
// Files
// ============================================================================

const std::string& ReplayFolder() { return s_replay.folder; }
void SetReplayFolder(const std::string& folder) { s_replay.folder = folder; }
std::string BestReplayPath(const std::string& levelName) { return s_replay.folder + "/" + levelName + ".best.kvr"; }
std::string LastReplayPath(const std::string& levelName) { return s_replay.folder + "/" + levelName + ".last.kvr"; }

uint32_t LevelChecksum(const std::string& levelPath) {
  return ReplayChecksum({levelPath, levelPath + "2", "../Assets/Player.txt"});
}

std::string LevelNameOf(const std::string& levelPath) { return std::filesystem::path(levelPath).stem().string(); }

const std::string& LastRunPath() { return s_replay.lastRunPath; }

void SetRunsKept(bool kept) { s_replay.keepRuns = kept; }

// ============================================================================
// Hooks of the playing states
// ============================================================================

void SeedRun(GenericLevel& level) {
  if (s_replay.pending) {
    const Replay& run = *s_replay.pending;
    // The replay's level, whichever the state would have built next.
    level.levelIndex = run.levelIndex;
    level.levelPath = run.levelPath;
    s_replay.seed = run.seed;
    RewindWeaponRandom(run.weaponDraws);
  } else {
    // A seed of its own for every run, drawn from the generator start-up seeded by the clock:
    // the level looks as varied as ever, and the recording can name it.
    s_replay.seed = static_cast<uint32_t>(std::rand());
  }
  s_replay.weaponDraws = WeaponRandomDraws();
  std::srand(s_replay.seed);
}

void StartRun(GenericLevel& level) {
  EndRun(level);
  s_replay.leftByPortal = false;
  if (!s_replay.pending) s_replay.lastRunPath.clear(); // WATCH offers this run once it is kept
  if (s_replay.pending) {
    std::unique_ptr<Replay> run = std::move(s_replay.pending);
    if (run->levelPath != level.levelPath) {
      std::printf("Replay: the game built %s instead of %s, the replay stops\n", level.levelPath.c_str(),
                  run->levelPath.c_str());
      g_loop.nextState = s_replay.pendingExit;
      return;
    }
    RestoreStart(run->start);
    s_replay.playback = std::make_unique<Playback>(level, std::move(*run), s_replay.pendingExit, s_replay.checking);
    g_inputTape = s_replay.playback.get();
    return;
  }
  Replay header;
  header.gameVersion = GameVersion();
  header.levelPath = level.levelPath;
  header.levelName = LevelNameOf(level.levelPath);
  header.levelChecksum = LevelChecksum(level.levelPath);
  header.stateId = level.stateId;
  header.levelIndex = level.levelIndex;
  header.playTest = PlayTesting();
  header.ownLevel = level.ownLevel;
  header.screenWidth = g_screen.width;
  header.screenHeight = g_screen.height;
  header.seed = s_replay.seed;
  header.weaponDraws = s_replay.weaponDraws;
  header.loadout = Loadout();
  header.start = TakeStart();
  StartGhost(header.levelName, header.levelChecksum);
  s_replay.recording = std::make_unique<Recording>(level, std::move(header));
  g_inputTape = s_replay.recording.get();
}

double RunClock(const LoadingScreen& loading) {
  const double now = RealSeconds();
  // Within the limit until the recorded frame, past it from then on: the loading screen ends
  // on the frame it ended on while recording.
  if (Playback* p = s_replay.playback.get()) {
    const int at = p->run.loadingTimeoutFrame;
    return loading.startedAt + (at >= 0 && p->frame >= at ? 10.0 : 0.0);
  }
  Recording* r = s_replay.recording.get();
  if (r && !r->ended && r->run.loadingTimeoutFrame < 0 && loading.pending && now - loading.startedAt >= 10.0)
    r->run.loadingTimeoutFrame = r->frame;
  return now;
}

void DrawGhost(const Camera& camera) {
  Ghost& ghost = s_replay.ghost;
  if (!ghost.tank || !s_replay.recording) return;
  TracePoint at;
  if (!GhostAt(s_replay.recording->frame, at)) return;
  ghost.tank->SetRotation(at.rotation);
  ghost.tank->SetPosition(Vec3(at.x, at.y, ghost.tank->Position().z));
  ghost.tank->graphic->SetCamera(camera);
  ghost.tank->graphic->Draw();
}

void RunLeftByPortal() { s_replay.leftByPortal = true; }

void DrawReplayHud() {
  const Playback* p = s_replay.playback.get();
  if (!p || p->checking || !g_hud.font) return;
  Playback& shown = *s_replay.playback;
  const std::string state = p->paused || p->pauseAsked ? "PAUSED" : p->fast ? "X4" : "PLAYING";
  const int seconds = p->frame / 60;
  char line[160];
  std::snprintf(line, sizeof line, "REPLAY %s   %d:%02d   %s", p->run.levelName.c_str(), seconds / 60, seconds % 60,
                state.c_str());
  const float centre = g_screen.width * 0.5f;
  if (!shown.backing) {
    shown.backing = std::make_unique<SquarePrimitive>(Vec3(centre, 76.0f), 196, 40, 0.0f, 0.0f, 0.0f, 0.55f);
    shown.backing->Init();
  }
  shown.backing->Draw();
  g_hud.font->DrawText(line, Vec3(centre - 180.0f, 76.0f), Vec3(1.0f, 0.85f, 0.25f), 0.75f);
  g_hud.font->DrawText("P PAUSE    F X4    ESC LEAVE", Vec3(centre - 140.0f, 106.0f), Vec3(1.0f, 1.0f, 1.0f), 0.55f);
}

void EndRun(GenericLevel& level) {
  if (s_replay.recording && &s_replay.recording->level == &level) {
    Detach(s_replay.recording.get());
    s_replay.recording.reset();
    DropGhost();
  }
  if (s_replay.playback && &s_replay.playback->level == &level) {
    if (!s_replay.playback->concluded) s_replay.playback->Conclude();
    // Wherever the recorded run went next (another try, the menu), the replay ends here.
    g_loop.nextState = s_replay.playback->exitState;
    Detach(s_replay.playback.get());
    s_replay.playback.reset();
  }
}

// ============================================================================
// Watching
// ============================================================================

bool WatchReplay(const std::string& path, int exitState) {
  auto run = std::make_unique<Replay>();
  std::string error;
  if (!ReadReplayFile(path, *run, error)) {
    std::printf("Replay: %s %s, it is not played\n", path.c_str(), error.c_str());
    return false;
  }
  if (run->stateId != STATE_LEVEL && run->stateId != STATE_TUTORIAL) {
    std::printf("Replay: %s names no playing state, it is not played\n", path.c_str());
    return false;
  }
  if (run->screenWidth != g_screen.width || run->screenHeight != g_screen.height) {
    std::printf("Replay: %s was recorded on a screen of %d x %d, this game's is %d x %d, it is not played\n",
                path.c_str(), run->screenWidth, run->screenHeight, g_screen.width, g_screen.height);
    return false;
  }
  if (LevelChecksum(run->levelPath) != run->levelChecksum) {
    std::printf("Replay: %s was recorded over other files of %s (the level or Player.txt changed), it is not played\n",
                path.c_str(), run->levelName.c_str());
    return false;
  }
  if (run->playTest && !PlayTesting()) StartPlayTest(run->levelPath);
  else if (!run->playTest && PlayTesting()) EndPlayTest();
  const int state = run->stateId;
  s_replay.pending = std::move(run);
  s_replay.pendingExit = exitState;
  s_replay.verdict = ReplayVerdict();
  g_loop.paused = false;
  g_loop.nextState = g_loop.currentState == state ? STATE_RESTART : state;
  return true;
}

bool WatchBestRun(const std::string& levelName, int exitState) {
  const std::string path = BestReplayPath(levelName);
  if (!std::filesystem::exists(path)) {
    std::printf("Replay: %s has no best run yet\n", levelName.c_str());
    return false;
  }
  return WatchReplay(path, exitState);
}

bool BestRunPlayable(const std::string& levelName) {
  Replay run;
  std::string unread;
  return ReadReplayFile(BestReplayPath(levelName), run, unread) && run.screenWidth == g_screen.width &&
         run.screenHeight == g_screen.height && LevelChecksum(run.levelPath) == run.levelChecksum;
}

bool WatchingReplay() { return s_replay.playback != nullptr || s_replay.pending != nullptr; }
bool ReplayPending() { return s_replay.pending != nullptr; }
const Replay* PendingReplay() { return s_replay.pending.get(); }

std::unique_ptr<Level> MakeReplayLevel() {
  if (!s_replay.pending) return nullptr;
  if (s_replay.pending->stateId == STATE_TUTORIAL)
    return std::make_unique<TUTORIAL_LEVEL::TutorialLevel>(s_replay.pending->levelPath);
  return std::make_unique<GenericLevel>();
}

// ============================================================================
// Checking
// ============================================================================

void SetReplayChecking(bool on) { s_replay.checking = on; }
const ReplayVerdict& LastReplayVerdict() { return s_replay.verdict; }

std::string DescribeOutcome(const std::string& levelName, const ReplayOutcome& o) {
  char line[200];
  std::snprintf(line, sizeof line, "%s %s %d frames hp %d stars %d thermometer %.2f total %d", levelName.c_str(),
                o.won ? "won" : "lost", o.frames, o.hp, o.stars, o.thermometer, o.total);
  return line;
}
