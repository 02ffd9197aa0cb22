#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "core/Vec3.h"
#include "editor/LevelCheck.h"

class Camera;
class Font;
class Line;
class SquarePrimitive;

// The level check's findings over the editor: a list along the bottom of the field (left of
// the palette, clear of the bars at the top left) in the palette's colours and the game's
// font, errors in red and warnings in yellow, and a ring on the field at every finding that
// has a place. Six rows show at a time; a click on the title shows the next six. A click on a
// row selects it (its ring doubles) and hands back its place for the view to centre on.
// Screen points are logical pixels (origin top-left, y down), as g_input.mousePosition.
class CheckPanel {
public:
  CheckPanel();
  ~CheckPanel();
  CheckPanel(const CheckPanel&) = delete;
  CheckPanel& operator=(const CheckPanel&) = delete;

  void Show(std::vector<Finding> findings); // replaces the list, first page, nothing selected
  void Hide();
  bool Visible() const { return visible; }
  // The rings through the editor's camera, then the list on the screen. Needs the GL
  // context; the panel makes its pictures at its first Draw. Nothing while hidden.
  void Draw(const Camera& camera);
  // A click at a screen point: a row's place in world units (none for a finding without
  // one, or off the rows). The editor places nothing where Covers says the panel is.
  std::optional<Vec3> Click(const Vec3& screenPoint);
  bool Covers(const Vec3& screenPoint) const;
  // Hides and lets go of the panel's pictures (the editor's Free); Draw makes them again.
  void Release();

  // ---- inspection ------------------------------------------------------------
  const std::vector<Finding>& Findings() const { return findings; }
  int Selected() const { return selected; } // index into Findings(), or -1

private:
  struct Layout {
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f; // screen pixels
  };
  Layout Place() const;     // where the panel stands on the current screen
  int ShownRows() const;    // rows of the current page
  void MakeMarkers();
  void MakePanel(const Layout& at);

  std::vector<Finding> findings;
  bool visible = false;
  int page = 0;
  int selected = -1;

  std::unique_ptr<Font> font;
  std::unique_ptr<SquarePrimitive> background;
  std::unique_ptr<SquarePrimitive> edge;      // the palette's red line, along the top
  std::unique_ptr<SquarePrimitive> highlight; // under the selected row
  Layout madeFor;                             // the layout the three rectangles were made for
  std::vector<Line> markers;                  // the rings' sides, the selected one's outer ring last
  bool markersMade = false;
  int markersSelected = -1;                   // the selection the markers were made for
};
