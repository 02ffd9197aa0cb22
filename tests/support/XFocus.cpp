#include "support/XFocus.h"
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <cstring>
#include <initializer_list>

void* OpenXConnection() { return XOpenDisplay(nullptr); }

void CloseXConnection(void* connection) {
  if (connection) XCloseDisplay(static_cast<Display*>(connection));
}

void DropXFocus(void* connection) {
  if (!connection) return;
  auto* display = static_cast<Display*>(connection);
  XSetInputFocus(display, None, RevertToNone, CurrentTime);
  XFlush(display);
}

bool TypeOnXKeyboard(void* sdlWindow, const char* const* keys, int count) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(static_cast<SDL_Window*>(sdlWindow), &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  for (int i = 0; i < count; ++i)
    for (int type : {KeyPress, KeyRelease}) {
      XEvent e;
      std::memset(&e, 0, sizeof e);
      e.xkey.type = type;
      e.xkey.display = display;
      e.xkey.window = info.info.x11.window;
      e.xkey.root = DefaultRootWindow(display);
      e.xkey.keycode = XKeysymToKeycode(display, XStringToKeysym(keys[i]));
      e.xkey.same_screen = True;
      XSendEvent(display, info.info.x11.window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
    }
  XFlush(display);
  return true;
}
