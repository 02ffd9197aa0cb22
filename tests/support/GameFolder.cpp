#include "support/GameFolder.h"
#include "core/System.h"
#include "support/TestImages.h"

#include <cstdint>
#include <vector>

namespace fs = std::filesystem;

void GameFolderTest::EnterGameFolder(std::initializer_list<const char*> pictures,
                                     std::initializer_list<const char*> sheets) {
  previous = fs::current_path();
  root = TempFolder();
  for (const char* folder : {"/Assets/Levels", "/Assets/image", "/run"}) fs::create_directories(root + folder);
  for (const char* picture : pictures)
    WriteRgbaPng(root + "/Assets/image/" + picture + ".png", 4, 4, std::vector<uint32_t>(16, 0xffffffffu));
  for (const char* sheet : sheets) WriteText(root + "/Assets/image/" + sheet + ".txt", "f= 0 0 4 4\n");
  fs::current_path(root + "/run");
  factory = std::make_shared<GameObjectFactory>();
  g_systems.push_back(factory);
}

void GameFolderTest::LinkGameAssets(std::initializer_list<const char*> pieces) {
  if (fs::exists(previous / "../shaders"))
    fs::create_directory_symlink(fs::canonical(previous / "../shaders"), root + "/shaders");
  for (const char* piece : pieces)
    if (fs::exists(previous / "../Assets" / piece))
      fs::create_symlink(fs::canonical(previous / "../Assets" / piece), root + "/Assets/" + piece);
}

void GameFolderTest::TearDown() {
  g_systems.clear();
  if (!previous.empty()) fs::current_path(previous);
}
