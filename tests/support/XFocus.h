#pragma once
// The X server's keyboard focus taken away from every window, as when the player clicks
// another program. Kept apart from the game's headers: Xlib's Window and Font clash with ours.
void* OpenXConnection();          // null without an X server
void CloseXConnection(void* connection);
void DropXFocus(void* connection); // no window has the focus until one takes it back
// Keys pressed and released on the X server's keyboard, sent to the SDL window `sdlWindow`
// (an SDL_Window*): what a player's typing looks like to the game, unlike events pushed
// into SDL's queue. `keys` are X key names such as "q" or "7". False without X.
bool TypeOnXKeyboard(void* sdlWindow, const char* const* keys, int count);
