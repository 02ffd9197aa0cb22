#include "platform/TweakBar.h"
#include "platform/Display.h"
#include <SDL.h>
#include <imgui.h>
#include <imgui_impl_opengl3.h>
#include <imgui_freetype.h>
#include <imgui_impl_sdl.h>
#include <imgui_stdlib.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>

// ============================================================================
// Bars and their items
// ============================================================================

namespace {

enum class ItemKind { Button, VarCB, VarRW, VarRO, Separator };

struct Item {
  ItemKind kind = ItemKind::Separator;
  std::string label;
  std::string group;
  std::string help;
  TwType type = TW_TYPE_FLOAT;
  void* variable = nullptr;            // read-write variables
  const void* readOnly = nullptr;      // read-only variables
  TwSetVarCallback set = nullptr;
  TwGetVarCallback get = nullptr;
  TwButtonCallback button = nullptr;
  void* clientData = nullptr;
  std::string editText;                // a string field's text while it is edited
  bool editing = false;                // the string field had the keyboard at the last draw
  float x = 0, y = 0, width = 0, height = 0; // the row's widget at the last draw
  bool visible = false;                // inside its bar's scrolled view at the last draw
  bool whole = false;                  // the value's text fitted inside its field at the last draw
};

} // namespace

struct TwBar {
  std::string name;
  int x = 16, y = 16, width = 200, height = 320;
  int valuesWidth = 0;      // 0: half the bar
  bool placed = false;      // the definition's placement has reached the window
  std::vector<Item> items;
  float shownX = 0, shownY = 0, shownWidth = 0, shownHeight = 0; // window at the last draw
  bool shown = false;
};

namespace {

std::vector<std::unique_ptr<TwBar>> s_bars;
bool s_initialized = false;
SDL_Window* s_window = nullptr;
int s_spaceWidth = 1264;    // the space bars are placed in, stretched over the picture
int s_spaceHeight = 720;
// The window pixels the game's picture covers; no area means the whole window.
int s_pictureX = 0, s_pictureY = 0, s_pictureWidth = 0, s_pictureHeight = 0;
float s_mouseX = -1.0f;     // window pixels, from the events the bars were offered
float s_mouseY = -1.0f;
bool s_buttonHeld[3] = {};  // left, right, middle, as ImGui numbers them
bool s_buttonPressed[3] = {}; // a press since the last draw, however short
bool s_editingText = false; // a bar's text field had the keyboard at the last draw

// Pressing a button may rebuild the very bar it sits on: what the user did runs after
// the frame's widgets are done with the items.
std::vector<std::function<void()>> s_pending;

// The bars' font. Its glyphs are drawn at the size the picture shows them (raster), so the
// text stays sharp on a large screen; widths are measured with those very glyphs.
std::string s_fontPath;          // the file in use; "" for ImGui's own font
std::vector<char> s_fontData;    // its bytes: the atlas only borrows them
std::string s_fontRefused;       // a file reported as unusable, not tried again until TwTerminate
float s_fontPixels = 13.0f;      // text height in the bars' space (13: ImGui's own font)
float s_fontRaster = 13.0f;      // the glyphs' height in drawable pixels
bool s_fontTextureStale = false; // the glyphs changed after the renderer made its texture

TwBar* FindBar(const std::string& name) {
  for (auto& bar : s_bars)
    if (bar->name == name) return bar.get();
  return nullptr;
}

bool Exists(const TwBar* bar) {
  return bar && std::any_of(s_bars.begin(), s_bars.end(), [bar](const auto& b) { return b.get() == bar; });
}

// ---- definitions --------------------------------------------------------------

// key=value pairs; a value may be quoted with ' or ".
std::vector<std::pair<std::string, std::string>> ParsePairs(const std::string& text, std::string* leading) {
  std::vector<std::pair<std::string, std::string>> pairs;
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
  };
  skipBlanks();
  if (leading) {
    size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    *leading = text.substr(start, i - start);
  }
  while (true) {
    skipBlanks();
    if (i >= text.size()) break;
    size_t start = i;
    while (i < text.size() && text[i] != '=' && text[i] != ' ') ++i;
    std::string key = text.substr(start, i - start);
    std::string value;
    if (i < text.size() && text[i] == '=') {
      ++i;
      if (i < text.size() && (text[i] == '\'' || text[i] == '"')) {
        char quote = text[i++];
        size_t end = text.find(quote, i);
        if (end == std::string::npos) end = text.size();
        value = text.substr(i, end - i);
        i = end < text.size() ? end + 1 : end;
      } else {
        size_t vstart = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        value = text.substr(vstart, i - vstart);
      }
    }
    if (!key.empty()) pairs.emplace_back(key, value);
  }
  return pairs;
}

void ApplyItemDefinition(Item& item, const char* definition) {
  if (!definition) return;
  for (auto& [key, value] : ParsePairs(definition, nullptr)) {
    if (key == "group") item.group = value;
    else if (key == "help") item.help = value;
  }
}

bool ParseTwoInts(const std::string& text, int& a, int& b) {
  std::istringstream in(text);
  return static_cast<bool>(in >> a >> b);
}

bool AddItem(TwBar* bar, Item item, const char* definition) {
  if (!Exists(bar)) return false;
  ApplyItemDefinition(item, definition);
  bar->items.push_back(std::move(item));
  return true;
}

// ---- values ----------------------------------------------------------------------

// Room for one value of any bar type, for the rows that reach their value through
// callbacks: the getter fills it, the widget edits it, the setter gets it back later.
struct ValueSlot {
  float f = 0.0f;
  int32_t i = 0;
  uint32_t u = 0;
  std::string s;

  void* Of(TwType type) {
    switch (type) {
    case TW_TYPE_FLOAT: return &f;
    case TW_TYPE_INT32: return &i;
    case TW_TYPE_UINT32: return &u;
    case TW_TYPE_STDSTRING: return &s;
    }
    return &s;
  }
  void* ReadFrom(const Item& item) {
    void* value = Of(item.type);
    item.get(value, item.clientData);
    return value;
  }
};

// ---- values as text -------------------------------------------------------------

std::string FormatValue(const Item& item) {
  char text[64] = {};
  auto formatOf = [&](const void* p) -> std::string {
    switch (item.type) {
    case TW_TYPE_FLOAT: std::snprintf(text, sizeof text, "%g", *static_cast<const float*>(p)); return text;
    case TW_TYPE_INT32: std::snprintf(text, sizeof text, "%d", *static_cast<const int32_t*>(p)); return text;
    case TW_TYPE_UINT32: std::snprintf(text, sizeof text, "%u", *static_cast<const uint32_t*>(p)); return text;
    case TW_TYPE_STDSTRING: return *static_cast<const std::string*>(p);
    }
    return "";
  };
  switch (item.kind) {
  case ItemKind::VarRW: return item.variable ? formatOf(item.variable) : "";
  case ItemKind::VarRO: return item.readOnly ? formatOf(item.readOnly) : "";
  case ItemKind::VarCB: {
    if (!item.get) return "";
    ValueSlot value;
    return formatOf(value.ReadFrom(item));
  }
  default: return "";
  }
}

// ---- the game's look ------------------------------------------------------------

// Colours of the game's palette (content/art/palette.txt) as the editor's own panel wears
// them (content/art/image/editorHudBg.svg, editorsBtns.svg): a slate board, 2 px ink
// outlines, slate-light buttons that turn sky-dark under the pointer, paper text.
constexpr uint32_t INK = 0x2a1d1b, NIGHT = 0x161a22, SLATE_DARK = 0x252b36, SLATE = 0x3a4250,
                   SLATE_LIGHT = 0x5a6575, STEEL_DARK = 0x5f6b78, STEEL = 0x8e9aa6, PAPER = 0xf6ecd6,
                   CHEESE = 0xf5c242, CHEESE_LIGHT = 0xfde58a, TOMATO_DARK = 0x94261b, SKY_DARK = 0x2f7a94,
                   SKY = 0x5cbfd9;

ImVec4 Color(uint32_t rgb, float alpha = 1.0f) {
  return ImVec4(((rgb >> 16) & 0xff) / 255.0f, ((rgb >> 8) & 0xff) / 255.0f, (rgb & 0xff) / 255.0f, alpha);
}

void ApplyGameLook() {
  ImGuiStyle& style = ImGui::GetStyle();
  style = ImGuiStyle();
  // Rounded like the editor's buttons, outlined as every picture of the game is, and
  // dense: a bar shows many values in little room.
  style.WindowRounding = 8.0f;
  style.ChildRounding = style.PopupRounding = 6.0f;
  style.FrameRounding = style.GrabRounding = style.TabRounding = 4.0f;
  style.ScrollbarRounding = 5.0f;
  style.WindowBorderSize = style.PopupBorderSize = 2.0f;
  style.FrameBorderSize = 0.0f;
  style.WindowPadding = ImVec2(8.0f, 6.0f);
  style.FramePadding = ImVec2(5.0f, 2.0f);
  style.ItemSpacing = ImVec2(6.0f, 4.0f);
  style.ItemInnerSpacing = ImVec2(4.0f, 4.0f);
  style.ScrollbarSize = 10.0f;
  style.GrabMinSize = 10.0f;
  style.WindowTitleAlign = ImVec2(0.0f, 0.5f);
  // The fold arrow at the title's right end, away from where a click brings a bar forward.
  style.WindowMenuButtonPosition = ImGuiDir_Right;

  ImVec4* c = style.Colors;
  c[ImGuiCol_Text] = Color(PAPER);
  c[ImGuiCol_TextDisabled] = Color(STEEL);
  c[ImGuiCol_WindowBg] = Color(SLATE_DARK, 0.96f); // one bar's rows must not show through another
  c[ImGuiCol_ChildBg] = Color(SLATE_DARK, 0.0f);
  c[ImGuiCol_PopupBg] = Color(SLATE_DARK, 0.98f);
  c[ImGuiCol_Border] = Color(INK);
  c[ImGuiCol_BorderShadow] = Color(INK, 0.0f);
  c[ImGuiCol_FrameBg] = Color(NIGHT);
  c[ImGuiCol_FrameBgHovered] = Color(SLATE);
  c[ImGuiCol_FrameBgActive] = Color(SLATE_LIGHT);
  c[ImGuiCol_TitleBg] = c[ImGuiCol_TitleBgCollapsed] = Color(SLATE);
  c[ImGuiCol_TitleBgActive] = Color(TOMATO_DARK);
  c[ImGuiCol_MenuBarBg] = Color(SLATE);
  c[ImGuiCol_ScrollbarBg] = Color(NIGHT, 0.6f);
  c[ImGuiCol_ScrollbarGrab] = Color(SLATE_LIGHT);
  c[ImGuiCol_ScrollbarGrabHovered] = Color(STEEL_DARK);
  c[ImGuiCol_ScrollbarGrabActive] = Color(STEEL);
  c[ImGuiCol_CheckMark] = c[ImGuiCol_SliderGrab] = Color(CHEESE);
  c[ImGuiCol_SliderGrabActive] = Color(CHEESE_LIGHT);
  c[ImGuiCol_Button] = Color(SLATE_LIGHT);
  c[ImGuiCol_ButtonHovered] = c[ImGuiCol_HeaderHovered] = c[ImGuiCol_SeparatorHovered] = Color(SKY_DARK);
  c[ImGuiCol_ButtonActive] = c[ImGuiCol_HeaderActive] = c[ImGuiCol_SeparatorActive] = Color(SKY);
  c[ImGuiCol_Header] = c[ImGuiCol_Separator] = Color(SLATE);
  c[ImGuiCol_ResizeGrip] = Color(SLATE_LIGHT, 0.5f);
  c[ImGuiCol_ResizeGripHovered] = Color(SKY_DARK);
  c[ImGuiCol_ResizeGripActive] = Color(SKY);
  c[ImGuiCol_Tab] = c[ImGuiCol_TabUnfocused] = Color(SLATE);
  c[ImGuiCol_TabHovered] = Color(SKY_DARK);
  c[ImGuiCol_TabActive] = c[ImGuiCol_TabUnfocusedActive] = Color(SLATE_LIGHT);
  c[ImGuiCol_TextSelectedBg] = Color(SKY_DARK, 0.6f);
  c[ImGuiCol_DragDropTarget] = Color(CHEESE);
  c[ImGuiCol_NavHighlight] = Color(SKY);
}

// ---- the font --------------------------------------------------------------------

// Fills the atlas with the one font the bars use: the file's bytes drawn at `raster`
// drawable pixels and shown at `pixels` of the space, or ImGui's own font without them.
// False when the file's bytes are not a font (ImGui's own then).
bool BuildFontAtlas(const std::vector<char>* data, float pixels, float raster) {
  ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
  atlas.Clear();
  // FreeType reads a damaged file safely, where stb_truetype may read past its end.
  atlas.FontBuilderIO = ImGuiFreeType::GetBuilderForFreeType();
  bool built = false;
  if (data && !data->empty()) {
    ImFontConfig config;
    config.FontDataOwnedByAtlas = false;
    atlas.AddFontFromMemoryTTF(const_cast<char*>(data->data()), static_cast<int>(data->size()), raster, &config);
    // A file cut short may still open, its outlines gone: letters must show.
    const ImFontGlyph* letter = atlas.Build() ? atlas.Fonts[0]->FindGlyphNoFallback('A') : nullptr;
    built = letter && letter->Visible;
    if (!built) atlas.Clear();
  }
  if (!built) {
    atlas.AddFontDefault();
    atlas.Build();
    pixels = raster = 13.0f;
  }
  s_fontPixels = pixels;
  s_fontRaster = raster;
  ImGui::GetIO().FontGlobalScale = pixels / raster;
  s_fontTextureStale = true;
  return built;
}

const ImFont* BarFont() {
  ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
  return atlas.Fonts.empty() ? nullptr : atlas.Fonts[0];
}

// ---- drawing -------------------------------------------------------------------

void NoteRow(Item& item) {
  ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
  item.x = min.x;
  item.y = min.y;
  item.width = max.x - min.x;
  item.height = max.y - min.y;
  // Whole rows only: a row cut by the bar's edge cannot be aimed at reliably.
  item.visible = ImGui::IsRectVisible(min, ImVec2(min.x + 1, min.y + 1)) &&
                 ImGui::IsRectVisible(ImVec2(max.x - 1, max.y - 1), max);
  if (!item.help.empty() && ImGui::IsItemHovered()) ImGui::SetTooltip("%s", item.help.c_str());
}

// A numeric or text widget for the value behind `value`; true when the user changed it.
bool ValueWidget(Item& item, void* value, bool readOnly) {
  ImGuiInputTextFlags flags = ImGuiInputTextFlags_EnterReturnsTrue;
  if (readOnly) flags |= ImGuiInputTextFlags_ReadOnly;
  switch (item.type) {
  case TW_TYPE_FLOAT: return ImGui::InputFloat("##value", static_cast<float*>(value), 0.0f, 0.0f, "%g", flags);
  case TW_TYPE_INT32: {
    int32_t step = 1;
    return ImGui::InputScalar("##value", ImGuiDataType_S32, value, readOnly ? nullptr : &step, nullptr, "%d", flags);
  }
  case TW_TYPE_UINT32: {
    uint32_t step = 1;
    return ImGui::InputScalar("##value", ImGuiDataType_U32, value, readOnly ? nullptr : &step, nullptr, "%u", flags);
  }
  case TW_TYPE_STDSTRING: {
    // The field keeps its own text while it is being typed in; the value follows on Enter.
    std::string& shown = item.editText;
    if (!item.editing) shown = *static_cast<std::string*>(value);
    bool entered = ImGui::InputText("##value", &shown, flags | ImGuiInputTextFlags_AutoSelectAll);
    item.editing = ImGui::IsItemActive() && !entered;
    if (entered) *static_cast<std::string*>(value) = shown;
    return entered;
  }
  }
  return false;
}

void DrawItem(Item& item, float labelColumn, float valuesWidth) {
  switch (item.kind) {
  case ItemKind::Separator:
    ImGui::Separator();
    NoteRow(item);
    return;
  case ItemKind::Button:
    if (ImGui::Button(item.label.c_str(), ImVec2(-1.0f, 0.0f)) && item.button) {
      TwButtonCallback callback = item.button;
      void* data = item.clientData;
      s_pending.push_back([callback, data] { callback(data); });
    }
    NoteRow(item);
    return;
  default: break;
  }
  ImGui::AlignTextToFramePadding();
  ImGui::TextUnformatted(item.label.c_str());
  ImGui::SameLine(labelColumn);
  ImGui::SetNextItemWidth(valuesWidth);
  if (item.kind == ItemKind::VarRO) {
    std::string text = FormatValue(item);
    ImGui::InputText("##value", &text, ImGuiInputTextFlags_ReadOnly);
  } else if (item.kind == ItemKind::VarRW) {
    if (item.variable) ValueWidget(item, item.variable, false);
  } else if (item.kind == ItemKind::VarCB && item.get) {
    ValueSlot value;
    if (ValueWidget(item, value.ReadFrom(item), !item.set) && item.set) {
      TwSetVarCallback set = item.set;
      void* data = item.clientData;
      TwType type = item.type;
      s_pending.push_back([set, data, type, value]() mutable { set(value.Of(type), data); });
    }
  }
  NoteRow(item);
  // Editable numbers keep the end of their field for the step buttons.
  const ImGuiStyle& style = ImGui::GetStyle();
  const bool steps = item.kind != ItemKind::VarRO && (item.type == TW_TYPE_INT32 || item.type == TW_TYPE_UINT32) &&
                     (item.kind == ItemKind::VarRW || item.set);
  const float room = valuesWidth - 2.0f * style.FramePadding.x -
                     (steps ? 2.0f * (ImGui::GetFrameHeight() + style.ItemInnerSpacing.x) : 0.0f);
  item.whole = ImGui::CalcTextSize(FormatValue(item).c_str()).x <= room;
}

void DrawBar(TwBar& bar) {
  if (!bar.placed) {
    ImGui::SetNextWindowPos(ImVec2(static_cast<float>(bar.x), static_cast<float>(bar.y)), ImGuiCond_Always);
    ImGui::SetNextWindowSize(ImVec2(static_cast<float>(bar.width), static_cast<float>(bar.height)), ImGuiCond_Always);
    ImGui::SetNextWindowCollapsed(false, ImGuiCond_Always); // a bar opens unfolded where it is placed
    bar.placed = true;
  }
  // Folded, a bar is its title alone (the arrow at the title's right, or a double click).
  bool open = ImGui::Begin(bar.name.c_str());
  ImVec2 pos = ImGui::GetWindowPos(), size = ImGui::GetWindowSize();
  bar.shownX = pos.x;
  bar.shownY = pos.y;
  bar.shownWidth = size.x;
  bar.shownHeight = size.y;
  bar.shown = true;
  if (open) {
    float content = ImGui::GetContentRegionAvail().x;
    float valuesWidth = bar.valuesWidth > 0 ? static_cast<float>(bar.valuesWidth) : content * 0.45f;
    valuesWidth = std::min(valuesWidth, content);
    // Room for the widest label, as long as the values keep a usable width.
    float widestLabel = 0.0f;
    for (const Item& item : bar.items)
      if (item.kind == ItemKind::VarCB || item.kind == ItemKind::VarRW || item.kind == ItemKind::VarRO)
        widestLabel = std::max(widestLabel, ImGui::CalcTextSize(item.label.c_str()).x);
    const float labelsWidth = widestLabel + ImGui::GetStyle().ItemSpacing.x;
    if (content - valuesWidth < labelsWidth) valuesWidth = std::max(content - labelsWidth, std::min(valuesWidth, 48.0f));
    float labelColumn = ImGui::GetCursorPosX() + content - valuesWidth;
    std::string group;
    for (size_t i = 0; i < bar.items.size(); ++i) {
      Item& item = bar.items[i];
      if (item.group != group) {
        group = item.group;
        if (!group.empty()) ImGui::TextColored(Color(CHEESE), "%s", group.c_str());
      }
      ImGui::PushID(static_cast<int>(i));
      DrawItem(item, labelColumn, valuesWidth);
      ImGui::PopID();
    }
  }
  ImGui::End();
}

struct Area {
  float x = 0, y = 0, width = 0, height = 0;
};

// Where the bars' space shows, in window pixels: the game's picture, as it was last
// placed, or the whole window.
Area PictureArea() {
  if (s_pictureWidth > 0 && s_pictureHeight > 0)
    return {static_cast<float>(s_pictureX), static_cast<float>(s_pictureY), static_cast<float>(s_pictureWidth),
            static_cast<float>(s_pictureHeight)};
  int w = 0, h = 0;
  if (s_window) SDL_GetWindowSize(s_window, &w, &h);
  if (w <= 0 || h <= 0) return {0, 0, static_cast<float>(s_spaceWidth), static_cast<float>(s_spaceHeight)};
  return {0, 0, static_cast<float>(w), static_cast<float>(h)};
}

// Drawable pixels per pixel of the bars' space, upright (text is as tall as it is shown).
float PictureScale() {
  const Area area = PictureArea();
  int windowHeight = 0, drawableHeight = 0, unused = 0;
  if (s_window) {
    SDL_GetWindowSize(s_window, &unused, &windowHeight);
    SDL_GL_GetDrawableSize(s_window, &unused, &drawableHeight);
  }
  const float density = windowHeight > 0 && drawableHeight > 0 ? static_cast<float>(drawableHeight) / windowHeight : 1.0f;
  return area.height * density / s_spaceHeight;
}

// Window pixels -> the bars' space. Points beside the picture stay outside the space,
// so a click on a black bar never reaches a bar drawn at the picture's edge.
ImVec2 ToSpace(float px, float py) {
  const Area a = PictureArea();
  return ImVec2((px - a.x) * s_spaceWidth / a.width, (py - a.y) * s_spaceHeight / a.height);
}

bool OverShownBar(float px, float py) {
  ImVec2 p = ToSpace(px, py);
  for (auto& bar : s_bars)
    if (bar->shown && p.x >= bar->shownX && p.x < bar->shownX + bar->shownWidth && p.y >= bar->shownY &&
        p.y < bar->shownY + bar->shownHeight)
      return true;
  return false;
}

int ImGuiButton(Uint8 sdlButton) {
  switch (sdlButton) {
  case SDL_BUTTON_LEFT: return 0;
  case SDL_BUTTON_RIGHT: return 1;
  case SDL_BUTTON_MIDDLE: return 2;
  default: return -1;
  }
}

} // namespace

// ============================================================================
// Life
// ============================================================================

bool TwInit() {
  if (s_initialized) return true;
  s_window = SdlWindowOf(CurrentGameWindow());
  SDL_GLContext context = SDL_GL_GetCurrentContext();
  if (!s_window || !context) {
    std::printf("Error: the tweak bars have no window to draw in\n");
    s_window = nullptr;
    return false;
  }
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr; // bars are placed by their definitions, not by a file
  io.LogFilename = nullptr;
  io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange; // the game owns the pointer
  io.ConfigWindowsMoveFromTitleBarOnly = true; // a drag across a bar's rows never carries it off
  ApplyGameLook();
  s_fontPath.clear();
  s_fontData.clear();
  BuildFontAtlas(nullptr, 13.0f, 13.0f); // ImGui's own, until TwFont names the game's
  if (!ImGui_ImplSDL2_InitForOpenGL(s_window, context) || !ImGui_ImplOpenGL3_Init("#version 130")) {
    std::printf("Error: the tweak bars cannot start their renderer\n");
    ImGui::DestroyContext();
    s_window = nullptr;
    return false;
  }
  s_initialized = true;
  s_mouseX = s_mouseY = -1.0f;
  std::fill(std::begin(s_buttonHeld), std::end(s_buttonHeld), false);
  std::fill(std::begin(s_buttonPressed), std::end(s_buttonPressed), false);
  s_editingText = false;
  return true;
}

void TwTerminate() {
  s_bars.clear();
  s_fontPath.clear();
  s_fontData.clear();
  s_fontRefused.clear();
  s_pending.clear();
  TwPictureArea(0, 0, 0, 0); // the next window starts whole
  if (!s_initialized) return;
  ImGui_ImplOpenGL3_Shutdown();
  ImGui_ImplSDL2_Shutdown();
  ImGui::DestroyContext();
  s_initialized = false;
  s_window = nullptr;
  s_editingText = false;
}

// ============================================================================
// Input
// ============================================================================

bool TwEventHandler(const void* nativeEvent) {
  if (!s_initialized || !nativeEvent) return false;
  const SDL_Event& e = *static_cast<const SDL_Event*>(nativeEvent);
  bool barsShown = std::any_of(s_bars.begin(), s_bars.end(), [](const auto& b) { return b->shown; });
  switch (e.type) {
  case SDL_MOUSEMOTION:
    s_mouseX = static_cast<float>(e.motion.x);
    s_mouseY = static_cast<float>(e.motion.y);
    return false;
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP: {
    s_mouseX = static_cast<float>(e.button.x);
    s_mouseY = static_cast<float>(e.button.y);
    int b = ImGuiButton(e.button.button);
    bool down = e.type == SDL_MOUSEBUTTONDOWN;
    if (b >= 0) {
      s_buttonHeld[b] = down;
      if (down) s_buttonPressed[b] = true;
    }
    return down && barsShown && OverShownBar(s_mouseX, s_mouseY);
  }
  case SDL_MOUSEWHEEL:
    ImGui_ImplSDL2_ProcessEvent(&e);
    return barsShown && OverShownBar(s_mouseX, s_mouseY);
  case SDL_KEYDOWN:
  case SDL_KEYUP:
    ImGui_ImplSDL2_ProcessEvent(&e);
    // A release always reaches the game too, so no key stays held there.
    return e.type == SDL_KEYDOWN && barsShown && s_editingText;
  case SDL_TEXTINPUT:
    // Text input stays on for the whole game, and only a draw of the bars empties what the
    // library queues: without a bar on screen the queue would grow with every key played.
    if (!barsShown) return false;
    ImGui_ImplSDL2_ProcessEvent(&e);
    return s_editingText;
  case SDL_WINDOWEVENT:
    ImGui_ImplSDL2_ProcessEvent(&e);
    return false;
  default:
    return false;
  }
}

// ============================================================================
// Bars
// ============================================================================

TwBar* TwNewBar(const char* name) {
  if (!name || FindBar(name)) return nullptr;
  auto bar = std::make_unique<TwBar>();
  bar->name = name;
  s_bars.push_back(std::move(bar));
  return s_bars.back().get();
}

bool TwDeleteBar(TwBar* bar) {
  auto found = std::find_if(s_bars.begin(), s_bars.end(), [bar](const auto& b) { return b.get() == bar; });
  if (found == s_bars.end()) return false;
  s_bars.erase(found);
  if (s_bars.empty()) s_editingText = false;
  return true;
}

bool TwDefine(const char* definition) {
  if (!definition) return false;
  std::string name;
  auto pairs = ParsePairs(definition, &name);
  TwBar* bar = FindBar(name);
  if (!bar) return false;
  for (auto& [key, value] : pairs) {
    int a = 0, b = 0;
    if (key == "position" && ParseTwoInts(value, a, b)) {
      bar->x = a;
      bar->y = b;
      bar->placed = false;
    } else if (key == "size" && ParseTwoInts(value, a, b)) {
      bar->width = std::max(a, 32);
      bar->height = std::max(b, 32);
      bar->placed = false;
    } else if (key == "valueswidth") {
      bar->valuesWidth = std::max(0, std::atoi(value.c_str()));
    }
  }
  return true;
}

bool TwWindowSize(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  s_spaceWidth = width;
  s_spaceHeight = height;
  return true;
}

void TwPictureArea(int x, int y, int width, int height) {
  const bool some = width > 0 && height > 0;
  s_pictureX = some ? x : 0;
  s_pictureY = some ? y : 0;
  s_pictureWidth = some ? width : 0;
  s_pictureHeight = some ? height : 0;
}

// ============================================================================
// Text
// ============================================================================

bool TwFont(const char* ttfPath, float pixels) {
  if (!s_initialized || !ttfPath || !(pixels > 0.0f)) return false;
  const std::string path = ttfPath;
  if (path == s_fontRefused) return false;
  const float raster = std::max(1.0f, std::round(pixels * PictureScale()));
  if (path == s_fontPath && pixels == s_fontPixels && raster == s_fontRaster) return true;
  if (path != s_fontPath) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.is_open() || data.empty()) {
      std::printf("Error: %s cannot be read: the tweak bars keep the font they have\n", ttfPath);
      s_fontRefused = path;
      return false;
    }
    s_fontData = std::move(data);
  }
  if (!BuildFontAtlas(&s_fontData, pixels, raster)) {
    std::printf("Error: %s is not a font the tweak bars can use: they write with ImGui's own\n", ttfPath);
    s_fontRefused = path;
    s_fontPath.clear();
    s_fontData.clear();
    return false;
  }
  s_fontPath = path;
  return true;
}

float TwTextWidth(const char* text) {
  const ImFont* font = s_initialized && text ? BarFont() : nullptr;
  // In whole pixels, rounded up as ImGui::CalcTextSize does when it lays the rows out.
  return font ? std::floor(font->CalcTextSizeA(s_fontPixels, FLT_MAX, 0.0f, text).x + 0.99999f) : 0.0f;
}

// A window of rows as ImGui lays it out: the title, the padding round the rows, the rows
// and the gaps between them; the labels' column ends with a gap (see DrawBar).
static void WindowSizeFor(float labelsWidth, float valuesWidth, float rowsHeight, int rows, int& width, int& height) {
  const ImGuiStyle& style = ImGui::GetStyle();
  const float title = s_fontPixels + 2.0f * style.FramePadding.y;
  const float content = labelsWidth + style.ItemSpacing.x + valuesWidth;
  width = static_cast<int>(std::ceil(content + 2.0f * style.WindowPadding.x + style.ScrollbarSize));
  height = static_cast<int>(std::ceil(title + 2.0f * style.WindowPadding.y + rowsHeight +
                                      std::max(rows - 1, 0) * style.ItemSpacing.y));
}

void TwBarSizeFor(float labelsWidth, float valuesWidth, int rows, int& width, int& height) {
  width = height = 0;
  if (!s_initialized) return;
  const float field = s_fontPixels + 2.0f * ImGui::GetStyle().FramePadding.y;
  WindowSizeFor(labelsWidth, valuesWidth, rows * field, rows, width, height);
}

bool TwBarFitSize(const TwBar* bar, float& valuesWidth, int& width, int& height) {
  width = height = 0;
  if (!s_initialized || !Exists(bar)) return false;
  const float padding = ImGui::GetStyle().FramePadding.x;
  const float field = s_fontPixels + 2.0f * ImGui::GetStyle().FramePadding.y;
  float labelsWidth = 0.0f, rowsHeight = 0.0f, buttonsWidth = 0.0f;
  int rows = 0;
  std::string group;
  for (const Item& item : bar->items) {
    if (item.group != group && !item.group.empty()) { // the group's heading, a line of text
      rowsHeight += s_fontPixels;
      ++rows;
    }
    group = item.group;
    ++rows;
    switch (item.kind) {
    case ItemKind::Separator: rowsHeight += 1.0f; break;
    case ItemKind::Button:
      rowsHeight += field;
      buttonsWidth = std::max(buttonsWidth, TwTextWidth(item.label.c_str()) + 2.0f * padding);
      break;
    case ItemKind::VarRO:
      valuesWidth = std::max(valuesWidth, TwTextWidth(FormatValue(item).c_str()) + 2.0f * padding);
      [[fallthrough]];
    default:
      rowsHeight += field;
      labelsWidth = std::max(labelsWidth, TwTextWidth(item.label.c_str()));
    }
  }
  // Buttons span the bar: a long one widens the labels' column, which the values follow.
  labelsWidth = std::max(labelsWidth, buttonsWidth - ImGui::GetStyle().ItemSpacing.x - valuesWidth);
  WindowSizeFor(labelsWidth, valuesWidth, rowsHeight, rows, width, height);
  return true;
}

// Every kind of row starts the same way: its kind and its label.
static Item NewItem(ItemKind kind, const char* name) {
  Item item;
  item.kind = kind;
  item.label = name ? name : "";
  return item;
}

bool TwAddVarCB(TwBar* bar, const char* name, TwType type, TwSetVarCallback set, TwGetVarCallback get,
                void* clientData, const char* definition) {
  Item item = NewItem(ItemKind::VarCB, name);
  item.type = type;
  item.set = set;
  item.get = get;
  item.clientData = clientData;
  return AddItem(bar, std::move(item), definition);
}

bool TwAddVarRW(TwBar* bar, const char* name, TwType type, void* variable, const char* definition) {
  Item item = NewItem(ItemKind::VarRW, name);
  item.type = type;
  item.variable = variable;
  return AddItem(bar, std::move(item), definition);
}

bool TwAddVarRO(TwBar* bar, const char* name, TwType type, const void* variable, const char* definition) {
  Item item = NewItem(ItemKind::VarRO, name);
  item.type = type;
  item.readOnly = variable;
  return AddItem(bar, std::move(item), definition);
}

bool TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData,
                 const char* definition) {
  Item item = NewItem(ItemKind::Button, name);
  item.button = callback;
  item.clientData = clientData;
  return AddItem(bar, std::move(item), definition);
}

bool TwAddSeparator(TwBar* bar, const char* name, const char* definition) {
  Item item = NewItem(ItemKind::Separator, name);
  return AddItem(bar, std::move(item), definition);
}

bool TwRemoveAllVars(TwBar* bar) {
  if (!Exists(bar)) return false;
  bar->items.clear();
  return true;
}

// ============================================================================
// Drawing
// ============================================================================

bool TwDraw() {
  if (!s_initialized || s_bars.empty()) return false;
  ImGui_ImplOpenGL3_NewFrame();
  if (s_fontTextureStale) {
    // New glyphs: the renderer's texture is made again from the atlas.
    ImGui_ImplOpenGL3_DestroyFontsTexture();
    ImGui_ImplOpenGL3_CreateFontsTexture();
    s_fontTextureStale = false;
  }
  ImGui_ImplSDL2_NewFrame();

  // The bars live in their own space stretched over the game's picture, and the pointer
  // is the one the events reported: SDL's polled state knows nothing of queued-up input.
  ImGuiIO& io = ImGui::GetIO();
  const Area area = PictureArea();
  int windowWidth = 0, windowHeight = 0, drawableWidth = 0, drawableHeight = 0;
  SDL_GetWindowSize(s_window, &windowWidth, &windowHeight);
  SDL_GL_GetDrawableSize(s_window, &drawableWidth, &drawableHeight);
  // Drawable pixels per window pixel (more than 1 on a high-density display).
  const float densityX = windowWidth > 0 && drawableWidth > 0 ? static_cast<float>(drawableWidth) / windowWidth : 1.0f;
  const float densityY = windowHeight > 0 && drawableHeight > 0 ? static_cast<float>(drawableHeight) / windowHeight : 1.0f;
  const ImVec2 scale(area.width * densityX / s_spaceWidth, area.height * densityY / s_spaceHeight);
  io.DisplaySize = ImVec2(static_cast<float>(s_spaceWidth), static_cast<float>(s_spaceHeight));
  io.DisplayFramebufferScale = scale;
  io.MousePos = s_mouseX < 0 ? ImVec2(-FLT_MAX, -FLT_MAX) : ToSpace(s_mouseX, s_mouseY);
  for (int b = 0; b < 3; ++b) {
    io.MouseDown[b] = s_buttonHeld[b] || s_buttonPressed[b];
    s_buttonPressed[b] = false;
  }
  if (io.DeltaTime <= 0.0f) io.DeltaTime = 1.0f / 1000.0f;

  ImGui::NewFrame();
  // Newer bars first: a bar that appears later goes under the earlier ones, so the first
  // bar a screen makes (the editor's property bar) starts on top.
  for (auto bar = s_bars.rbegin(); bar != s_bars.rend(); ++bar) DrawBar(**bar);
  s_editingText = io.WantTextInput;
  ImGui::Render();
  // The renderer draws over the whole window, in the space's units: the window then
  // starts left of and above the space's origin by the picture's offset, so the space
  // lands on the picture, letterboxed or not, and the bars' clipping keeps them on it.
  ImDrawData* drawData = ImGui::GetDrawData();
  if (drawableWidth > 0 && drawableHeight > 0) {
    drawData->DisplayPos = ImVec2(-area.x * densityX / scale.x, -area.y * densityY / scale.y);
    // A quarter pixel more, so the renderer's whole-pixel viewport never loses a column.
    drawData->DisplaySize = ImVec2((drawableWidth + 0.25f) / scale.x, (drawableHeight + 0.25f) / scale.y);
    drawData->FramebufferScale = scale;
  }
  ImGui_ImplOpenGL3_RenderDrawData(drawData);

  std::vector<std::function<void()>> actions;
  actions.swap(s_pending);
  for (auto& action : actions) action();
  return true;
}

// ============================================================================
// Inspection
// ============================================================================

TwBar* TwFindBar(const char* name) { return name ? FindBar(name) : nullptr; }
int TwBarCount() { return static_cast<int>(s_bars.size()); }
int TwQueuedCharacters() { return s_initialized ? ImGui::GetIO().InputQueueCharacters.Size : 0; }

std::vector<TwItemInfo> TwBarItems(const TwBar* bar) {
  std::vector<TwItemInfo> out;
  if (!Exists(bar)) return out;
  for (const Item& item : bar->items) {
    TwItemInfo info;
    info.label = item.label;
    info.group = item.group;
    info.help = item.help;
    switch (item.kind) {
    case ItemKind::Button: info.kind = "button"; break;
    case ItemKind::Separator: info.kind = "separator"; break;
    case ItemKind::VarRO: info.kind = "readonly"; break;
    default: info.kind = "var"; break;
    }
    info.value = FormatValue(item);
    info.x = item.x;
    info.y = item.y;
    info.width = item.width;
    info.height = item.height;
    info.visible = item.visible;
    info.whole = item.whole;
    out.push_back(info);
  }
  return out;
}

bool TwBarPlacement(const TwBar* bar, int& x, int& y, int& width, int& height) {
  if (!Exists(bar)) return false;
  x = bar->x;
  y = bar->y;
  width = bar->width;
  height = bar->height;
  return true;
}

void TwToWindowPixels(float x, float y, int& px, int& py) {
  const Area a = PictureArea();
  px = static_cast<int>(a.x + x * a.width / s_spaceWidth);
  py = static_cast<int>(a.y + y * a.height / s_spaceHeight);
}

void TwShownPlacement(const TwBar* bar, float& x, float& y, float& width, float& height) {
  x = y = width = height = 0;
  if (!Exists(bar) || !bar->shown) return;
  x = bar->shownX;
  y = bar->shownY;
  width = bar->shownWidth;
  height = bar->shownHeight;
}
