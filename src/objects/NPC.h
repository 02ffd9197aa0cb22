#pragma once
#include <string>

#include "objects/GameObject.h"

// A friendly character (a name containing "NPC") or a garage keeper
// ("GARAGE"): a static picture that shows a key prompt when the player is near.
class NPC : public GameObject {
public:
  NPC(const std::string& image, const Vec3& position, int halfWidth, int halfHeight, int format,
      const std::string& message, const Vec3& offset);
  ~NPC() override;

  std::string message;   // the character's text
  bool near = false;     // the player is within sqrt(5000) units; refreshed every frame
  bool talkable = true;  // kept with the character; nothing changes it
  Vec3 target;           // the creation position plus offset
  Vec3 offset;
};

// The card a talking character shows: "../Assets/image/npc/npc" + its name from the fourth
// character on + ".png" (NPC12 shows npc12.png).
std::string HelpCardPath(const std::string& characterName);
