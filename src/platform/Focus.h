#pragma once

// True while the game window holds the keyboard focus. One query answers every
// "does the game have the focus" question (audio suspension, menus, the loop).
bool HasKeyboardFocus();
