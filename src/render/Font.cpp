#include "render/Font.h"
#include "core/Window.h"
#include "platform/ConsoleTexts.h"
#include "render/DrawBatch.h"
#include "render/RenderLocal.h"
#include "render/Shader.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace {

const char* const FONT_PATH = GAME_FONT_PATH;
const int FONT_PIXELS = 48;

const int ATLAS_WIDTH = 1024;

struct GlyphSet {
  std::map<char, Glyph> glyphs;
  GLuint atlas = 0;
  float blank[2] = {0, 0};
};

// Glyph sets by face and pixel size; their textures live for the run.
std::map<std::pair<std::string, int>, GlyphSet> s_glyphSets;

// A glyph's rows, tightly packed, kept until the atlas is laid out.
struct GlyphBitmap {
  char code = 0;
  int width = 0;
  int rows = 0;
  std::vector<unsigned char> pixels;
};

GlyphBitmap CopyBitmap(char code, const FT_Bitmap& bitmap) {
  GlyphBitmap copy;
  copy.code = code;
  copy.width = static_cast<int>(bitmap.width);
  copy.rows = static_cast<int>(bitmap.rows);
  copy.pixels.resize(static_cast<size_t>(copy.width) * copy.rows);
  for (int r = 0; r < copy.rows && bitmap.buffer; ++r)
    std::memcpy(copy.pixels.data() + static_cast<size_t>(r) * copy.width, bitmap.buffer + r * bitmap.pitch,
                static_cast<size_t>(copy.width));
  return copy;
}

// Packs the glyphs in shelves, each with a one-texel border that repeats its edge:
// linear filtering then reads at a glyph's edge what clamping its own texture would.
// Fills the glyphs' atlas coordinates and the set's blank spot; returns the texture.
GLuint BuildAtlas(const std::vector<GlyphBitmap>& bitmaps, GlyphSet& set) {
  struct Place {
    int x = 0, y = 0;
  };
  std::vector<Place> places(bitmaps.size());
  int x = 3, y = 0, shelf = 3; // a 3 x 3 blank corner first
  for (size_t i = 0; i < bitmaps.size(); ++i) {
    const int w = bitmaps[i].width + 2, h = bitmaps[i].rows + 2;
    if (x + w > ATLAS_WIDTH) {
      x = 0;
      y += shelf;
      shelf = 0;
    }
    places[i] = {x, y};
    x += w;
    shelf = std::max(shelf, h);
  }
  const int width = ATLAS_WIDTH, height = y + shelf;
  std::vector<unsigned char> atlas(static_cast<size_t>(width) * height, 0);
  auto put = [&](int px, int py, unsigned char value) { atlas[static_cast<size_t>(py) * width + px] = value; };
  for (size_t i = 0; i < bitmaps.size(); ++i) {
    const GlyphBitmap& b = bitmaps[i];
    Glyph& g = set.glyphs[b.code];
    if (b.width == 0 || b.rows == 0) {
      g.atlas[0] = g.atlas[2] = 1.5f / width;
      g.atlas[1] = g.atlas[3] = 1.5f / height;
      continue;
    }
    // Border rows and columns repeat the nearest texel of the bitmap.
    for (int r = -1; r <= b.rows; ++r)
      for (int c = -1; c <= b.width; ++c) {
        const int sr = std::clamp(r, 0, b.rows - 1), sc = std::clamp(c, 0, b.width - 1);
        put(places[i].x + 1 + c, places[i].y + 1 + r, b.pixels[static_cast<size_t>(sr) * b.width + sc]);
      }
    g.atlas[0] = static_cast<float>(places[i].x + 1) / width;
    g.atlas[1] = static_cast<float>(places[i].y + 1) / height;
    g.atlas[2] = static_cast<float>(places[i].x + 1 + b.width) / width;
    g.atlas[3] = static_cast<float>(places[i].y + 1 + b.rows) / height;
  }
  set.blank[0] = 1.5f / width;
  set.blank[1] = 1.5f / height;
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, width, height, 0, GL_RED, GL_UNSIGNED_BYTE, atlas.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glBindTexture(GL_TEXTURE_2D, 0);
  return texture;
}

GLuint UploadGlyph(const FT_Bitmap& bitmap) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  const bool padded = bitmap.pitch != static_cast<int>(bitmap.width) && bitmap.pitch > 0;
  if (padded) glPixelStorei(GL_UNPACK_ROW_LENGTH, bitmap.pitch);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, static_cast<GLsizei>(bitmap.width), static_cast<GLsizei>(bitmap.rows), 0,
               GL_RED, GL_UNSIGNED_BYTE, bitmap.buffer);
  if (padded) glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return texture;
}

// Rasterises codes 0-127 into the set; it stays empty, and one line says why, when the
// library or the face cannot be opened.
void RasteriseGlyphs(GlyphSet& set) {
  std::map<char, Glyph>& glyphs = set.glyphs;
  std::vector<GlyphBitmap> bitmaps;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library)) {
    std::printf("%s\n", ConsoleText::FREETYPE_NO_LIBRARY);
    return;
  }
  FT_Face face = nullptr;
  if (FT_New_Face(library, FONT_PATH, 0, &face)) {
    std::printf("%s %s: text is not drawn\n", ConsoleText::FREETYPE_NO_FONT, FONT_PATH);
    FT_Done_FreeType(library);
    return;
  }
  FT_Set_Pixel_Sizes(face, 0, FONT_PIXELS);
  if (FT_Load_Char(face, 'X', FT_LOAD_RENDER)) std::printf("%s\n", ConsoleText::FREETYPE_NO_GLYPH);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // glyph rows are byte-aligned; the game keeps this setting
  for (int c = 0; c < 128; ++c) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER)) {
      std::printf("%s\n", ConsoleText::FREETYPE_NO_GLYPH);
      continue;
    }
    const FT_GlyphSlot slot = face->glyph;
    Glyph g;
    g.advance = static_cast<int>(slot->advance.x);
    g.texture = UploadGlyph(slot->bitmap);
    g.width = static_cast<int>(slot->bitmap.width);
    g.rows = static_cast<int>(slot->bitmap.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    glyphs[static_cast<char>(c)] = g;
    bitmaps.push_back(CopyBitmap(static_cast<char>(c), slot->bitmap));
  }
  set.atlas = BuildAtlas(bitmaps, set);
  glBindTexture(GL_TEXTURE_2D, 0);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

bool IsOneOf(char ch, const char* set) { return ch != '\0' && std::strchr(set, ch) != nullptr; }

// Letters, digits and the few marks the cell rules shape themselves ("." and ":" and the
// highscore table's slashes) fill their cell. Other marks have no letter's shape: stretched
// over a letter's cell, "!" became a block and "'" a dot on the baseline. They keep the size
// and place they have beside a capital, drawn with the capital's texel size and centred in
// their cell, so the pen still moves as the cell rules say.
bool FillsCell(char ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  return c <= ' ' || c >= 127 || std::isalnum(c) || IsOneOf(ch, ".:\\/");
}

// The picture's corners in device units (left, bottom, right, top) for ch's cell at the pen.
void PictureBox(const std::map<char, Glyph>& glyphs, char ch, float x, float y, float w, float h, float scale,
                float box[4]) {
  box[0] = x;
  box[1] = y;
  box[2] = x + w;
  box[3] = y + h;
  if (FillsCell(ch)) return;
  const auto mark = glyphs.find(ch);
  const auto capital = glyphs.find('H');
  if (mark == glyphs.end() || capital == glyphs.end() || capital->second.width <= 0 || capital->second.rows <= 0)
    return;
  const Glyph& g = mark->second;
  const float texelX = scale * 0.03f / capital->second.width;
  const float texelY = scale * 0.04f / capital->second.rows;
  const float width = std::min(g.width * texelX, w);
  box[0] = x + (w - width) / 2;
  box[2] = box[0] + width;
  box[1] = y + (g.top - g.rows) * texelY;
  box[3] = y + g.top * texelY;
}

} // namespace

void GlyphCell(char ch, float scale, float& width, float& height) {
  float w = scale * 0.03f;
  float h = scale * 0.04f;
  if (IsOneOf(ch, ".'\"")) {
    w = w * 0.3 * scale;
    h = h * 0.3 * scale;
  }
  if (ch >= 'a' && ch <= 'z') {
    w = w * 0.8;
    h = h * 0.9;
  }
  if (IsOneOf(ch, "ilI")) w = w * 0.3 * scale;
  if (IsOneOf(ch, "acenorsuz")) {
    w = w * 0.7;
    h = h * 0.7;
  }
  if (ch == ' ') w = w * 0.7;
  if (ch == '1') w = w * 0.75 * 0.7;
  if (ch == ':') {
    w = w * 0.45 * scale * 0.75 * 0.7;
    h = h * 0.6 * scale;
  }
  width = w;
  height = h;
}

Font::Font() {
  const auto key = std::make_pair(std::string(FONT_PATH), FONT_PIXELS);
  auto found = s_glyphSets.find(key);
  if (found == s_glyphSets.end()) {
    // A face that cannot be opened is kept as an empty set: every screen makes its fonts,
    // and the failure is told once a run, not once a screen.
    GlyphSet made;
    RasteriseGlyphs(made);
    found = s_glyphSets.emplace(key, std::move(made)).first;
  }
  const GlyphSet& set = found->second;
  glyphs = set.glyphs;
  atlasTexture = set.atlas;
  blankCell[0] = set.blank[0];
  blankCell[1] = set.blank[1];
  // Text relies on blending, and the game leaves culling on after the first font.
  FlushDrawing();
  glEnable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void Font::Init() {
  NewBuffers(false);
  glBufferData(GL_ARRAY_BUFFER, 96, nullptr, GL_DYNAMIC_DRAW);

  const GLuint vertexShader = LoadShader(GL_VERTEX_SHADER, "../shaders/font.vs");
  const GLuint fragmentShader = LoadShader(GL_FRAGMENT_SHADER, "../shaders/font.fs");
  if (vertexShader && fragmentShader) {
    GLuint p = glCreateProgram();
    glAttachShader(p, vertexShader);
    glAttachShader(p, fragmentShader);
    glLinkProgram(p);
    GLint linked = GL_FALSE;
    glGetProgramiv(p, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE) {
      glUseProgram(p);
      gl->program = p;
      gl->ownProgram = p; // deleted with the last copy of this font
    } else {
      std::printf("%s\n", ConsoleText::PROGRAM_NOT_LINKED);
      glDeleteProgram(p);
    }
  }
  // Flagged now, freed with the program they stay attached to.
  if (vertexShader) glDeleteShader(vertexShader);
  if (fragmentShader) glDeleteShader(fragmentShader);

  gl->positionLocation = BindAttribute(gl->program, "vertex", 4, 16, 0);
  textColorLocation = UniformLocation(gl->program, "textColor");
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void Font::DrawText(std::string_view text, const Vec3& position, const Vec3& color, float scale) {
  if (!CanDraw()) return;
  float x = ToDeviceX(position.x);
  const float y = ToDeviceY(position.y);
  if (BatchingOn()) {
    const float rgb[3] = {color.x, color.y, color.z};
    DrawTextGathered(text, x, y, rgb, scale);
    return;
  }
  FlushDrawing();
  glUseProgram(gl->program);
  if (textColorLocation >= 0) glUniform3f(textColorLocation, color.x, color.y, color.z);
  glActiveTexture(GL_TEXTURE0);
  glBindVertexArray(gl->vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
  for (char ch : text) {
    auto found = glyphs.find(ch);
    const GLuint texture = found != glyphs.end() ? found->second.texture : 0;
    float w = 0.0f, h = 0.0f;
    GlyphCell(ch, scale, w, h);
    float b[4];
    PictureBox(glyphs, ch, x, y, w, h, scale, b);
    // The bitmap's first row is its top, so v = 0 at the top of the picture.
    const float cell[24] = {b[0], b[3], 0, 0, b[0], b[1], 0, 1, b[2], b[1], 1, 1,
                            b[0], b[3], 0, 0, b[2], b[1], 1, 1, b[2], b[3], 1, 0};
    glBindTexture(GL_TEXTURE_2D, texture);
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof cell, cell);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    CountDirectDraw(1);
    x += w;
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  glBindTexture(GL_TEXTURE_2D, 0);
}

// The same cells as above, with the glyph's place in the atlas for its coordinates.
void Font::DrawTextGathered(std::string_view text, float x, float y, const float color[3], float scale) {
  BatchState state;
  state.program = gl->program;
  state.texture = atlasTexture;
  state.layout = QuadLayout::Text;
  state.attributes[0] = gl->positionLocation;
  state.colorLocation = textColorLocation;
  state.color = color;
  const size_t CHUNK = 1024;
  for (size_t start = 0; start < text.size(); start += CHUNK) {
    const std::string_view part = text.substr(start, CHUNK);
    float* out = BeginBatchQuads(state, static_cast<int>(part.size()));
    for (char ch : part) {
      auto found = glyphs.find(ch);
      const float* a = found != glyphs.end() ? found->second.atlas : nullptr;
      const float u0 = a ? a[0] : blankCell[0], v0 = a ? a[1] : blankCell[1];
      const float u1 = a ? a[2] : blankCell[0], v1 = a ? a[3] : blankCell[1];
      float w = 0.0f, h = 0.0f;
      GlyphCell(ch, scale, w, h);
      float b[4];
      PictureBox(glyphs, ch, x, y, w, h, scale, b);
      const float cell[24] = {b[0], b[3], u0, v0, b[0], b[1], u0, v1, b[2], b[1], u1, v1,
                              b[0], b[3], u0, v0, b[2], b[1], u1, v1, b[2], b[3], u1, v0};
      std::copy(cell, cell + 24, out);
      out += 24;
      x += w;
    }
    EndBatchQuads(static_cast<int>(part.size()));
  }
}

void DeleteGlyphTextures() {
  FlushDrawing();
  for (auto& [key, set] : s_glyphSets) {
    for (auto& [ch, glyph] : set.glyphs) glDeleteTextures(1, &glyph.texture);
    if (set.atlas) glDeleteTextures(1, &set.atlas);
  }
  s_glyphSets.clear();
}

float TextWidth(const std::string& text, float scale) {
  float width = 0.0f;
  for (char c : text) {
    float w = 0.0f, h = 0.0f;
    GlyphCell(c, scale, w, h);
    width += w;
  }
  return width * g_screen.width / 2.0f; // device units to logical pixels
}
