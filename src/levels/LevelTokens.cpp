#include "levels/LevelTokens.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <istream>
#include <ostream>

#include "objects/Predicates.h"

namespace {

// ---- single tokens -----------------------------------------------------------

// from_chars takes no leading '+', which stream extraction accepts.
const char* SkipPlus(const char* first, const char* last) {
  return (first != last && *first == '+' && first + 1 != last) ? first + 1 : first;
}

bool ToFloat(const std::string& token, float& value) {
  const char* last = token.data() + token.size();
  const char* first = SkipPlus(token.data(), last);
  float v = 0.0f;
  auto [end, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || end != last || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ToInt(const std::string& token, int& value) {
  const char* last = token.data() + token.size();
  const char* first = SkipPlus(token.data(), last);
  int v = 0;
  auto [end, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || end != last) return false;
  value = v;
  return true;
}

// Reads fields in order and remembers the first fault, so that a block reads
// as a flat list of fields and is judged once at the end.
class FieldReader {
public:
  explicit FieldReader(std::istream& in) : in_(in) {}

  void Text(std::string& value) {
    if (!ok()) return;
    if (!(in_ >> value)) truncated_ = true;
  }
  void Real(float& value, const char* what) {
    std::string token;
    if (!Next(token)) return;
    if (!ToFloat(token, value)) Fail(what, token, "is not a finite number");
  }
  void Real(double& value, const char* what) {
    float f = 0.0f; // the files store 32-bit reals even for double fields
    Real(f, what);
    if (ok()) value = f;
  }
  void Whole(int& value, const char* what) {
    std::string token;
    if (!Next(token)) return;
    if (!ToInt(token, value)) Fail(what, token, "is not a whole number");
  }
  void HalfSize(float& value, const char* what) {
    Real(value, what);
    if (ok() && !(value >= 0.0f && value <= MAX_HALF_SIZE))
      Fail(what, std::to_string(value), "is outside 0..100000");
  }
  void Coordinate(float& value, const char* what) {
    Real(value, what);
    if (ok() && !(std::fabs(value) <= MAX_COORDINATE)) Fail(what, std::to_string(value), "is outside -1e9..1e9");
  }
  void Scale(float& value) {
    Real(value, "scale");
    // Sizes are stored divided by the scale; zero or a mirror would corrupt
    // the object and the next save of it.
    if (ok() && !(value > 0.0f)) Fail("scale", std::to_string(value), "is not above 0");
  }

  bool ok() const { return !truncated_ && problem_.empty(); }
  bool truncated() const { return truncated_; }
  const std::string& problem() const { return problem_; }

private:
  bool Next(std::string& token) {
    if (!ok()) return false;
    if (!(in_ >> token)) {
      truncated_ = true;
      return false;
    }
    return true;
  }
  void Fail(const char* what, const std::string& token, const char* why) {
    problem_ = std::string(what) + " \"" + token + "\" " + why;
  }

  std::istream& in_;
  bool truncated_ = false;
  std::string problem_;
};

void ReadObjectFields(FieldReader& r, std::string& name, std::string& imagePath, float& storedValue,
                      int& format, float& scale, float& rotation, float& cx, float& cy, float& hw,
                      float& hh) {
  r.Text(name);
  r.Text(imagePath);
  r.Real(storedValue, "stored value");
  r.Whole(format, "image format");
  r.Scale(scale);
  r.Real(rotation, "rotation");
  r.Coordinate(cx, "centre x");
  r.Coordinate(cy, "centre y");
  r.HalfSize(hw, "half width");
  r.HalfSize(hh, "half height");
}

bool TailMatches(const std::string& token, const std::string& keyword) {
  return token.size() >= 3 && token.compare(3, keyword.size(), keyword) == 0;
}

} // namespace

// ---- object blocks -----------------------------------------------------------

BlockResult ParseObjectBlock(std::istream& in, ObjectRecord& out, std::string& problem) {
  out = ObjectRecord{};
  problem.clear();
  if (!(in >> out.keyword)) return BlockResult::End;
  FieldReader r(in);
  ReadObjectFields(r, out.name, out.imagePath, out.storedValue, out.format, out.scale, out.rotation,
                   out.centreX, out.centreY, out.halfWidth, out.halfHeight);
  if (r.truncated()) {
    problem = "the file ends inside the " + out.keyword + " block";
    return BlockResult::Truncated;
  }
  if (!r.ok()) {
    problem = out.keyword + " " + out.name + ": " + r.problem();
    return BlockResult::Malformed;
  }
  // The object is made at its half sizes and then scaled.
  if (!(out.halfWidth * out.scale <= MAX_HALF_SIZE && out.halfHeight * out.scale <= MAX_HALF_SIZE)) {
    problem = out.keyword + " " + out.name + ": scale \"" + std::to_string(out.scale) +
              "\" makes it larger than 100000";
    return BlockResult::Malformed;
  }
  // The end keyword only frames the block; a file that stops right before it
  // has still given every value.
  in >> out.endKeyword;
  return BlockResult::Read;
}

// ---- loadout -----------------------------------------------------------------

namespace {

// Returns false when reading has to stop; `problem` then says why (empty at
// a clean end of file).
bool ReadProjectile(std::istream& in, ProjectileRecord& p, std::string& problem) {
  FieldReader r(in);
  r.Text(p.imagePath);
  r.Whole(p.format, "projectile image format");
  r.Real(p.speed, "projectile speed");
  r.Real(p.rotation, "projectile rotation");
  r.Coordinate(p.centreX, "projectile centre x");
  r.Coordinate(p.centreY, "projectile centre y");
  r.HalfSize(p.halfWidth, "projectile half width");
  r.HalfSize(p.halfHeight, "projectile half height");
  r.Real(p.lifetime, "projectile lifetime");
  if (r.truncated()) problem = "the file ends inside a Projectile block";
  else problem = r.problem();
  return r.ok();
}

bool ReadWeaponFields(std::istream& in, WeaponRecord& w, std::string& problem) {
  FieldReader r(in);
  ReadObjectFields(r, w.name, w.imagePath, w.storedValue, w.format, w.scale, w.rotation, w.centreX,
                   w.centreY, w.halfWidth, w.halfHeight);
  r.Real(w.reloadTime, "reload time");
  r.Real(w.damage, "damage");
  r.Whole(w.kind, "shooting type");
  if (r.truncated()) problem = "the file ends inside a Weapon block";
  else if (!r.ok()) problem = "weapon " + w.name + ": " + r.problem();
  return r.ok();
}

} // namespace

void ParseLoadout(std::istream& in, bool readUpgradeLevel, LoadoutRecord& out, std::ostream& log,
                  const std::string& source) {
  std::string problem;
  auto stop = [&](const std::string& why) {
    if (!why.empty()) log << "Error: " << source << ": " << why << ", the rest of the file is ignored\n";
  };

  std::string token;
  if (!(in >> token)) {
    log << "Error: " << source << ": the file is empty, the loadout is unchanged\n";
    return;
  }
  if (!ToInt(token, out.hp)) return stop("hit points \"" + token + "\" are not a whole number");
  out.hasHp = true;
  if (!readUpgradeLevel) return;
  if (!(in >> token)) {
    log << "Error: " << source << ": the file ends after the hit points, no upgrade level or weapons\n";
    return;
  }
  if (!ToInt(token, out.upgradeLevel)) return stop("upgrade level \"" + token + "\" is not a whole number");
  out.hasUpgradeLevel = true;
  if (std::abs(static_cast<long long>(out.upgradeLevel)) > MAX_UPGRADE_LEVEL) {
    const int used = std::clamp(out.upgradeLevel, -MAX_UPGRADE_LEVEL, MAX_UPGRADE_LEVEL);
    log << "Error: " << source << ": upgrade level " << out.upgradeLevel << " is outside -" << MAX_UPGRADE_LEVEL
        << ".." << MAX_UPGRADE_LEVEL << ", " << used << " is used\n";
    out.upgradeLevel = used;
  }

  // Every extraction below is checked: a failed one ends the file, so no
  // malformed loadout can keep these loops turning.
  while (in >> token) {
    while (token == "Weapon") {
      WeaponRecord weapon;
      if (!ReadWeaponFields(in, weapon, problem)) return stop(problem);
      if (!(std::fabs(weapon.damage) <= MAX_WEAPON_DAMAGE)) {
        const double used = std::clamp(weapon.damage, -MAX_WEAPON_DAMAGE, MAX_WEAPON_DAMAGE);
        log << "Error: " << source << ": weapon " << weapon.name << ": damage " << weapon.damage
            << " is outside -" << MAX_WEAPON_DAMAGE << ".." << MAX_WEAPON_DAMAGE << ", " << used << " is used\n";
        weapon.damage = used;
      }
      size_t dropped = 0;
      bool more = static_cast<bool>(in >> token);
      while (more && token == "Projectile") {
        ProjectileRecord projectile;
        if (!ReadProjectile(in, projectile, problem)) {
          out.weapons.push_back(std::move(weapon));
          return stop(problem);
        }
        if (weapon.projectiles.size() < MAX_LOADOUT_SHOTS) weapon.projectiles.push_back(projectile);
        else if (dropped++ == 0)
          log << "Error: " << source << ": weapon " << weapon.name << " pools more than " << MAX_LOADOUT_SHOTS
              << " shots, the rest are left out\n";
        more = static_cast<bool>(in >> token);
        if (!more || token != "EndProjectile") log << "PROBLEM!\n";
        if (more) more = static_cast<bool>(in >> token);
      }
      out.weapons.push_back(std::move(weapon));
      if (!more) return;
    }
  }
}

// ---- validation ----------------------------------------------------------------

bool ValidateLevelTokens(std::istream& in) {
  std::string token;
  std::string last;
  std::string openKeyword;
  long long count = 0;
  bool sawPlayer = false;
  bool sawObject = false;
  bool endsWithoutBreak = false;
  while (in >> token) {
    ++count;
    // A token that runs into the end of the file has no line break after it;
    // the files are only accepted as the writers leave them.
    if (in.eof()) endsWithoutBreak = true;
    if (token == "PLAYER") sawPlayer = true;
    if (token == "GameObject") {
      openKeyword = token;
      sawObject = true;
    }
    if (token == "EndGameObject" && (!TailMatches(token, openKeyword) || count % 12 != 0)) return false;
    last = token;
  }
  if (endsWithoutBreak || !sawPlayer) return false;
  if (sawObject && !TailMatches(last, openKeyword)) return false;
  return count % 12 == 0;
}

// ---- classifying -----------------------------------------------------------------

ObjectKind ChooseObjectKind(const std::string& keyword, const std::string& name) {
  bool animated = name == "PLAYER" || (Contains(name, "ENEMY") && !Contains(name, "PROJ")) ||
                  name == "SACK" || Contains(name, "PORTAL") || Contains(name, "GATE");
  if (animated) {
    if (keyword == "GameObject") return ObjectKind::Animated;
    if (keyword == "Vehicle") return ObjectKind::Vehicle;
    return ObjectKind::None;
  }
  if (name == "GARAGE" || Contains(name, "NPC")) return ObjectKind::Npc;
  return ObjectKind::Static;
}

std::string DescriptorPath(const std::string& imagePath) {
  size_t keep = imagePath.size() >= 3 ? imagePath.size() - 3 : 0;
  return imagePath.substr(0, keep) + "txt";
}

bool IsWallPicture(const std::string& imagePath) {
  const std::string tail = "wall.png";
  return imagePath.size() >= tail.size() &&
         imagePath.compare(imagePath.size() - tail.size(), tail.size(), tail) == 0;
}

std::string WallVariantPath(const std::string& imagePath, int roll) {
  if (roll != 0 || !IsWallPicture(imagePath)) return imagePath;
  return imagePath.substr(0, imagePath.size() - 4) + "2.png";
}
