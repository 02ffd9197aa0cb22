#include "core/Window.h"
#include "platform/ConsoleTexts.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/Subsystems.h"
#include <GL/glew.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

int g_screenWidth = 1264;
int g_screenHeight = 720;
int g_displayWidth = 1264;
int g_displayHeight = 720;
int g_windowWidth = 1264;
int g_windowHeight = 720;
bool g_fullscreen = false;
PlatformWindow* g_hwnd = nullptr;

// The windowed mode's client area; the logical screen is stretched over it.
static constexpr int WINDOWED_WIDTH = 1280;
static constexpr int WINDOWED_HEIGHT = 720;

// ============================================================================
// Windows.txt
// ============================================================================

static bool ParseWholeInt(const std::string& field, int& value) {
  std::istringstream in(field);
  long long v = 0;
  if (!(in >> v) || !in.eof() || v < -2147483647LL || v > 2147483647LL) return false;
  value = static_cast<int>(v);
  return true;
}

// Three integers, and a window big enough to leave a logical screen.
static bool ParseSettingsLine(const std::string& line, int& width, int& height, int& console) {
  std::istringstream in(line);
  std::string fields[3];
  for (std::string& f : fields)
    if (!(in >> f)) return false;
  int w = 0, h = 0, s = 0;
  if (!ParseWholeInt(fields[0], w) || !ParseWholeInt(fields[1], h) || !ParseWholeInt(fields[2], s)) return false;
  if (w <= 16 || h <= 40 || w > 16384 || h > 16384) return false;
  width = w;
  height = h;
  console = s;
  return true;
}

bool ReadWindowSettings(int& width, int& height, int& console, const std::string& path) {
  width = 1280;
  height = 760;
  console = 0;
  std::ifstream file(path);
  if (!file) {
    std::printf("Error: %s cannot be opened, the window is 1280 760 0\n", path.c_str());
    return false;
  }
  int w = 0, h = 0, s = 0, lineNumber = 0;
  bool any = false;
  std::string line;
  while (std::getline(file, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    if (!ParseSettingsLine(line, w, h, s)) {
      std::printf("Error: %s line %d does not hold a window width, height and console switch, "
                  "the window is 1280 760 0\n", path.c_str(), lineNumber);
      return false;
    }
    any = true;
  }
  if (!any) {
    std::printf("Error: %s holds no window size, the window is 1280 760 0\n", path.c_str());
    return false;
  }
  width = w;
  height = h;
  console = s;
  return true;
}

// ============================================================================
// Window
// ============================================================================

// The terminal the game was started from is its console.
static void OpenConsole() {
  if (isatty(STDOUT_FILENO)) std::printf("\033]0;Simulation...\007");
  std::printf("%s\n", ConsoleText::SIMULATION_STARTING);
  std::fflush(stdout);
}

Window::Window(int showCommand_) {
  int width = 0, height = 0, console = 0;
  ReadWindowSettings(width, height, console);

  g_fullscreen = false;
  platformStarted = StartPlatform();
  bool platform = platformStarted;
  if (platform) GetDisplaySize(screenWidth, screenHeight);
  showCommand = showCommand_;
  if (console != 0) OpenConsole();

  // The client area starts at the logical size; the frame the - 16 and - 40 leave
  // room for is the platform's business.
  if (platform) handle = OpenGameWindow(title, width - 16, height - 40, showCommand != 0);
  g_hwnd = handle;
  deviceContext = handle;

  if (handle) {
    glContext = CreateGLContext(handle);
    if (glContext) contextActive = ActivateGLContext(handle, glContext);
    if (contextActive) glLoaded = LoadGLEntryPoints();
    if (showCommand != 0) RaiseGameWindow(handle);
  }

  g_screenHeight = g_displayHeight = height - 40;
  g_screenWidth = g_displayWidth = width - 16;
  ResetKeys();
}

void Window::SetTitle(const std::string& newTitle) {
  title = newTitle;
  SetWindowCaption(handle, title);
}

void Window::ToggleDisplayMode() {
  if (!handle) return;
  if (!g_fullscreen) {
    g_fullscreen = true;
    ShowFullscreen(handle);
    glViewport(0, 0, screenWidth, screenHeight);
    g_displayWidth = screenWidth;
    g_displayHeight = screenHeight;
    if (subsystems) subsystems->RebuildTweakBars();
    std::printf("%s\n", ConsoleText::FULL_SCREEN_ON);
  } else {
    g_fullscreen = false;
    ShowWindowed(handle, WINDOWED_WIDTH, WINDOWED_HEIGHT);
    DispatchOneMessage();
    g_displayWidth = WINDOWED_WIDTH;
    g_displayHeight = WINDOWED_HEIGHT;
    glViewport(0, 0, WINDOWED_WIDTH, WINDOWED_HEIGHT);
    if (subsystems) subsystems->RebuildTweakBars();
    std::printf("%s\n", ConsoleText::FULL_SCREEN_OFF);
  }
}

void Window::OnResize() {
  // The platform reports the client area, in the pixels the mouse arrives in: it is
  // both the mouse's scale and the viewport.
  int width = 0, height = 0;
  GetClientSize(handle, width, height);
  g_windowWidth = width;
  g_windowHeight = height;
  if (contextActive) glViewport(0, 0, width, height);
}

bool Window::WindowProcedure(const PlatformMessage& message) {
  if (subsystems && subsystems->TweakBarsTakeMessage(message)) return true;
  switch (message.message) {
  case MSG_DESTROY:
    // The window itself stays until Shutdown, so the rest of this frame can still use it.
    if (subsystems) subsystems->SilenceEffects();
    g_nextState = STATE_QUIT;
    return true;
  case MSG_SIZE:
    OnResize();
    return true;
  default:
    return HandleInputMessage(message.message, message.wParam, message.lParam);
  }
}

bool Window::DispatchOneMessage() {
  PlatformMessage message;
  if (!TakeOneMessage(message)) return false;
  if (message.message == MSG_QUIT)
    g_nextState = STATE_QUIT;
  else
    WindowProcedure(message);
  return true;
}

void Window::Present() {
  if (!handle) return;
  if (contextActive) glFlush();
  PresentFrame(deviceContext);
}

void Window::Shutdown() {
  ReleaseGLContext(glContext);
  glContext = nullptr;
  contextActive = false;
  CloseGameWindow(handle);
  handle = deviceContext = nullptr;
  g_hwnd = nullptr;
  if (platformStarted) StopPlatform();
  platformStarted = false;
}
