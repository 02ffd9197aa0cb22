#include "support/GlTestContext.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>
#include "platform/Display.h"
#include "render/DrawBatch.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

GlTestContext& GlTestContext::Get() {
  static GlTestContext instance;
  return instance;
}

namespace {

// One try at a window with a current context and the GL loader; false (the reason
// printed, nothing left behind) if any step fails.
bool OpenContext(int width, int height, SDL_Window*& window, SDL_GLContext& context) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  window = SDL_CreateWindow("render test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
  if (!window) {
    std::printf("SDL_CreateWindow failed: %s\n", SDL_GetError());
    return false;
  }
  context = SDL_GL_CreateContext(window);
  if (!context) {
    std::printf("SDL_GL_CreateContext failed: %s\n", SDL_GetError());
    SDL_DestroyWindow(window);
    window = nullptr;
    return false;
  }
  // The loader asks the current context for its version: make sure it is this one.
  if (SDL_GL_MakeCurrent(window, context) != 0) std::printf("SDL_GL_MakeCurrent failed: %s\n", SDL_GetError());
  glewExperimental = GL_TRUE;
  const GLenum glew = glewInit();
  if (glew == GLEW_OK) return true;
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  std::printf("glewInit failed: %s (GL version %s)\n", reinterpret_cast<const char*>(glewGetErrorString(glew)),
              version ? version : "none");
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  context = nullptr;
  window = nullptr;
  return false;
}

} // namespace

GlTestContext::GlTestContext() {
  // When the X connection fails for a moment SDL would fall back to a window-less driver
  // whose contexts GLEW cannot load: stay on X and let the game's own start-up retry it.
  if (!StartPlatform()) {
    std::printf("SDL_Init failed: %s\n", SDL_GetError());
    return;
  }
  // Many test processes open contexts on one X server at once, and a context has
  // been seen to come up unusable once in a long parallel run: try again before
  // failing every case of the binary for it.
  SDL_Window* w = nullptr;
  SDL_GLContext c = nullptr;
  bool opened = false;
  for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
    if (attempt > 0) SDL_Delay(250);
    opened = OpenContext(width, height, w, c);
  }
  if (!opened) return;
  window = w;
  context = c;
  glGetError(); // glewInit may leave a spurious GL_INVALID_ENUM
  glViewport(0, 0, width, height);
  frame = new unsigned char[static_cast<size_t>(width) * height * 3];
  ok = true;
}

// The renderer gathers draws until something needs them on screen: every step here
// that clears, reads or swaps the frame sends them first, as the game's swap does.
void GlTestContext::BeginFrame() {
  FlushDrawing();
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

Rgb GlTestContext::Pixel(int x, int y) {
  unsigned char p[3] = {};
  FlushDrawing();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(x, height - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2]};
}

void GlTestContext::ReadFrame() {
  FlushDrawing();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, frame);
}

Rgb GlTestContext::FramePixel(int x, int y) const {
  const unsigned char* p = frame + (static_cast<size_t>(height - 1 - y) * width + x) * 3;
  return {p[0], p[1], p[2]};
}

unsigned int GlTestContext::Error() {
  FlushDrawing();
  GLenum first = glGetError();
  while (glGetError() != GL_NO_ERROR) {
  }
  return first;
}

void GlTestContext::SetSwapInterval(int interval) { SDL_GL_SetSwapInterval(interval); }

void GlTestContext::Swap() {
  FlushDrawing();
  SDL_GL_SwapWindow(static_cast<SDL_Window*>(window));
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
  const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return dr * dr + dg * dg + db * db <= tolerance;
}

std::string ToString(const Rgb& c) {
  return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}
