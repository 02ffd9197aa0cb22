#pragma once
#include "core/Level.h"
#include "core/Vec3.h"
#include "editor/EditHistory.h"
#include "editor/EditorDialog.h"
#include "editor/EditorView.h"
#include "editor/CheckPanel.h"
#include "editor/PropertyBar.h"
#include <memory>
#include <string>
#include <vector>

class ATSound;
class Button;
class Camera;
class Font;
class GameObject;
class Line;
class SquarePrimitive;
class Texture;

// The level editor (state 4): a palette of object kinds on the right, a grass field to
// drop them on, a view moved with the arrows or WASD, the level's name, and buttons to
// snap, rename, load, save and step through the levels of the level folder. F5 saves
// and plays the level at once; the property bar and the sound bar sit over the field.
//
// Beyond placing: Ctrl+Z undoes and Ctrl+Y or Ctrl+Shift+Z redoes every change to the
// level; the wheel zooms about the pointer (Z or Home back to 1); Shift-drag selects a
// box, Shift-click adds or removes one object, a drag moves the selection, Delete
// removes it, Ctrl+C / Ctrl+V copy it and paste it at the pointer, Ctrl+A selects all
// but the player, Ctrl+S saves. A changed level asks before it is left (Escape, LOAD,
// PREVIOUS, NEXT, and F5 over a saved level), and a copy of it is kept in
// ../Assets/Recovery/ until it is saved or discarded (Recovery.h).

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
  void PlaceObject();         // a copy of g_editor.currentKind at the mouse, by the placing rules
  void HandleEditorButtons(); // hover looks; a click runs the button under the mouse
  bool SaveEditedLevel();     // shot pools added once, then the level files and the list; false when not saved
  void LoadNamedLevel();      // g_editor.displayName's level replaces the placed objects; a new history
  void PlayTest(bool save = true); // save (or not), then play the level in the tutorial state
  bool CheckShown() const { return checkPanel.Visible(); }

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

  // ---- history, selection, view and the questions (Editor.cpp, lower half) ------------
  void RecordChange();                 // one undo step when the level changed
  void UndoOrRedo(bool redo);
  void HandleShortcuts(bool ctrl, bool shift);
  bool PressOnSelection(bool shift); // a Shift press starts a box, a press on the selection drags it
  void FollowSelection();             // the box or the drag, while the button is held and when let go
  void Zoom();
  void Ask(int action);                // the unsaved-changes question before `action`
  void Carry(int action);              // `action` once answered
  void AnswerDialog();
  void OfferRecovery();
  void RestoreRecovery(const std::string& name);
  void KeepRecoveryCopy();             // every RECOVERY_INTERVAL seconds of unsaved editing
  bool WriteRecovery();
  void DropRecovery();                 // the copy this run wrote is no longer needed
  void ShowTitle();
  void Note(const std::string& text);  // one line on the panel for a few seconds
  void DrawSelection();
  void RunCheck();                     // the level check's findings in the panel
  void ToggleCheck();                  // K and CHECK: the findings shown, or the panel put away
  void Prove();                        // F9 and PROVE: saved, then won or not by the autopilot
  void ClickCheckPanel();              // a click on the panel's rows centres the view on the finding

  CheckPanel checkPanel;

  std::unique_ptr<Font> font;
  std::shared_ptr<Texture> hudBackground;
  std::shared_ptr<Texture> selectionMarker;
  std::vector<std::unique_ptr<Line>> boxLines; // the selection box's four sides
  std::shared_ptr<SquarePrimitive> noteBand;   // under the note, so it reads on any ground
};

// A drag of the selection: where each object started, so that every frame places the
// group afresh from there and a refused move puts it back exactly.
struct GroupMove {
  struct Start {
    GameObject* object = nullptr;
    Poly shape;
    Vec3 position;
  };
  bool active = false;
  Vec3 grab;           // world point under the pointer when the drag began
  Vec3 pressed;        // screen point of the press: a drag starts once the pointer leaves it
  bool travelling = false;
  std::vector<Start> start;
};

// The Shift-drag rectangle, in screen pixels.
struct SelectBox {
  bool active = false;
  Vec3 from;
  Vec3 to;
};

// What a question stands in front of.
enum EditorAction : int { ACTION_NONE = 0, ACTION_LEAVE, ACTION_LOAD, ACTION_PREVIOUS, ACTION_NEXT, ACTION_PLAY };

// ---- the editor's state ----------------------------------------------------------------
// Everything the editor keeps between frames: the level being edited, the palette, the
// name, the buttons and the two bars. Reset (in Editor.cpp, where the buttons' and bars'
// types are complete) puts it back as a new run finds it.
struct EditorState {
  std::vector<GameObject*> placedObjects; // the level being edited, in placement order; factory-owned
  std::vector<GameObject*> palette;       // from EditorHudObj.txt; factory-owned
  GameObject* currentKind = nullptr;      // the palette entry new objects copy, or none
  GameObject* dragObject = nullptr;       // the copy being dragged out of the palette, or none
  bool dragging = false;                  // a palette entry is held with the left button
  bool snapMode = false;                  // every placed object snaps to the 52-pixel grid
  bool renameMode = false;                // typing edits the level name
  std::string levelName;                  // the name being typed, at most 10 characters
  std::string displayName;                // the name shown and used for the files
  std::string levelPath;                  // the last level loaded or saved
  std::string openAtStart;                // a level file the next start of the editor opens (the command line's)
  int levelIndex = 0;                     // in g_levelNames, for PREVIOUS and NEXT
  std::vector<std::unique_ptr<Button>> buttons; // SNAP, RENAME, UNSERIALIZE, SERIALIZE, PREVIOUS, NEXT
  Vec3 hudAnchor;                         // the window's centre in world coordinates
  Vec3 mouse;                             // the mouse in world coordinates
  PropertyBar propertyBar;                // the bar "happybar" (PropertyBar.h)
  std::shared_ptr<ATSound> soundBar;      // the bar "anotherbar", held while the editor runs; null otherwise

  // ---- undo, selection, zoom and keeping work safe ----
  EditHistory history;                    // every change to placedObjects, one step each
  std::vector<GameObject*> selection;     // outlined; moved, copied and deleted together
  std::vector<PlacedRecord> clipboard;    // copied values; their objects stay in the factory
  GroupMove groupMove;                    // the selection being dragged
  SelectBox box;                          // the Shift-drag rectangle
  EditorView view;                        // the field's zoom
  EditorDialog dialog;                    // the open question, if any
  int pendingAction = ACTION_NONE;        // what the unsaved-changes question stands before
  std::string recoveryName;               // the level this run keeps a recovery copy of; "" for none
  unsigned long recoveredVersion = 0;     // the history version that copy holds
  float recoveryClock = 0.0f;             // seconds of unsaved editing since the copy fell behind
  std::string note;                       // why a move or paste was refused, shown on the panel
  float noteTime = 0.0f;                  // seconds the note still shows
  std::string windowTitle;                // the caption last given to the window; "" when untouched
  bool shortcutLetters[26] = {};          // letters pressed with Ctrl: they do not pan until let go

  void Reset();
};
extern EditorState g_editor;

// The palette and placement constants the editor's screen is drawn with.
inline constexpr const char* EDITOR_PALETTE_PATH = "../Assets/EditorHudObj.txt";
inline constexpr int LEVEL_AREA_MARGIN = 280; // clicks and drops left of w - 280 are on the field

// Placing rules shared by single objects and groups. Touching is not overlapping: walls
// fill their cells exactly.
bool Overlaps(const GameObject& copy, const GameObject& placed);
void DiscardCopy(GameObject* object); // a refused copy leaves the factory

// Points snapped to the placing grids; x rounds toward the positive side for negative
// values, as levels have always been built (the field lies at positive coordinates).
Vec3 SnapToRoadGrid(const Vec3& p);
Vec3 SnapToWallGrid(const Vec3& p);

// Rebuilds the editor's two bars after the display changed; nothing outside the editor.
void RebuildEditorBars();
