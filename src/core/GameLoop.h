#pragma once

// Runs the game from start-up to shut-down; returns the process exit code.
int RunGame();
