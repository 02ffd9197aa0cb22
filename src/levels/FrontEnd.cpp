#include "levels/FrontEnd.h"

std::shared_ptr<PausePanel> g_optionMenu;
FrontEnd g_frontEnd;

bool g_garageOpen = false;
bool g_helpOpen = false;
bool g_tutorialGarageOpen = false;
bool g_tutorialHelpOpen = false;
