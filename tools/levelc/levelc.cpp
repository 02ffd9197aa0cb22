// levelc: compiles a designer's map into the two files the level editor saves.
//
//   levelc PALETTE MAP NAMES OUT
//
//   PALETTE  the editor palette as the game names it (".../EditorHudObj.txt"; the
//            object list read is that path with "2" appended)
//   MAP      content/levels/NAME.map: one character per 52-unit wall cell
//   NAMES    content/levels/NAME.names: what the characters cannot say (below)
//   OUT      Assets/Levels/NAME.txt; the object list NAME.txt2 is written beside it
//
// Every object is a factory copy of its palette entry, as the editor's placing makes
// it, moved to the point the editor snaps a click on the cell's centre to: the wall
// grid (26 + 52c) for everything but roads and the road's end, which go to the road
// cell under the centre (25 + 50k). A copy that overlaps an object already placed is
// refused, as the editor refuses it; here that is an error in the map. Then the shot
// pools are added as the editor's save adds them (5 player and 20 enemy shots), then
// the designer's extra shots from the palette, and the game's own SaveLevel writes
// both files. The level is then opened as the editor opens it and saved once more,
// so the output is exactly what the editor saves when it opens and saves it.
//
// The names file, one statement a line, "#" starts a comment:
//   at C,R NAME [as ENTRY]   the object in cell (C, R) is named NAME; "as ENTRY" picks
//                            the palette entry it copies (how a character looks)
//   shots KIND N             the level holds N shots of KIND (PROJECTILE or
//                            ENEMYPROJECTILE), at least the editor's 5 or 20
//   filler PICTURE           FILLER cells copy the palette's FILLER with this picture
//                            (tree, rock, house; the first FILLER entry by default)
//
// Objects are made with real textures, so the tool needs a GL context. It makes one
// with SDL's offscreen driver (EGL), which needs no display: the build runs it on
// machines without an X server.
#include <GL/glew.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/System.h"
#include "levels/LevelFile.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/Shape.h"
#include "render/Texture.h"

#if defined(__SANITIZE_ADDRESS__)
// A build step under the sanitizer build: the offscreen (EGL) driver keeps allocations
// until exit, which the game's suppressions (written for GLX) do not name, and a leak
// report would fail the build. Memory errors are still reported.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
#endif

namespace {

constexpr float PI = 3.14159265f;
constexpr int WALL_GRID = 52;
constexpr int ROAD_GRID = 50;
constexpr int EDITOR_PLAYER_SHOTS = 5;
constexpr int EDITOR_ENEMY_SHOTS = 20;
const char* EDITOR_SHOT_PICTURE = "../Assets/image/mushroom2.png";

[[noreturn]] void Fail(const std::string& where, const std::string& message) {
  std::fprintf(stderr, "levelc: %s: %s\n", where.c_str(), message.c_str());
  std::exit(1);
}

// ---------------------------------------------------------------- the legend

enum class Needs { Nothing, Name, OptionalName };

struct Legend {
  std::string entry;     // palette entry copied
  std::string name;      // name given to the copy
  float rotation = 0.0f; // radians
  Needs needs = Needs::Nothing;
  bool roadGrid = false;
};

const std::map<char, Legend>& TheLegend() {
  static const std::map<char, Legend> legend = {
      {'#', {"WALL", "WALL"}},
      {'@', {"PLAYER", "PLAYER"}},
      {'F', {"GAS", "GAS"}},
      {'N', {"NPC1", "", 0.0f, Needs::Name}},
      {'O', {"PORTAL", "", 0.0f, Needs::Name}},
      {'E', {"ENEMY", "ENEMY"}},
      // Turrets fire along their facing: right, left, up (screen y grows down), down.
      {'>', {"ENEMY_3", "ENEMY_3", 0.0f, Needs::OptionalName}},
      {'<', {"ENEMY_3", "ENEMY_3", PI, Needs::OptionalName}},
      {'^', {"ENEMY_3", "ENEMY_3", 1.5f * PI, Needs::OptionalName}},
      {'v', {"ENEMY_3", "ENEMY_3", 0.5f * PI, Needs::OptionalName}},
      {'A', {"ENEMY2A", "ENEMY2A"}},
      {'a', {"ENEMY2A", "ENEMY2AREVERSE"}},
      {'B', {"ENEMY2B", "ENEMY2B"}},
      {'b', {"ENEMY2B", "ENEMY2BREVERSE"}},
      {'Y', {"ENEMY2VERTICALB", "ENEMY2VERTICALB"}},
      {'y', {"ENEMY2VERTICALB", "ENEMY2VERTICALBREVERSE"}},
      {'%', {"SACK", "SACK"}},
      {'Z', {"PIZZA", "PIZZA"}},
      {'H', {"GARAGE", "GARAGE"}},
      {'*', {"FILLER", "FILLER"}},
      {'p', {"GATE", "GATE10"}},
      {'k', {"GATE", "GATE11"}},
      {'m', {"GATE", "GATE12"}},
      {'h', {"GATE", "GATE21"}},
      {'1', {"GATE", "GATE1"}},
      {'2', {"GATE", "GATE2"}},
      {'3', {"GATE", "GATE3"}},
      {'X', {"END", "END", 0.0f, Needs::Nothing, true}},
      {':', {"ROAD", "ROAD", 0.0f, Needs::Nothing, true}},
  };
  return legend;
}

// ---------------------------------------------------------------- the names file

struct CellName {
  std::string name;
  std::string entry; // empty: the legend's
  int line = 0;
  bool used = false;
};

struct Names {
  std::map<std::pair<int, int>, CellName> cells; // (column, row)
  std::map<std::string, int> shots;              // kind -> total wanted
  std::string filler;                            // picture word, empty for the first entry
};

Names ReadNames(const std::string& path) {
  std::ifstream in(path);
  if (!in) Fail(path, "cannot open");
  Names names;
  std::string raw;
  for (int n = 1; std::getline(in, raw); ++n) {
    const std::string where = path + ":" + std::to_string(n);
    const auto hash = raw.find('#');
    std::istringstream line(hash == std::string::npos ? raw : raw.substr(0, hash));
    std::string word;
    if (!(line >> word)) continue;
    if (word == "at") {
      std::string cell, name, as, entry;
      int c = 0, r = 0;
      char comma = 0;
      if (!(line >> cell >> name)) Fail(where, "expected 'at C,R NAME [as ENTRY]'");
      std::istringstream cellText(cell);
      if (!(cellText >> c >> comma >> r) || comma != ',') Fail(where, "'" + cell + "' is not a cell C,R");
      if (line >> as) {
        if (as != "as" || !(line >> entry)) Fail(where, "expected 'as ENTRY' after the name");
      }
      if (names.cells.count({c, r})) Fail(where, "cell " + cell + " is named twice");
      names.cells[{c, r}] = CellName{name, entry, n, false};
    } else if (word == "shots") {
      std::string kind;
      int count = 0;
      if (!(line >> kind >> count)) Fail(where, "expected 'shots KIND N'");
      const int least = kind == "PROJECTILE" ? EDITOR_PLAYER_SHOTS
                        : kind == "ENEMYPROJECTILE" ? EDITOR_ENEMY_SHOTS
                                                    : -1;
      if (least < 0) Fail(where, "shots are PROJECTILE or ENEMYPROJECTILE, not " + kind);
      if (count < least) Fail(where, "the editor's save already puts " + std::to_string(least) + " " + kind);
      names.shots[kind] = count;
    } else if (word == "filler") {
      if (!(line >> names.filler)) Fail(where, "expected 'filler PICTURE'");
    } else {
      Fail(where, "unknown statement '" + word + "'");
    }
    std::string extra;
    if (line >> extra) Fail(where, "unexpected '" + extra + "'");
  }
  return names;
}

// ---------------------------------------------------------------- GL without a display

void OpenHiddenContext() {
  // Offscreen (EGL) even where a display exists: the result must not depend on it.
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) Fail("GL", std::string("SDL's offscreen video failed: ") + SDL_GetError());
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_Window* window = SDL_CreateWindow("levelc", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) Fail("GL", std::string("no offscreen window: ") + SDL_GetError());
  if (!SDL_GL_CreateContext(window)) Fail("GL", std::string("no GL context: ") + SDL_GetError());
  glewExperimental = GL_TRUE;
  const GLenum result = glewInit();
  // GLEW built for GLX loads the GL entry points and then fails on the missing GLX
  // display; the entry points are what the objects need.
  if (result != GLEW_OK && !glGenVertexArrays)
    Fail("GL", std::string("GL entry points not loaded: ") +
                   reinterpret_cast<const char*>(glewGetErrorString(result)));
  glGetError();
}

// ---------------------------------------------------------------- placing

// The editor's snap of a point onto a grid of `size` cells centred at size/2 + k*size
// (x and y differ for negative values, which no map reaches).
float SnapX(float v, int size) {
  const float half = static_cast<float>(size / 2);
  return half - size * std::trunc(-v / size);
}
float SnapY(float v, int size) {
  const float half = static_cast<float>(size / 2);
  return v >= 0.0f ? size * std::trunc(v / size) + half : size * std::trunc(v / size) - half;
}

struct Placed {
  GameObject* object;
  int column, row;
};

class Level {
public:
  Level(GameObjectFactory& factory, std::vector<GameObject*> palette, const std::string& source)
      : factory(factory), palette(std::move(palette)), source(source) {}

  GameObject* Entry(const std::string& name, const std::string& picture = "") const {
    for (GameObject* e : palette)
      if (e && e->name == name && (picture.empty() || e->ImagePath().find(picture) != std::string::npos)) return e;
    return nullptr;
  }

  // The editor's placing of a copy of `entry` at the cell's centre; false when the
  // editor would refuse it (a road on a road, or an overlap).
  bool Place(GameObject& entry, const std::string& name, float rotation, int c, int r, bool roadGrid,
             std::string& clash) {
    const float x = static_cast<float>(WALL_GRID / 2 + WALL_GRID * c);
    const float y = static_cast<float>(WALL_GRID / 2 + WALL_GRID * r);
    const int grid = roadGrid ? ROAD_GRID : WALL_GRID;
    const Vec3 at(SnapX(x, grid), SnapY(y, grid), 0.0f);
    GameObject* copy = factory.CreateCopy(entry);
    copy->name = name;
    copy->SetPosition(Vec3(at.x, at.y, copy->shape->Centroid().z));
    if (rotation != 0.0f) copy->Rotate(rotation);
    if (name == "ROAD") {
      for (const Placed& p : placed)
        if (p.object->name == "ROAD" && p.object->shape->Centroid().x == copy->shape->Centroid().x &&
            p.object->shape->Centroid().y == copy->shape->Centroid().y) {
          factory.objects.pop_back();
          return false;
        }
    } else {
      // Touching is not overlapping: walls fill their cells and meet edge to edge.
      Poly shrunk(*static_cast<Poly*>(copy->shape.get()));
      const auto box = shrunk.Bounds();
      const float least = std::min(box.second.x - box.first.x, box.second.y - box.first.y) / 2.0f;
      if (least > 0.5f) shrunk.Scale((least - 0.5f) / least);
      for (const Placed& p : placed) {
        if (p.object->name == "ROAD" || !shrunk.Intersects(static_cast<const Poly&>(*p.object->shape))) continue;
        clash = p.object->name + " at " + std::to_string(p.column) + "," + std::to_string(p.row);
        factory.objects.pop_back();
        return false;
      }
    }
    placed.push_back({copy, c, r});
    return true;
  }

  GameObjectFactory& factory;
  std::vector<GameObject*> palette;
  std::string source;
  std::vector<Placed> placed;
};

std::vector<std::string> ReadMap(const std::string& path) {
  std::ifstream in(path);
  if (!in) Fail(path, "cannot open");
  std::vector<std::string> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    rows.push_back(line);
  }
  if (rows.empty()) Fail(path, "the map is empty");
  return rows;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: levelc PALETTE MAP NAMES OUT\n");
    return 2;
  }
  const std::string palettePath = argv[1], mapPath = argv[2], namesPath = argv[3], outPath = argv[4];
  const std::vector<std::string> rows = ReadMap(mapPath);
  size_t width = 0;
  for (const std::string& row : rows) width = std::max(width, row.size());
  Names names = ReadNames(namesPath);

  OpenHiddenContext();
  auto factory = std::make_shared<GameObjectFactory>();
  g_systems.push_back(factory);

  // The loader gives one wall picture in ten the cracked variant; the palette's wall
  // must keep the plain picture, or every wall of the level would be saved cracked.
  std::srand(1);
  std::vector<GameObject*> palette = LoadObjectList(palettePath, true);
  if (palette.empty()) Fail(palettePath + "2", "the palette is empty or invalid");
  for (GameObject* e : palette) {
    const std::string& path = e->ImagePath();
    const std::string variant = "wall2.png";
    if (path.size() >= variant.size() && path.compare(path.size() - variant.size(), variant.size(), variant) == 0)
      e->graphic->SetImage((path.substr(0, path.size() - variant.size()) + "wall.png").c_str());
  }
  Level level(*factory, palette, mapPath);

  std::map<std::string, int> counts;
  int roadsMerged = 0;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
      const char ch = rows[r][c];
      const std::string where = mapPath + ": cell " + std::to_string(c) + "," + std::to_string(r);
      auto named = names.cells.find({c, r});
      if (ch == '.' || ch == ' ') {
        if (named != names.cells.end()) Fail(where, "is named " + named->second.name + " but holds nothing");
        continue;
      }
      const auto legend = TheLegend().find(ch);
      if (legend == TheLegend().end()) Fail(where, std::string("unknown map character '") + ch + "'");
      const Legend& l = legend->second;
      std::string name = l.name, entryName = l.entry;
      if (named != names.cells.end()) {
        if (l.needs == Needs::Nothing) Fail(where, std::string("'") + ch + "' takes no name");
        named->second.used = true;
        name = named->second.name;
        if (!named->second.entry.empty()) entryName = named->second.entry;
      } else if (l.needs == Needs::Name) {
        Fail(where, std::string("'") + ch + "' needs a name in " + namesPath);
      }
      // A name that does not hold its kind's word would make it another object in play.
      const char* word = ch == 'N' ? "NPC" : ch == 'O' ? "PORTAL" : l.needs == Needs::OptionalName ? "ENEMY_3" : "";
      if (name.find(word) == std::string::npos) Fail(where, name + " is not a name for '" + std::string(1, ch) + "'");
      GameObject* entry = level.Entry(entryName, ch == '*' ? names.filler : "");
      if (!entry) Fail(where, "the palette has no " + entryName + (ch == '*' ? " " + names.filler : ""));
      std::string clash;
      if (!level.Place(*entry, name, l.rotation, c, r, l.roadGrid, clash)) {
        if (clash.empty()) {
          ++roadsMerged; // two road cells snapped onto one road tile: the editor keeps one
          continue;
        }
        Fail(where, name + " overlaps " + clash);
      }
      ++counts[name];
    }
  }
  for (const auto& [cell, n] : names.cells)
    if (!n.used) Fail(namesPath + ":" + std::to_string(n.line), "names a cell outside the map");

  std::vector<GameObject*> objects;
  for (const Placed& p : level.placed) objects.push_back(p.object);
  // The editor's save adds the stock pools to a level that has no shots.
  for (int i = 0; i < EDITOR_PLAYER_SHOTS; ++i)
    objects.push_back(factory->Create("PROJECTILE", EDITOR_SHOT_PICTURE, Vec3(), 10, 5, 1));
  for (int i = 0; i < EDITOR_ENEMY_SHOTS; ++i)
    objects.push_back(factory->Create("ENEMYPROJECTILE", EDITOR_SHOT_PICTURE, Vec3(), 10, 5, 1));
  // The designer's extras come from the palette, dropped on the first free cells.
  size_t scan = 0; // row-major cell index
  for (const char* kind : {"PROJECTILE", "ENEMYPROJECTILE"}) {
    const int stock = std::string(kind) == "PROJECTILE" ? EDITOR_PLAYER_SHOTS : EDITOR_ENEMY_SHOTS;
    const int extra = names.shots.count(kind) ? names.shots[kind] - stock : 0;
    GameObject* entry = level.Entry(kind);
    if (extra > 0 && !entry) Fail(palettePath + "2", std::string("the palette has no ") + kind);
    for (int i = 0; i < extra; ++i) {
      bool done = false;
      for (; !done && scan < rows.size() * width; ++scan) {
        const int c = static_cast<int>(scan % width), r = static_cast<int>(scan / width);
        std::string clash;
        done = c < static_cast<int>(rows[r].size()) && rows[r][c] == '.' &&
               level.Place(*entry, kind, 0.0f, c, r, false, clash);
      }
      if (!done) Fail(mapPath, "no free cell left for the extra shots");
      objects.push_back(level.placed.back().object);
    }
    counts[kind] = stock + (extra > 0 ? extra : 0);
  }

  SaveLevel(objects, outPath);
  if (!ValidateLevelFile(outPath + "2")) Fail(outPath + "2", "was not written as a valid level");
  // Then opened and saved again, as the editor opens a level: the description comes out
  // in the object list's order (player first, shots last) and the player, read from the
  // list's Vehicle block, as a vehicle. So a shipped level saved from the editor gives
  // both files back token for token.
  const std::vector<GameObject*> opened = LoadObjectListToEdit(outPath, true);
  if (opened.size() != objects.size()) Fail(outPath + "2", "does not open as it was written");
  SaveLevel(opened, outPath);
  if (!ValidateLevelFile(outPath + "2") || !ValidateLevelFile(outPath))
    Fail(outPath, "was not written as a valid level");

  std::printf("levelc: %s: %zu objects:", outPath.c_str(), objects.size());
  for (const auto& [name, n] : counts) std::printf(" %s %d", name.c_str(), n);
  if (roadsMerged) std::printf(" (%d road cells shared a road tile)", roadsMerged);
  std::printf("\n");
  g_systems.clear();
  SDL_Quit();
  return 0;
}
