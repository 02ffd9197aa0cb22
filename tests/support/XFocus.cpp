#include "support/XFocus.h"
#include <X11/Xlib.h>

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
