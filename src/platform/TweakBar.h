#pragma once
#include <string>
#include <vector>

// Tweak bars: small panels of labelled values and buttons drawn over the game, each a
// Dear ImGui window. The calls follow the classic tweak-bar library's shape, so the
// editor builds its bars as a list of variables bound to its own data:
//
//   TwBar* bar = TwNewBar("happybar");
//   TwDefine(" happybar position='0 0' size='200 150' ");
//   TwAddVarCB(bar, "Pos X: ", TW_TYPE_FLOAT, SetX, GetX, object, "");
//   ...                      // once per frame, after the game's own drawing:
//   TwDraw();
//
// Positions and sizes are pixels of the space TwWindowSize names, which is stretched
// over the game's picture (TwPictureArea) as the game's logical screen is: a letterboxed
// full screen keeps the bars inside the picture. Nothing here throws; a call with a bar
// that does not exist does nothing and returns false.
//
// The bars wear the game's look (its palette, rounded corners, a 2 px outline) and, once
// TwFont names it, the game's font. Each can be moved by its title and folded to it.

struct TwBar; // a bar; valid until TwDeleteBar or TwTerminate

enum TwType {
  TW_TYPE_FLOAT,     // float
  TW_TYPE_INT32,     // int32_t
  TW_TYPE_UINT32,    // uint32_t
  TW_TYPE_STDSTRING, // std::string; blanks typed into it are kept (callers decide)
};

// A value travels as a pointer to the variable's own type.
using TwSetVarCallback = void (*)(const void* value, void* clientData);
using TwGetVarCallback = void (*)(void* value, void* clientData);
using TwButtonCallback = void (*)(void* clientData);

// ---- life ----------------------------------------------------------------------
bool TwInit();      // over the game window and its current GL context; false without them
void TwTerminate(); // deletes every bar; safe without TwInit

// ---- input: offered every platform event before the game sees it ----------------
// True when a bar used the event: a click on a bar, or typing while one of its text
// fields is being edited. Moves and releases are always left to the game as well.
bool TwEventHandler(const void* nativeEvent);

// ---- bars ------------------------------------------------------------------------
TwBar* TwNewBar(const char* name);   // an empty bar; null when a bar of that name exists
bool TwDeleteBar(TwBar* bar);
// " name key=value key='quoted value' ..." for one bar. Known keys: position='x y',
// size='w h', valueswidth=w; the others (refresh, ...) are accepted and ignored.
bool TwDefine(const char* definition);
bool TwWindowSize(int width, int height); // the space bars are placed in
// Where that space shows, in window pixels, as the game's picture does; an area without
// size means the whole window (the start).
void TwPictureArea(int x, int y, int width, int height);

// ---- text -------------------------------------------------------------------------
// The bars' font: a TrueType file at `pixels` of TwWindowSize space, its glyphs drawn for
// the picture's scale at this call (so call it again, then measure and place the bars
// again, after the picture changed). Nothing happens when nothing changed. A file that
// cannot be read or used prints one line, once, and the bars keep the font they had.
bool TwFont(const char* ttfPath, float pixels);
// Measures with the bars' font, in TwWindowSize pixels. A bar's sizes keep room for a
// scroll bar, so a bar placed shorter keeps its columns.
float TwTextWidth(const char* text);
// The bar that shows `rows` rows of fields whole, labels labelsWidth and values valuesWidth wide.
void TwBarSizeFor(float labelsWidth, float valuesWidth, int rows, int& width, int& height);
// The bar that shows every row it holds whole; valuesWidth comes in as the least the values
// need and goes out widened to show every read-only value whole.
bool TwBarFitSize(const TwBar* bar, float& valuesWidth, int& width, int& height);

// ---- contents, drawn in the order added ----------------------------------------------
// Definitions understand group=Name (items of one group are drawn under its heading)
// and help='text' (shown when the pointer rests on the item).
bool TwAddVarCB(TwBar* bar, const char* name, TwType type, TwSetVarCallback set, TwGetVarCallback get,
                void* clientData, const char* definition);
bool TwAddVarRW(TwBar* bar, const char* name, TwType type, void* variable, const char* definition);
bool TwAddVarRO(TwBar* bar, const char* name, TwType type, const void* variable, const char* definition);
bool TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData,
                 const char* definition);
bool TwAddSeparator(TwBar* bar, const char* name, const char* definition);
bool TwRemoveAllVars(TwBar* bar);

// Draws every bar; runs their callbacks for what the user did since the last draw.
bool TwDraw();

// ---- inspection (tests and tools) ----------------------------------------------------
struct TwItemInfo {
  std::string label;      // the name given when adding; separators have ""
  std::string group;      // from group=
  std::string help;       // from help=
  std::string kind;       // "button", "var", "readonly", "separator"
  std::string value;      // the value as the bar shows it (empty for buttons and separators)
  float x = 0, y = 0;     // the item's row at the last draw, in TwWindowSize space; 0 before
  float width = 0, height = 0;
  bool visible = false;   // wholly inside the bar's scrolled view at the last draw
  bool whole = false;     // a value row's text fitted inside its field at the last draw
};
TwBar* TwFindBar(const char* name);
int TwBarCount();
std::vector<TwItemInfo> TwBarItems(const TwBar* bar);
// Typed characters waiting for the next draw of the bars.
int TwQueuedCharacters();
// The bar's placement from its definition: position and size in TwWindowSize space.
bool TwBarPlacement(const TwBar* bar, int& x, int& y, int& width, int& height);
// Window pixels of a point of TwWindowSize space, for input aimed at an item.
void TwToWindowPixels(float x, float y, int& px, int& py);
// Where the bar was drawn at the last draw, in TwWindowSize space; all 0 before.
void TwShownPlacement(const TwBar* bar, float& x, float& y, float& width, float& height);
