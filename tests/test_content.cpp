// Checks the built Assets/ folder the way the game will use it: every picture the
// code names decodes as the 8-bit RGB(A) PNG its loader expects, every sprite sheet's
// descriptor parses by the game's rules and its frames lie inside the picture, the
// object lists and the loadout read as the loaders read them, and every sound in the
// sound list decodes. Runs from build/, so the assets are at ../Assets.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "audio/Audio.h"
#include "levels/LevelFile.h"
#include "levels/LevelTokens.h"
#include "support/TestImages.h"

namespace {

const std::string kImages = "../Assets/image/";

struct Picture {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::string problem;
};

// Decodes the whole file, as the game's loader does, and insists on 8-bit colour:
// the loader uploads palette, grey and 16-bit files unconverted, which comes out wrong.
Picture DecodePng(const std::string& path) {
  Picture pic;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    pic.problem = path + ": " + image.message;
    return pic;
  }
  const bool colour = (image.format & PNG_FORMAT_FLAG_COLOR) != 0;
  const bool deep = (image.format & PNG_FORMAT_FLAG_LINEAR) != 0;
  const bool mapped = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
  if (!colour || deep || mapped) {
    png_image_free(&image);
    pic.problem = path + ": not 8-bit RGB or RGBA";
    return pic;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    pic.problem = path + ": " + image.message;
    return pic;
  }
  pic.ok = true;
  pic.width = static_cast<int>(image.width);
  pic.height = static_cast<int>(image.height);
  return pic;
}

struct Frame {
  int x = 0, y = 0, w = 0, h = 0;
};

// Reads a descriptor by the game's rules: a label, "=", one more character, then
// four integers; empty lines are skipped. Any other line is reported as an error.
std::vector<Frame> ReadDescriptor(const std::string& path, std::string& problem) {
  std::vector<Frame> frames;
  std::ifstream in(path);
  if (!in) {
    problem = path + ": missing";
    return frames;
  }
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const size_t eq = line.find('=', 1);
    if (eq == std::string::npos || eq + 1 >= line.size() || line[eq + 1] != ' ') {
      problem = path + ":" + std::to_string(lineNo) + ": no '= ' after a label";
      return {};
    }
    std::istringstream fields(line.substr(eq + 2));
    Frame f;
    std::string rest;
    if (!(fields >> f.x >> f.y >> f.w >> f.h) || (fields >> rest)) {
      problem = path + ":" + std::to_string(lineNo) + ": expected four integers";
      return {};
    }
    frames.push_back(f);
  }
  return frames;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool Contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

// The loader's rule for which names get an animated picture (and so a descriptor).
bool IsAnimatedKind(const std::string& name) {
  return name == "PLAYER" || (Contains(name, "ENEMY") && !Contains(name, "PROJ")) || name == "SACK" ||
         Contains(name, "PORTAL") || Contains(name, "GATE");
}

std::string DescriptorOf(const std::string& png) { return png.substr(0, png.size() - 3) + "txt"; }

}  // namespace

// ---------------------------------------------------------------- pictures

TEST(ContentPictures, EveryPictureTheCodeNamesDecodes) {
  const char* named[] = {
      "btnSelect.png", "Ckey.png", "DamageBar.png", "ReloadBar.png", "Gun/GunBlackHole_Bullet.png",
      "Gun/GunDefault_Bullet.png", "Gun/GunMiniCannon_Bullet.png", "KelvaneSS.png", "Overlay.png",
      "RenameBtns.png", "snapbutton.png", "Tank_moving.png", "arrow.png", "btmHUD.png", "btmHUD2.png",
      "customize/customize.png", "editorHudBg.png", "editorSelectedIcon.png", "editorsBtns.png", "fuel.png",
      "gateClose.png", "gateOpen.png", "grass.png", "greyout.png", "highscore.png", "keys/E.png", "keys/Q.png",
      "keys/SPACE.png", "mainmenuBackground.png", "mainmenuBtns.png", "mech1.png", "mushroom2.png", "mylevels.png",
      "campaignPick.png",
      "npc/npcdefault.png", "npc/npcdefault1.png", "npc/npcdefault2.png", "optiontmp/button/scrollbar.png",
      "optiontmp/exploding.png", "optiontmp/pauseback.png", "pic/creditscreen.png", "pic/howtoplay.png",
      "pic/loadS.png", "power.png", "shootingstyle/boomstyle.png", "shootingstyle/singlesplitstyle.png",
      "shootingstyle/sprayerstyle.png", "star.png", "thermo/thermo_ext.png", "thermo/thermo_in.png", "wall.png",
      "wall2.png", "you_lose.png", "you_win.png", "npc/npc1.png", "npc/npc2.png", "npc/npc3.png", "npc/npc4.png"};
  std::vector<std::string> all(std::begin(named), std::end(named));
  for (const char* b : {"setting", "resume", "quit", "confirm", "confirmyes", "music", "sound", "soundscroll", "htp",
                        "cancel", "end"})
    all.push_back(std::string("optiontmp/button/") + b + ".png");
  // A gun's pictures are found by its prefix: left, right, projectile and thumbnail.
  for (const char* g : {"GunDefault", "GunMiniCannon", "GunBlackHole"})
    for (const char* suffix : {"_Left.png", "_Right.png", "_Bullet.png", "_Thumb.png"})
      all.push_back(std::string("gun/") + g + suffix);
  for (const auto& rel : all) {
    const Picture pic = DecodePng(kImages + rel);
    EXPECT_TRUE(pic.ok) << pic.problem;
  }
  const std::string font = Slurp("../Assets/font/RobotoCondensed-Regular.ttf");
  ASSERT_GE(font.size(), 4u) << "the font is missing";
  EXPECT_EQ(font.substr(0, 4), std::string("\x00\x01\x00\x00", 4)) << "the font is not a TrueType file";
}

// ---------------------------------------------------------------- sprite sheets

TEST(ContentSheets, DescriptorsParseFitTheirPicturesAndHoldTheFramesTheCodeUses) {
  struct Sheet {
    std::string png, txt;
    size_t minFrames;
  };
  std::vector<Sheet> sheets = {
      {"mainmenuBtns.png", "mainmenuBtns.txt", 20}, {"btnSelect.png", "BtnSelect.txt", 2},
      {"snapbutton.png", "SnapButton.txt", 4},       {"RenameBtns.png", "RenameBtns.txt", 4},
      {"CheckBtns.png", "CheckBtns.txt", 4},
      {"editorsBtns.png", "editorsBtns.txt", 8},     {"optiontmp/pauseback.png", "optiontmp/pauseback.txt", 2},
      {"optiontmp/button/setting.png", "optiontmp/button/setting.txt", 3},
      {"optiontmp/exploding.png", "optiontmp/exploding.txt", 2}, {"pic/loadS.png", "pic/loadS.txt", 2},
      {"Ckey.png", "Ckey.txt", 2},                   {"mech1.png", "mech1.txt", 2},
      {"Tank_moving.png", "Tank_moving.txt", 3},     {"gateClose.png", "gateClose.txt", 3},
      {"gateOpen.png", "gateOpen.txt", 3}};
  for (const char* b : {"resume", "quit", "confirm", "confirmyes", "music", "sound", "soundscroll", "htp", "cancel", "end"})
    sheets.push_back({std::string("optiontmp/button/") + b + ".png", std::string("optiontmp/button/") + b + ".txt", 2});
  // Every animated object the editor offers is shown at frame 2, so needs three frames;
  // a sack counts down from frame 2 as it is hit.
  const auto palette = ReadTokens("../Assets/EditorHudObj.txt2");
  for (size_t i = 0; i + 11 < palette.size(); i += 12)
    if (IsAnimatedKind(palette[i + 1])) {
      const std::string rel = palette[i + 2].substr(std::string("../Assets/image/").size());
      sheets.push_back({rel, DescriptorOf(rel), 3});
    }
  ASSERT_GT(sheets.size(), 30u);
  for (const auto& s : sheets) {
    SCOPED_TRACE(s.png);
    const Picture pic = DecodePng(kImages + s.png);
    ASSERT_TRUE(pic.ok) << pic.problem;
    std::string problem;
    const auto frames = ReadDescriptor(kImages + s.txt, problem);
    ASSERT_TRUE(problem.empty()) << problem;
    EXPECT_GE(frames.size(), s.minFrames);
    for (const Frame& f : frames) {
      EXPECT_TRUE(f.x >= 0 && f.y >= 0 && f.w > 0 && f.h > 0 && f.x + f.w <= pic.width && f.y + f.h <= pic.height)
          << "frame " << f.x << " " << f.y << " " << f.w << " " << f.h << " outside " << pic.width << "x" << pic.height;
      // A button that changed size between idle and hover would jump under the mouse.
      EXPECT_EQ(f.w, frames.front().w);
      EXPECT_EQ(f.h, frames.front().h);
    }
  }
}

TEST(ContentSheets, OpenAndClosedGatesShareOneLayout) {
  // Opening a gate swaps its picture but keeps the frames read from the closed one.
  const Picture closed = DecodePng(kImages + "gateClose.png");
  const Picture open = DecodePng(kImages + "gateOpen.png");
  ASSERT_TRUE(closed.ok && open.ok);
  EXPECT_EQ(closed.width, open.width);
  EXPECT_EQ(closed.height, open.height);
  std::string p1, p2;
  const auto a = ReadDescriptor(kImages + "gateClose.txt", p1);
  const auto b = ReadDescriptor(kImages + "gateOpen.txt", p2);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].x, b[i].x);
    EXPECT_EQ(a[i].y, b[i].y);
  }
}

// ---------------------------------------------------------------- object lists and loadout

TEST(ContentData, TokenFilesHoldOneTokenPerLineAndEndWithALineBreak) {
  for (const char* path : {"../Assets/EditorHudObj.txt2", "../Assets/WSHudObj.txt2", "../Assets/Player.txt"}) {
    SCOPED_TRACE(path);
    const std::string text = Slurp(path);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find_first_of(" \t\r"), std::string::npos);
    EXPECT_EQ(text.find("\n\n"), std::string::npos);
  }
}

TEST(ContentData, EditorPalettePassesValidationAndOffersEveryKind) {
  EXPECT_TRUE(ValidateLevelFile("../Assets/EditorHudObj.txt2")) << "the editor refuses a palette the validator rejects";
  const auto t = ReadTokens("../Assets/EditorHudObj.txt2");
  // The level validator's rules: a PLAYER somewhere, every EndGameObject closing a
  // 12-token block, and the file ending on one.
  ASSERT_EQ(t.size() % 12, 0u);
  EXPECT_NE(std::find(t.begin(), t.end(), "PLAYER"), t.end());
  for (size_t i = 0; i < t.size(); ++i)
    if (t[i] == "EndGameObject") {
      EXPECT_EQ((i + 1) % 12, 0u) << "at token " << i;
    }
  EXPECT_EQ(t.back(), "EndGameObject");
  EXPECT_EQ(t[0], "Vehicle");
  EXPECT_EQ(t[1], "PLAYER");

  std::set<std::string> names;
  for (size_t i = 0; i < t.size(); i += 12) {
    SCOPED_TRACE(t[i + 1]);
    const std::string& end = t[i + 11];
    EXPECT_EQ(end, t[i] == "Vehicle" ? "EndVehicle" : "EndGameObject");
    names.insert(t[i + 1]);
    ASSERT_EQ(t[i + 2].rfind("../Assets/image/", 0), 0u);
    const Picture pic = DecodePng(t[i + 2]);
    EXPECT_TRUE(pic.ok) << pic.problem;
    EXPECT_GT(std::stof(t[i + 9]), 0.f);
    EXPECT_GT(std::stof(t[i + 10]), 0.f);
  }
  for (const char* kind : {"PLAYER", "ENEMY", "ENEMY_3", "ENEMY2A", "ENEMY2B", "ENEMY2VERTICAL", "ENEMY2VERTICALB",
                           "WALL", "SACK", "GATE", "PORTAL", "GARAGE", "ROAD", "END", "GAS", "PIZZA", "FILLER",
                           "PROJECTILE", "ENEMYPROJECTILE", "NPC1", "NPC2", "NPC3", "NPC4"})
    EXPECT_TRUE(names.count(kind)) << kind << " is missing from the palette";
  // The editor stacks the entries in columns from y 30, 10 px apart, and starts a new
  // column only once a centre would pass 75 px below the screen; every entry but the
  // shot pools, which saving adds anyway, must still lie wholly on the screen.
  int windowW = 0, windowH = 0;
  std::ifstream("../Assets/Windows.txt") >> windowW >> windowH;
  const int screenH = windowH - 40;
  int y = 0, lastHalf = 0;
  for (size_t i = 0; i < t.size(); i += 12) {
    const int half = static_cast<int>(std::stof(t[i + 10]));
    y = i == 0 ? 30 : y + lastHalf + half + 10;
    if (y >= screenH + 75) y = 30;
    lastHalf = half;
    if (!Contains(t[i + 1], "PROJECTILE")) {
      EXPECT_LE(y + half, screenH) << t[i + 1] << " hangs off the editor's screen";
    }
  }
  // Each talking character's card is found from its name.
  for (const auto& n : names)
    if (Contains(n, "NPC")) {
      EXPECT_TRUE(DecodePng(kImages + "npc/npc" + n.substr(3) + ".png").ok) << n;
    }
}

TEST(ContentData, GarageRackListsTheGunsInTemplateOrder) {
  const auto t = ReadTokens("../Assets/WSHudObj.txt2");
  ASSERT_EQ(t.size(), 36u);
  const char* order[] = {"DEFAULT", "MINICANNON", "BLACKHOLE"};
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(t[k * 12], "GameObject");
    EXPECT_EQ(t[k * 12 + 1], order[k]);
    EXPECT_TRUE(DecodePng(t[k * 12 + 2]).ok) << t[k * 12 + 2];
    EXPECT_EQ(t[k * 12 + 11], "EndGameObject");
  }
}

TEST(ContentData, LoadoutReadsIntoWeaponsThatCanFire) {
  {
    // The game's own reader must take the whole file without stopping early.
    std::ifstream in("../Assets/Player.txt");
    LoadoutRecord loadout;
    std::ostringstream log;
    ParseLoadout(in, true, loadout, log, "../Assets/Player.txt");
    EXPECT_EQ(log.str(), "");
    EXPECT_TRUE(loadout.hasUpgradeLevel);
    EXPECT_EQ(loadout.weapons.size(), 2u);
  }
  const auto t = ReadTokens("../Assets/Player.txt");
  ASSERT_GE(t.size(), 2u);
  EXPECT_EQ(std::stoi(t[0]), 10);
  EXPECT_GE(std::stoi(t[1]), 0);
  size_t i = 2;
  int weapons = 0;
  while (i < t.size()) {
    ASSERT_EQ(t[i], "Weapon") << "at token " << i;
    ASSERT_LT(i + 14, t.size());
    const std::string name = t[i + 1], image = t[i + 2];
    const int kind = std::stoi(t[i + 13]);
    SCOPED_TRACE(name);
    EXPECT_TRUE(DecodePng(image).ok) << image;
    // Left goes first; the garage finds thumbnails, and the tank the firing side,
    // from "Left" and "Right" in the names and pictures.
    const char* side = weapons == 0 ? "Left" : "Right";
    EXPECT_TRUE(Contains(name, side));
    EXPECT_TRUE(Contains(image, std::string("_") + side + ".png"));
    EXPECT_TRUE(DecodePng(image.substr(0, image.rfind('_')) + "_Thumb.png").ok);
    EXPECT_GT(std::stof(t[i + 11]), 0.f) << "reload time";
    EXPECT_GT(std::stof(t[i + 12]), 0.f) << "damage";
    i += 14;
    size_t pool = 0;
    while (i < t.size() && t[i] == "Projectile") {
      ASSERT_LT(i + 10, t.size());
      EXPECT_TRUE(DecodePng(t[i + 1]).ok) << t[i + 1];
      EXPECT_GT(std::stof(t[i + 9]), 0.f) << "lifetime";
      EXPECT_EQ(t[i + 10], "EndProjectile");
      ++pool;
      i += 11;
    }
    // The firing patterns address their pool by index: the spray uses two groups of
    // three, the split gun entries 0-7, the cannon up to fifteen.
    const size_t needed = kind == 1 ? 6 : kind == 2 ? 8 : kind == 6 ? 15 : 1;
    EXPECT_GE(pool, needed);
    ASSERT_LT(i, t.size());
    EXPECT_EQ(t[i], "EndWeapon");
    ++i;
    ++weapons;
  }
  EXPECT_EQ(weapons, 2);
}

// ---------------------------------------------------------------- sounds

namespace {

struct Wav {
  bool ok = false;
  uint32_t rate = 0;
  std::vector<int16_t> samples;  // mono 16-bit, the format our synthesiser writes
};

Wav ReadWav(const std::string& path) {
  Wav wav;
  const std::string d = Slurp(path);
  auto u32 = [&](size_t at) { return static_cast<uint32_t>(static_cast<uint8_t>(d[at]) | static_cast<uint8_t>(d[at + 1]) << 8 |
                                                           static_cast<uint8_t>(d[at + 2]) << 16 | static_cast<uint8_t>(d[at + 3]) << 24); };
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(static_cast<uint8_t>(d[at]) | static_cast<uint8_t>(d[at + 1]) << 8); };
  if (d.size() < 44 || d.compare(0, 4, "RIFF") || d.compare(8, 4, "WAVE")) return wav;
  size_t at = 12;
  bool fmtOk = false;
  while (at + 8 <= d.size()) {
    const std::string id = d.substr(at, 4);
    const uint32_t len = u32(at + 4);
    if (at + 8 + len > d.size()) return wav;
    if (id == "fmt ") {
      fmtOk = u16(at + 8) == 1 && u16(at + 10) == 1 && u16(at + 22) == 16;
      wav.rate = u32(at + 12);
    } else if (id == "data" && fmtOk) {
      wav.samples.resize(len / 2);
      for (size_t k = 0; k < wav.samples.size(); ++k) wav.samples[k] = static_cast<int16_t>(u16(at + 8 + 2 * k));
      wav.ok = wav.rate > 0;
      return wav;
    }
    at += 8 + len + (len & 1);
  }
  return wav;
}

std::vector<std::string> SoundList() {
  std::ifstream in("../Assets/Audio/AudioLoad.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace

TEST(ContentAudio, SoundListFillsEverySlotAndEachFileDecodes) {
  const auto lines = SoundList();
  ASSERT_GE(lines.size(), 15u);
  // Sounds are keyed by the file name from the last "/": two equal names would share one sound.
  std::set<std::string> keys;
  for (const auto& l : lines) EXPECT_TRUE(keys.insert(l.substr(l.rfind('/'))).second) << l << " repeats a file name";

  {
    // The shipped list ends without a line break, so start-up reads it without a word.
    testing::internal::CaptureStdout();
    Audio audio;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(audio.SoundCount(), static_cast<int>(lines.size()));
  }

  ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
  ASSERT_EQ(Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024), 0) << Mix_GetError();
  for (const auto& l : lines) {
    Mix_Chunk* chunk = Mix_LoadWAV(l.c_str());
    EXPECT_NE(chunk, nullptr) << l << ": " << Mix_GetError();
    if (chunk) {
      EXPECT_GT(chunk->alen, 0u) << l;
      Mix_FreeChunk(chunk);
    }
  }
  Mix_CloseAudio();
  SDL_Quit();
}

TEST(ContentAudio, MusicLoopsWithoutAClickAndEffectsFitTheirEvents) {
  const auto lines = SoundList();
  ASSERT_GE(lines.size(), 15u);
  for (size_t slot = 1; slot <= lines.size(); ++slot) {
    const std::string& path = lines[slot - 1];
    SCOPED_TRACE(path);
    const Wav wav = ReadWav(path);
    ASSERT_TRUE(wav.ok);
    ASSERT_GT(wav.samples.size(), 1u);
    const double seconds = static_cast<double>(wav.samples.size()) / wav.rate;
    // An offset costs headroom and thumps as a sound starts and stops.
    double sum = 0;
    for (int16_t s : wav.samples) sum += s;
    EXPECT_LT(std::abs(sum / static_cast<double>(wav.samples.size())), 0.01 * 32768) << "off centre";
    if (slot <= 3) {  // menu, level and boss music loop forever
      EXPECT_GE(seconds, 20.0);
      EXPECT_LE(seconds, 60.0);
      // The jump from the last sample back to the first must look like any other step
      // of the track, or every loop would click.
      std::vector<int> steps;
      for (size_t k = 1; k < wav.samples.size(); ++k) steps.push_back(std::abs(wav.samples[k] - wav.samples[k - 1]));
      std::nth_element(steps.begin(), steps.begin() + steps.size() * 999 / 1000, steps.end());
      const int typical = steps[steps.size() * 999 / 1000];
      EXPECT_LE(std::abs(wav.samples.front() - wav.samples.back()), typical);
    } else {
      EXPECT_LE(seconds, 3.0) << "an effect should be short";
      EXPECT_GE(seconds, 0.03);
    }
  }
  // The engine sounds are restarted at most every 0.7 s while the tank drives, so
  // each must last at least that long or the engine would drop out between starts.
  for (size_t slot : {13u, 14u}) {
    const Wav engine = ReadWav(lines[slot - 1]);
    EXPECT_GE(engine.samples.size(), 0.7 * engine.rate) << lines[slot - 1];
  }
}
