#pragma once

// Where the logical screen lands in the window. Full screen keeps the picture's shape:
// on a display of another shape it is centred with black bars above and below
// (letterbox) or at the sides (pillarbox). A window is stretched as it always was. The
// GL viewport and the mouse both go through the same area.

struct PictureArea {
  int x = 0, y = 0;          // window pixels, origin top-left, y down
  int width = 0, height = 0;
  bool operator==(const PictureArea&) const = default;
};

// The largest area of the logical screen's shape centred in a window of the given size.
// A window or logical screen without an area gives the whole window.
PictureArea FitPicture(int windowWidth, int windowHeight, int logicalWidth, int logicalHeight);

// The area the game draws in for a window of this size, by the display mode (g_screen.fullscreen)
// and the logical size (g_screen.width, g_screen.height).
PictureArea CurrentPictureArea(int windowWidth, int windowHeight);

// A window pixel in logical pixels; points on the bars land on the picture's nearest edge.
void WindowToLogical(const PictureArea& area, int logicalWidth, int logicalHeight, float px, float py,
                     float& x, float& y);
// And back, for the window pixel a logical point shows at (truncated).
void LogicalToWindow(const PictureArea& area, int logicalWidth, int logicalHeight, float x, float y,
                     int& px, int& py);
