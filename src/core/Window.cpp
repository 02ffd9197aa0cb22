#include "core/Window.h"

int g_screenWidth = 1264;
int g_screenHeight = 720;
int g_displayWidth = 1264;
int g_displayHeight = 720;
int g_windowWidth = 1264;
int g_windowHeight = 720;
bool g_fullscreen = false;
