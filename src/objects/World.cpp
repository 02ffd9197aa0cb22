#include "objects/World.h"
#include "render/Camera.h"

PlayState g_play;
World g_campaignWorld;
