#pragma once
#include <string>

#include "levels/GenericLevel.h"
#include "objects/World.h"

class GameObject;
class NPC;

// The tutorial: three short stages that teach driving, talking, shooting, the pizza and
// the garage. It plays by the campaign's frame over a World of its own, with these
// differences: characters' words open the gates, a portal only picks the next stage (the
// road's end then wins it and the end screen's button builds that stage), the pizza
// shows a thermometer that never cools and no arrow, and each stage opens on its card.
//
// While the editor play-tests a level (see PlayTest.h) this state plays that level, and
// every way out of it leads back to the editor.
namespace TUTORIAL_LEVEL {

// What the tutorial keeps apart from the campaign: its own set of the level-wide lists and
// objects, and the flags its characters and its pizza set. The player, the won and lost
// flags, the thermometer, the score, the HUD and the camera are shared with the campaign.
// Reset by assignment.
struct TutorialState {
  World world;
  GameObject* pizza = nullptr; // the stage's pizza; the campaign's pointer stays empty
  bool pizzaTaken = false;     // shows the thermometer
  bool talkedTo2 = false;      // talked to a character whose name holds a 2: gate 1 opens
  bool talkedTo3 = false;      // ... a 3: gate 2
  bool talkedTo4 = false;      // ... a 4: gate 3, once a garage has been entered
  bool garageVisited = false;
};
extern TutorialState g_tutorial;

// Where F6 puts the player in every stage: a free spot just before the exit.
constexpr float SKIP_X = 1150.0f;
constexpr float SKIP_Y = 425.0f;

class TutorialLevel : public GenericLevel {
public:
  explicit TutorialLevel(std::string path = "../Assets/Levels/TUTORIAL.txt");

  void Load() override;
  void Initialize() override;
  void Update() override;
  void Draw() override;
  void Free() override;
  void HandleKeyboard() override;
  void UpdateWorld() override;

protected:
  BuildRequest MakeBuildRequest() const override;
  GameObject* PizzaOnMap() const override { return g_tutorial.pizza; }
  bool ThermometerShown() const override { return g_tutorial.pizzaTaken; }
  int& EndScreenCounter() override;
  void CheckPortals() override;
  // A character whose name holds 2, 3 or 4 asks for its gate; the first garage entry of a
  // stage opens every gate of it.
  void Talked(const NPC& character) override;
  void EnteredGarage() override;

private:
  void OpenGatesByConversation();
  void TakePizza();
  void LeaveForEditorWhilePlayTesting();
  int endCounter = 0; // handed to the end screen: its button always restarts the stage
};

} // namespace TUTORIAL_LEVEL
