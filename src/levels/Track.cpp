#include "levels/Track.h"

#include "core/GameState.h"
#include "render/Camera.h"
#include "render/SquarePrimitive.h"

TrackMark MakeTrackMark(const Vec3& centre) {
  TrackMark mark;
  mark.firstPrint = Vec3(centre.x - 14.0f, centre.y - 14.0f, 0.0f);
  mark.secondPrint = Vec3(centre.x + 14.0f, centre.y + 14.0f, 0.0f);
  return mark;
}

Track::Track()
    : treadPrint(std::make_shared<SquarePrimitive>(Vec3(0.0f, 0.0f, 0.0f), 3, 2, 0.15f, 0.15f, 0.15f, 0.5f)) {
  treadPrint->Init();
}

void Track::AddMark(const TrackMark& mark) { marks.push_back(mark); }

void Track::Update(const Camera& camera) {
  for (size_t i = 0; i < marks.size(); ++i) {
    TrackMark& mark = marks[i];
    mark.age += g_loop.frameTime;
    treadPrint->SetCamera(camera);
    if (mark.age > mark.lifetime) {
      marks.erase(marks.begin());
      return;
    }
  }
}

void Track::Draw() {
  for (const TrackMark& mark : marks) {
    treadPrint->SetPosition(mark.firstPrint, mark.firstPrint.z);
    treadPrint->Draw();
    treadPrint->SetPosition(mark.secondPrint, mark.secondPrint.z);
    treadPrint->Draw();
  }
}
