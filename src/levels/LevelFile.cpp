#include "levels/LevelFile.h"
#include "platform/ConsoleTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <locale>
#include <optional>
#include <sstream>

#include "core/System.h"
#include "levels/LevelTokens.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/NPC.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "objects/World.h"
#include "platform/SafeFile.h"
#include "render/Texture.h"

std::vector<std::string> g_levelNames;

namespace {

const char* LEVEL_FOLDER = "../Assets/Levels/";
const char* GARAGE_MESSAGE = "Press 'C' to enter garage";

// ============================================================================
// Measuring objects for the files
// ============================================================================

struct Placement {
  Vec3 centre;
  float halfWidth = 0.0f;
  float halfHeight = 0.0f;
};

// Far from the origin the polygon's floats carry noise, and an angle read back with six
// digits turns a box a hair more than it was: 25 would be written 25.0002 or 24.9998, and
// the reader truncates sizes, so an object would shrink by a unit at some save. Sizes
// within a thousandth of a whole number are that number.
float WholeIfNoise(float size) {
  const float whole = std::round(size);
  return std::fabs(size - whole) < 1e-3f ? whole : size;
}

// Centre and half extents (centre minus the box's lower corner) of a polygon,
// the extents divided by `divisor`.
Placement Measure(const Poly& shape, float divisor) {
  Placement p;
  p.centre = shape.Centroid();
  const Vec3 lower = shape.Bounds().first;
  p.halfWidth = WholeIfNoise((p.centre.x - lower.x) / divisor);
  p.halfHeight = WholeIfNoise((p.centre.y - lower.y) / divisor);
  return p;
}

// The size the object has when turned back to rotation 0. A copy is turned,
// so saving leaves the object's own polygon exactly as it was.
Placement MeasureUnrotated(const GameObject& object, float divisor) {
  Poly upright(*object.shape);
  upright.Rotate(-object.rotation);
  return Measure(upright, divisor);
}

// A name with a blank in it would split into two tokens, and an empty one
// would vanish; either shifts every later field of the file (and breaks the
// 12-token framing the level list checks), so blanks are written as
// underscores and nothing at all as one underscore.
std::string Token(std::string text) {
  if (text.empty()) return "_";
  for (char& c : text)
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') c = '_';
  return text;
}

int FormatOf(const GameObject& object) { return object.graphic ? object.graphic->format : 1; }

// "inf" and "nan" are tokens no reader takes back: a number that is not finite fails the
// stream it would go to, and SaveLevel writes nothing from a failed stream.
template <class Number> Number Finite(std::ostream& out, Number value) {
  if (!std::isfinite(value)) out.setstate(std::ios::failbit);
  return value;
}

// ============================================================================
// Level description blocks
// ============================================================================

// The ten fields every description block carries after its keyword, weapons included.
void WriteDescriptionFields(std::ostream& out, const GameObject& object, const Placement& p) {
  out << Token(object.name) << '\n'
      << Token(object.ImagePath()) << '\n'
      << Finite(out, p.centre.x) << '\n'
      << Finite(out, p.centre.y) << '\n'
      << Finite(out, p.halfWidth) << '\n'
      << Finite(out, p.halfHeight) << '\n'
      << Finite(out, object.storedValue) << '\n'
      << FormatOf(object) << '\n'
      << Finite(out, object.scale) << '\n'
      << Finite(out, object.rotation) << '\n';
}

void WriteDescriptionWeapon(std::ostream& out, const Weapon& weapon, float vehicleScale) {
  // The nested weapon sizes are divided by the owning vehicle's scale.
  out << "Weapon\n";
  WriteDescriptionFields(out, weapon, Measure(*weapon.shape, vehicleScale));
  out << Finite(out, weapon.reloadTime) << '\n'
      << Finite(out, weapon.damage) << '\n'
      << static_cast<int>(weapon.kind) << '\n'
      << "EndWeapon\n";
}

void WriteDescriptionBlock(std::ostream& out, GameObject& object) {
  if (dynamic_cast<Weapon*>(&object)) return; // weapons appear inside their vehicle
  auto* vehicle = dynamic_cast<Vehicle*>(&object);
  out << (vehicle ? "Vehicle" : "GameObject") << '\n';
  WriteDescriptionFields(out, object, Measure(*object.shape, object.scale));
  if (vehicle) {
    for (const auto& weapon : vehicle->weapons)
      if (weapon) WriteDescriptionWeapon(out, *weapon, vehicle->scale);
    out << "EndVehicle\n";
  } else {
    out << "EndGameObject\n";
  }
}

// ============================================================================
// Object list blocks
// ============================================================================

void WriteListBlock(std::ostream& out, GameObject& object, bool asVehicle) {
  out << (asVehicle ? "Vehicle" : "GameObject") << '\n';
  WriteObjectFields(out, object);
  out << (asVehicle ? "EndVehicle" : "EndGameObject") << '\n';
}

bool IsShot(const GameObject& object) { return object.name == "PROJECTILE" || object.name == "ENEMYPROJECTILE"; }

// The player first, so the level finds it before anything refers to it; the
// shots last, so that every shooter is known when the level hands them out. Of
// several players only the one the game would play is kept.
void WriteObjectList(std::ostream& out, const std::vector<GameObject*>& objects) {
  GameObject* player = FindPlayer(objects);
  WriteListBlock(out, *player, true);
  for (GameObject* o : objects) {
    if (!o || dynamic_cast<Weapon*>(o) || o->name == "PLAYER" || IsShot(*o) || o->ImagePath().empty()) continue;
    WriteListBlock(out, *o, dynamic_cast<Vehicle*>(o) != nullptr);
  }
  // An empty image path would leave an empty token and shift the blocks after it.
  for (GameObject* o : objects)
    if (o && IsShot(*o) && !o->ImagePath().empty()) WriteListBlock(out, *o, dynamic_cast<Vehicle*>(o) != nullptr);
}

// The text `write` produces, in the classic locale whatever the game's is; none when a
// number could not be written.
template <class Writer> std::optional<std::string> Text(Writer write) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  write(out);
  if (out.fail()) return std::nullopt;
  return out.str();
}

// ============================================================================
// Making objects from records
// ============================================================================

GameObject* MakeObject(GameObjectFactory& factory, const ObjectRecord& r) {
  const Vec3 position(r.centreX, r.centreY, 1.0f);
  const int hw = static_cast<int>(r.halfWidth); // the parser keeps these within int range
  const int hh = static_cast<int>(r.halfHeight);
  switch (ChooseObjectKind(r.keyword, r.name)) {
  case ObjectKind::Animated:
    return factory.CreateAnimated(r.name, r.imagePath, position, hw, hh, r.format, DescriptorPath(r.imagePath));
  case ObjectKind::Vehicle:
    return factory.CreateVehicle(r.name, r.imagePath, position, hw, hh, r.format, DescriptorPath(r.imagePath));
  case ObjectKind::Npc:
    return factory.CreateNPC(r.name, r.imagePath, position, hw, hh, r.format, GARAGE_MESSAGE, Vec3());
  case ObjectKind::Static: {
    std::string image = r.imagePath;
    // One wall in ten shows the cracked variant; only wall pictures draw from rand.
    if (IsWallPicture(image)) image = WallVariantPath(image, std::rand() % 10);
    return factory.Create(r.name, image, position, hw, hh, r.format);
  }
  case ObjectKind::None:
    break;
  }
  return nullptr;
}

} // namespace

// ============================================================================
// Reading
// ============================================================================

GameObject* ReadObjectBlock(std::istream& in, const std::string& source) {
  ObjectRecord record;
  std::string problem;
  switch (ParseObjectBlock(in, record, problem)) {
  case BlockResult::End:
    return nullptr;
  case BlockResult::Truncated:
  case BlockResult::Malformed:
    std::cout << "Error: " << source << ": " << problem << ", the rest of the file is ignored" << std::endl;
    in.setstate(std::ios::failbit);
    return nullptr;
  case BlockResult::Read:
    break;
  }
  auto* factory = FindSystem<GameObjectFactory>();
  if (!factory) return nullptr;
  GameObject* object = MakeObject(*factory, record);
  if (!object) {
    std::cout << "Error: " << source << ": " << record.name << " under the keyword " << record.keyword
              << " is neither a GameObject nor a Vehicle, skipped" << std::endl;
    return nullptr;
  }
  object->Rotate(record.rotation);
  object->Scale(record.scale);
  object->storedValue = record.storedValue;
  return object;
}

std::vector<GameObject*> LoadObjectList(const std::string& path, bool validate) {
  const std::string file = path + "2";
  std::vector<GameObject*> objects;
  if (validate && !ValidateLevelFile(file)) {
    std::cout << "Error: " << file << " is not a playable object list, none of it is loaded" << std::endl;
    return objects;
  }
  std::ifstream in(file);
  if (!in) {
    std::cout << "Error: cannot open " << file << ", no objects are loaded from it" << std::endl;
    return objects;
  }
  if (!FindSystem<GameObjectFactory>()) return objects;
  std::cout << ConsoleText::UNSERIALIZING << std::endl;
  int iterations = 0;
  // good() turns false at the end of the file and after a refused block alike.
  while (in.good()) {
    if (GameObject* object = ReadObjectBlock(in, file)) objects.push_back(object);
    ++iterations;
  }
  std::cout << ConsoleText::UNSERIALIZED << " " << (iterations - 1) << " objects" << std::endl;
  return objects;
}

std::vector<GameObject*> LoadObjectListToEdit(const std::string& path, bool validate) {
  std::vector<GameObject*> objects = LoadObjectList(path, validate);
  // Each made object answers one block the loader could make something of, in order.
  std::ifstream in(path + "2");
  ObjectRecord record;
  std::string problem;
  size_t next = 0;
  while (next < objects.size() && ParseObjectBlock(in, record, problem) == BlockResult::Read) {
    if (ChooseObjectKind(record.keyword, record.name) == ObjectKind::None) continue;
    GameObject* o = objects[next++];
    if (o->ImagePath() != record.imagePath && IsWallPicture(record.imagePath))
      o->graphic->SetImage(record.imagePath.c_str());
  }
  return objects;
}

void LoadPlayerLoadout(const std::string& path, GameObject* object) {
  if (!object) return;
  std::ifstream in(path);
  if (!in) {
    std::cout << "Error: cannot open " << path << ", the loadout is unchanged" << std::endl;
    return;
  }
  auto* vehicle = dynamic_cast<Vehicle*>(object);
  LoadoutRecord loadout;
  ParseLoadout(in, vehicle != nullptr, loadout, std::cout, path);
  if (loadout.hasHp) object->hp = loadout.hp;
  if (!vehicle) return;
  if (loadout.hasUpgradeLevel) vehicle->upgradeLevel = loadout.upgradeLevel;
  for (const WeaponRecord& w : loadout.weapons) {
    auto weapon = std::make_shared<Weapon>(Vec3(w.centreX, w.centreY, 1.0f), static_cast<int>(w.halfWidth),
                                           static_cast<int>(w.halfHeight), w.format, static_cast<WeaponKind>(w.kind),
                                           w.imagePath, w.reloadTime, w.damage);
    weapon->name = w.name;
    for (const ProjectileRecord& p : w.projectiles)
      weapon->projectiles.push_back(std::make_shared<Projectile>(
          p.format, Vec3(p.centreX, p.centreY, 1.0f), static_cast<int>(p.halfWidth),
          static_cast<int>(p.halfHeight), p.imagePath, p.lifetime));
    vehicle->weapons.push_back(std::move(weapon));
  }
}

bool ValidateLevelFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) return false;
  return ValidateLevelTokens(in);
}

void ListLevels() {
  g_levelNames.clear();
  std::error_code ec;
  std::filesystem::directory_iterator it(LEVEL_FOLDER, ec), end;
  // Every state lists the folder again; a missing one is said once, until it is back.
  static bool reported = false;
  if (ec) {
    if (!reported) std::cout << "Error: cannot list " << LEVEL_FOLDER << ", the level list is empty" << std::endl;
    reported = true;
    return;
  }
  reported = false;
  std::vector<std::string> names;
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    const std::string file = it->path().filename().string();
    if (file.size() < 4 || file.compare(file.size() - 4, 4, ".txt") != 0) continue;
    std::error_code kindError;
    if (it->is_directory(kindError)) {
      std::printf("  %s   <DIR>\n", file.c_str());
      continue;
    }
    if (file[0] == ' ') continue;
    names.push_back(file.substr(0, file.size() - 4));
  }
  // Directory order is arbitrary here; the editor steps through levels by name.
  std::sort(names.begin(), names.end());
  for (const std::string& stem : names) {
    if (!ValidateLevelFile(LEVEL_FOLDER + stem + ".txt")) continue;
    g_levelNames.push_back(stem);
  }
}

// ============================================================================
// Writing
// ============================================================================

void WriteObjectFields(std::ostream& out, GameObject& object) {
  const Placement p = MeasureUnrotated(object, object.scale);
  out << Token(object.name) << '\n'
      << Token(object.ImagePath()) << '\n'
      << Finite(out, object.storedValue) << '\n'
      << FormatOf(object) << '\n'
      << Finite(out, object.scale) << '\n'
      << Finite(out, object.rotation) << '\n'
      << Finite(out, p.centre.x) << '\n'
      << Finite(out, p.centre.y) << '\n'
      << Finite(out, p.halfWidth) << '\n'
      << Finite(out, p.halfHeight) << '\n';
}

void SaveLevel(std::vector<GameObject*> objects, const std::string& path) {
  std::cout << "Serializing.." << std::endl;
  const bool hasPlayer =
      std::any_of(objects.begin(), objects.end(), [](GameObject* o) { return o && o->name == "PLAYER"; });
  if (!hasPlayer) {
    std::cout << "ERROR: NO PLAYER FOUND!" << std::endl;
    return;
  }
  for (GameObject* o : objects)
    if (o && o->name.empty()) o->name = "name";

  const std::optional<std::string> description = Text([&](std::ostream& out) {
    for (GameObject* o : objects)
      if (o) WriteDescriptionBlock(out, *o);
  });
  const std::optional<std::string> list = Text([&](std::ostream& out) { WriteObjectList(out, objects); });
  if (!description || !list) {
    std::cout << "Error: an object holds a number that is not finite, the level " << path
              << " is unchanged" << std::endl;
    return;
  }

  // Each file is replaced whole (see StagedFile), but the two cannot be
  // replaced in one step, so their order decides what a save cut short between
  // them leaves: the game lists a level by its description and plays it from
  // its object list, checking each on its own. Both are written and on the
  // disk before either replaces anything; then the object list goes first. Cut
  // short after it, an existing level is still listed (by its old, whole
  // description) and plays as saved, and a new level has an object list but
  // no description yet, so it is not listed at all. The other order could list
  // a new level that has no object list to play.
  StagedFile listFile(path + "2");
  StagedFile descriptionFile(path);
  if (!listFile.Write(*list) || !descriptionFile.Write(*description)) {
    const std::string& why = listFile.Error().empty() ? descriptionFile.Error() : listFile.Error();
    std::cout << "Error: " << why << ", the level " << path << " is unchanged" << std::endl;
    return;
  }
  if (!listFile.Commit()) {
    std::cout << "Error: " << listFile.Error() << ", the level " << path << " is unchanged" << std::endl;
    return;
  }
  if (!descriptionFile.Commit()) {
    std::cout << "Error: " << descriptionFile.Error() << ", the level " << path
              << " plays as saved but keeps its old description" << std::endl;
    return;
  }
  // Both files are replaced; only forcing a folder to the disk went wrong.
  const std::string& unsynced = listFile.Error().empty() ? descriptionFile.Error() : listFile.Error();
  if (!unsynced.empty())
    std::cout << "Error: " << unsynced << ", the level " << path << " is saved but a power cut could lose it"
              << std::endl;
  std::cout << ConsoleText::SERIALIZED << " " << objects.size() << " objects" << std::endl;
}
