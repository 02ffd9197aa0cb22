#pragma once
#include "core/Level.h"
#include <functional>
#include <memory>
#include <vector>

class Weapon;

// The front end's screens that a playing level runs over its own world: the pause panel,
// the garage and the end screen. They live in the screens layer, above the levels, so a
// level reaches them through these interfaces; the game's start-up installs the real ones
// (in g_frontEnd). A level without them (a test's) simply shows none.

// The pause panel with its volume sliders, shared by the menu and the playing states.
class PausePanel {
public:
  virtual ~PausePanel() = default;
  virtual void Update() = 0;
  virtual void Draw() = 0;
  virtual void ApplyVolumes() = 0; // called right after a state starts its music
  virtual void MuteMusic() = 0;    // shut-down: the music goes quiet and stays so
};

// The garage: a state of its own, which the playing levels also run as an overlay.
class GarageScreen : public Level {
public:
  // The guns fitted in the garage, slot 0 left and slot 1 right (entries may be null);
  // the level copies them onto the player when the garage closes.
  virtual const std::vector<std::shared_ptr<Weapon>>& FittedWeapons() const = 0;
};

// The panel shown when a level ends: the score, the highscore place and the button on.
class EndScreen {
public:
  virtual ~EndScreen() = default;
  // levelIndex may be advanced by the button; it requests the next state itself.
  virtual void Update(bool won, int& levelIndex) = 0;
  virtual void Draw() = 0;

  // The level's "pizza carried" flag, which chooses whether the thermometer counts for the
  // score; null reads the campaign's g_play.pizzaCarried (the tutorial points it at its own).
  const bool* pizzaCarried = nullptr;
};

// The front end as the levels see it: the screens the game's start-up installs, and the
// overlays open over a playing level. Reset by assignment (the shut-down does, after the
// panel has gone).
struct FrontEnd {
  std::shared_ptr<PausePanel> pausePanel; // made at start-up; null in bare tests
  std::function<std::unique_ptr<GarageScreen>()> makeGarage;
  std::function<std::shared_ptr<EndScreen>()> makeEndScreen;

  // The overlays that keep the pause panel hidden while they are open; the loop's pause
  // key clears them so that the panel shows.
  bool garageOpen = false;
  bool helpOpen = false;
  bool tutorialGarageOpen = false;
  bool tutorialHelpOpen = false;
};
extern FrontEnd g_frontEnd;
