#include "levels/FrontEnd.h"

FrontEnd g_frontEnd;
