#pragma once
#include <vector>

class Camera;
class GameObject;

// Which of a list of standing pictures (roads, walls, sacks, gates, fillers) the camera may
// see, so that a frame's draw walks what is on screen instead of the whole level.
//
// Each picture is filed in the one cell of a grid (device units, before the camera) that
// holds the lower corner of its box. A cell is asked only when the renderer's own view test
// (BoxOutsideView) cannot turn away the cell widened by the largest box it may hold, so what
// the index leaves out the renderer would have culled: the picture on screen is the same.
// Pictures that animate (their draw steps the sheet), are wider than a cell, or stand
// nowhere finite are handed out every frame.
class DrawIndex {
public:
  // The objects of `list` the camera may see, in list order (the draw order); the rest it
  // surely cannot. Files the list afresh when it changed since the last call: another object
  // at a place, or a filed picture placed anew (IndexedPlacements). With indexing off: list.
  const std::vector<GameObject*>& Visible(const std::vector<GameObject*>& list, const Camera& camera);

private:
  void File(const std::vector<GameObject*>& list);
  bool Stale(const std::vector<GameObject*>& list) const;

  bool built = false;
  unsigned long placements = 0;   // IndexedPlacements when filed
  std::vector<GameObject*> filed; // the list as filed
  float originX = 0.0f;           // lower corner of cell 0, device units
  float originY = 0.0f;
  float cell = 0.5f;              // side of a cell, device units; no filed box is wider
  int columns = 0;
  int rows = 0;
  std::vector<int> cellStart;     // per cell, where its positions begin in positions (one more at the end)
  std::vector<int> positions;     // list positions by cell, ascending within each
  std::vector<int> always;        // list positions handed out every frame, ascending
  std::vector<int> seen;          // this frame's positions (reused)
  std::vector<GameObject*> shown; // this frame's answer (reused)
};

// ---- switch ---------------------------------------------------------------------------
// On unless the environment variable KVO_DRAW_INDEX is "0" at the first ask; off, every
// draw walks its whole list as it always did. The bench and the tests compare both.
void SetDrawIndexing(bool on);
bool DrawIndexingOn();
