#pragma once
#include "core/Level.h"
#include "core/Vec3.h"
#include <memory>
#include <string>
#include <vector>

class Button;
class Camera;
class Font;
class GameObject;
class Texture;

// The level editor (state 4): a palette of object kinds on the right, a grass field to
// drop them on, a view moved with the arrows or WASD, the level's name, and buttons to
// snap, rename, load, save and step through the levels of the level folder. F5 saves
// and plays the level at once; the property bar and the sound bar sit over the field.

class Editor : public Level {
public:
  Editor();
  ~Editor() override;
  void Load() override;
  void Initialize() override;
  void Update() override;
  void Draw() override;
  void Free() override;
  void Unload() override;
  void HandleKeyboard() override;
  void HandleMouse() override;

  // ---- the editor's commands -------------------------------------------------------
  void PlaceObject();         // a copy of g_currentKind at the mouse, by the placing rules
  void HandleEditorButtons(); // hover looks; a click runs the button under the mouse
  void SaveEditedLevel();     // shot pools added once, then the level files and the list
  void LoadNamedLevel();      // g_displayName's level replaces the placed objects
  void PlayTest();            // save, then play the level in the tutorial state

  std::shared_ptr<Camera> camera;
  Vec3 textColor;

private:
  void ReleaseAll();
  void LayOutPalette();
  void MakeButtons();
  void LayGrass();
  void PanCamera();
  void TypeName();
  void EndRename();
  void StepLevel(int step);

  std::unique_ptr<Font> font;
  std::shared_ptr<Texture> hudBackground;
  std::shared_ptr<Texture> selectionMarker;
};

// ---- shared by the editor's files -------------------------------------------
extern std::vector<GameObject*> g_placedObjects; // the level being edited, in placement order; factory-owned
extern std::vector<GameObject*> g_palette;       // from EditorHudObj.txt; factory-owned
extern GameObject* g_currentKind;                // the palette entry new objects copy, or none
extern GameObject* g_dragObject;                 // the copy being dragged out of the palette, or none
extern bool g_dragging;                          // a palette entry is held with the left button
extern bool g_snapMode;                          // every placed object snaps to the 52-pixel grid
extern bool g_renameMode;                        // typing edits the level name
extern std::string g_levelName;                  // the name being typed, at most 10 characters
extern std::string g_displayName;                // the name shown and used for the files
extern std::string g_levelPath;                  // the last level loaded or saved
extern int g_levelIndex;                         // in g_levelNames, for PREVIOUS and NEXT
extern std::vector<std::unique_ptr<Button>> g_editorButtons;   // SNAP, RENAME, UNSERIALIZE, SERIALIZE, PREVIOUS, NEXT
extern Vec3 g_editorHudAnchor;                   // the window's centre in world coordinates (the HUD has its own g_hudAnchor)
extern Vec3 g_editorMouse;                       // the mouse in world coordinates

// The palette and placement constants the editor's screen is drawn with.
inline constexpr const char* EDITOR_PALETTE_PATH = "../Assets/EditorHudObj.txt";
inline constexpr int LEVEL_AREA_MARGIN = 280; // clicks and drops left of w - 280 are on the field

// Points snapped to the placing grids; x rounds toward the positive side for negative
// values, as levels have always been built (the field lies at positive coordinates).
Vec3 SnapToRoadGrid(const Vec3& p);
Vec3 SnapToWallGrid(const Vec3& p);

// Rebuilds the editor's two bars after the display changed; nothing outside the editor.
void RebuildEditorBars();
