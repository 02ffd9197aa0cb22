#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/Level.h"
#include "core/Vec3.h"
#include "platform/KeyCodes.h"

class Camera;
class Font;

// Proving a level from the editor: F9 saves the level and hands it to the autopilot, which
// plays it in the window through the real game while the designer watches. It runs as the
// editor's play test does (the tutorial state plays the level and every way out leads back
// to the editor), with the pilot's brain feeding the game's input record one event a frame
// before each update, as the platform's pump would. F fast-forwards (four updates a drawn
// frame), Escape stops. Back in the editor a card gives the verdict, and the way the
// autopilot drove stays drawn over the field until the next edit.

inline constexpr int PROVE_FAST_KEY = KEY_A + 5;          // F: four updates a drawn frame, or one again
inline constexpr int PROVE_KEY = KEY_F1 + 8;              // F9 in the editor
inline constexpr long PROVE_TIME_LIMIT = 60L * 60 * 10;   // frames of game time: ten minutes
inline constexpr long PROVE_NO_ROUTE_FRAMES = 60L * 5;    // playing with nothing reachable to go for

enum class ProveVerdict {
  Won,        // the END or a portal reached
  NoRoute,    // nothing reachable leads on
  Died,       // at `where`
  TimeOut,    // PROVE_TIME_LIMIT passed
  Stopped,    // the designer pressed Escape
  NotPlayable // the saved level has no PLAYER
};

// ---- shared by the editor and the proving run ---------------------------------------------
// The run asked for, then its verdict. Reset by assignment.
struct ProveState {
  bool requested = false;       // F9 asked for a run: the tutorial state's next object plays it
  bool shown = false;           // a verdict waits on the field (until ClearProveRoute)
  std::string levelPath;        // the level proved, "../Assets/Levels/NAME.txt"
  ProveVerdict verdict = ProveVerdict::Stopped;
  long frames = 0;              // game time in 60ths of a second, from the build to the verdict
  int hp = 0;
  int stars = 0;
  int score = 0;                // the end screen's total
  Vec3 where;                   // the vehicle at the verdict (where it died), world units
  std::vector<Vec3> route;      // the way it drove, world units, from the start
};
extern ProveState g_prove;

// ---- the editor's side ----------------------------------------------------------------------
// After the level was saved to levelPath: asks for the run (the loop's next state is the
// tutorial's). False when the file cannot be played (it has no PLAYER): the card says so.
bool StartProve(const std::string& levelPath);
// The last verdict over the editor's field while the level being edited is the one proved:
// the route through the editor's camera, and the card in screen space, written with `font`.
void DrawProveResult(const Camera& camera, Font& font, const std::string& editedPath);
// The level changed: the route and the card go.
void ClearProveRoute();

// ---- the state table's side -----------------------------------------------------------------
bool ProveRequested(); // F9 asked for a run that has not begun
// The tutorial state's object for the run asked for: the tutorial's rules over the edited
// level, played by the pilot.
std::unique_ptr<Level> MakeProveLevel();

// The verdict as the card writes it: a headline and the figures (or the reason) under it.
std::vector<std::string> ProveCardLines(const ProveState& proof);
