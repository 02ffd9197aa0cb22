// Checks the shipped levels as the build compiled them into ../Assets/Levels: each
// file as the game reads it, and the rules of play each level is built around (who
// opens which gate, how many patrollers a gate waits for, the chain of turret
// batteries, the grass carpet, the help cards, and for the tutorial stages the exit
// that only the portal leads to). A level that breaks one of these plays wrong or
// cannot be finished, though it loads without a complaint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <queue>
#include <set>
#include <string>
#include <vector>

#include "core/System.h"
#include "levels/LevelFile.h"
#include "levels/LevelTokens.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/Vehicle.h"
#include "render/ImageFile.h"
#include "support/GlTestContext.h"

namespace {

const std::string kLevels = "../Assets/Levels/";
const int kCell = 52;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Level {
  std::string name;
  std::vector<ObjectRecord> objects; // in file order
  bool tutorial = false;

  std::vector<const ObjectRecord*> Named(bool (*match)(const std::string&)) const {
    std::vector<const ObjectRecord*> out;
    for (const ObjectRecord& o : objects)
      if (match(o.name)) out.push_back(&o);
    return out;
  }
  int Count(bool (*match)(const std::string&)) const { return static_cast<int>(Named(match).size()); }
  bool IsShooter(const std::string& n) const {
    return n == "ENEMY" || Has(n, tutorial ? "ENEMY_" : "ENEMY_3");
  }
};

Level Read(const std::string& name) {
  Level level;
  level.name = name;
  level.tutorial = name.rfind("TUT", 0) == 0;
  std::ifstream in(kLevels + name + ".txt2");
  ObjectRecord record;
  std::string problem;
  BlockResult result;
  while ((result = ParseObjectBlock(in, record, problem)) == BlockResult::Read) level.objects.push_back(record);
  EXPECT_EQ(result, BlockResult::End) << name << ": " << problem;
  return level;
}

bool IsGate(const std::string& n) { return Has(n, "GATE"); }
bool IsPortal(const std::string& n) { return Has(n, "PORTAL"); }
bool IsWall(const std::string& n) { return n == "WALL"; }
bool IsNpc(const std::string& n) { return Has(n, "NPC"); }
bool IsEnd(const std::string& n) { return n == "END"; }
bool IsTypeA(const std::string& n) { return Has(n, "ENEMY2A"); }
bool IsTypeB(const std::string& n) { return !IsTypeA(n) && (Has(n, "ENEMY2B") || Has(n, "ENEMY2VERTICALB")); }

// ---------------------------------------------------------------- the cell grid

using Cell = std::pair<int, int>; // column, row
Cell CellOf(const ObjectRecord& o) {
  return {static_cast<int>(o.centreX) / kCell, static_cast<int>(o.centreY) / kCell};
}

// Cells reachable from `start`, four-way, through cells no blocking object stands on.
std::set<Cell> Reach(const Level& level, Cell start, bool (*blocks)(const ObjectRecord&, void*), void* context) {
  std::set<Cell> blocked;
  int columns = 0, rows = 0;
  for (const ObjectRecord& o : level.objects) {
    const Cell c = CellOf(o);
    columns = std::max(columns, c.first + 1);
    rows = std::max(rows, c.second + 1);
    if (blocks(o, context)) blocked.insert(c);
  }
  std::set<Cell> seen{start};
  std::queue<Cell> open;
  open.push(start);
  while (!open.empty()) {
    const Cell c = open.front();
    open.pop();
    for (const Cell& d : {Cell{1, 0}, Cell{-1, 0}, Cell{0, 1}, Cell{0, -1}}) {
      const Cell n{c.first + d.first, c.second + d.second};
      if (n.first < 0 || n.second < 0 || n.first >= columns || n.second >= rows) continue;
      if (blocked.count(n) || !seen.insert(n).second) continue;
      open.push(n);
    }
  }
  return seen;
}

// Walls always block; a gate blocks unless its name is in the open set; portals
// block when the set holds "PORTAL". Sacks do not: they can be shot away.
bool Blocks(const ObjectRecord& o, void* context) {
  const auto& open = *static_cast<std::set<std::string>*>(context);
  if (IsWall(o.name)) return true;
  if (IsPortal(o.name)) return open.count("PORTAL") > 0;
  if (IsGate(o.name)) return open.count(o.name) == 0;
  return false;
}

const ObjectRecord& First(const Level& level, bool (*match)(const std::string&)) {
  static const ObjectRecord none;
  for (const ObjectRecord& o : level.objects)
    if (match(o.name)) return o;
  ADD_FAILURE() << level.name << " has no such object";
  return none;
}

// ---------------------------------------------------------------- the levels

class ShippedLevel : public ::testing::TestWithParam<std::string> {};

TEST_P(ShippedLevel, IsAPlayableFileInTheSaversOrder) {
  const Level level = Read(GetParam());
  // Both files: the object list is played, the description file decides whether the
  // level is listed at all.
  EXPECT_TRUE(ValidateLevelFile(kLevels + level.name + ".txt2"));
  EXPECT_TRUE(ValidateLevelFile(kLevels + level.name + ".txt"));
  ASSERT_FALSE(level.objects.empty());
  EXPECT_EQ(level.objects.front().keyword, "Vehicle");
  EXPECT_EQ(level.objects.front().name, "PLAYER");
  EXPECT_EQ(level.Count([](const std::string& n) { return n == "PLAYER"; }), 1);

  // Every shooter must be known when the first enemy shot is handed out.
  int lastShooter = -1, firstEnemyShot = static_cast<int>(level.objects.size());
  for (int i = 0; i < static_cast<int>(level.objects.size()); ++i) {
    const std::string& n = level.objects[i].name;
    if (level.IsShooter(n)) lastShooter = i;
    if (n == "ENEMYPROJECTILE") firstEnemyShot = std::min(firstEnemyShot, i);
  }
  EXPECT_LT(lastShooter, firstEnemyShot);
  EXPECT_GE(level.Count([](const std::string& n) { return n == "PROJECTILE"; }), 5);
  EXPECT_GE(level.Count([](const std::string& n) { return n == "ENEMYPROJECTILE"; }), 20);
  EXPECT_EQ(level.Count(IsEnd), 1);

  // The grass carpet is a pool of 100 tiles laid over the wall centres.
  int minX = 1 << 30, minY = 1 << 30, maxX = -(1 << 30), maxY = -(1 << 30);
  for (const ObjectRecord* w : level.Named(IsWall)) {
    const int x = static_cast<int>(w->centreX), y = static_cast<int>(w->centreY);
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  }
  ASSERT_FALSE(level.Named(IsWall).empty());
  EXPECT_LE(((maxX - minX) / 400 + 2) * ((maxY - minY) / 400 + 2), 100) << level.name;
}

TEST_P(ShippedLevel, EveryTalkingCharacterHasAHelpCard) {
  const Level level = Read(GetParam());
  for (const ObjectRecord* npc : level.Named(IsNpc)) {
    if (ChooseObjectKind(npc->keyword, npc->name) != ObjectKind::Npc) continue;
    const std::string card = "../Assets/image/npc/npc" + npc->name.substr(3) + ".png";
    DecodedImage image;
    EXPECT_TRUE(DecodePng(card.c_str(), image)) << npc->name << " talks but " << card << " is missing";
    // The game shows every card at 200 x 300.
    EXPECT_EQ(image.width, 200) << card;
    EXPECT_EQ(image.height, 300) << card;
  }
}

TEST_P(ShippedLevel, EveryGateAnswersExactlyOneRule) {
  const Level level = Read(GetParam());
  std::vector<std::string> rules;
  if (level.tutorial) {
    rules = {"GATE1", "GATE2", "GATE3"};
  } else {
    rules = {"GATE10", "GATE11", "GATE12"};
    // Only the boss level counts garage visits, gate 21 + i for garage i.
    if (level.name == "BOSS") {
      const int garages = level.Count([](const std::string& n) { return n == "GARAGE"; });
      for (int i = 0; i < garages; ++i) rules.push_back("GATE" + std::to_string(21 + i));
    }
  }
  for (const ObjectRecord* gate : level.Named(IsGate)) {
    const auto matched = std::count_if(rules.begin(), rules.end(), [&](const std::string& r) { return Has(gate->name, r); });
    EXPECT_EQ(matched, 1) << level.name << ": " << gate->name;
  }
  if (level.tutorial) {
    // A character opens gate group g by a g+1 in its name (4 only after a garage).
    for (const ObjectRecord* npc : level.Named(IsNpc)) {
      int digits = 0;
      for (char d : {'2', '3', '4'}) digits += npc->name.find(d) != std::string::npos;
      EXPECT_LE(digits, 1) << npc->name << " would open more than one gate group";
    }
    for (int group = 1; group <= 3; ++group) {
      const std::string gate = "GATE" + std::to_string(group);
      if (level.Count(IsGate) == 0 ||
          std::none_of(level.objects.begin(), level.objects.end(), [&](const ObjectRecord& o) { return Has(o.name, gate); }))
        continue;
      const char digit = static_cast<char>('1' + group);
      int openers = 0;
      for (const ObjectRecord* npc : level.Named(IsNpc)) openers += npc->name.find(digit) != std::string::npos;
      const bool garage = level.Count([](const std::string& n) { return n == "GARAGE"; }) > 0;
      // A garage opens every gate on its first visit, so there a gate may do without a character.
      if (garage) {
        EXPECT_LE(openers, 1) << level.name << ": " << gate;
      } else {
        EXPECT_EQ(openers, 1) << level.name << ": " << gate;
      }
    }
  } else {
    // The kill counters open 11 after the fourth A and 12 after the seventh B.
    if (level.Count([](const std::string& n) { return Has(n, "GATE11"); }) > 0) {
      EXPECT_GT(level.Count(IsTypeA), 3);
    }
    if (level.Count([](const std::string& n) { return Has(n, "GATE12"); }) > 0) {
      EXPECT_GT(level.Count(IsTypeB), 6);
    }
    // A portal to END would skip the campaign's end screen.
    for (const ObjectRecord* portal : level.Named(IsPortal)) {
      const std::string rest = portal->name.substr(portal->name.find("PORTAL") + 6);
      EXPECT_FALSE(rest.size() == 3 && Has(rest, "END")) << portal->name;
    }
  }
}

// Opens the gates the way play does (the pizza, four A, seven B, the garage in the
// boss level; a talk or the garage in the tutorial) with only what the player can
// reach, and asks that the level can then be finished.
TEST_P(ShippedLevel, CanBeFinishedInTheDesignedOrder) {
  const Level level = Read(GetParam());
  const Cell start = CellOf(First(level, [](const std::string& n) { return n == "PLAYER"; }));
  const Cell end = CellOf(First(level, IsEnd));
  std::set<std::string> open;
  for (bool changed = true; changed;) {
    changed = false;
    const std::set<Cell> reach = Reach(level, start, Blocks, &open);
    auto reached = [&](bool (*match)(const std::string&)) {
      int n = 0;
      for (const ObjectRecord* o : level.Named(match)) n += reach.count(CellOf(*o));
      return n;
    };
    std::vector<std::string> opening;
    if (level.tutorial) {
      const bool garage = reached([](const std::string& n) { return n == "GARAGE"; }) > 0;
      for (const ObjectRecord* npc : level.Named(IsNpc)) {
        if (!reach.count(CellOf(*npc))) continue;
        if (Has(npc->name, "2")) opening.push_back("GATE1");
        if (Has(npc->name, "3")) opening.push_back("GATE2");
        if (Has(npc->name, "4") && garage) opening.push_back("GATE3");
      }
      if (garage) opening.insert(opening.end(), {"GATE1", "GATE2", "GATE3"});
    } else {
      if (reached([](const std::string& n) { return n == "PIZZA"; })) opening.push_back("GATE10");
      if (reached(IsTypeA) > 3) opening.push_back("GATE11");
      if (reached(IsTypeB) > 6) opening.push_back("GATE12");
      if (level.name == "BOSS" && reached([](const std::string& n) { return n == "GARAGE"; }))
        opening.push_back("GATE21");
    }
    for (const ObjectRecord* gate : level.Named(IsGate))
      for (const std::string& g : opening)
        if (Has(gate->name, g)) changed |= open.insert(gate->name).second;
  }
  EXPECT_TRUE(Reach(level, start, Blocks, &open).count(end)) << level.name << " cannot be finished";
}

INSTANTIATE_TEST_SUITE_P(Levels, ShippedLevel,
                         ::testing::Values("FIRSTMOD", "SECOND", "BOSS", "TUTORIAL", "TUTSHOOT", "TUTPIT"));

TEST(BossLevel, TurretsFormBatteriesThirtyOneToThirtySixAndNoGunnerStands) {
  const Level level = Read("BOSS");
  std::set<std::string> batteries;
  for (const ObjectRecord& o : level.objects) {
    EXPECT_NE(o.name, "ENEMY") << "gunners neither fire nor can be hit in the boss level";
    if (Has(o.name, "ENEMY_3")) batteries.insert(o.name);
  }
  // The chain keeps six bits and wakes the lowest-numbered battery: 31 to 36, no gap.
  EXPECT_EQ(batteries, (std::set<std::string>{"ENEMY_31", "ENEMY_32", "ENEMY_33", "ENEMY_34", "ENEMY_35", "ENEMY_36"}));
}

class TutorialStage : public ::testing::TestWithParam<std::string> {};

TEST_P(TutorialStage, SkipPointIsFreeEndLiesBehindThePortalAndNoTurretStands) {
  const Level level = Read(GetParam());
  // F6 drops the player at (1150, 425) in every stage: the tank's box there must be clear.
  for (const ObjectRecord& o : level.objects) {
    const bool blocks = IsWall(o.name) || o.name == "SACK" || (IsGate(o.name) && !IsPortal(o.name));
    if (!blocks) continue;
    const bool apart = o.centreX + o.halfWidth <= 1125 || o.centreX - o.halfWidth >= 1175 ||
                       o.centreY + o.halfHeight <= 400 || o.centreY - o.halfHeight >= 450;
    EXPECT_TRUE(apart) << o.name << " at " << o.centreX << "," << o.centreY << " covers the skip point";
  }
  // Turrets need the campaign's rules: in a stage they would only stand and take shots.
  for (const ObjectRecord& o : level.objects) EXPECT_FALSE(Has(o.name, "ENEMY_")) << o.name;

  const Cell start = CellOf(First(level, [](const std::string& n) { return n == "PLAYER"; }));
  const Cell end = CellOf(First(level, IsEnd));
  std::set<std::string> open;
  for (const ObjectRecord* g : level.Named(IsGate)) open.insert(g->name);
  EXPECT_TRUE(Reach(level, start, Blocks, &open).count(end)) << "the exit is out of reach";
  // Touching the portal moves on to the next stage, so the exit must lie behind it.
  open.insert("PORTAL");
  EXPECT_FALSE(Reach(level, start, Blocks, &open).count(end)) << "the exit can be reached around the portal";
}

INSTANTIATE_TEST_SUITE_P(Stages, TutorialStage, ::testing::Values("TUTORIAL", "TUTSHOOT", "TUTPIT"));

// The stages chain on by their portals and the last one leads home.
TEST(TutorialStages, PortalsChainTheStagesBackToTheMenu) {
  const std::map<std::string, std::string> next = {
      {"TUTORIAL", "TUTSHOOT"}, {"TUTSHOOT", "TUTPIT"}, {"TUTPIT", "END"}};
  for (const auto& [stage, target] : next) {
    const Level level = Read(stage);
    ASSERT_FALSE(level.Named(IsPortal).empty()) << stage;
    for (const ObjectRecord* portal : level.Named(IsPortal)) EXPECT_EQ(portal->name, "PORTAL" + target);
    if (target != "END") {
      EXPECT_TRUE(ValidateLevelFile(kLevels + target + ".txt2")) << target;
    }
  }
}

// The real loader makes every block into an object through the factory.
TEST(ShippedLevels, LoadThroughTheGamesLoaderWithEveryObject) {
  ASSERT_TRUE(GlTestContext::Get().ok);
  auto factory = std::make_shared<GameObjectFactory>();
  g_systems.push_back(factory);
  for (const char* name : {"FIRSTMOD", "SECOND", "BOSS", "TUTORIAL", "TUTSHOOT", "TUTPIT"}) {
    const Level level = Read(name);
    const std::vector<GameObject*> objects = LoadObjectList(kLevels + name + ".txt", true);
    ASSERT_EQ(objects.size(), level.objects.size()) << name;
    EXPECT_NE(dynamic_cast<Vehicle*>(objects.front()), nullptr) << name;
    factory->objects.clear();
  }
  g_systems.clear();
}

} // namespace
