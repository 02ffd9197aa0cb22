#include "objects/NPC.h"

NPC::NPC(const std::string& image, const Vec3& position, int halfWidth, int halfHeight, int format,
         const std::string& message_, const Vec3& offset_)
    : GameObject(image, position, halfWidth, halfHeight, format), message(message_), target(position + offset_),
      offset(offset_) {}

NPC::~NPC() = default;

std::string HelpCardPath(const std::string& characterName) {
  const std::string rest = characterName.size() > 3 ? characterName.substr(3) : std::string();
  return "../Assets/image/npc/npc" + rest + ".png";
}
