#include "platform/Display.h"
#include "platform/ConsoleTexts.h"
#include "platform/Pad.h"
#include <GL/glew.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <png.h>
#include <vector>

struct PlatformWindow {
  SDL_Window* sdl = nullptr;
};

// ============================================================================
// Platform
// ============================================================================

static bool s_messageBoxesShown = true;
static PlatformWindow* s_gameWindow = nullptr; // the focus query asks about this one

// Pads are polled, never read from the queue: one queued event per frame would let a
// stick's stream of motion events push every key press frames behind.
static void IgnorePadEvents() {
  for (Uint32 type : {SDL_JOYAXISMOTION, SDL_JOYBALLMOTION, SDL_JOYHATMOTION, SDL_JOYBUTTONDOWN,
                      SDL_JOYBUTTONUP, SDL_JOYDEVICEADDED, SDL_JOYDEVICEREMOVED, SDL_JOYBATTERYUPDATED,
                      SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP,
                      SDL_CONTROLLERDEVICEADDED, SDL_CONTROLLERDEVICEREMOVED, SDL_CONTROLLERDEVICEREMAPPED,
                      SDL_CONTROLLERTOUCHPADDOWN, SDL_CONTROLLERTOUCHPADMOTION, SDL_CONTROLLERTOUCHPADUP,
                      SDL_CONTROLLERSENSORUPDATE})
    SDL_EventState(type, SDL_IGNORE);
}

// With an X display named, SDL would quietly fall back to a window-less driver when the
// X connection fails for a moment (a server busy starting or resetting), and the game would
// run with nothing to show. Insist on X there and give the server a few chances.
static bool StartVideo() {
  const char* display = std::getenv("DISPLAY");
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  const bool insistOnX = display && *display && !(chosen && *chosen);
  if (insistOnX) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (attempt > 0) SDL_Delay(200);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0) return true;
  }
  if (!insistOnX) return false;
  // No X after all: whatever else SDL can drive (Wayland, say) is better than nothing.
  SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
  return SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0;
}

bool StartPlatform() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  // A full-screen game must not vanish when another window takes the focus, and the
  // pad is read whether or not the game has the focus.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (!StartVideo()) {
    std::printf("Error: SDL video cannot start: %s\n", SDL_GetError());
    ShowMessageBox("Call to RegisterClassEx failed!", "Win32 Guided Tour");
    return false;
  }
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    std::printf("Error: game controllers unavailable: %s\n", SDL_GetError());
  IgnorePadEvents();
  SDL_FlushEvents(SDL_JOYAXISMOTION, SDL_CONTROLLERSENSORUPDATE);
  // Typed text stays on (SDL's own default): the editor's level name and the tweak bars'
  // fields are typed as characters, which only text input delivers from a real keyboard.
  SDL_StartTextInput();
  return true;
}

void StopPlatform() {
  ClosePads();
  s_gameWindow = nullptr;
  SDL_Quit();
}

void SetMessageBoxesShown(bool shown) { s_messageBoxesShown = shown; }

void ShowMessageBox(const char* text, const char* caption) {
  std::printf("%s: %s\n", caption, text);
  std::fflush(stdout);
  if (s_messageBoxesShown)
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text,
                             s_gameWindow ? s_gameWindow->sdl : nullptr);
}

// ============================================================================
// Window
// ============================================================================

static void RequestContextAttributes() {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BUFFER_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
}

PlatformWindow* OpenGameWindow(const std::string& caption, int width, int height, bool shown) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    ShowMessageBox(ConsoleText::CREATE_WINDOW_FAILED, ConsoleText::CREATE_WINDOW_CAPTION);
    return nullptr;
  }
  Uint32 flags = SDL_WINDOW_OPENGL | (shown ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
  RequestContextAttributes();
  SDL_Window* sdl = SDL_CreateWindow(caption.c_str(), 0, 0, width, height, flags);
  if (!sdl) {
    // The display offers no configuration with the buffers asked for: take what it has.
    std::printf("Error: %s\n", SDL_GetError());
    ShowMessageBox("Can't find an appropriate pixel format", "Error");
    SDL_GL_ResetAttributes();
    sdl = SDL_CreateWindow(caption.c_str(), 0, 0, width, height, flags);
  }
  if (!sdl) {
    std::printf("Error: %s\n", SDL_GetError());
    ShowMessageBox(ConsoleText::CREATE_WINDOW_FAILED, ConsoleText::CREATE_WINDOW_CAPTION);
    return nullptr;
  }
  auto* window = new PlatformWindow{sdl};
  s_gameWindow = window;
  return window;
}

void CloseGameWindow(PlatformWindow* window) {
  if (!window) return;
  if (s_gameWindow == window) s_gameWindow = nullptr;
  SDL_DestroyWindow(window->sdl);
  delete window;
}

void SetWindowCaption(PlatformWindow* window, const std::string& caption) {
  if (window) SDL_SetWindowTitle(window->sdl, caption.c_str());
}

bool SetWindowIcon(PlatformWindow* window, const std::string& pngPath) {
  if (!window) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<unsigned char> pixels;
  bool read = png_image_begin_read_from_file(&image, pngPath.c_str()) != 0;
  // A desktop icon is small; anything beyond this is not one of ours.
  if (read && (image.width == 0 || image.height == 0 || image.width > 1024 || image.height > 1024)) {
    png_image_free(&image);
    read = false;
  }
  if (read) {
    image.format = PNG_FORMAT_RGBA;
    pixels.resize(PNG_IMAGE_SIZE(image));
    read = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
  }
  if (!read) {
    std::printf("Error: the window icon %s cannot be read, the desktop shows its own\n", pngPath.c_str());
    png_image_free(&image);
    return false;
  }
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), static_cast<int>(image.width),
                                                            static_cast<int>(image.height), 32,
                                                            static_cast<int>(image.width * 4), SDL_PIXELFORMAT_RGBA32);
  if (!surface) return false;
  SDL_SetWindowIcon(window->sdl, surface); // SDL keeps its own copy
  SDL_FreeSurface(surface);
  return true;
}

void RaiseGameWindow(PlatformWindow* window) {
  if (window) SDL_RaiseWindow(window->sdl);
}

void ShowFullscreen(PlatformWindow* window) {
  if (!window) return;
  // Desktop full screen: real mode switches fail on many X servers.
  if (SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
    std::printf("Error: full screen failed: %s\n", SDL_GetError());
}

void ShowWindowed(PlatformWindow* window, int clientWidth, int clientHeight) {
  if (!window) return;
  SDL_SetWindowFullscreen(window->sdl, 0);
  SDL_SetWindowBordered(window->sdl, SDL_TRUE);
  SDL_SetWindowResizable(window->sdl, SDL_TRUE);
  SDL_SetWindowSize(window->sdl, clientWidth, clientHeight);
  // The frame's top-left corner goes to the display's; without a window manager there is no frame.
  int top = 0, left = 0;
  if (SDL_GetWindowBordersSize(window->sdl, &top, &left, nullptr, nullptr) != 0) top = left = 0;
  SDL_SetWindowPosition(window->sdl, left, top);
}

void GetClientSize(PlatformWindow* window, int& width, int& height) {
  width = height = 0;
  if (window) SDL_GetWindowSize(window->sdl, &width, &height);
}

void GetDisplaySize(int& width, int& height) {
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    width = mode.w;
    height = mode.h;
  } else {
    width = height = 0;
  }
}

bool WindowHasInputFocus(PlatformWindow* window) {
  return window && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

SDL_Window* SdlWindowOf(PlatformWindow* window) { return window ? window->sdl : nullptr; }

PlatformWindow* CurrentGameWindow() { return s_gameWindow; }

// ============================================================================
// Rendering context
// ============================================================================

static unsigned s_contextGeneration = 0;

unsigned GLContextGeneration() { return s_contextGeneration; }

GLContextHandle CreateGLContext(PlatformWindow* window) {
  ++s_contextGeneration;
  SDL_GLContext context = window ? SDL_GL_CreateContext(window->sdl) : nullptr;
  if (!context) {
    if (window) std::printf("Error: %s\n", SDL_GetError());
    ShowMessageBox("Unable to create OpenGL rendering context", "Error");
  }
  return context;
}

bool ActivateGLContext(PlatformWindow* window, GLContextHandle context) {
  if (!window || !context || SDL_GL_MakeCurrent(window->sdl, context) != 0) {
    ShowMessageBox("Unable to activate OpenGL rendering context", "ERROR");
    return false;
  }
  // Vsync until the game loop's pacing chooses by the display's refresh rate.
  SDL_GL_SetSwapInterval(1);
  return true;
}

void ReleaseGLContext(GLContextHandle context) {
  if (!context) return;
  ++s_contextGeneration;
  SDL_GL_MakeCurrent(nullptr, nullptr);
  SDL_GL_DeleteContext(context);
}

bool LoadGLEntryPoints() {
  glewExperimental = GL_TRUE;
  GLenum result = glewInit();
  // glewInit can leave a spurious error behind on some contexts; later checks start clean.
  glGetError();
  if (result != GLEW_OK) {
    std::printf("Error: GLEW cannot load the OpenGL entry points: %s\n",
                reinterpret_cast<const char*>(glewGetErrorString(result)));
    return false;
  }
  return true;
}

static void (*s_beforePresent)() = nullptr;

void SetBeforePresent(void (*step)()) { s_beforePresent = step; }

void PresentFrame(PlatformWindow* window) {
  if (!window) return;
  if (s_beforePresent) s_beforePresent();
  SDL_GL_SwapWindow(window->sdl);
}

bool SetSwapInterval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0; }

int DisplayRefreshRate(PlatformWindow* window) {
  const int display = window ? SDL_GetWindowDisplayIndex(window->sdl) : 0;
  SDL_DisplayMode mode{};
  if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) != 0) return 0;
  return mode.refresh_rate;
}
