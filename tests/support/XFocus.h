#pragma once
// The X server's keyboard focus taken away from every window, as when the player clicks
// another program. Kept apart from the game's headers: Xlib's Window and Font clash with ours.
void* OpenXConnection();          // null without an X server
void CloseXConnection(void* connection);
void DropXFocus(void* connection); // no window has the focus until one takes it back
