#pragma once
#include <memory>
#include <string>

#include "core/Vec3.h"
#include "objects/Shape.h"
#include "render/AnimatedTexture.h"

// A clickable picture: a sprite sheet whose frames show its looks (idle, hover, ...)
// and a hit rectangle in the same logical pixels as the mouse.
class Button {
public:
  // format 1 is PNG; (w, h) are the half sizes; descriptor and image are the sheet's files.
  Button(int format, const Vec3& position, int w, int h, const std::string& name, const std::string& descriptor,
         const std::string& image);

  bool UnderMouse() const;  // the hit rectangle holds g_input.mousePosition
  bool UnderPoint(const Vec3& p) const;
  // A left click on the button: true once per press, and the press is used up, so one
  // click reaches at most one button.
  bool Clicked();
  void SetFrame(unsigned int frame) { graphic->SetFrame(frame); }
  unsigned int Frame() const { return graphic->currentFrame; }
  void Draw() { graphic->Draw(); }
  // Moves picture and hit rectangle so that the centre is p.
  void SetPosition(const Vec3& p);
  Vec3 Centre() const;

  std::string name;                         // "confirm", "setting", "DEFAULT", ...
  bool hovered = false;                     // the editor remembers the mouse here
  bool enabled = true;                      // read by nobody; kept with the button's look
  std::shared_ptr<AnimatedTexture> graphic; // the sheet
  std::shared_ptr<Poly> shape;              // the hit rectangle
};

// The rectangle (x - w, y - h) .. (x + w, y + h) with outward normals, as objects build theirs.
Poly RectanglePoly(const Vec3& centre, float w, float h);
