#include "platform/Focus.h"
#include <SDL.h>

bool HasKeyboardFocus() { return SDL_GetKeyboardFocus() != nullptr; }
