#include "editor/CheckPanel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "core/Window.h"
#include "editor/Editor.h"
#include "render/Camera.h"
#include "render/Font.h"
#include "render/Line.h"
#include "render/SquarePrimitive.h"

namespace {

// ---- the look: the palette's colours (content/art/palette.txt) and the editor's ink ------
const float SLATE_DARK[3] = {0.145f, 0.169f, 0.212f};  // the palette's ground
const float SLATE[3] = {0.227f, 0.259f, 0.314f};       // its grid lines; the selected row
const float TOMATO[3] = {0.839f, 0.251f, 0.165f};      // its edge line
const float ERROR_INK[3] = {0.941f, 0.451f, 0.353f};   // tomatoLight
const float WARNING_INK[3] = {0.961f, 0.761f, 0.259f}; // cheese
const Vec3 TITLE_INK(0.87f, 0.52f, 0.04f);             // the editor's text colour

// ---- the layout, in screen pixels ---------------------------------------------------------
constexpr float GAP = 8.0f;        // from the field's edges
constexpr float PAD = 6.0f;        // inside the panel
constexpr float TITLE_ROW = 24.0f;
constexpr float ROW = 22.0f;
constexpr float BASELINE = 6.0f;   // text sits this far above its row's bottom
constexpr int PAGE_ROWS = 6;
constexpr float TEXT_SCALE = 0.6f; // as the editor's level name
constexpr int MOST_MARKERS = 40;   // rings drawn; the list holds every finding

// ---- the rings on the field, in world units ------------------------------------------------
constexpr float RING = 34.0f;
constexpr float OUTER_RING = 46.0f;
constexpr int RING_SIDES = 8;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Screen pixels the text takes at the panel's scale.
float TextWidth(const std::string& text) {
  float device = 0.0f;
  for (char c : text) {
    float w = 0.0f, h = 0.0f;
    GlyphCell(c, TEXT_SCALE, w, h);
    device += w;
  }
  return device * static_cast<float>(g_screen.width) / 2.0f;
}

// The text cut to fit the width, with ".." where it was cut.
std::string Fit(std::string text, float width) {
  if (TextWidth(text) <= width) return text;
  while (!text.empty() && TextWidth(text + "..") > width) text.pop_back();
  return text + "..";
}

void AddRing(std::vector<Line>& lines, const Vec3& centre, float radius, const float color[3]) {
  for (int k = 0; k < RING_SIDES; ++k) {
    const float a0 = 6.2831853f * k / RING_SIDES, a1 = 6.2831853f * (k + 1) / RING_SIDES;
    lines.emplace_back(centre + Vec3(radius * std::cos(a0), radius * std::sin(a0), 0.0f),
                       centre + Vec3(radius * std::cos(a1), radius * std::sin(a1), 0.0f), color);
  }
}

std::unique_ptr<SquarePrimitive> Rectangle(float left, float top, float right, float bottom, const float color[3],
                                           float alpha) {
  const Vec3 centre((left + right) / 2.0f, (top + bottom) / 2.0f, 0.0f);
  auto r = std::make_unique<SquarePrimitive>(centre, static_cast<int>(std::lround((right - left) / 2.0f)),
                                             static_cast<int>(std::lround((bottom - top) / 2.0f)), color[0], color[1],
                                             color[2], alpha);
  r->Init();
  return r;
}

} // namespace

CheckPanel::CheckPanel() = default;
CheckPanel::~CheckPanel() = default;

// ============================================================================
// The list
// ============================================================================

void CheckPanel::Show(std::vector<Finding> list) {
  findings = std::move(list);
  visible = true;
  page = 0;
  selected = -1;
  markersMade = false;
}

void CheckPanel::Hide() { visible = false; }

void CheckPanel::Release() {
  Hide();
  font.reset();
  background.reset();
  edge.reset();
  highlight.reset();
  madeFor = Layout();
  markers.clear();
  markersMade = false;
}

int CheckPanel::ShownRows() const {
  const int left = static_cast<int>(findings.size()) - page * PAGE_ROWS;
  return std::clamp(left, 0, PAGE_ROWS);
}

CheckPanel::Layout CheckPanel::Place() const {
  Layout at;
  at.left = GAP;
  at.right = static_cast<float>(g_screen.width - LEVEL_AREA_MARGIN) - GAP;
  at.bottom = static_cast<float>(g_screen.height) - GAP;
  at.top = at.bottom - (2 * PAD + TITLE_ROW + ROW * ShownRows());
  return at;
}

bool CheckPanel::Covers(const Vec3& p) const {
  if (!visible) return false;
  const Layout at = Place();
  return p.x >= at.left && p.x <= at.right && p.y >= at.top && p.y <= at.bottom;
}

std::optional<Vec3> CheckPanel::Click(const Vec3& p) {
  if (!Covers(p)) return std::nullopt;
  const Layout at = Place();
  const float rowsTop = at.top + PAD + TITLE_ROW;
  if (p.y < rowsTop) {
    // The title turns the page, back to the first after the last.
    const int pages = (static_cast<int>(findings.size()) + PAGE_ROWS - 1) / PAGE_ROWS;
    if (pages > 1) page = (page + 1) % pages;
    return std::nullopt;
  }
  const int row = static_cast<int>((p.y - rowsTop) / ROW);
  if (row < 0 || row >= ShownRows()) return std::nullopt;
  selected = page * PAGE_ROWS + row;
  return findings[selected].place;
}

// ============================================================================
// Drawing
// ============================================================================

void CheckPanel::MakePanel(const Layout& at) {
  background = Rectangle(at.left, at.top, at.right, at.bottom, SLATE_DARK, 0.92f);
  edge = Rectangle(at.left, at.top, at.right, at.top + 3.0f, TOMATO, 1.0f);
  highlight = Rectangle(at.left + 3.0f, 0.0f, at.right - 3.0f, ROW, SLATE, 1.0f);
  madeFor = at;
}

void CheckPanel::MakeMarkers() {
  markers.clear();
  int rings = 0;
  for (const Finding& f : findings) {
    if (!f.place || rings++ >= MOST_MARKERS) continue;
    // Two lines side by side: one alone is lost on the grass.
    const float* ink = f.severity == Severity::Error ? ERROR_INK : WARNING_INK;
    for (float r : {RING, RING + 1.5f}) AddRing(markers, *f.place, r, ink);
  }
  if (selected >= 0 && findings[selected].place) {
    const float ink[3] = {TITLE_INK.x, TITLE_INK.y, TITLE_INK.z};
    AddRing(markers, *findings[selected].place, OUTER_RING, ink);
  }
  for (Line& line : markers) line.Init();
  markersMade = true;
  markersSelected = selected;
}

void CheckPanel::Draw(const Camera& camera) {
  if (!visible) return;
  if (!markersMade || markersSelected != selected) MakeMarkers();
  for (Line& line : markers) {
    line.SetCamera(camera);
    line.Draw();
  }

  const Layout at = Place();
  if (!background || at.top != madeFor.top || at.right != madeFor.right || at.bottom != madeFor.bottom) MakePanel(at);
  if (!font) {
    font = std::make_unique<Font>();
    font->Init();
  }
  background->Draw();
  edge->Draw();

  const float rowsTop = at.top + PAD + TITLE_ROW;
  const int count = static_cast<int>(findings.size());
  const int pages = (count + PAGE_ROWS - 1) / PAGE_ROWS;
  std::string title = count == 0 ? "LEVEL CHECK: NO PROBLEMS FOUND"
                                 : "LEVEL CHECK: " + std::to_string(count) + (count == 1 ? " PROBLEM" : " PROBLEMS");
  if (pages > 1)
    title += "   PAGE " + std::to_string(page + 1) + "/" + std::to_string(pages) + " (CLICK HERE FOR MORE)";
  const float width = at.right - at.left - 2 * PAD;
  font->DrawText(Fit(title, width), Vec3(at.left + PAD, rowsTop - BASELINE, 0.0f), TITLE_INK, TEXT_SCALE);

  for (int row = 0; row < ShownRows(); ++row) {
    const int index = page * PAGE_ROWS + row;
    const float rowBottom = rowsTop + ROW * (row + 1);
    if (index == selected) {
      highlight->SetPosition(Vec3((at.left + at.right) / 2.0f, rowBottom - ROW / 2.0f, 0.0f), 0.0f);
      highlight->Draw();
    }
    const Finding& f = findings[index];
    const float* ink = f.severity == Severity::Error ? ERROR_INK : WARNING_INK;
    font->DrawText(Fit(Upper(f.message), width), Vec3(at.left + PAD, rowBottom - BASELINE, 0.0f),
                   Vec3(ink[0], ink[1], ink[2]), TEXT_SCALE);
  }
}
