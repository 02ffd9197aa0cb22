#include "objects/DrawIndex.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "objects/GameObject.h"
#include "render/AnimatedTexture.h"
#include "render/Camera.h"
#include "render/DrawBatch.h"

namespace {

// About a third of the screen's width: a screen asks a few dozen cells.
constexpr float CELL = 0.5f;
// A grid never holds more cells than this; a level spread wider gets wider cells.
constexpr long MAX_CELLS = 1L << 18;
// The view's edge as the renderer draws it (its own margin included), with room for the
// rounding of the inverted view: cells this close are asked, and the renderer decides.
constexpr float VIEW_EDGE = 1.0f + 1.0f / 16.0f;

bool s_switchRead = false;
bool s_on = true;

// The picture's box, or false when it must be handed out every frame.
bool FiledBox(const GameObject* o, float box[4]) {
  if (!o || !o->graphic || dynamic_cast<const AnimatedTexture*>(o->graphic.get())) return false;
  o->graphic->DeviceBox(box);
  for (int i = 0; i < 4; ++i)
    if (!std::isfinite(box[i])) return false;
  return true;
}

} // namespace

void SetDrawIndexing(bool on) {
  s_switchRead = true;
  s_on = on;
}

bool DrawIndexingOn() {
  if (!s_switchRead) {
    s_switchRead = true;
    const char* env = std::getenv("KVO_DRAW_INDEX");
    s_on = !(env && std::strcmp(env, "0") == 0);
  }
  return s_on;
}

bool DrawIndex::Stale(const std::vector<GameObject*>& list) const {
  if (!built || placements != IndexedPlacements() || list.size() != filed.size()) return true;
  return !list.empty() && std::memcmp(list.data(), filed.data(), list.size() * sizeof(GameObject*)) != 0;
}

void DrawIndex::File(const std::vector<GameObject*>& list) {
  built = true;
  filed = list;
  always.clear();
  positions.clear();
  std::vector<float> boxes(list.size() * 4);
  std::vector<char> placed(list.size(), 0);
  float minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
  for (size_t i = 0; i < list.size(); ++i) {
    float* box = &boxes[i * 4];
    if (!FiledBox(list[i], box)) continue;
    placed[i] = 1;
    minX = std::min(minX, box[0]);
    minY = std::min(minY, box[1]);
    maxX = std::max(maxX, box[0]);
    maxY = std::max(maxY, box[1]);
  }
  cell = CELL;
  columns = rows = 0;
  if (minX <= maxX) {
    // Widened in double: corners a billion units apart must not overflow the count.
    auto count = [&](double span) { return static_cast<long>(std::floor(span / cell)) + 1; };
    while (count(static_cast<double>(maxX) - minX) * count(static_cast<double>(maxY) - minY) > MAX_CELLS) cell *= 2.0f;
    columns = static_cast<int>(count(static_cast<double>(maxX) - minX));
    rows = static_cast<int>(count(static_cast<double>(maxY) - minY));
  }
  originX = minX;
  originY = minY;
  cellStart.assign(static_cast<size_t>(columns) * rows + 1, 0);
  std::vector<int> cellOf(list.size(), -1);
  for (size_t i = 0; i < list.size(); ++i) {
    const float* box = &boxes[i * 4];
    if (!placed[i] || box[2] - box[0] > cell || box[3] - box[1] > cell) {
      always.push_back(static_cast<int>(i));
      continue;
    }
    const int cx = std::clamp(static_cast<int>((box[0] - originX) / cell), 0, columns - 1);
    const int cy = std::clamp(static_cast<int>((box[1] - originY) / cell), 0, rows - 1);
    cellOf[i] = cy * columns + cx;
    ++cellStart[static_cast<size_t>(cellOf[i]) + 1];
    list[i]->graphic->drawIndexed = true;
  }
  for (size_t c = 1; c < cellStart.size(); ++c) cellStart[c] += cellStart[c - 1];
  positions.assign(static_cast<size_t>(cellStart.back()), 0);
  std::vector<int> next(cellStart.begin(), cellStart.end() - 1);
  for (size_t i = 0; i < list.size(); ++i)
    if (cellOf[i] >= 0) positions[static_cast<size_t>(next[static_cast<size_t>(cellOf[i])]++)] = static_cast<int>(i);
  placements = IndexedPlacements();
}

const std::vector<GameObject*>& DrawIndex::Visible(const std::vector<GameObject*>& list, const Camera& camera) {
  if (!DrawIndexingOn()) return list;
  if (Stale(list)) File(list);
  seen.assign(always.begin(), always.end());

  // The cells whose pictures may reach into the view: its corners taken back through the
  // camera. A turned view (or one that cannot be taken back) asks every cell.
  const float* v = camera.view;
  int c0 = 0, c1 = columns - 1, r0 = 0, r1 = rows - 1;
  const float det = v[0] * v[4] - v[1] * v[3];
  if (v[1] == 0.0f && v[3] == 0.0f && std::isfinite(det) && det != 0.0f) {
    const float ax = (-VIEW_EDGE - v[2]) / v[0], bx = (VIEW_EDGE - v[2]) / v[0];
    const float ay = (-VIEW_EDGE - v[5]) / v[4], by = (VIEW_EDGE - v[5]) / v[4];
    // A picture filed in a cell reaches at most one cell further up and right.
    auto first = [&](float lo, float origin) { return static_cast<double>(lo - origin) / cell - 2.0; };
    auto last = [&](float hi, float origin) { return static_cast<double>(hi - origin) / cell + 1.0; };
    const double fc = first(std::min(ax, bx), originX), lc = last(std::max(ax, bx), originX);
    const double fr = first(std::min(ay, by), originY), lr = last(std::max(ay, by), originY);
    if (std::isfinite(fc) && std::isfinite(lc) && std::isfinite(fr) && std::isfinite(lr)) {
      c0 = static_cast<int>(std::clamp(std::floor(fc), 0.0, static_cast<double>(columns)));
      c1 = static_cast<int>(std::clamp(std::floor(lc), -1.0, static_cast<double>(columns - 1)));
      r0 = static_cast<int>(std::clamp(std::floor(fr), 0.0, static_cast<double>(rows)));
      r1 = static_cast<int>(std::clamp(std::floor(lr), -1.0, static_cast<double>(rows - 1)));
    }
  }
  const float slack = cell / 8.0f; // the filing's own rounding
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const size_t at = static_cast<size_t>(r) * columns + c;
      if (cellStart[at] == cellStart[at + 1]) continue;
      const float x = originX + cell * c, y = originY + cell * r;
      if (BoxOutsideView(camera, x - slack, y - slack, x + 2.0f * cell + slack, y + 2.0f * cell + slack)) continue;
      seen.insert(seen.end(), positions.begin() + cellStart[at], positions.begin() + cellStart[at + 1]);
    }
  std::sort(seen.begin(), seen.end());
  shown.clear();
  for (int i : seen) shown.push_back(list[static_cast<size_t>(i)]);
  return shown;
}
