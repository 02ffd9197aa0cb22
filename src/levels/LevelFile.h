#pragma once
#include <iosfwd>
#include <string>
#include <vector>

class GameObject;

// The level and player files, read and written.
//
// - object list file (a level's path with "2" appended): 12-token object
//   blocks, the file levels are played from;
// - level description file (the level's path): the same objects in another
//   field order with the vehicle's weapons nested; only validated;
// - player loadout ("../Assets/Player.txt"): hit points, upgrade level and
//   weapons with their projectiles; only read.
// Reals are written in the stream's default notation (6 significant digits),
// one token a line. Every failure prints one line on standard output and
// leaves the game with what it had.

// ---- the level list: start-up, the menu and the editor refill it ----------
extern std::vector<std::string> g_levelNames; // playable levels, no folder or ".txt", sorted
inline int LevelCount() { return static_cast<int>(g_levelNames.size()); } // entries of g_levelNames

// ---- reading -----------------------------------------------------------------
// Objects of the object list path + "2", made through the factory in the
// system list (which owns them); empty without a factory, when the file does
// not open, or when `validate` is asked and the file fails it. Reading stops
// at the first refused block and keeps what came before.
std::vector<GameObject*> LoadObjectList(const std::string& path, bool validate);
// LoadObjectList for the editor: every object keeps the picture its file names
// (the loader's occasional cracked wall is for play), so that saving what was
// opened writes the same files again.
std::vector<GameObject*> LoadObjectListToEdit(const std::string& path, bool validate);
// One object block made into an object, or null. A malformed or cut-short
// block prints one line naming `source` and puts the stream in a failed state.
GameObject* ReadObjectBlock(std::istream& in, const std::string& source = "object list");
// Reads hit points (into any object) and, for a vehicle, the upgrade level and
// the weapons, which are appended to its weapon list.
void LoadPlayerLoadout(const std::string& path, GameObject* vehicle);
// Whether the file is a level the game can list: it names a PLAYER, its
// object blocks sit on 12-token boundaries and it ends with a line break.
bool ValidateLevelFile(const std::string& path);
// Refills g_levelNames from the valid "*.txt" files of "../Assets/Levels/".
void ListLevels();

// ---- writing -----------------------------------------------------------------
// Writes the level description `path` and the object list `path` + "2".
// Nothing is touched unless an object is named "PLAYER" and every number to
// write is finite (no "inf" or "nan"). Each file is replaced whole
// (StagedFile), the object list before the description, so a
// save killed at any point leaves a pair the game can list and play: see
// SaveLevel for the order. A failure prints one line. Objects without a name are named "name"; objects
// without a picture are left out of the object list, except the player. Blanks
// in names and paths are written as "_", an empty text as a lone "_".
void SaveLevel(std::vector<GameObject*> objects, const std::string& path);
// Tokens 2-11 of an object block: name, image, stored value, format, scale,
// rotation, then centre and half sizes measured with the rotation undone and
// the half sizes divided by the scale.
void WriteObjectFields(std::ostream& out, GameObject& object);
