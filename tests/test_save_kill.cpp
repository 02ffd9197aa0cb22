// Saves killed part-way: a child process saves and is killed with SIGKILL,
// once before every step of the save and then at random moments while it saves
// over and over; after each kill the files on disk must be ones the game can
// list and play. Every object of a save carries the save's number as its
// stored value, so each file tells which save it came from.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "levels/LevelFile.h"
#include "objects/GameObject.h"
#include "objects/GameObjectFactory.h"
#include "objects/Vehicle.h"
#include "platform/SafeFile.h"
#include "support/GameFolder.h"
#include "support/TestImages.h"
#include "support/GlTestContext.h"

namespace fs = std::filesystem;

namespace {

// Enough objects that each file takes several write pieces.
constexpr int BRICKS = 300;
constexpr int BLOCKS = BRICKS + 1; // and the player

// The save number a level file comes from, or -1 when the file is missing, is
// not one the game accepts, or is not the whole of one save. `valueAt` is the
// stored value's place in a block: the two files order their fields differently.
int SaveNumber(const std::string& path, size_t valueAt) {
  if (!fs::exists(path)) return -1;
  if (!ValidateLevelFile(path)) return -2;
  const auto tokens = ReadTokens(path);
  if (tokens.size() != 12u * BLOCKS) return -3;
  const std::string first = tokens[valueAt];
  for (size_t block = 0; block < BLOCKS; ++block)
    if (tokens[block * 12 + valueAt] != first) return -4;
  return std::stoi(first);
}
int ListNumber(const std::string& level) { return SaveNumber(level + "2", 3); }
int DescriptionNumber(const std::string& level) { return SaveNumber(level, 7); }

bool Listed(const std::string& stem) {
  ListLevels();
  return std::find(g_levelNames.begin(), g_levelNames.end(), stem) != g_levelNames.end();
}

// Runs `work` in a child process with standard output discarded. The child
// ends with _exit, never running the parent's exit handlers (which remove the
// temporary folder). True when the child was killed, false when it finished.
template <class Work> bool RunChild(Work work, int killAfterMicroseconds = -1) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    work();
    _exit(0);
  }
  EXPECT_GT(child, 0);
  if (killAfterMicroseconds >= 0) {
    usleep(static_cast<useconds_t>(killAfterMicroseconds));
    kill(child, SIGKILL);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// Step hook of the child in the sweep: SIGKILL just before step number s_killAt.
int s_step = 0;
int s_killAt = 0;
void KillAtStep(const char*) {
  if (++s_step == s_killAt) raise(SIGKILL);
}
std::vector<std::string> s_steps;
void RecordStep(const char* step) { s_steps.push_back(step); }

class SaveKill : public GameFolderTest {
protected:
  void SetUp() override {
    ASSERT_TRUE(GlTestContext::Get().ok);
    EnterGameFolder({"tank", "brick"}, {"tank"});
    objects.push_back(factory->CreateVehicle("PLAYER", "../Assets/image/tank.png", Vec3(400, 300, 1), 24, 16, 1,
                                             "../Assets/image/tank.txt"));
    for (int i = 0; i < BRICKS; ++i)
      objects.push_back(factory->Create("BRICK", "../Assets/image/brick.png",
                                        Vec3(32.0f * (i % 40), 32.0f * (i / 40), 1), 16, 16, 1));
  }
  void TearDown() override {
    SetSaveStepHook(nullptr);
    GameFolderTest::TearDown();
  }

  void Save(int number, const std::string& level) {
    for (GameObject* o : objects) o->storedValue = static_cast<float>(number);
    SaveLevel(objects, level);
  }
  void QuietSave(int number, const std::string& level) {
    testing::internal::CaptureStdout();
    Save(number, level);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Serializing..\nSerialized " + std::to_string(BLOCKS) + " objects\n");
  }
  // The steps of one whole save, by name. The sweep's save numbers all have
  // three digits, so every save of it writes the same number of bytes.
  std::vector<std::string> SaveSteps(const std::string& level) {
    s_steps.clear();
    SetSaveStepHook(RecordStep);
    QuietSave(100, level);
    SetSaveStepHook(nullptr);
    return s_steps;
  }

  std::vector<GameObject*> objects;
};

} // namespace

// A kill before each step in turn, for a level that exists and for a new one.
// The step decides the outcome exactly: before the first rename nothing has
// changed, between the renames the object list is new and the description old,
// after both renames the save is complete.
TEST_F(SaveKill, AKillBeforeAnyStepLeavesAPairTheGameCanListAndPlay) {
  const std::string level = "../Assets/Levels/KEPT.txt";
  const std::vector<std::string> steps = SaveSteps(level);
  ASSERT_EQ(std::count(steps.begin(), steps.end(), "rename"), 2);
  ASSERT_GE(std::count(steps.begin(), steps.end(), "write"), 8); // several pieces a file
  ASSERT_EQ(steps.back(), "sync folder");

  int number = 100;
  for (int killAt = 1; killAt <= static_cast<int>(steps.size()) + 1; ++killAt) {
    SCOPED_TRACE("killed before step " + std::to_string(killAt));
    const int before = number;
    ++number;
    s_step = 0;
    s_killAt = killAt;
    const bool killed = RunChild([&] {
      SetSaveStepHook(KillAtStep);
      Save(number, level);
    });
    EXPECT_EQ(killed, killAt <= static_cast<int>(steps.size()));
    const long renames = std::count(steps.begin(), steps.begin() + std::min<size_t>(killAt - 1, steps.size()), "rename");
    EXPECT_EQ(ListNumber(level), renames >= 1 ? number : before);
    EXPECT_EQ(DescriptionNumber(level), renames >= 2 ? number : before);
    EXPECT_TRUE(Listed("KEPT"));
    if (renames < 1) number = before; // the next save replaces the same pair
    if (renames == 1) {
      // Level and list now differ by a save; put them back in step.
      QuietSave(number, level);
    }
  }

  // A level saved for the first time is either not there, or not listed yet
  // (an object list without its description), or whole.
  const std::string fresh = "../Assets/Levels/FRESH.txt";
  for (int killAt = 1; killAt <= static_cast<int>(steps.size()); ++killAt) {
    SCOPED_TRACE("first save killed before step " + std::to_string(killAt));
    fs::remove(fresh);
    fs::remove(fresh + "2");
    s_step = 0;
    s_killAt = killAt;
    EXPECT_TRUE(RunChild([&] {
      SetSaveStepHook(KillAtStep);
      Save(107, fresh);
    }));
    const long renames = std::count(steps.begin(), steps.begin() + (killAt - 1), "rename");
    EXPECT_EQ(ListNumber(fresh), renames >= 1 ? 107 : -1);
    EXPECT_EQ(DescriptionNumber(fresh), renames >= 2 ? 107 : -1);
    EXPECT_EQ(Listed("FRESH"), renames >= 2);
  }

  // Whatever a kill left behind, the next save goes through and the level loads.
  QuietSave(9, fresh);
  factory->objects.clear();
  objects.clear();
  testing::internal::CaptureStdout();
  const auto loaded = LoadObjectList(fresh, true);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(loaded.size(), static_cast<size_t>(BLOCKS));
  EXPECT_EQ(loaded[0]->name, "PLAYER");
  EXPECT_FLOAT_EQ(loaded.back()->storedValue, 9.0f);
}

// SIGKILL at random moments while the child saves one numbered save after
// another. After every kill both files are whole saves the game accepts, the
// object list is never older than the description, and neither goes back.
TEST_F(SaveKill, KillsAtRandomMomentsNeverLeaveAPartFileOrAnOlderList) {
  const std::string level = "../Assets/Levels/RANDOM.txt";
  QuietSave(1, level);
  // How long one save takes here, so that the kills spread over a few saves.
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) QuietSave(1, level);
  const int saveMicroseconds = static_cast<int>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count() / 10);

  // A child's first save also pays for the fork and for touching the copied pages:
  // tens of milliseconds in a process that holds a GL context, so the kills must
  // reach past it or they all land before the first save.
  const auto childStart = std::chrono::steady_clock::now();
  RunChild([&] { Save(1, level); });
  const int childMicroseconds = static_cast<int>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - childStart).count());

  std::mt19937 random(16);
  // Capped, so that a slow disk makes the test no slower than it must be.
  std::uniform_int_distribution<int> delay(0, std::min(childMicroseconds + 3 * saveMicroseconds, 100000) + 500);
  int list = 1, description = 1, midSave = 0, apart = 0;
  const int kills = 150;
  for (int i = 0; i < kills; ++i) {
    const int first = list + 1;
    EXPECT_TRUE(RunChild(
        [&] {
          for (int n = first;; ++n) Save(n, level);
        },
        delay(random)));
    const int newList = ListNumber(level);
    const int newDescription = DescriptionNumber(level);
    ASSERT_GE(newList, list) << "after kill " << i;
    ASSERT_GE(newDescription, description) << "after kill " << i;
    ASSERT_GE(newList, newDescription) << "after kill " << i;
    if (fs::exists(level + ".saving") || fs::exists(level + "2.saving")) ++midSave;
    if (newList != newDescription) ++apart;
    list = newList;
    description = newDescription;
    ASSERT_LT(list, 900000); // the stored value keeps six digits
  }
  EXPECT_TRUE(Listed("RANDOM"));
  // The kills did land inside saves, not only between them.
  EXPECT_GT(midSave, 0);
  std::cout << kills << " kills over saves of about " << saveMicroseconds << " us (" << childMicroseconds
            << " us for a child's first): " << midSave
            << " left a temporary file, " << apart << " an object list one save ahead, last save " << list
            << std::endl;
}

// The writer every saved file goes through, alone: old or new, never a part.
TEST_F(SaveKill, AReplacedFileIsTheOldOneOrTheNewOneAfterAKillAtAnyStep) {
  const std::string path = "../Assets/table.txt";
  const std::string old(10000, 'o');
  const std::string fresh(10000, 'n');
  std::string error;
  ASSERT_TRUE(ReplaceFileWhole(path, old, error)) << error;
  for (int killAt = 1; killAt <= 12; ++killAt) {
    s_step = 0;
    s_killAt = killAt;
    const bool killed = RunChild([&] {
      SetSaveStepHook(KillAtStep);
      std::string e;
      ReplaceFileWhole(path, fresh, e);
    });
    std::ifstream in(path, std::ios::binary);
    const std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(now == old || now == fresh) << "killed before step " << killAt << ": " << now.size() << " bytes";
    if (!killed) {
      EXPECT_EQ(now, fresh);
      break;
    }
    ASSERT_TRUE(ReplaceFileWhole(path, old, error)) << error;
  }
}

// A save that cannot be made prints one line naming the file and what stays.
TEST_F(SaveKill, ASaveThatCannotBeMadeSaysSoInOneLineAndLeavesNothing) {
  testing::internal::CaptureStdout();
  Save(3, "../Assets/NoSuchFolder/LOST.txt");
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed,
            "Serializing..\nError: cannot create ../Assets/NoSuchFolder/LOST.txt2.saving: No such file or "
            "directory, the level ../Assets/NoSuchFolder/LOST.txt is unchanged\n");
  EXPECT_FALSE(fs::exists("../Assets/NoSuchFolder"));
}
