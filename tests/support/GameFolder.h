#pragma once
// A scratch game folder for the tests of the level and player files: ROOT/Assets (pictures,
// levels) and ROOT/run, the working directory while a test runs, so that the game's own
// "../Assets/..." paths land in it. A game object factory sits in the system list.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "objects/GameObjectFactory.h"

class GameFolderTest : public ::testing::Test {
protected:
  // Makes the folder and goes into ROOT/run. `pictures` become 4x4 white PNGs
  // Assets/image/NAME.png, `sheets` one-frame sheets Assets/image/NAME.txt.
  void EnterGameFolder(std::initializer_list<const char*> pictures, std::initializer_list<const char*> sheets);
  // Links the checkout's shaders and these pieces of its Assets (paths under Assets/),
  // where they exist, into the folder. Call after EnterGameFolder.
  void LinkGameAssets(std::initializer_list<const char*> pieces);
  // Back to the first working directory, with an empty system list.
  void TearDown() override;

  std::filesystem::path previous; // the working directory before the test
  std::string root;
  std::shared_ptr<GameObjectFactory> factory;
};
