#pragma once
#include <string>

// The game window with its OpenGL context, and the platform around it.
// Failures of the window or the context show a message box (and print its text);
// the caller decides whether the game can go on.

struct PlatformWindow;    // an open window (opaque)
struct SDL_Window;
using GLContextHandle = void*;

// ---- platform --------------------------------------------------------------
bool StartPlatform();     // video and game controllers; false when no window can be made
void StopPlatform();      // closes everything SDL opened
void ShowMessageBox(const char* text, const char* caption); // modal box, also printed as one line
void SetMessageBoxesShown(bool shown); // tests: print only, never block on a dialog

// ---- window ------------------------------------------------------------------
// A fixed-size window with a double-buffered RGB context (depth 16, stencil 8, GL 3.3
// compatibility profile requested); null when it cannot be made.
PlatformWindow* OpenGameWindow(const std::string& caption, int width, int height, bool shown);
void CloseGameWindow(PlatformWindow* window);
void SetWindowCaption(PlatformWindow* window, const std::string& caption);
// The icon the desktop shows for the window, from a PNG file; a missing or unreadable
// file prints one line and leaves the desktop's default. False then.
bool SetWindowIcon(PlatformWindow* window, const std::string& pngPath);
void RaiseGameWindow(PlatformWindow* window);          // to the front, with the keyboard focus
void ShowFullscreen(PlatformWindow* window);           // covers the display, no mode switch
void ShowWindowed(PlatformWindow* window, int clientWidth, int clientHeight); // framed, resizable, at the top-left corner
void GetClientSize(PlatformWindow* window, int& width, int& height); // pixels; 0 x 0 without a window
void GetDisplaySize(int& width, int& height);          // the primary display's desktop size
bool WindowHasInputFocus(PlatformWindow* window);
PlatformWindow* CurrentGameWindow();                   // the last window opened, null once closed
SDL_Window* SdlWindowOf(PlatformWindow* window);       // for tests that push events to it

// ---- rendering context -----------------------------------------------------------
GLContextHandle CreateGLContext(PlatformWindow* window);  // null on failure
bool ActivateGLContext(PlatformWindow* window, GLContextHandle context);
void ReleaseGLContext(GLContextHandle context);            // makes none current, then deletes it
// Changes whenever a context is made or deleted: GL names kept from before belong to
// a context that may be gone.
unsigned GLContextGeneration();
bool LoadGLEntryPoints();                                  // GLEW with experimental entry points
void PresentFrame(PlatformWindow* window);                 // swaps; holds for vsync where the driver can
// A step run right before every PresentFrame swap (the renderer sends its gathered
// draws there); null for none.
void SetBeforePresent(void (*step)());
// Swap interval for the current context: 1 waits for each vblank, n for every n-th,
// 0 never waits. False where the driver cannot do it.
bool SetSwapInterval(int interval);
// The refresh rate of the display the window is on, in Hz; 0 when unknown.
int DisplayRefreshRate(PlatformWindow* window);
