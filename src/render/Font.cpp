#include "render/Font.h"
#include "platform/ConsoleTexts.h"
#include "render/RenderLocal.h"
#include "render/Shader.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

const char* const FONT_PATH = "../Assets/font/RobotoCondensed-Regular.ttf";
const int FONT_PIXELS = 48;

// Glyph sets by face and pixel size; their textures live for the run.
std::map<std::pair<std::string, int>, std::map<char, Glyph>> s_glyphSets;

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

// Rasterises codes 0-127; false when the library or the face could not be opened.
bool RasteriseGlyphs(std::map<char, Glyph>& glyphs) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library)) {
    std::printf("%s\n", ConsoleText::FREETYPE_NO_LIBRARY);
    return false;
  }
  FT_Face face = nullptr;
  if (FT_New_Face(library, FONT_PATH, 0, &face)) {
    std::printf("%s\n", ConsoleText::FREETYPE_NO_FONT);
    FT_Done_FreeType(library);
    return false;
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
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return true;
}

bool IsOneOf(char ch, const char* set) { return ch != '\0' && std::strchr(set, ch) != nullptr; }

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
  if (auto found = s_glyphSets.find(key); found != s_glyphSets.end()) {
    glyphs = found->second;
  } else if (RasteriseGlyphs(glyphs)) {
    s_glyphSets.emplace(key, glyphs);
  }
  // Text relies on blending, and the game leaves culling on after the first font.
  glEnable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void Font::Init() {
  NewBuffers(false);
  glBufferData(GL_ARRAY_BUFFER, 96, nullptr, GL_DYNAMIC_DRAW);

  vertexShader = LoadShader(GL_VERTEX_SHADER, "../shaders/font.vs");
  fragmentShader = LoadShader(GL_FRAGMENT_SHADER, "../shaders/font.fs");
  program = 0;
  if (vertexShader && fragmentShader) {
    GLuint p = glCreateProgram();
    glAttachShader(p, vertexShader);
    glAttachShader(p, fragmentShader);
    glLinkProgram(p);
    GLint linked = GL_FALSE;
    glGetProgramiv(p, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE) {
      glUseProgram(p);
      program = p;
      buffers->ownProgram = p; // deleted with the last copy of this font
    } else {
      std::printf("%s\n", ConsoleText::PROGRAM_NOT_LINKED);
      glDeleteProgram(p);
    }
  }
  // Flagged now, freed with the program they stay attached to.
  if (vertexShader) glDeleteShader(vertexShader);
  if (fragmentShader) glDeleteShader(fragmentShader);

  positionLocation = BindAttribute(program, "vertex", 4, 16, 0);
  textCameraLocation = UniformLocation(program, "camera");
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void Font::DrawText(std::string text, const Vec3& position, const Vec3& color, float scale) {
  if (!program || !vertexArray) return;
  float x = ToDeviceX(position.x);
  const float y = ToDeviceY(position.y);
  glUseProgram(program);
  glUniform3f(glGetUniformLocation(program, "textColor"), color.x, color.y, color.z);
  glActiveTexture(GL_TEXTURE0);
  glBindVertexArray(vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
  for (char ch : text) {
    auto found = glyphs.find(ch);
    const GLuint texture = found != glyphs.end() ? found->second.texture : 0;
    float w = 0.0f, h = 0.0f;
    GlyphCell(ch, scale, w, h);
    // The bitmap's first row is its top, so v = 0 at the top of the cell.
    const float cell[24] = {x,     y + h, 0, 0, x,     y, 0, 1, x + w, y,     1, 1,
                            x,     y + h, 0, 0, x + w, y, 1, 1, x + w, y + h, 1, 0};
    glBindTexture(GL_TEXTURE_2D, texture);
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof cell, cell);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    x += w;
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void DeleteGlyphTextures() {
  for (auto& [key, set] : s_glyphSets)
    for (auto& [ch, glyph] : set) glDeleteTextures(1, &glyph.texture);
  s_glyphSets.clear();
}
