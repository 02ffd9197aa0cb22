#include "pilot/Prove.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "core/GameState.h"
#include "core/Input.h"
#include "core/Viewport.h"
#include "core/Window.h"
#include "levels/LevelFile.h"
#include "levels/PlayTest.h"
#include "levels/Replay.h"
#include "levels/TutorialLevel.h"
#include "objects/Vehicle.h"
#include "objects/World.h"
#include "pilot/Pilot.h"
#include "platform/Messages.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"
#include "render/Font.h"
#include "render/SquarePrimitive.h"

ProveState g_prove;

namespace {

constexpr float FRAME_SECONDS = 1.0f / 60.0f; // each update of a run is one frame of a 60 Hz display
constexpr int FAST_UPDATES = 4;                // updates a drawn frame while fast-forwarding
constexpr int WON_LINGER = 60;                 // frames the win stays in view before the editor
constexpr int DIED_LINGER = 150;               // ... the explosion
constexpr float ROUTE_STEP = 8.0f;             // world units between the route's samples
constexpr float ROUTE_BEND = 2.0f;             // a sample closer than this to the straight on extends it
constexpr float ROUTE_DOT_GAP = 3.0f;          // world units between the dots a route is drawn with

std::string LevelName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) name.resize(name.size() - 4);
  return name;
}

std::string GameTime(long frames) {
  const long tenths = frames * 10 / 60;
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld.%ld", tenths / 600, tenths / 10 % 60, tenths % 10);
  return text;
}

float DistanceToSegment(const Vec3& p, const Vec3& a, const Vec3& b) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float length2 = dx * dx + dy * dy;
  float t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0f;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// A sample of the way driven: straight runs keep only their ends, so a long run stays a
// few hundred points.
void AddRoutePoint(std::vector<Vec3>& route, const Vec3& at) {
  if (!route.empty() && std::hypot(at.x - route.back().x, at.y - route.back().y) < ROUTE_STEP) return;
  if (route.size() >= 2 && DistanceToSegment(route.back(), route[route.size() - 2], at) < ROUTE_BEND)
    route.back() = at;
  else
    route.push_back(at);
}

// The route as a chain of dots through `camera`, with a larger mark where it ends.
void DrawRoute(const std::vector<Vec3>& route, const Camera& camera, const float colour[3], bool endMark) {
  if (route.empty()) return;
  SquarePrimitive dot(route.front(), 2, 2, colour[0], colour[1], colour[2], 0.9f);
  SquarePrimitive mark(route.back(), 7, 7, colour[0], colour[1], colour[2], 1.0f);
  dot.Init();
  dot.SetCamera(camera);
  for (size_t i = 0; i + 1 < route.size(); ++i) {
    const Vec3 a = route[i], b = route[i + 1];
    const int steps = std::max(1, static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / ROUTE_DOT_GAP));
    for (int k = 0; k < steps; ++k) {
      const float t = static_cast<float>(k) / steps;
      dot.SetPosition(Vec3(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, 0.0f), 0.0f);
      dot.Draw();
    }
  }
  if (endMark) {
    mark.Init();
    mark.SetCamera(camera);
    mark.Draw();
  }
  FlushDrawing(); // what the dots and the mark gathered goes before they do
}

} // namespace

// ============================================================================
// The editor's side
// ============================================================================

bool StartProve(const std::string& levelPath) {
  g_prove = ProveState();
  g_prove.levelPath = levelPath;
  if (!ValidateLevelFile(levelPath)) {
    std::printf("The level cannot be proved: it has no PLAYER\n");
    std::fflush(stdout);
    g_prove.verdict = ProveVerdict::NotPlayable;
    g_prove.shown = true;
    return false;
  }
  g_prove.requested = true;
  StartPlayTest(levelPath);
  g_loop.nextState = STATE_TUTORIAL;
  return true;
}

void ClearProveRoute() {
  g_prove.route.clear();
  g_prove.shown = false;
}

std::vector<std::string> ProveCardLines(const ProveState& proof) {
  const std::string name = LevelName(proof.levelPath);
  const std::string figures = "TIME " + GameTime(proof.frames) + "  HP " + std::to_string(proof.hp) + "  STARS " +
                              std::to_string(proof.stars) + "  SCORE " + std::to_string(proof.score);
  char place[64];
  std::snprintf(place, sizeof place, "(%.0f, %.0f)", proof.where.x, proof.where.y);
  switch (proof.verdict) {
  case ProveVerdict::Won: return {name + " PROVED: WON", figures};
  case ProveVerdict::NoRoute:
    return {name + " NOT WON: NO ROUTE FOUND", "NOTHING IT CAN REACH LEADS ON, AFTER " + GameTime(proof.frames)};
  case ProveVerdict::Died: return {name + " NOT WON: DIED AT " + place, "AFTER " + GameTime(proof.frames)};
  case ProveVerdict::TimeOut: return {name + " NOT WON: TIME OUT", "NOT DONE IN " + GameTime(PROVE_TIME_LIMIT)};
  case ProveVerdict::Stopped: return {name + " STOPPED", "ESCAPE AFTER " + GameTime(proof.frames)};
  case ProveVerdict::NotPlayable: return {name + " CANNOT BE PROVED", "IT HAS NO PLAYER"};
  }
  return {};
}

void DrawProveResult(const Camera& camera, Font& font, const std::string& editedPath) {
  if (!g_prove.shown || editedPath != g_prove.levelPath) return;
  const bool won = g_prove.verdict == ProveVerdict::Won;
  const float routeColour[3] = {won ? 1.0f : 0.95f, won ? 0.85f : 0.2f, won ? 0.1f : 0.15f};
  DrawRoute(g_prove.route, camera, routeColour, true);

  // The card sits low on the field, clear of the palette and the bars.
  const float w = static_cast<float>(g_screen.width), h = static_cast<float>(g_screen.height);
  const std::vector<std::string> lines = ProveCardLines(g_prove);
  const Vec3 centre((w - 280.0f) / 2.0f, h - 70.0f, 0.0f);
  SquarePrimitive card(centre, 330, 45, 0.05f, 0.05f, 0.05f, 0.8f);
  card.Init();
  card.Draw();
  FlushDrawing();
  const Vec3 headline = won ? Vec3(1.0f, 0.85f, 0.1f) : Vec3(1.0f, 0.35f, 0.3f);
  for (size_t i = 0; i < lines.size(); ++i)
    font.DrawText(lines[i], Vec3(centre.x - 310.0f, centre.y - 12.0f + 32.0f * i, 0.0f),
                  i == 0 ? headline : Vec3(1.0f, 1.0f, 1.0f), 0.8f);
}

// ============================================================================
// The run
// ============================================================================

namespace {

// The tutorial's rules over the edited level, each update's input given by the pilot.
class ProveLevel : public TUTORIAL_LEVEL::TutorialLevel {
public:
  void Initialize() override;
  void Update() override;
  void Draw() override;
  void Free() override;

private:
  void TakeDesignerInput();
  void Step();
  void Judge();
  void Deliver(const PilotEvent& event);
  void DrawUnseen();
  void Conclude(ProveVerdict verdict);

  Pilot brain;
  // The input record as the game reads it: the pilot's alone. The designer's own keys and
  // mouse reach only the run's commands.
  InputState pilotInput;
  Vec3 designerMouse;     // where the designer's own pointer is, handed back on leaving
  bool fast = false;
  bool concluded = false; // the verdict is in
  int leaveIn = 0;        // frames until the editor once the verdict is in
  long roadless = 0;      // frames of play in a row with nothing reachable to go for
  int pointerX = 0;       // window pixels of the pilot's pointer, carried by its clicks
  int pointerY = 0;
  std::unique_ptr<Font> font;
};

void ProveLevel::Initialize() {
  g_prove.requested = false;
  SetRunsKept(false); // the autopilot's run is not the designer's best
  TutorialLevel::Initialize();
  // The autopilot's score is not the player's: no end screen ranks it in the table.
  screens.endScreen.reset();
  designerMouse = g_input.mousePosition;
  pilotInput = InputState();
  pilotInput.mousePosition = designerMouse;
  g_input = pilotInput;
  fast = false;
  concluded = false;
  roadless = 0;
  g_prove.route.clear();
  font = std::make_unique<Font>();
  font->Init();
  if (!built || !g_play.player) {
    Conclude(ProveVerdict::NotPlayable); // the file changed under the editor: nothing to play
    return;
  }
  brain.StartLevel(*this);
  AddRoutePoint(g_prove.route, g_play.player->Position());
}

void ProveLevel::Free() {
  font.reset();
  TutorialLevel::Free();
  SetRunsKept(true);
  // The editor takes the input as the designer left it, none of the pilot's keys held.
  g_input = InputState();
  g_input.mousePosition = designerMouse;
}

// The loop's frame: the designer's commands, then one update (four when fast-forwarding)
// with the pilot's input; the loop then draws the last and takes its pause key.
void ProveLevel::Update() {
  TakeDesignerInput();
  if (concluded) {
    if (leaveIn-- <= 0) g_loop.nextState = STATE_EDITOR;
    Step();
    return;
  }
  const int updates = fast ? FAST_UPDATES : 1;
  for (int i = 0; i < updates; ++i) {
    Step();
    // The loop's own steps (its pause key after the drawing, a change of state) come with
    // the drawn frame: a paused game, or one on its way out, waits for them.
    if (i + 1 == updates || g_loop.paused || g_loop.nextState != stateId || concluded) break;
    DrawUnseen();
    if (g_loop.nextState != stateId) break;
  }
}

void ProveLevel::TakeDesignerInput() {
  const InputState designer = g_input;
  if (designer.mousePosition.x != pilotInput.mousePosition.x || designer.mousePosition.y != pilotInput.mousePosition.y)
    designerMouse = designer.mousePosition;
  g_input = pilotInput;
  // The loop took the pause key from the pilot's record after the last drawing.
  ConsumeTrigger(KEY_ESCAPE);
  auto pressed = [&](int key) {
    auto found = designer.keyTriggered.find(key);
    return found != designer.keyTriggered.end() && found->second;
  };
  if (pressed(PROVE_FAST_KEY)) fast = !fast;
  if (pressed(KEY_ESCAPE) && !concluded) Conclude(ProveVerdict::Stopped);
}

void ProveLevel::Step() {
  g_loop.frameTime = FRAME_SECONDS;
  if (built && g_play.player && !brain.Finished()) {
    Judge();
    if (!brain.Finished()) brain.Think(*this);
  } else {
    brain.ReleaseAll();
  }
  PilotEvent event;
  if (brain.NextEvent(event)) Deliver(event);
  TutorialLevel::Update();
  if (concluded || !built || !g_play.player) return;
  AddRoutePoint(g_prove.route, g_play.player->Position());
  // A portal to the menu ends the stage without an end: the play test leads to the editor.
  if (g_loop.nextState == STATE_EDITOR) Conclude(ProveVerdict::Won);
}

void ProveLevel::Judge() {
  if (g_play.levelWon) {
    Conclude(ProveVerdict::Won);
  } else if (g_play.levelLost) {
    Conclude(ProveVerdict::Died);
  } else if (brain.LevelFrames() >= PROVE_TIME_LIMIT) {
    Conclude(ProveVerdict::TimeOut);
  } else {
    const bool playing = !screens.loading.shown && !g_loop.paused && !garageOpen && !helpOpen;
    roadless = playing && !brain.HasGoal() ? roadless + 1 : 0;
    if (roadless >= PROVE_NO_ROUTE_FRAMES) Conclude(ProveVerdict::NoRoute);
  }
}

void ProveLevel::Conclude(ProveVerdict verdict) {
  if (built && g_play.player) {
    brain.FinishLevel(*this, verdict == ProveVerdict::Won, "");
    const LevelResult& result = brain.Result();
    g_prove.frames = result.frames;
    g_prove.hp = result.hp;
    g_prove.stars = result.stars;
    g_prove.score = result.total;
    g_prove.where = g_play.player->Position();
    AddRoutePoint(g_prove.route, g_prove.where);
  }
  g_prove.verdict = verdict;
  g_prove.shown = true;
  concluded = true;
  leaveIn = verdict == ProveVerdict::Won ? WON_LINGER : verdict == ProveVerdict::Died ? DIED_LINGER : 0;
}

// The pilot's event goes where the platform's pump puts the designer's: through the input
// messages, so that the rules read it exactly as in play.
void ProveLevel::Deliver(const PilotEvent& event) {
  auto pack = [](int x, int y) {
    auto clamp16 = [](int v) { return v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v); };
    return static_cast<intptr_t>(clamp16(x) | (clamp16(y) << 16));
  };
  switch (event.kind) {
  case PilotEvent::Kind::KeyDown: HandleInputMessage(MSG_KEY_DOWN, static_cast<uintptr_t>(event.key), 0); break;
  case PilotEvent::Kind::KeyUp: HandleInputMessage(MSG_KEY_UP, static_cast<uintptr_t>(event.key), 0); break;
  case PilotEvent::Kind::MouseMove:
    LogicalToWindow(CurrentPictureArea(g_screen.windowWidth, g_screen.windowHeight), g_screen.width, g_screen.height,
                    event.at.x, event.at.y, pointerX, pointerY);
    HandleInputMessage(MSG_MOUSE_MOVE, 0, pack(pointerX, pointerY));
    break;
  case PilotEvent::Kind::ButtonDown: HandleInputMessage(MSG_LBUTTON_DOWN, 0, pack(pointerX, pointerY)); break;
  case PilotEvent::Kind::ButtonUp: HandleInputMessage(MSG_LBUTTON_UP, 0, pack(pointerX, pointerY)); break;
  }
}

// A frame the designer does not see: the level's drawing also runs rules (talking, the
// garage's buttons, the time since a death), so it runs, clipped to nothing.
void ProveLevel::DrawUnseen() {
  FlushDrawing();
  const GLboolean scissored = glIsEnabled(GL_SCISSOR_TEST);
  GLint box[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_SCISSOR_BOX, box);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, 0, 0);
  TutorialLevel::Draw();
  FlushDrawing();
  glScissor(box[0], box[1], box[2], box[3]);
  if (!scissored) glDisable(GL_SCISSOR_TEST);
}

void ProveLevel::Draw() {
  TutorialLevel::Draw();
  if (g_play.camera) {
    const float colour[3] = {1.0f, 0.85f, 0.1f};
    DrawRoute(g_prove.route, *g_play.camera, colour, false);
  }
  if (font) {
    const std::string banner = std::string("AUTOPILOT ") + GameTime(brain.LevelFrames()) +
                               (fast ? "  X4" : "") + "   F: FASTER   ESC: STOP";
    font->DrawText(banner, Vec3(20.0f, 40.0f, 0.0f), Vec3(1.0f, 0.85f, 0.1f), 0.7f); // clear of the HUD below
  }
  // What the loop and the next update see is the pilot's record, as the drawing left it.
  pilotInput = g_input;
}

} // namespace

bool ProveRequested() { return g_prove.requested; }

std::unique_ptr<Level> MakeProveLevel() { return std::make_unique<ProveLevel>(); }
