#include "screens/Highscore.h"
#include "audio/Audio.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/Window.h"
#include "platform/KeyCodes.h"
#include "screens/MainMenu.h"
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <unistd.h>

std::string g_highscorePath = "../Assets/Highscore.txt";
int g_highscoreRank = -1;
bool g_resultRecorded = false;
std::function<void(int)> g_highscoreSaveStep;

int ScoreValue(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) return negative ? INT_MIN : INT_MAX; // a hand-edited giant stays the best
  }
  return static_cast<int>(negative ? -value : value);
}

Highscore::Highscore() {
  const float w = static_cast<float>(g_screenWidth), h = static_cast<float>(g_screenHeight);
  picture = std::make_shared<Texture>("../Assets/image/highscore.png", 1, Vec3(w / 2, h / 2), 320, 240);
  picture->Init();
  cancel = std::make_shared<Button>(1, Vec3(w / 2, h / 2 + 150), 100, 45, "cancel",
                                    "../Assets/image/optiontmp/button/cancel.txt",
                                    "../Assets/image/optiontmp/button/cancel.png");
  font = std::make_shared<Font>();
  font->Init();
  Load();
}

void HighscoreTable::Load() {
  std::ifstream in(g_highscorePath);
  if (!in) {
    std::printf("No highscore table at %s yet: the table starts empty\n", g_highscorePath.c_str());
    return;
  }
  bool reported = false;
  for (int i = 0; i < PLACES; ++i) {
    std::string name, score;
    if (!(in >> name >> score)) break;
    // A hand-edited or damaged table is still shown as it stands; it says so once.
    const size_t digits = score.find_first_not_of("+-") == 1 ? 1 : 0;
    if (!reported && (score.size() <= digits || score.find_first_not_of("0123456789", digits) != std::string::npos)) {
      std::printf("Error: %s place %d is not a name and a score: the table is shown as it stands\n",
                  g_highscorePath.c_str(), i + 1);
      reported = true;
    }
    names[i] = name;
    scores[i] = score;
    std::printf("%s %s\n", name.c_str(), score.c_str());
  }
}

int HighscoreTable::FindRank(int score) {
  Load();
  for (int i = PLACES - 1; i >= 0; --i)
    if (ScoreValue(scores[i]) >= score) return i + 1 < PLACES ? i + 1 : -1;
  return 0;
}

void HighscoreTable::Insert(int score, const std::string& name) {
  const int r = g_highscoreRank;
  if (r < 0 || r >= PLACES) return; // not a place in the table
  for (int i = PLACES - 1; i > r; --i) {
    names[i] = names[i - 1];
    scores[i] = scores[i - 1];
  }
  names[r] = name;
  scores[r] = std::to_string(score);
  Save();
}

bool HighscoreTable::Save() {
  const std::string temporary = g_highscorePath + ".saving";
  auto step = [](int n) {
    if (g_highscoreSaveStep) g_highscoreSaveStep(n);
  };
  auto fail = [&](const char* what) {
    std::printf("Error: cannot save the highscore table %s (%s): the table on disk is unchanged\n",
                g_highscorePath.c_str(), what);
    std::remove(temporary.c_str());
    return false;
  };
  FILE* out = std::fopen(temporary.c_str(), "w");
  if (!out) return fail(std::strerror(errno));
  bool written = true;
  for (int i = 0; i < PLACES && written; ++i) {
    // Places never filled stay blank lines: the reader skips them and keeps them empty.
    written = std::fprintf(out, "%s %s\n", names[i].c_str(), scores[i].c_str()) > 0 && std::fflush(out) == 0;
    step(i + 1);
  }
  // The data must be on the disk before the name points at it, or a power cut could
  // leave an empty table under the old name.
  written = written && fsync(fileno(out)) == 0;
  const int error = errno;
  written = std::fclose(out) == 0 && written;
  if (!written) return fail(std::strerror(error));
  step(PLACES + 1);
  if (std::rename(temporary.c_str(), g_highscorePath.c_str()) != 0) return fail(std::strerror(errno));
  step(PLACES + 2);
  return true;
}

void Highscore::Update() {
  if (g_usingGamepad) {
    hoverPoint = cancel->Centre();
    cancel->SetFrame(1);
    if (g_gamepad.triggered[PAD_A]) {
      g_gamepad.triggered[PAD_A] = false;
      PlayClick();
      g_showHighscores = false;
    }
    return;
  }
  hoverPoint = g_mousePosition;
  if (!cancel->UnderPoint(hoverPoint)) {
    cancel->SetFrame(0);
    return;
  }
  cancel->SetFrame(1);
  if (ConsumeTrigger(MOUSE_LEFT)) {
    PlayClick();
    g_showHighscores = false;
  }
}

void Highscore::Draw() {
  picture->Draw();
  cancel->Draw();
  const float w = static_cast<float>(g_screenWidth), h = static_cast<float>(g_screenHeight);
  const float x = w / 2 - 240;
  const Vec3 ink(1.0f, 1.0f, 1.0f);
  for (int i = 0; i < PLACES; ++i) {
    const float y = h / 2 - 100 + 20 * i;
    font->DrawText("\\", Vec3(x, y), ink, 1.0f);
    font->DrawText(std::to_string(i + 1), Vec3(x + 100, y), ink, 1.0f);
    font->DrawText(scores[i], Vec3(x + 300, y), ink, 1.0f);
    font->DrawText("/", Vec3(x + 450, y), ink, 1.0f);
  }
}
