#pragma once
#include <memory>
#include <string>
#include <vector>

class Audio;
struct TwBar;

// The sound bar "anotherbar": every loaded sound by number, the sound slots 1-6 the
// designer may point at other sounds, a player for any sound, and a reload of the list.
// The bar lives exactly as long as its object, so nothing can reach its bindings after
// the editor lets it go.
class ATSound {
public:
  ATSound();                       // the bar, bound to g_audio
  ~ATSound();                      // removes the bar
  ATSound(const ATSound&) = delete;
  ATSound& operator=(const ATSound&) = delete;

  void RebuildSoundBar();          // after a display change; the sound labels keep counting
  void PlaySelectedSound();        // "Play": stops the effects, then sound playIndex if it exists
  void ReloadSounds();             // "Refresh": a new g_audio from the sound list, labels from 1

  int labelCounter = 1;            // label of the next sound row
  unsigned int playIndex = 0;      // the 1-based sound number typed into "In: "
  TwBar* bar = nullptr;
  Audio* audio = nullptr;          // the audio object whose sounds are listed; g_audio's

private:
  void AddContents();
  void Place();                    // its place and size for the rows it now holds
  std::vector<std::string> labels; // the rows' texts; the bar shows them by pointer
};
