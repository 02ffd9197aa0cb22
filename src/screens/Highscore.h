#pragma once
#include <memory>
#include <string>

#include "core/Vec3.h"
#include "render/Font.h"
#include "render/Texture.h"
#include "screens/Button.h"
#include "screens/HighscoreTable.h"

// The table as the menu shows it and the end screens fill it.
class Highscore : public HighscoreTable {
public:
  Highscore(); // the picture, the "cancel" button, then Load

  void Update(); // the cancel button (or the pad's A) closes the table
  void Draw();

  std::shared_ptr<Button> cancel;  // the one button
  std::shared_ptr<Texture> picture;
  std::shared_ptr<Font> font;
  Vec3 hoverPoint;                 // the point last tested against the button
};

