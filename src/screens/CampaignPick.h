#pragma once

// The campaign's start: once a level past the first has been reached (Progress.txt),
// CAMPAIGN offers a small pick of the menu's own buttons: from the start, or any level
// reached. Before that it starts the first level at once, as it always has. The menu runs
// the pick as an overlay; mouse, Up/Down and Enter, and the pad's up/down and A choose;
// Escape, the pad's B or a click beside it closes it. A level with a best run shows WATCH
// beside its button: a click on it, W or the pad's Y on the chosen level plays that run.

// CAMPAIGN chosen: the campaign starts (the loop's next state) or the pick opens.
void StartCampaign();
bool CampaignPickOpen();
void CloseCampaignPick();
// One frame of the pick's input (the pad already polled); may start the campaign.
void UpdateCampaignPick();
void DrawCampaignPick();
// Lets go of the pick's pictures (the menu's Free).
void ReleaseCampaignPick();
