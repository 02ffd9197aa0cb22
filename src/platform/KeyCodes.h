#pragma once

// The game's input codes: the virtual-key numbers every screen of the game was designed
// around. The pump turns platform key and button events into these; the states test them
// with ConsumeTrigger and g_input.keyDown. The numbers are fixed: saved habits, tests and the
// level designers' notes all speak them.

// ---- mouse buttons ----------------------------------------------------------------
constexpr int MOUSE_LEFT = 1;
constexpr int MOUSE_RIGHT = 2;
constexpr int MOUSE_MIDDLE = 4;

// ---- keys -------------------------------------------------------------------------
constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_TAB = 9;
constexpr int KEY_ENTER = 13;
constexpr int KEY_SHIFT = 16;
constexpr int KEY_CTRL = 17;
constexpr int KEY_ESCAPE = 27;
constexpr int KEY_SPACE = 32;
constexpr int KEY_PAGE_UP = 33;
constexpr int KEY_PAGE_DOWN = 34;
constexpr int KEY_END = 35;
constexpr int KEY_HOME = 36;
constexpr int KEY_LEFT = 37;
constexpr int KEY_UP = 38;
constexpr int KEY_RIGHT = 39;
constexpr int KEY_DOWN = 40;
constexpr int KEY_EXECUTE = 43; // skips the studio splash
constexpr int KEY_INSERT = 45;
constexpr int KEY_DELETE = 46;
constexpr int KEY_0 = 48; // top-row digits run KEY_0 .. KEY_0 + 9
constexpr int KEY_A = 65; // letters run KEY_A .. KEY_A + 25 ('A' .. 'Z')
constexpr int KEY_C = 67;
constexpr int KEY_D = 68;
constexpr int KEY_E = 69;
constexpr int KEY_K = 75;
constexpr int KEY_Q = 81;
constexpr int KEY_R = 82;
constexpr int KEY_S = 83;
constexpr int KEY_T = 84;
constexpr int KEY_V = 86;
constexpr int KEY_W = 87;
constexpr int KEY_Y = 89;
constexpr int KEY_Z = 90;
constexpr int KEY_NUMPAD_0 = 96; // keypad digits run KEY_NUMPAD_0 .. KEY_NUMPAD_0 + 9
constexpr int KEY_F1 = 112;      // function keys run KEY_F1 .. KEY_F12
constexpr int KEY_F2 = 113;
constexpr int KEY_F3 = 114;
constexpr int KEY_F4 = 115;
constexpr int KEY_F5 = 116;
constexpr int KEY_F6 = 117;
constexpr int KEY_F7 = 118;
constexpr int KEY_F8 = 119;
constexpr int KEY_F11 = 122; // cycles the debug read-outs
constexpr int KEY_F12 = 123; // full screen <-> window
