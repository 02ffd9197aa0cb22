#include "editor/SoundBar.h"
#include "audio/Audio.h"
#include "editor/BarLayout.h"
#include "editor/Editor.h"
#include "platform/TweakBar.h"

namespace {

void PlayClicked(void* data) { static_cast<ATSound*>(data)->PlaySelectedSound(); }
void RefreshClicked(void* data) { static_cast<ATSound*>(data)->ReloadSounds(); }

struct SlotRow {
  const char* label;
  int slot;
  const char* definition;
};

// The help texts are the bar's own wording; the roles the game gives the slots are the
// audio's business.
constexpr SlotRow EFFECT_ROWS[] = {
    {"SE1: ", 2, " group=Effects help='Sound of projectile hitting enemy' "},
    {"SE2: ", 3, " group=Effects help='Sound of enemy shooting' "},
    {"SE3: ", 4, " group=Effects help='Sound of being damaged' "},
    {"SE4: ", 5, " group=Effects help='button click sound'"},
    {"SE5: ", 6, " group=Effects help='victory sound' "},
};

// Five digits of a slot's number and its step buttons; a longer sound name widens the column.
constexpr float SLOT_VALUES_WIDTH = 96.0f;

} // namespace

ATSound::ATSound() : audio(g_audio.get()) {
  bar = TwNewBar("anotherbar");
  AddContents();
  Place();
}

ATSound::~ATSound() {
  if (bar) {
    TwRemoveAllVars(bar);
    TwDeleteBar(bar);
  }
}

void ATSound::AddContents() {
  // The rows point at the key texts; the copies here stay put even when g_audio is replaced.
  labels.clear();
  if (audio) {
    labels.reserve(audio->soundNames.size() * 2);
    for (const std::string& key : audio->soundNames) {
      labels.push_back(std::to_string(labelCounter++));
      labels.push_back(key);
    }
    for (size_t i = 0; i + 1 < labels.size(); i += 2)
      TwAddVarRO(bar, labels[i].c_str(), TW_TYPE_STDSTRING, &labels[i + 1], "");
  }
  TwAddSeparator(bar, nullptr, " group='Background' ");
  TwAddVarRW(bar, "BG: ", TW_TYPE_UINT32, &g_soundSlots[0], " group=Background ");
  TwAddSeparator(bar, nullptr, " group='Effects' ");
  for (const SlotRow& row : EFFECT_ROWS)
    TwAddVarRW(bar, row.label, TW_TYPE_UINT32, &g_soundSlots[row.slot - 1], row.definition);
  TwAddSeparator(bar, nullptr, " group='PlaySound' ");
  TwAddVarRW(bar, "In: ", TW_TYPE_UINT32, &playIndex, " group=PlaySound ");
  TwAddButton(bar, "Play", PlayClicked, this, " group=PlaySound ");
  TwAddButton(bar, "Refresh", RefreshClicked, this, nullptr);
}

void ATSound::RebuildSoundBar() {
  if (!bar) return;
  TwRemoveAllVars(bar);
  TwDeleteBar(bar);
  bar = TwNewBar("anotherbar");
  AddContents();
  Place();
}

void ATSound::PlaySelectedSound() {
  if (!g_audio) return;
  g_audio->system.StopGroup(g_audio->effectsGroup);
  // Compared unsigned, as typed: "In: " takes numbers past the int range.
  if (playIndex >= 1 && playIndex <= static_cast<unsigned int>(g_audio->SoundCount()))
    g_audio->PlayEffect(static_cast<int>(playIndex - 1));
}

void ATSound::ReloadSounds() {
  // The old manager goes when its last owner lets go; everyone reaches sound through g_audio.
  g_audio = std::make_shared<Audio>();
  TwRemoveAllVars(bar);
  audio = g_audio.get();
  labelCounter = 1;
  AddContents();
  Place(); // the new list may hold a longer name
}

// Beside the property bar, wide enough for the longest sound name in the bars' font.
void ATSound::Place() {
  DressEditorBars();
  float valuesWidth = SLOT_VALUES_WIDTH;
  int width = 0, height = 0;
  TwBarFitSize(bar, valuesWidth, width, height);
  BarSlot property;
  const bool beside = TwBarPlacement(g_editor.propertyBar.bar, property.x, property.y, property.width, property.height);
  PlaceBar("anotherbar", NextBarSlot(BarCorner(), beside ? &property : nullptr, width, height), valuesWidth);
}
