#pragma once
// A GL context for the render tests and benchmarks: an SDL window of the logical
// screen's size (1264 x 720), GL 3.3 compatibility, double-buffered RGBA, depth 16,
// stencil 8, with the GL loader initialised. One per process.
#include <cstdint>
#include <string>

struct Rgb {
  int r = 0, g = 0, b = 0;
};

class GlTestContext {
public:
  // Creates the window and context on first call; later calls return the same one.
  static GlTestContext& Get();

  // Clears to black with blending set up as the game's loaders leave it.
  void BeginFrame();
  // The back buffer's pixel at logical (x, y), origin top-left.
  Rgb Pixel(int x, int y);
  // Reads the whole back buffer once; Pixel then answers from the copy until next read.
  void ReadFrame();
  Rgb FramePixel(int x, int y) const;
  // The first GL error since the last call, 0 if none.
  unsigned int Error();
  void SetSwapInterval(int interval);
  void Swap();

  int width = 1264;
  int height = 720;
  bool ok = false;

private:
  GlTestContext();
  void* window = nullptr;
  void* context = nullptr;
  unsigned char* frame = nullptr;
};

// Squared RGB distance within tolerance (llvmpipe differs by a few levels between CPUs).
bool Near(const Rgb& a, const Rgb& b, int tolerance = 300);
std::string ToString(const Rgb& c);
