#pragma once
#include <string>

// `Kvo --replay FILE [--check]`: plays a recorded run through the real game and exits at its
// end. With --check the window stays hidden and frames go as fast as they can; the outcome
// figures are printed and the exit code says whether they are the recorded ones (0) or not
// (1). A file that is refused (unreadable, another format, other level files) exits 1 too.
int RunReplayCommand(const std::string& file, bool check);
