#pragma once
#include "core/System.h"
#include "core/Viewport.h"
#include "core/WindowSettings.h"
#include "platform/Display.h"
#include "platform/Messages.h"
#include <string>

class Subsystems;

// The game window, its OpenGL context and the console switch. It reads Windows.txt,
// publishes the logical screen size, switches between full screen and a 1280 x 720
// window, and carries the window procedure.

// The window's icon, drawn from our own art.
inline constexpr const char* WINDOW_ICON_PATH = "../Assets/image/icon/kvo.png";

class Window : public System {
public:
  explicit Window(int showCommand = 1); // opens the window windowed; the loop then enters full screen

  void ToggleDisplayMode(); // full screen <-> windowed, by g_screen.fullscreen, which it flips
  void Shutdown();          // context released, window destroyed; nothing touches it afterwards
  void SetTitle(const std::string& newTitle);
  void OnResize();          // window size and viewport from the client area
  // Around a frame's drawing: where the picture does not fill the window (a letterboxed
  // full screen), the bars are cleared black and the drawing is kept off them.
  void BeginPicture();
  void EndPicture();

  // Every message goes through here: tweak bars first, then destruction, size, input.
  // True when something handled it.
  bool WindowProcedure(const PlatformMessage& message);
  // Takes one queued message, if any, and handles it (a quit message asks the loop to end).
  bool DispatchOneMessage();
  void Present();           // flush and swap
  bool IsUsable() const { return handle && glContext && contextActive && glLoaded; }

  PlatformWindow* deviceContext = nullptr; // frames are presented through the window itself
  GLContextHandle glContext = nullptr;
  int showCommand = 1;                     // 0 keeps the window hidden
  Subsystems* subsystems = nullptr;        // the loop's, for the tweak bars and the effects; none in bare tests
  PlatformWindow* handle = nullptr;
  std::string title;
  int screenWidth = 0;                     // primary display, pixels
  int screenHeight = 0;

private:
  void ApplyViewport(int windowWidth, int windowHeight); // the picture's area of a window this size

  PictureArea picture;     // where the logical screen is drawn, window pixels
  int drawnWidth = 0;      // the window size it was fitted to
  int drawnHeight = 0;
  bool letterboxed = false; // this frame's drawing is kept inside the picture
  bool platformStarted = false;
  bool contextActive = false;
  bool glLoaded = false; // the GL entry points beyond 1.1 exist
};

// ---- shared by several modules -------------------------------------------
// The screen the game draws on and the window that shows it.
struct ScreenState {
  // Logical screen: every graphic, the mouse and the HUD use these pixels (origin
  // top-left, y down). Set once from Windows.txt (width - 16, height - 40).
  int width = 1264;
  int height = 720;
  int displayWidth = 1264;          // viewport size the display-mode toggle last applied
  int displayHeight = 720;
  int windowWidth = 1264;           // client size at the last resize, pixels; scales the mouse
  int windowHeight = 720;
  bool fullscreen = false;
  PlatformWindow* window = nullptr; // the game window, for code without a Window at hand

  void Reset() { *this = ScreenState(); }
};
extern ScreenState g_screen;
