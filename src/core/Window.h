#pragma once

// ---- shared by several modules -------------------------------------------
// Logical screen: every graphic, the mouse and the HUD use these pixels
// (origin top-left, y down). Set once from Windows.txt (width - 16, height - 40).
extern int g_screenWidth;
extern int g_screenHeight;
extern int g_displayWidth;   // viewport size the display-mode toggle last applied
extern int g_displayHeight;
extern int g_windowWidth;    // window size at the last resize, used to scale the mouse
extern int g_windowHeight;
extern bool g_fullscreen;
