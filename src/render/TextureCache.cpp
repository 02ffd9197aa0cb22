#include "render/TextureCache.h"
#include "platform/ConsoleTexts.h"
#include "render/DrawBatch.h"
#include "render/ImageFile.h"
#include "render/RenderLocal.h"

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "render/Font.h"

namespace {

std::map<std::pair<std::string, ImageKind>, CachedImage> s_images;
// Files that could not be decoded or uploaded. Levels make their textures again on every
// load and some screens on every frame: without this a missing picture would be read and
// reported again each time, and its line would drown the log.
std::set<std::pair<std::string, ImageKind>> s_failed;

} // namespace

// Uploads tight rows; restores the unpack alignment others rely on.
unsigned int UploadImage(const DecodedImage& image) {
  GLint maxSide = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
  if (image.width > maxSide || image.height > maxSide) {
    std::printf("IMAGE TOO LARGE FOR THE GPU: %d x %d\n", image.width, image.height);
    return 0;
  }
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

  const GLenum format = image.channels == 4 ? GL_RGBA : GL_RGB;
  const GLuint texture =
      MakeNearestTexture(static_cast<int>(format), image.width, image.height, format, image.pixels.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  return texture;
}

unsigned int MakeNearestTexture(int internalFormat, int width, int height, unsigned int format, const void* pixels) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
  glBindTexture(GL_TEXTURE_2D, 0);
  return texture;
}

bool AcquireImage(const char* path, ImageKind kind, CachedImage& image) {
  if (!path) { // no file to open; a string made from null would not survive
    std::printf("%s\n", ConsoleText::FILE_CANNOT_OPEN);
    return false;
  }
  auto key = std::make_pair(std::string(path), kind);
  if (auto found = s_images.find(key); found != s_images.end()) {
    image = found->second;
    return true;
  }
  if (s_failed.count(key)) return false; // reported when it first failed
  DecodedImage decoded;
  const bool ok = kind == ImageKind::Png ? DecodePng(path, decoded) : DecodeBmp(path, decoded);
  GLuint texture = ok ? UploadImage(decoded) : 0;
  if (!texture) {
    s_failed.insert(std::move(key));
    return false;
  }
  image = CachedImage{texture, decoded.width, decoded.height, decoded.channels == 4};
  s_images.emplace(std::move(key), image);
  return true;
}

int CachedImageCount() { return static_cast<int>(s_images.size()); }

void DeleteCachedTextures() {
  FlushDrawing(); // gathered draws may still name these textures
  for (auto& [key, image] : s_images) glDeleteTextures(1, &image.texture);
  s_images.clear();
  s_failed.clear(); // a new run reads the files again
  DeleteGlyphTextures();
}
