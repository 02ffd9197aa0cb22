#pragma once

class Gamepad;
class GameObject;

// A game state. The loop owns exactly one at a time and calls the slots in this order:
// Load once, Initialize (again on each restart), Update and Draw every frame,
// Free when the run ends (restart included), Unload when the state is left.
class Level {
public:
  virtual void Load() {}
  virtual void Initialize() {}
  virtual void Update() {}
  virtual void Draw() {}
  virtual void Free() {}
  virtual void Unload() {}
  virtual void HandleKeyboard() {}
  virtual void HandleMouse() {}
  virtual void HandleGamepad(Gamepad& /*pad*/, GameObject* /*player*/) {}
  virtual ~Level() = default;

  int stateId = 0; // the id this object runs as
};
