#include "core/Window.h"
#include "core/Controls.h"
#include "platform/ConsoleTexts.h"
#include "platform/TweakBar.h"
#include "core/GameState.h"
#include "core/Input.h"
#include "core/Subsystems.h"
#include "core/Viewport.h"
#include <GL/glew.h>
#include <cstdio>
#include <unistd.h>

ScreenState g_screen;

// The windowed mode's client area; the logical screen is stretched over it.
static constexpr int WINDOWED_WIDTH = 1280;
static constexpr int WINDOWED_HEIGHT = 720;

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

  g_screen.fullscreen = false;
  platformStarted = StartPlatform();
  bool platform = platformStarted;
  if (platform) GetDisplaySize(screenWidth, screenHeight);
  ClampWindowSize(width, height, screenWidth, screenHeight);
  showCommand = showCommand_;
  if (console != 0) OpenConsole();

  // The client area starts at the logical size; the frame the - 16 and - 40 leave
  // room for is the platform's business.
  if (platform) handle = OpenGameWindow(title, width - 16, height - 40, showCommand != 0);
  g_screen.window = handle;
  deviceContext = handle;

  if (handle) {
    SetWindowIcon(handle, WINDOW_ICON_PATH);
    glContext = CreateGLContext(handle);
    if (glContext) contextActive = ActivateGLContext(handle, glContext);
    if (contextActive) glLoaded = LoadGLEntryPoints();
    if (showCommand != 0) RaiseGameWindow(handle);
  }

  g_screen.height = g_screen.displayHeight = height - 40;
  g_screen.width = g_screen.displayWidth = width - 16;
  ResetKeys();
}

void Window::SetTitle(const std::string& newTitle) {
  title = newTitle;
  SetWindowCaption(handle, title);
}

void Window::ToggleDisplayMode() {
  if (!handle) return;
  if (!g_screen.fullscreen) {
    g_screen.fullscreen = true;
    ShowFullscreen(handle);
    ApplyViewport(screenWidth, screenHeight);
    g_screen.displayWidth = screenWidth;
    g_screen.displayHeight = screenHeight;
    if (subsystems) subsystems->RebuildTweakBars();
    std::printf("%s\n", ConsoleText::FULL_SCREEN_ON);
  } else {
    g_screen.fullscreen = false;
    ShowWindowed(handle, WINDOWED_WIDTH, WINDOWED_HEIGHT);
    DispatchOneMessage();
    g_screen.displayWidth = WINDOWED_WIDTH;
    g_screen.displayHeight = WINDOWED_HEIGHT;
    ApplyViewport(WINDOWED_WIDTH, WINDOWED_HEIGHT);
    if (subsystems) subsystems->RebuildTweakBars();
    std::printf("%s\n", ConsoleText::FULL_SCREEN_OFF);
  }
}

void Window::OnResize() {
  // The platform reports the client area, in the pixels the mouse arrives in: it is
  // both the mouse's scale and the viewport.
  int width = 0, height = 0;
  GetClientSize(handle, width, height);
  g_screen.windowWidth = width;
  g_screen.windowHeight = height;
  ApplyViewport(width, height);
}

void Window::ApplyViewport(int windowWidth, int windowHeight) {
  picture = CurrentPictureArea(windowWidth, windowHeight);
  drawnWidth = windowWidth;
  drawnHeight = windowHeight;
  // GL counts rows from the bottom.
  if (contextActive) glViewport(picture.x, windowHeight - picture.y - picture.height, picture.width, picture.height);
  // The tweak bars are part of the picture: they sit on it and are pointed at through it.
  TwPictureArea(picture.x, picture.y, picture.width, picture.height);
}

void Window::BeginPicture() {
  if (!contextActive) return;
  letterboxed = picture.width < drawnWidth || picture.height < drawnHeight;
  if (!letterboxed) return;
  // The bars are black whatever colour the screen clears its own picture with: clear
  // the whole window, then keep every clear and draw of the frame inside the picture.
  GLfloat previous[4] = {0, 0, 0, 0};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, previous);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glClearColor(previous[0], previous[1], previous[2], previous[3]);
  glEnable(GL_SCISSOR_TEST);
  glScissor(picture.x, drawnHeight - picture.y - picture.height, picture.width, picture.height);
}

void Window::EndPicture() {
  if (contextActive && letterboxed) glDisable(GL_SCISSOR_TEST);
  letterboxed = false;
}

bool Window::WindowProcedure(const PlatformMessage& message) {
  if (subsystems && subsystems->TweakBarsTakeMessage(message)) return true;
  switch (message.message) {
  case MSG_DESTROY:
    // The window itself stays until Shutdown, so the rest of this frame can still use it.
    if (subsystems) subsystems->SilenceEffects();
    g_loop.nextState = STATE_QUIT;
    return true;
  case MSG_SIZE:
    OnResize();
    return true;
  case MSG_KEY_DOWN:
    // The controls page takes the next press whole; its release reaches the game as any.
    if (g_controls.listening) {
      g_controls.heard = static_cast<int>(message.wParam);
      return true;
    }
    [[fallthrough]];
  case MSG_KEY_UP:
    if (int code = PlayKeyCode(static_cast<int>(message.wParam), message.message == MSG_KEY_DOWN))
      return HandleInputMessage(message.message, static_cast<uintptr_t>(code), message.lParam);
    return true;
  default:
    return HandleInputMessage(message.message, message.wParam, message.lParam);
  }
}

bool Window::DispatchOneMessage() {
  PlatformMessage message;
  if (!TakeOneMessage(message)) return false;
  if (message.message == MSG_QUIT)
    g_loop.nextState = STATE_QUIT;
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
  g_screen.window = nullptr;
  if (platformStarted) StopPlatform();
  platformStarted = false;
}
