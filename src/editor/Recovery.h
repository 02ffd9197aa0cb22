#pragma once
#include <string>
#include <vector>

class GameObject;

// Recovery copies: while a level has unsaved changes the editor keeps a copy of it in
// the player's folder, "../Assets/Recovery/NAME.txt" and "NAME.txt2", written by the
// level writer and replaced whole as saves are, so a killed game leaves the last copy
// or the one before, never a part. The saved level files are never touched by it. A copy
// newer than its level's saved files is work the last run did not save.

inline constexpr const char* RECOVERY_FOLDER = "../Assets/Recovery/";
inline constexpr float RECOVERY_INTERVAL = 30.0f; // seconds of editing between copies

std::string RecoveryPath(const std::string& levelName); // the copy's description file
// The level as it is, under the level's name; false (with one line printed) when it
// could not be written.
bool WriteRecoveryCopy(const std::vector<GameObject*>& placed, const std::string& levelName);
void RemoveRecoveryCopy(const std::string& levelName);
// The names whose copy is newer than their level's saved files (or whose level has none),
// newest first. Copies older than their level are left-overs of a save and are removed.
std::vector<std::string> RecoveryCopiesToOffer();

// Which file a path names: every save makes a new file and renames it over the old one, so
// a save went through exactly when the stamp afterwards differs from the one before.
struct FileStamp {
  bool exists = false;
  unsigned long long device = 0;
  unsigned long long inode = 0;
  bool operator==(const FileStamp& o) const { return exists == o.exists && device == o.device && inode == o.inode; }
};
FileStamp StampOf(const std::string& path);
