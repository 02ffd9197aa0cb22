#include "core/GameState.h"
#include "core/System.h"

std::vector<std::shared_ptr<System>> g_systems;

int g_currentState = STATE_MAIN_MENU;
int g_nextState = STATE_MAIN_MENU;
int g_previousState = STATE_MAIN_MENU;
float g_frameTime = 1.0f / 60.0f;
float g_framesPerSecond = 60.0f;
double g_initTime = 0.0;
double g_updateTime = 0.0;
double g_renderTime = 0.0;
double g_fpsReadout = 0.0;
unsigned int g_debugView = 0;
bool g_paused = false;
