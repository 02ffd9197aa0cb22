#include "core/Viewport.h"
#include "core/Window.h"
#include <algorithm>
#include <cstdint>

PictureArea FitPicture(int windowWidth, int windowHeight, int logicalWidth, int logicalHeight) {
  PictureArea area{0, 0, windowWidth, windowHeight};
  if (windowWidth <= 0 || windowHeight <= 0 || logicalWidth <= 0 || logicalHeight <= 0) return area;
  // Compare the shapes in integers: W/H against w/h without rounding either.
  const int64_t wide = int64_t{windowWidth} * logicalHeight;
  const int64_t tall = int64_t{windowHeight} * logicalWidth;
  if (wide > tall) { // wider than the picture: bars at the sides
    area.width = static_cast<int>((tall + logicalHeight / 2) / logicalHeight);
    area.x = (windowWidth - area.width) / 2;
  } else if (wide < tall) { // taller: bars above and below
    area.height = static_cast<int>((wide + logicalWidth / 2) / logicalWidth);
    area.y = (windowHeight - area.height) / 2;
  }
  return area;
}

PictureArea CurrentPictureArea(int windowWidth, int windowHeight) {
  if (!g_screen.fullscreen) return PictureArea{0, 0, windowWidth, windowHeight};
  return FitPicture(windowWidth, windowHeight, g_screen.width, g_screen.height);
}

void WindowToLogical(const PictureArea& area, int logicalWidth, int logicalHeight, float px, float py,
                     float& x, float& y) {
  x = (px - static_cast<float>(area.x)) / static_cast<float>(area.width) * static_cast<float>(logicalWidth);
  y = (py - static_cast<float>(area.y)) / static_cast<float>(area.height) * static_cast<float>(logicalHeight);
  // Only a letterboxed picture has window pixels beside it; a window's own pixels map
  // exactly as they always have.
  if (area.x > 0) x = std::clamp(x, 0.0f, static_cast<float>(logicalWidth));
  if (area.y > 0) y = std::clamp(y, 0.0f, static_cast<float>(logicalHeight));
}

void LogicalToWindow(const PictureArea& area, int logicalWidth, int logicalHeight, float x, float y,
                     int& px, int& py) {
  px = static_cast<int>(x / static_cast<float>(logicalWidth) * static_cast<float>(area.width) + static_cast<float>(area.x));
  py = static_cast<int>(y / static_cast<float>(logicalHeight) * static_cast<float>(area.height) + static_cast<float>(area.y));
}
