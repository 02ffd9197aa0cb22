#include "editor/BarLayout.h"
#include "core/Window.h"
#include "editor/Editor.h"
#include "platform/TweakBar.h"
#include "render/Font.h"
#include <algorithm>
#include <cmath>
#include <string>

void DressEditorBars() {
  TwWindowSize(g_screen.width, g_screen.height);
  TwFont(GAME_FONT_PATH, BAR_FONT_PIXELS);
}

BarSlot BarCorner() {
  return {0, 0, std::max(g_screen.width - LEVEL_AREA_MARGIN, 0), std::min(g_screen.height, BAR_CORNER_HEIGHT)};
}

BarSlot NextBarSlot(const BarSlot& corner, const BarSlot* after, int width, int height) {
  BarSlot slot{corner.x, corner.y, width, height};
  if (after) {
    const int beside = after->x + after->width + BAR_GAP;
    if (beside + width <= corner.x + corner.width) {
      slot.x = beside;
      slot.y = after->y;
    } else {
      // The smallest screen (640 x 360) still leaves a few of the sound bar's rows here.
      slot.y = after->y + after->height + BAR_GAP;
    }
  }
  slot.width = std::min(width, corner.x + corner.width - slot.x);
  slot.height = std::min(height, corner.y + corner.height - slot.y);
  return slot;
}

void PlaceBar(const char* name, const BarSlot& slot, float valuesWidth) {
  const std::string definition = std::string(" ") + name + " position='" + std::to_string(slot.x) + " " +
                                 std::to_string(slot.y) + "' size='" + std::to_string(slot.width) + " " +
                                 std::to_string(slot.height) + "' valueswidth=" +
                                 std::to_string(static_cast<int>(std::ceil(valuesWidth))) + " ";
  TwDefine(definition.c_str());
}
