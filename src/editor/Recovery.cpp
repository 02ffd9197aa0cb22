#include "editor/Recovery.h"
#include "levels/LevelFile.h"
#include "objects/GameObject.h"
#include "objects/Vehicle.h"
#include "objects/Weapon.h"
#include "objects/World.h"
#include "platform/SafeFile.h"
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <locale>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* LEVEL_FOLDER = "../Assets/Levels/";

// A level without its PLAYER is one the level writer refuses, but it is still work:
// its object list alone is kept, in the same blocks, so the editor can open it again.
bool WriteObjectListOnly(const std::vector<GameObject*>& placed, const std::string& path) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  for (GameObject* o : placed) {
    if (!o || dynamic_cast<Weapon*>(o) || o->ImagePath().empty()) continue;
    const bool vehicle = dynamic_cast<Vehicle*>(o) != nullptr;
    out << (vehicle ? "Vehicle" : "GameObject") << '\n';
    WriteObjectFields(out, *o);
    out << (vehicle ? "EndVehicle" : "EndGameObject") << '\n';
  }
  std::string error;
  if (!out || !ReplaceFileWhole(path + "2", out.str(), error)) {
    std::printf("Error: the recovery copy %s2 could not be written: %s\n", path.c_str(),
                error.empty() ? "a number is not finite" : error.c_str());
    return false;
  }
  std::error_code ignored;
  fs::remove(path, ignored); // a description from an earlier copy would no longer match
  return true;
}

fs::file_time_type WriteTime(const fs::path& path, bool& exists) {
  std::error_code ec;
  const fs::file_time_type t = fs::last_write_time(path, ec);
  exists = !ec;
  return t;
}

} // namespace

std::string RecoveryPath(const std::string& levelName) { return RECOVERY_FOLDER + levelName + ".txt"; }

bool WriteRecoveryCopy(const std::vector<GameObject*>& placed, const std::string& levelName) {
  std::error_code ec;
  fs::create_directories(RECOVERY_FOLDER, ec);
  if (ec) {
    std::printf("Error: cannot make %s: %s, no recovery copy is kept\n", RECOVERY_FOLDER, ec.message().c_str());
    return false;
  }
  const std::string path = RecoveryPath(levelName);
  if (!FindPlayer(placed)) return WriteObjectListOnly(placed, path);
  const FileStamp before = StampOf(path + "2");
  SaveLevel(placed, path);
  const FileStamp after = StampOf(path + "2");
  return after.exists && !(after == before);
}

void RemoveRecoveryCopy(const std::string& levelName) {
  std::error_code ignored;
  const std::string path = RecoveryPath(levelName);
  fs::remove(path + "2", ignored);
  fs::remove(path, ignored);
}

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.device = static_cast<unsigned long long>(info.st_dev);
  stamp.inode = static_cast<unsigned long long>(info.st_ino);
  return stamp;
}

std::vector<std::string> RecoveryCopiesToOffer() {
  std::vector<std::pair<fs::file_time_type, std::string>> offers;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(RECOVERY_FOLDER, ec)) {
    const fs::path copy = entry.path();
    if (copy.extension() != ".txt2") continue;
    const std::string name = copy.stem().string();
    bool copyExists = false, levelExists = false;
    const fs::file_time_type copied = WriteTime(copy, copyExists);
    const fs::file_time_type saved = WriteTime(fs::path(LEVEL_FOLDER) / (name + ".txt2"), levelExists);
    if (!copyExists) continue;
    if (levelExists && saved >= copied) {
      RemoveRecoveryCopy(name);
      continue;
    }
    offers.emplace_back(copied, name);
  }
  std::sort(offers.begin(), offers.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> names;
  for (const auto& offer : offers) names.push_back(offer.second);
  return names;
}
