#include "levels/OwnLevels.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "levels/LevelFile.h"
#include "levels/LevelTokens.h"

namespace {

const std::string LEVEL_FOLDER = "../Assets/Levels/";

bool IsShot(const std::string& name) { return name == "PROJECTILE" || name == "ENEMYPROJECTILE"; }

} // namespace

bool IsShippedLevel(const std::string& name) {
  return std::find(std::begin(SHIPPED_LEVEL_NAMES), std::end(SHIPPED_LEVEL_NAMES), name) !=
         std::end(SHIPPED_LEVEL_NAMES);
}

std::vector<std::string> ListOwnLevels() {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(LEVEL_FOLDER, ec), end;
  if (ec) {
    std::cout << "Error: cannot list " << LEVEL_FOLDER << ", MY LEVELS is empty" << std::endl;
    return names;
  }
  for (; it != end; it.increment(ec)) {
    if (ec) break;
    const std::string file = it->path().filename().string();
    if (file.size() <= 4 || file.compare(file.size() - 4, 4, ".txt") != 0) continue;
    std::error_code kindError;
    if (it->is_directory(kindError)) continue;
    const std::string name = file.substr(0, file.size() - 4);
    if (!IsShippedLevel(name)) names.push_back(name);
  }
  // Directory order is arbitrary; the player finds a level by its name.
  std::sort(names.begin(), names.end());
  return names;
}

LevelSummary SummariseLevel(const std::string& name) {
  LevelSummary summary;
  summary.name = name;
  const std::string description = LEVEL_FOLDER + name + ".txt";
  const std::string list = description + "2";
  std::ifstream in(list);
  if (!in) {
    summary.problem = "no object list (its .txt2 file) beside it";
    return summary;
  }
  // Block by block as the loader reads them: its first complaint is the row's line.
  ObjectRecord record;
  std::string problem;
  bool player = false;
  for (;;) {
    const BlockResult read = ParseObjectBlock(in, record, problem);
    if (read == BlockResult::End) break;
    if (read != BlockResult::Read) {
      summary.problem = problem;
      return summary;
    }
    // The build plays the last PLAYER, and only as a vehicle.
    if (record.name == "PLAYER") player = record.keyword == "Vehicle";
    if (!IsShot(record.name)) ++summary.objects;
  }
  if (!player) summary.problem = "no PLAYER tank to drive";
  else if (!ValidateLevelFile(list)) summary.problem = "its object list is not laid out as the editor saves it";
  else if (!ValidateLevelFile(description)) summary.problem = "its description (.txt file) is damaged: save it again";
  return summary;
}
