#pragma once
// Each image file is decoded and uploaded once per run; every Texture that shows it
// shares the one GL texture (textures are never deleted while the game runs).

struct CachedImage {
  unsigned int texture = 0; // GL name
  int width = 0;            // pixels
  int height = 0;
  bool hasAlpha = false;    // uploaded as RGBA
};

enum class ImageKind { Png, Bmp };
struct DecodedImage;

// A GL texture of the decoded pixels, sampled nearest and clamped, for a picture made in
// memory (the cache's own are made this way); 0, with one line, when the GPU cannot hold it.
unsigned int UploadImage(const DecodedImage& image);
// A clamped, nearest-sampled 2D texture of width x height from `pixels` (null: contents left
// undefined, to be drawn into); nothing stays bound.
unsigned int MakeNearestTexture(int internalFormat, int width, int height, unsigned int format, const void* pixels);

// The image of path, loading it on first use. False (and nothing cached) when the
// loader failed; the loader has printed its line.
bool AcquireImage(const char* path, ImageKind kind, CachedImage& image);

// Number of images held; for tests and the benchmark.
int CachedImageCount();

// Deletes every cached image and glyph texture. Only for when nothing will draw
// with them again: exit, or before a GL context is replaced.
void DeleteCachedTextures();
