#include "levels/TutorialLevel.h"

#include <iostream>

#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "levels/FrontEnd.h"
#include "levels/PlayTest.h"
#include "objects/GameObject.h"
#include "objects/NPC.h"
#include "objects/Predicates.h"
#include "objects/Vehicle.h"
#include "objects/WorldRules.h"
#include "platform/KeyCodes.h"
#include "render/AnimatedTexture.h"
#include "render/SquarePrimitive.h"
#include "render/Texture.h"

namespace TUTORIAL_LEVEL {

TutorialState g_tutorial;

namespace {

} // namespace

TutorialLevel::TutorialLevel(std::string path)
    : GenericLevel(g_tutorial.world, g_frontEnd.tutorialGarageOpen, g_frontEnd.tutorialHelpOpen) {
  levelPath = std::move(path);
  levelIndex = 0;
  clearColour[0] = clearColour[1] = clearColour[2] = 0.6f;
}

void TutorialLevel::Load() {
  GenericLevel::Load();
  levelPath = PlayTestLevelPath(levelPath);
}

BuildRequest TutorialLevel::MakeBuildRequest() const {
  // The stage named by the last portal (or the first stage), not a fixed list.
  BuildRequest request;
  request.path = levelPath;
  request.rules = BuildRulesFor(LevelKind::Tutorial);
  request.helpPicture = Contains(levelPath, "SHOOT") ? "../Assets/image/npc/npcdefault2.png"
                                                     : "../Assets/image/npc/npcdefault1.png";
  // A designer trying out a level from the editor wants to drive at once, not read the
  // tutorial's welcome.
  request.helpOpen = !PlayTesting();
  return request;
}

void TutorialLevel::Initialize() {
  g_tutorial = TutorialState(); // its world is cleared by the build in any case
  if (!StartLevel()) return;

  // The pizza is the tutorial's own: with the campaign's pointer empty no arrow points at it.
  g_tutorial.pizza = world.pizza;
  world.pizza = nullptr;

  // Every stage opens on its card, which C (or the pad's X) closes.
  const bool card = !PlayTesting();
  g_frontEnd.tutorialHelpOpen = card;
  g_loop.paused = card;
}

void TutorialLevel::Update() {
  GenericLevel::Update();
  LeaveForEditorWhilePlayTesting();
}

void TutorialLevel::Draw() {
  GenericLevel::Draw();
  LeaveForEditorWhilePlayTesting(); // the end screen's button is handled while drawing
}

void TutorialLevel::Free() {
  GenericLevel::Free();
  g_tutorial.pizzaTaken = false;
  g_tutorial.pizza = nullptr;
}

int& TutorialLevel::EndScreenCounter() {
  // Not a place in a list of levels: the button restarts the state, which builds whatever
  // stage levelPath names by then.
  endCounter = 0;
  return endCounter;
}

// ---------------------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------------------

void TutorialLevel::UpdateWorld() {
  OpenGatesByConversation();
  GenericLevel::UpdateWorld();
  TakePizza();
}

void TutorialLevel::OpenGatesByConversation() {
  if (g_tutorial.talkedTo2) {
    g_tutorial.talkedTo2 = false;
    OpenGate(world.gates, TALK_GATE_1.group);
  }
  if (g_tutorial.talkedTo3) {
    g_tutorial.talkedTo3 = false;
    OpenGate(world.gates, TALK_GATE_2.group);
  }
  // The mechanic's gate waits for a garage visit; the wish is kept until then.
  if (g_tutorial.talkedTo4 && g_tutorial.garageVisited) {
    g_tutorial.talkedTo4 = false;
    OpenGate(world.gates, TALK_GATE_3.group);
  }
}

void TutorialLevel::TakePizza() {
  if (!g_play.player || !g_tutorial.pizza || !g_tutorial.pizza->active) return;
  if (!Touches(*g_play.player, *g_tutorial.pizza)) return;
  g_play.thermometer = 1.0f;
  g_tutorial.pizzaTaken = true; // the campaign's flag stays clear, so it never cools
  g_tutorial.pizza->active = false;
}

void TutorialLevel::CheckPortals() {
  if (!g_play.player) return;
  for (GameObject* gate : world.gates) {
    if (!gate->active || Contains(gate->name, "GATE")) continue;
    if (!Touches(*g_play.player, *gate)) continue;
    // A portal picks the next stage; the road's end behind it still has to be reached.
    const std::string before = levelPath;
    ResolvePortal(gate->name);
    if (levelPath != before) std::cout << levelPath << std::endl;
    return;
  }
}

void TutorialLevel::HandleKeyboard() {
  if (g_play.player && !g_play.levelWon && !g_play.levelLost) {
    if (ConsumeTrigger(KEY_F3)) OpenAllGates(world.gates);
    if (ConsumeTrigger(KEY_F4)) CloseAllGates(world.gates);
    // Taken before the campaign's keys see it: F6 here is a fixed spot, not the exit itself.
    if (ConsumeTrigger(KEY_F6)) g_play.player->Move(Vec3(SKIP_X, SKIP_Y, 0.0f) - g_play.player->Position());
  }
  GenericLevel::HandleKeyboard();
}

void TutorialLevel::Talked(const NPC& character) {
  if (TalkOpens(character.name, TALK_GATE_1)) g_tutorial.talkedTo2 = true;
  if (TalkOpens(character.name, TALK_GATE_2)) g_tutorial.talkedTo3 = true;
  if (TalkOpens(character.name, TALK_GATE_3)) g_tutorial.talkedTo4 = true;
}

void TutorialLevel::EnteredGarage() {
  // The first garage entry of a stage opens every gate of it.
  if (!g_tutorial.garageVisited) OpenGate(world.gates, STAGE_GARAGE_GATE.group);
  g_tutorial.garageVisited = true;
}

// ---------------------------------------------------------------------------------------
// The editor's play test
// ---------------------------------------------------------------------------------------

void TutorialLevel::LeaveForEditorWhilePlayTesting() {
  if (!PlayTesting() || g_loop.nextState == stateId) return;
  // After the level has ended the end screen's button (or K) restarts; in a play test that
  // too is the way back to the editor.
  if (g_loop.nextState == STATE_RESTART && (g_play.levelWon || g_play.levelLost || !built))
    g_loop.nextState = STATE_EDITOR;
  else g_loop.nextState = PlayTestExitState(g_loop.nextState);
}

} // namespace TUTORIAL_LEVEL
