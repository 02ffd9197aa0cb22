#include "platform/Focus.h"
#include "platform/Display.h"

bool HasKeyboardFocus() { return WindowHasInputFocus(CurrentGameWindow()); }
