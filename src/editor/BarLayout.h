#pragma once

// Where the editor's two tweak bars open and how they read. They open in the top-left
// corner of the field (the screen left of the palette): the property bar first, the sound
// bar beside it, or under it where the field is too narrow for both; a bar is narrowed or
// shortened to stay in the corner, and scrolls. So they never overlap each other nor the
// palette, until the designer drags them, and the rest of the field stays the designer's
// (the level check lists its findings along the field's bottom). Everything is in logical
// pixels, the bars' space.

struct BarSlot {
  int x = 0, y = 0;          // top-left corner
  int width = 0, height = 0;
};

inline constexpr float BAR_FONT_PIXELS = 15.0f; // the bars' text height
inline constexpr int BAR_GAP = 6;               // between two bars side by side or stacked
inline constexpr int BAR_CORNER_HEIGHT = 450;   // how far down the field the bars reach

// The game's font in the bars, drawn for the picture as it is now, and the logical screen as
// the bars' space. Before measuring a bar.
void DressEditorBars();

BarSlot BarCorner(); // the corner of the current logical screen's field the bars open in
// A bar of the wanted size in `corner`: at its top-left, or beside `after` (under it when
// the corner has no room beside), cut at the corner's edges.
BarSlot NextBarSlot(const BarSlot& corner, const BarSlot* after, int width, int height);
// Puts the bar there, its values' column valuesWidth wide.
void PlaceBar(const char* name, const BarSlot& slot, float valuesWidth);
