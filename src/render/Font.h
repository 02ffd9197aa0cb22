#pragma once
#include <map>
#include <string>
#include <string_view>

#include "core/Vec3.h"
#include "render/Graphic.h"

// The game's one typeface: every text of the game, and the editor's tweak bars.
inline constexpr const char* GAME_FONT_PATH = "../Assets/font/RobotoCondensed-Regular.ttf";

// One rasterised character. Every character moves the pen by a cell of a fixed size
// (GlyphCell); letters and digits fill their cell, while other marks ("!", "'", ",") are
// placed in it by these metrics, at the size they have beside a capital.
struct Glyph {
  int advance = 0;          // 1/64 pixel
  unsigned int texture = 0; // GL name, one red channel of coverage
  int width = 0;            // bitmap size in pixels
  int rows = 0;
  int left = 0;             // bitmap bearing in pixels
  int top = 0;
  float atlas[4] = {0, 0, 0, 0}; // u0, v0 (top row), u1, v1 of the glyph in the set's atlas
};

// Short texts in screen space (the camera does not move them), placed in logical
// pixels. The glyphs of character codes 0-127 of the game's font at 48 pixels are
// rasterised once per run and shared by every Font; each Font has its own program.
// Besides a texture per glyph the set keeps one atlas of them all, so that a line of
// text (and the next ones of the same colour) can go to the GPU as one draw call.
class Font : public Graphic {
public:
  Font();                // loads the glyphs (the GL context must exist)
  void Init() override;  // buffer and the text program
  // position is the bottom-left corner of the first cell; color r, g, b in 0-1.
  // The pen moves right by each cell's width.
  void DrawText(std::string_view text, const Vec3& position, const Vec3& color, float scale);

  std::map<char, Glyph> glyphs; // characters that loaded

private:
  void DrawTextGathered(std::string_view text, float x, float y, const float color[3], float scale);
  unsigned int atlasTexture = 0; // every glyph of the set, bordered; 0 without glyphs
  float blankCell[2] = {0, 0};   // atlas coordinates of an empty spot, for missing glyphs
  int textColorLocation = -1;    // "textColor" in the text program
};

// The cell of ch in device units at scale: the base cell is 0.03 x 0.04 times scale,
// narrowed for lowercase letters, punctuation, "i", "l", "I", "1", ":" and space.
void GlyphCell(char ch, float scale, float& width, float& height);
// The width in logical pixels of a line the game's font draws at `scale`.
float TextWidth(const std::string& text, float scale);

// Deletes the shared glyph textures and forgets a font file that failed, so the next Font
// tries it again; see DeleteCachedTextures, which calls it.
void DeleteGlyphTextures();
