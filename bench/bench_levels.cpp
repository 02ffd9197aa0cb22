// Frame cost of the shipped levels against an empty frame, in one run, with the
// renderer's batching on and off. Each figure is the median and the 99th percentile
// of its frames in milliseconds (glFinish before the clock stops), and both as a ratio
// to the empty frame. Also: process start to the first drawn main-menu frame, each
// level's build fresh and again, and heap allocations a frame in steady play.
//
// Each level is built by the game's own BuildLevel and played by the campaign state's
// own Update and Draw (the tutorial stages through the same build with the tutorial's
// rules). The tour moves the camera over the busiest spots after the level's Update,
// with all six particle pools firing in view and the HUD up; the player is kept alive
// so that nothing dies while allocations are counted. "update" is the level's Update.
// KVO_BENCH_TRACE=N prints where the first N allocations of steady play come from.
// The scenery bake runs both ways too: the tours of "batching on" have the bake on, those
// of "bake off" draw every scenery layer every frame; the same frames are read back with
// the bake on and off, on each level's first frame and at three points of its tour.
// --bake on|off|both (both by default) picks the ways measured. The levels are drawn at the
// logical screen's own size, one window pixel a logical pixel, as the bake needs to be
// exact; --scaled keeps the picture as the game's display mode scales it to the window
// (there the bake declines and the layers draw themselves).
// BIG is FIRSTMOD's objects laid side by side until there are about 20,000 (one PLAYER,
// one set of shot pools), written to a scratch folder and built through the same loader:
// what a designer who keeps adding to a level will bring the game.
// Run from build/: ./bench/bench_levels [frames]; KVO_BENCH_BIG_ONLY=1 runs BIG alone.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include <GL/glew.h>

#include "core/GameLoop.h"
#include "core/GameState.h"
#include "core/System.h"
#include "core/Window.h"
#include "game/GameSubsystems.h"
#include "levels/GenericLevel.h"
#include "levels/LevelBuild.h"
#include "levels/LevelFile.h"
#include "objects/Vehicle.h"
#include "platform/Focus.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "platform/Display.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "render/Font.h"
#include "render/ParticleSys.h"
#include "render/SceneryBake.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"
#include "support/AllocationCount.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Milliseconds since the kernel started this process (10 ms steps).
double MsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string field;
  for (int i = 0; i < 22 && stat >> field; ++i) {}
  const double startSeconds = std::atof(field.c_str()) / static_cast<double>(sysconf(_SC_CLK_TCK));
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return 1000.0 * (now.tv_sec + now.tv_nsec * 1e-9 - startSeconds);
}

struct Figure {
  double median = 0.0;
  double p99 = 0.0;
};

Figure Summarise(std::vector<double> ms) {
  if (ms.empty()) return {};
  std::sort(ms.begin(), ms.end());
  const size_t p = std::min(ms.size() - 1, static_cast<size_t>(std::ceil(ms.size() * 0.99)) - 1);
  return {ms[ms.size() / 2], ms[p]};
}

Figure s_empty;

// What the goals are read from, for one way of drawing.
struct GoalFigures {
  Figure empty;
  Figure tour;                     // the busiest level's
  Figure update;                   // the busiest level's
  double allocationsPerFrame = 0.0; // the most of any level's tour
};

void Print(const std::string& what, const Figure& f) {
  std::printf("  %-34s median %8.3f ms  p99 %8.3f ms   x empty: %6.2f / %6.2f\n", what.c_str(), f.median, f.p99,
              s_empty.median > 0 ? f.median / s_empty.median : 0.0, s_empty.p99 > 0 ? f.p99 / s_empty.p99 : 0.0);
}

// The campaign state with the build request of the bench's choice.
class BenchLevel : public GenericLevel {
public:
  bool Build(const BuildRequest& chosen) {
    request = chosen;
    return StartLevel();
  }

protected:
  BuildRequest MakeBuildRequest() const override { return request; }

private:
  BuildRequest request;
};

struct ShippedLevel {
  std::string name;
  BuildRequest request;
  Vec3 start;                   // the player's place, logical pixels
  std::vector<Vec3> busiest;    // view centres with the most objects in view, busiest first
};

// The resident set in kilobytes, from /proc.
long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long kb = 0;
  while (status >> key)
    if (key == "VmRSS:") {
      status >> kb;
      break;
    }
  return kb;
}

// Writes BIG.txt and BIG.txt2 into `folder`: copies of FIRSTMOD's object blocks on a grid
// of copies, the PLAYER and the shot pools once, until `target` objects; the path of BIG.txt.
std::string WriteBigLevel(const std::string& folder, size_t target) {
  std::ifstream in("../Assets/Levels/FIRSTMOD.txt2");
  std::vector<std::vector<std::string>> blocks;
  std::vector<std::string> block;
  std::string token;
  float maxX = 0, maxY = 0;
  while (in >> token) {
    block.push_back(token);
    if (block.size() == 12) {
      maxX = std::max(maxX, std::strtof(block[7].c_str(), nullptr));
      maxY = std::max(maxY, std::strtof(block[8].c_str(), nullptr));
      blocks.push_back(block);
      block.clear();
    }
  }
  std::string text;
  size_t count = 0;
  const float stepX = maxX + 78.0f, stepY = maxY + 78.0f; // a gap of a wall and a half
  for (int copy = 0; count < target && !blocks.empty(); ++copy) {
    const float dx = stepX * static_cast<float>(copy % 6), dy = stepY * static_cast<float>(copy / 6);
    for (const auto& b : blocks) {
      const bool once = b[1] == "PLAYER" || b[1] == "PROJECTILE" || b[1] == "ENEMYPROJECTILE";
      if (copy > 0 && once) continue;
      for (size_t i = 0; i < b.size(); ++i) {
        if (i == 7 || i == 8) {
          const float v = std::strtof(b[i].c_str(), nullptr) + (i == 7 ? dx : dy);
          text += std::to_string(static_cast<int>(v));
        } else {
          text += b[i];
        }
        text += '\n';
      }
      if (++count >= target) break;
    }
  }
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/BIG.txt";
  std::ofstream(path) << text;
  std::ofstream(path + "2") << text;
  return path;
}

ShippedLevel MakeShipped(const std::string& name, bool tutorial) {
  ShippedLevel level;
  level.name = name;
  level.request.path = "../Assets/Levels/" + name + ".txt";
  if (tutorial) {
    level.request.rules.gunnerMark = "ENEMY_";
    level.request.rules.honourReverse = false;
    level.request.rules.detectLevelKind = false;
  }
  return level;
}

// Centres of the screen-sized windows (on a half-screen grid) holding the most objects.
std::vector<Vec3> BusiestSpots(const std::vector<GameObject*>& objects, int count) {
  float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
  for (GameObject* o : objects) {
    const Vec3 p = o->Position();
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  std::vector<std::pair<int, Vec3>> spots;
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  for (float y = minY; y <= maxY + h / 2; y += h / 2)
    for (float x = minX; x <= maxX + w / 2; x += w / 2) {
      int seen = 0;
      for (GameObject* o : objects) {
        const Vec3 p = o->Position();
        seen += std::fabs(p.x - x) < w / 2 + 32 && std::fabs(p.y - y) < h / 2 + 32;
      }
      spots.push_back({seen, Vec3(x, y, 0)});
    }
  std::stable_sort(spots.begin(), spots.end(), [](auto& a, auto& b) { return a.first > b.first; });
  std::vector<Vec3> best;
  for (int i = 0; i < count && i < static_cast<int>(spots.size()); ++i) best.push_back(spots[i].second);
  return best;
}

// Builds the level into the state; the time it took in milliseconds.
double Build(BenchLevel& state, ShippedLevel& level) {
  const auto start = Clock::now();
  state.Build(level.request);
  const double ms = Ms(start, Clock::now());
  level.start = g_play.player ? g_play.player->Position() : Vec3(g_screen.width / 2.0f, g_screen.height / 2.0f, 0);
  return ms;
}

// Past the loading picture: the next Update ends it and play runs.
void SkipLoading(BenchLevel& state) {
  state.screens.loading.loadTime = 3.0f;
  g_loop.frameTime = 1.0f / 60.0f;
  state.Update();
  state.screens.loading.fadeVeilAlpha = 0.0f;
}

// Restarts finished effects of every pool at places inside the view around centre.
void FireParticles(const Vec3& centre, int frame, const Camera& camera) {
  int n = 0;
  for (ParticlePool* pool : g_particles.All())
    for (auto& s : *pool) {
      ++n;
      s->SetCamera(camera);
      if (s->elapsed <= s->duration) continue;
      const float x = centre.x - g_screen.width / 2.0f + static_cast<float>((n * 97 + frame * 13) % g_screen.width);
      const float y = centre.y - g_screen.height / 2.0f + static_cast<float>((n * 61 + frame * 7) % g_screen.height);
      s->SetPosition(x, y);
      s->Restart();
    }
}

struct Frame {
  Window* window = nullptr;
  void Begin() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  void End() {
    window->Present();
    glFinish();
  }
};

// One frame of the level as the game loop runs it, the camera moved to centre (when
// given) after the level's Update has placed it.
void LevelFrame(BenchLevel& state, Frame& frame, const Vec3* centre) {
  g_loop.frameTime = 1.0f / 60.0f;
  state.Update();
  if (centre && g_play.camera) g_play.camera->SetPosition(centre->x, centre->y);
  state.Draw();
  frame.End();
}

// The back buffer as it stands, all draws sent.
std::vector<unsigned char> ReadBackBuffer() {
  FlushDrawing();
  std::vector<unsigned char> pixels(static_cast<size_t>(g_screen.width) * g_screen.height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, g_screen.width, g_screen.height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// Pixels whose colours differ by more than llvmpipe's rounding (squared RGB distance 300).
long DifferentPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int tolerance = 300) {
  if (a.size() != b.size()) return -1;
  long n = 0;
  for (size_t i = 0; i + 2 < a.size(); i += 3) {
    const int dr = a[i] - b[i], dg = a[i + 1] - b[i + 1], db = a[i + 2] - b[i + 2];
    n += dr * dr + dg * dg + db * db > tolerance;
  }
  return n;
}

// Draw steps what it shows (particles move, sheets animate, the player's heartbeat
// counts): the frame as it stands, drawn again and again the same.
class SameFrame {
public:
  explicit SameFrame(BenchLevel& level) : state(level), frameTime(g_loop.frameTime), pulse(level.screens.pulseCounter) {
    for (ParticlePool* pool : g_particles.All())
      for (auto& s : *pool) {
        systems.emplace_back(s.get(), KeptParticles{});
        std::copy(s->particles, s->particles + MAX_PARTICLES, systems.back().second.particles);
        systems.back().second.elapsed = s->elapsed;
      }
  }
  ~SameFrame() {
    g_loop.frameTime = frameTime;
    state.screens.pulseCounter = pulse;
  }
  void Draw() {
    for (auto& [system, kept] : systems) {
      std::copy(kept.particles, kept.particles + MAX_PARTICLES, system->particles);
      system->elapsed = kept.elapsed;
    }
    g_loop.frameTime = 0.0f;
    state.screens.pulseCounter = pulse == 29 || pulse == 59 ? pulse + 1 : pulse;
    state.Draw();
  }

private:
  BenchLevel& state;
  float frameTime;
  int pulse;
  struct KeptParticles {
    Particle particles[MAX_PARTICLES];
    float elapsed = 0.0f;
  };
  std::vector<std::pair<ParticleSys*, KeptParticles>> systems;
};

// The level's frame as it stands, drawn with the bake off (batching on), then with the
// bake on with batching on and off, and read back: the most pixels either differs by,
// beyond llvmpipe's rounding and in any bit.
struct BakeComparison {
  long beyondRounding = 0;
  long exact = 0;
};
BakeComparison CompareBake(BenchLevel& state, Frame& frame) {
  std::vector<unsigned char> pictures[3];
  const bool batching = BatchingOn();
  {
    SameFrame same(state);
    for (int way = 0; way < 3; ++way) {
      SetSceneryBake(way > 0);
      SetBatching(way < 2);
      same.Draw();
      // The chunks in view come a couple a frame: the bake's picture is the one it shows.
      for (int again = 0; way > 0 && !state.scenery.bake.Shown() && again < 10; ++again) same.Draw();
      if (way > 0 && !state.scenery.bake.Shown()) return {-1, -1};
      pictures[way] = ReadBackBuffer();
      frame.End();
    }
  }
  SetSceneryBake(true);
  SetBatching(batching);
  BakeComparison c;
  for (int way = 1; way < 3; ++way) {
    c.beyondRounding = std::max(c.beyondRounding, DifferentPixels(pictures[0], pictures[way]));
    c.exact = std::max(c.exact, DifferentPixels(pictures[0], pictures[way], 0));
  }
  return c;
}

// The worse of two comparisons; a frame the bake did not show (-1) is the worst.
void KeepWorst(BakeComparison& worst, const BakeComparison& c) {
  if (worst.exact < 0 || c.exact < 0) {
    worst = {-1, -1};
    return;
  }
  worst.beyondRounding = std::max(worst.beyondRounding, c.beyondRounding);
  worst.exact = std::max(worst.exact, c.exact);
}

void PrintBakeComparison(const char* where, const BakeComparison& c) {
  if (c.exact < 0) {
    std::printf("  %-34s the bake was not shown, %s\n", "", where);
    return;
  }
  std::printf("  %-34s %ld pixels differ between bake on and off (%ld in any bit), %s\n", "", c.beyondRounding, c.exact,
              where);
}

struct TourResult {
  Figure frame;
  BakeComparison points[3]; // the frames read back with the bake on and off
  double drawCalls = 0.0;
  double allocationsPerFrame = 0.0;
};

// The camera visits the busiest spots in turn, drifting over each, while the level
// plays; the player stays where it is and cannot die.
TourResult Tour(BenchLevel& state, ShippedLevel& level, Frame& frame, int frames, bool compareBake) {
  TourResult r;
  std::vector<double> ms;
  ms.reserve(frames); // the bench's own record must not count as the game's allocations
  long allocations = 0;
  int counted = 0;
  RenderCounters() = {};
  const int perSpot = std::max(1, frames / std::max<int>(1, static_cast<int>(level.busiest.size())));
  const char* trace = std::getenv("KVO_BENCH_TRACE");
  for (int f = 0; f < frames + 60; ++f) {
    const Vec3 spot = level.busiest.empty() ? level.start : level.busiest[(f / perSpot) % level.busiest.size()];
    const Vec3 centre(spot.x + 40.0f * std::sin(f * 0.05f), spot.y + 30.0f * std::cos(f * 0.04f), 0);
    if (g_play.player) g_play.player->hp = 10;
    if (f == 60 && trace) TraceAllocations(std::atoi(trace));
    const long before = AllocationCount();
    const auto start = Clock::now();
    Camera view(0, 0, 1);
    view.SetPosition(centre.x, centre.y);
    FireParticles(centre, f, view);
    LevelFrame(state, frame, &centre);
    const auto end = Clock::now();
    // Three points of the tour, each a while after the view came to a spot, read back
    // after the frame was measured; that frame's figures are not kept.
    const int point = (f - 60 - perSpot / 2) / perSpot;
    if (compareBake && f >= 60 && (f - 60 - perSpot / 2) % perSpot == 0 && point >= 0 && point < 3) {
      r.points[point] = CompareBake(state, frame);
      continue;
    }
    if (f < 60) { // the first second warms up
      if (f == 59) RenderCounters() = {};
      continue;
    }
    ms.push_back(Ms(start, end));
    allocations += AllocationCount() - before;
    ++counted;
  }
  TraceAllocations(0);
  r.frame = Summarise(ms);
  r.drawCalls = static_cast<double>(RenderCounters().drawCalls) / counted;
  r.allocationsPerFrame = static_cast<double>(allocations) / counted;
  return r;
}

} // namespace

int main(int argc, char** argv) {
  int frames = 300;
  std::string bakeWays = "both";
  bool scaled = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--bake" && i + 1 < argc) bakeWays = argv[++i];
    else if (arg == "--scaled") scaled = true;
    else frames = std::max(20, std::atoi(argv[i]));
  }
  if (bakeWays != "on" && bakeWays != "off" && bakeWays != "both") {
    std::printf("usage: bench_levels [frames] [--bake on|off|both] [--scaled]\n");
    return 2;
  }
  SetMessageBoxesShown(false);
  GameLoop loop;
  loop.subsystems = MakeGameSubsystems();
  if (!loop.Startup()) return 1;
  loop.framePacing = false;
  loop.RunFrame();
  glFinish();
  const double startup = MsSinceProcessStart();
  Frame frame{loop.GetWindow()};
  // Play stops without the focus; under Xvfb it arrives a little after the window.
  for (int i = 0; i < 300 && !HasKeyboardFocus(); ++i) loop.RunFrame();
  if (!HasKeyboardFocus()) std::printf("warning: no keyboard focus, the levels stay paused\n");
  const long menuKb = ResidentKb();

  std::vector<ShippedLevel> levels;
  for (const char* name : {"FIRSTMOD", "SECOND", "BOSS"}) levels.push_back(MakeShipped(name, false));
  for (const char* name : {"TUTORIAL", "TUTPIT", "TUTSHOOT"}) levels.push_back(MakeShipped(name, true));
  std::printf("levels: %zu, screen %dx%d, %d measured frames each\n", levels.size(), g_screen.width,
              g_screen.height, frames);
  std::printf("start to first main-menu frame: %.0f ms\n", startup);
  GLint picture[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, picture);
  std::printf("the game's picture: %d x %d in the window; the levels are drawn at %d x %d\n", picture[2], picture[3],
              scaled ? picture[2] : g_screen.width, scaled ? picture[3] : g_screen.height);

  // The build's chatter would drown the figures.
  std::streambuf* const console = std::cout.rdbuf(nullptr);
  auto state = std::make_unique<BenchLevel>();
  state->Load();
  std::vector<std::string> buildLines;
  // The busiest level is the one with the most objects; the goals are read from it.
  size_t busiest = 0, mostObjects = 0;
  double slowestRestart = 0.0;
  for (ShippedLevel& level : levels) {
    const double fresh = Build(*state, level);
    const size_t objects = state->world.levelObjects.size();
    state->Free();
    const double again = Build(*state, level);
    state->Free();
    char line[160];
    std::snprintf(line, sizeof line, "  %-12s %5zu objects  fresh %8.2f ms  restart %8.2f ms", level.name.c_str(),
                  objects, fresh, again);
    buildLines.push_back(line);
    if (objects > mostObjects) mostObjects = objects, busiest = static_cast<size_t>(&level - levels.data());
    slowestRestart = std::max(slowestRestart, again);
  }
  std::cout.rdbuf(console);
  std::printf("level build (BuildLevel):\n");
  for (const std::string& line : buildLines) std::printf("%s\n", line.c_str());

  // The ways measured: batching on with the bake, batching on without it, batching off
  // (with the bake as --bake has it).
  struct Way {
    const char* title;
    bool batching;
    bool bake;
  };
  std::vector<Way> ways;
  if (bakeWays != "off") ways.push_back({"batching on, bake on", true, true});
  if (bakeWays != "on") ways.push_back({"batching on, bake off", true, false});
  ways.push_back({"batching off", false, bakeWays != "off"});
  GoalFigures goals[3]; // in the order of ways
  double slowestFirstFrame = 0.0, largestBakeMb = 0.0;
  BakeComparison worstBake;
  // KVO_BENCH_BIG_ONLY=1 measures the generated level alone, for profiling it.
  const bool bigOnly = std::getenv("KVO_BENCH_BIG_ONLY") != nullptr;
  for (const Way& way : ways) {
    if (bigOnly) break;
    const bool batching = way.batching;
    const bool firstWay = &way == &ways.front();
    SetBatching(batching);
    SetSceneryBake(way.bake);
    std::printf("\n%s\n", way.title);
    std::vector<double> ms;
    for (int f = 0; f < frames + 30; ++f) {
      const auto start = Clock::now();
      frame.Begin();
      frame.End();
      if (f >= 30) ms.push_back(Ms(start, Clock::now()));
    }
    s_empty = Summarise(ms);
    Print("empty frame (clear, swap)", s_empty);
    GoalFigures& goal = goals[&way - ways.data()];
    goal.empty = s_empty;
    ms.clear();
    for (int f = 0; f < frames + 30; ++f) {
      const auto start = Clock::now();
      loop.RunFrame();
      glFinish();
      if (f >= 30) ms.push_back(Ms(start, Clock::now()));
    }
    Print("main menu frame", Summarise(ms));

    for (ShippedLevel& level : levels) {
      if (!scaled) glViewport(0, 0, g_screen.width, g_screen.height); // the menu's frames may have resized it
      std::cout.rdbuf(nullptr);
      Build(*state, level);
      std::cout.rdbuf(console);
      level.busiest = BusiestSpots(state->world.levelObjects, 4);
      auto start = Clock::now();
      LevelFrame(*state, frame, nullptr);
      const double first = Ms(start, Clock::now());
      Print(level.name + " first frame", Figure{first, first});
      if (way.bake) slowestFirstFrame = std::max(slowestFirstFrame, first);
      SkipLoading(*state);
      // The same frame drawn both ways and read back: batching must not change a pixel.
      if (firstWay) {
        SetSceneryBake(false);
        std::vector<unsigned char> pictures[2];
        for (int way = 0; way < 2; ++way) {
          SetBatching(way == 0);
          state->Draw();
          pictures[way] = ReadBackBuffer();
          frame.End();
        }
        SetBatching(true);
        std::printf("  %-34s %ld pixels differ between batching on and off\n", "",
                    DifferentPixels(pictures[0], pictures[1]));
        SetSceneryBake(way.bake);
        if (way.bake) {
          const BakeComparison c = CompareBake(*state, frame);
          PrintBakeComparison("first frame", c);
          KeepWorst(worstBake, c);
        }
      }
      const TourResult tour = Tour(*state, level, frame, frames, firstWay && way.bake);
      Print(level.name + " busiest tour", tour.frame);
      if (firstWay && way.bake) {
        for (int p = 0; p < 3; ++p) {
          const std::string where = "tour point " + std::to_string(p + 1);
          PrintBakeComparison(where.c_str(), tour.points[p]);
          KeepWorst(worstBake, tour.points[p]);
        }
        const double mb = static_cast<double>(state->scenery.bake.TextureBytes()) / (1 << 20);
        largestBakeMb = std::max(largestBakeMb, mb);
        std::printf("  %-34s bake: %zu objects baked, %zu drawn live, %ld chunk draws, %.0f MB of textures\n", "",
                    state->scenery.baked.size(), state->scenery.live.size(), state->scenery.bake.ChunksDrawn(),
                    mb);
      }
      goal.allocationsPerFrame = std::max(goal.allocationsPerFrame, tour.allocationsPerFrame);
      if (&level == &levels[busiest]) goal.tour = tour.frame;
      std::printf("  %-34s %.0f draw calls, %.2f allocations a frame\n", "", tour.drawCalls, tour.allocationsPerFrame);
      ms.clear();
      for (int f = 0; f < frames; ++f) {
        if (g_play.player) g_play.player->hp = 10;
        g_loop.frameTime = 1.0f / 60.0f;
        start = Clock::now();
        state->Update();
        ms.push_back(Ms(start, Clock::now()));
      }
      const Figure update = Summarise(ms);
      Print(level.name + " update", update);
      if (&level == &levels[busiest]) goal.update = update;
      state->Free();
    }
  }
  // The generated level, batching on and the bake as the game has it (off) unless only the
  // bake was asked for: its build, what it holds, and its tour.
  SetBatching(true);
  SetSceneryBake(bakeWays == "on");
  ShippedLevel big = MakeShipped("BIG", false);
  big.request.path = WriteBigLevel("bench-levels", 20000);
  if (!scaled) glViewport(0, 0, g_screen.width, g_screen.height);
  std::cout.rdbuf(nullptr);
  const double bigBuild = Build(*state, big);
  std::cout.rdbuf(console);
  const size_t bigObjects = state->world.levelObjects.size();
  const long bigKb = ResidentKb() - menuKb;
  std::printf("\ngenerated level BIG: %zu objects, built in %.0f ms, %.0f MB above the main menu (%.1f KB an object)\n",
              bigObjects, bigBuild, bigKb / 1024.0, bigObjects ? static_cast<double>(bigKb) / bigObjects : 0.0);
  big.busiest = BusiestSpots(state->world.levelObjects, 4);
  auto bigStart = Clock::now();
  LevelFrame(*state, frame, nullptr);
  const double bigFirst = Ms(bigStart, Clock::now());
  Print("BIG first frame", Figure{bigFirst, bigFirst});
  SkipLoading(*state);
  const TourResult bigTour = Tour(*state, big, frame, frames, false);
  Print("BIG busiest tour", bigTour.frame);
  std::printf("  %-34s bake: %ld chunk draws, %.0f MB of textures\n", "", state->scenery.bake.ChunksDrawn(),
              static_cast<double>(state->scenery.bake.TextureBytes()) / (1 << 20));
  std::printf("  %-34s %.0f draw calls, %.2f allocations a frame\n", "", bigTour.drawCalls, bigTour.allocationsPerFrame);
  std::vector<double> bigUpdate;
  for (int f = 0; f < frames; ++f) {
    if (g_play.player) g_play.player->hp = 10;
    g_loop.frameTime = 1.0f / 60.0f;
    bigStart = Clock::now();
    state->Update();
    bigUpdate.push_back(Ms(bigStart, Clock::now()));
  }
  Print("BIG update", Summarise(bigUpdate));
  state->Free();

  const GoalFigures& on = goals[0];
  const GoalFigures& off = goals[ways.size() - 1];
  std::printf("\ngoals, busiest level %s (%zu objects), %s:\n", levels[busiest].name.c_str(), mostObjects,
              ways.front().title);
  std::printf("  busiest tour p99 x empty frame          %6.2f x median, %6.2f x p99   (at most 2)\n",
              on.empty.median > 0 ? on.tour.p99 / on.empty.median : 0.0,
              on.empty.p99 > 0 ? on.tour.p99 / on.empty.p99 : 0.0);
  std::printf("  update median                           %8.3f ms               (at most 0.5 ms)\n", on.update.median);
  std::printf("  busiest tour batching off / on          %6.2f x median, %6.2f x p99\n",
              on.tour.median > 0 ? off.tour.median / on.tour.median : 0.0,
              on.tour.p99 > 0 ? off.tour.p99 / on.tour.p99 : 0.0);
  if (ways.size() == 3) {
    const GoalFigures& unbaked = goals[1];
    std::printf("  busiest tour bake off / on              %6.2f x median, %6.2f x p99\n",
                on.tour.median > 0 ? unbaked.tour.median / on.tour.median : 0.0,
                on.tour.p99 > 0 ? unbaked.tour.p99 / on.tour.p99 : 0.0);
  }
  std::printf("  busiest tour                            %8.3f ms median, %.3f ms p99 (at most 7 / 16.7 ms)\n",
              on.tour.median, on.tour.p99);
  if (ways.size() == 3)
    std::printf("  busiest tour, bake off (the game's way) %8.3f ms median, %.3f ms p99 (at most 7 / 16.7 ms)\n",
                goals[1].tour.median, goals[1].tour.p99);
  if (bakeWays != "off") {
    std::printf("  slowest first frame, bake on            %8.2f ms               (at most 33 ms)\n", slowestFirstFrame);
    std::printf("  bake textures, the most of any level    %8.0f MB               (at most 64 MB)\n", largestBakeMb);
    std::printf("  pixels that differ, bake on / off       %8ld (%ld in any bit)     (0)\n", worstBake.beyondRounding,
                worstBake.exact);
  }
  std::printf("  start to first main-menu frame          %8.0f ms               (at most 1000 ms)\n", startup);
  std::printf("  slowest level build on a restart        %8.2f ms               (at most 100 ms)\n", slowestRestart);
  std::printf("  allocations a frame, most of any tour   %8.2f                  (0)\n", on.allocationsPerFrame);
  std::printf("  BIG (%zu objects) build                %8.0f ms               (at most 1000 ms)\n", bigObjects, bigBuild);
  std::printf("  BIG resident above the main menu        %8.0f MB               (at most 300 MB)\n", bigKb / 1024.0);
  std::printf("  BIG busiest tour                        %8.3f ms median, %.3f ms p99 (at most 7 / 16.7 ms)\n",
              bigTour.frame.median, bigTour.frame.p99);
  std::printf("\nGL error: %s\n", glGetError() == GL_NO_ERROR ? "none" : "seen");
  state.reset();
  loop.Shutdown();
  return 0;
}
