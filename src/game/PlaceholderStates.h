#pragma once
#include <memory>

class Level;

// Plain screens for the states whose own screens are not in the game yet: each clears
// the window to its own colour. Null for ids that are not states.
std::unique_ptr<Level> MakePlaceholderState(int stateId);
