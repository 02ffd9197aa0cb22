// The player's vehicle: the input table, driving into walls, being hit, and the HUD drawn
// and read back.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/Controls.h"
#include "core/GameState.h"
#include "core/Gamepad.h"
#include "core/Input.h"
#include "core/Window.h"
#include "levels/Hud.h"
#include "objects/Vehicle.h"
#include "objects/WorldRules.h"
#include "render/AnimatedTexture.h"
#include "render/DrawBatch.h"
#include "platform/KeyCodes.h"
#include "render/Texture.h"
#include "support/GlTestContext.h"
#include "support/TestWorld.h"

namespace {

constexpr float TWO_DEGREES = 0.034906585f;

class VehicleRules : public WorldTest {
protected:
  void SetUp() override {
    WorldTest::SetUp();
    ResetKeys();
    g_gamepad = Gamepad();
  }
  void TearDown() override {
    ResetKeys();
    g_gamepad = Gamepad();
    WorldTest::TearDown();
  }
  // One frame of the level's driving steps.
  void Frame(Vehicle& v) {
    ApplyDriveInput(v, g_gamepad);
    UpdatePlayer(world, v);
    BlockPlayer(world, v);
  }
};

TEST_F(VehicleRules, KeysDriveAlongTheFacingAndForwardWins) {
  Vehicle* v = Player(Vec3(400, 300, 0));
  const Vec3 start = v->Position();
  KeyDown(87); // W
  Frame(*v);
  EXPECT_NEAR(v->Position().x - start.x, 2.5f, 1e-3f);
  EXPECT_TRUE(v->Animated()->animating);
  KeyDown(83); // S as well: forward still wins
  Frame(*v);
  EXPECT_NEAR(v->Position().x - start.x, 5.0f, 1e-3f);
  KeyUp(87);
  Frame(*v);
  EXPECT_NEAR(v->Position().x - start.x, 3.5f, 1e-3f);
  KeyUp(83);
  Frame(*v);
  EXPECT_NEAR(v->Position().x - start.x, 3.5f, 1e-3f); // stops at once
  EXPECT_FALSE(v->Animated()->animating);
  EXPECT_EQ(v->velocity, Vec3());
}

TEST_F(VehicleRules, FortyFiveFramesOfDTurnAQuarter) {
  Vehicle* v = Player(Vec3(400, 300, 0));
  KeyDown(68);
  Frames(45, [&] { Frame(*v); });
  EXPECT_NEAR(v->rotation, 1.5707964f, 1e-4f);
  KeyUp(68);
  KeyDown(87);
  Frame(*v);
  EXPECT_NEAR(v->Position().y - 300.0f, 2.5f, 1e-3f); // now drives along +y
}

TEST_F(VehicleRules, HeldFireShootsOncePerCooldownAndNeverMoreThanThePool) {
  Vehicle* v = Player(Vec3(400, 300, 0), 3);
  int launched = 0, lastFrame = -100, shortestGap = 1000;
  for (int frame = 0; frame < 120; ++frame) {
    int before = 0;
    for (GameObject* s : v->children) before += s->active;
    KeyDown(32);
    g_input.keyTriggered[32] = true; // pressed anew every frame
    Frame(*v);
    UpdateMainGunShots(world, *v);
    int after = 0;
    for (GameObject* s : v->children) after += s->active;
    EXPECT_LE(after, 3);
    if (after > before) {
      ++launched;
      shortestGap = std::min(shortestGap, frame - lastFrame);
      lastFrame = frame;
    }
  }
  EXPECT_GE(launched, 3);
  EXPECT_GE(shortestGap, 18); // 0.3 s at 60 frames per second
}

TEST_F(VehicleRules, ABlockedTurnIsUndoneExactlyWhateverTurnedIt) {
  // A stick pushed straight up is outside the dead zone but has x = 0: it turns the
  // vehicle, and a wall must turn it back by just that much.
  Vehicle* v = Player(Vec3(400, 300, 0));
  Wall(Vec3(450, 300, 0)); // overlapping the vehicle's front
  g_gamepad.state.thumbRY = 30000;
  Frame(*v);
  EXPECT_NEAR(v->rotation, 0.0f, 1e-6f);
  EXPECT_GT(g_gamepad.rumbleTime, 0.0f);
  // Keys and stick together: both turns are undone.
  g_gamepad.state.thumbRX = 30000;
  KeyDown(68);
  Frame(*v);
  EXPECT_NEAR(v->rotation, 0.0f, 1e-6f);
  // Driving into the wall leaves the vehicle where it was.
  const Vec3 before = v->Position();
  g_gamepad.state = PadState();
  KeyUp(68);
  KeyDown(87);
  Frame(*v);
  EXPECT_NEAR(v->Position().x, before.x, 1e-3f);
  // Away from walls the turn stays.
  Vehicle* free = Player(Vec3(2000, 2000, 0));
  KeyUp(87);
  g_gamepad.state.thumbRY = 30000;
  Frame(*free);
  EXPECT_NEAR(free->rotation, TWO_DEGREES, 1e-6f);
}

TEST_F(VehicleRules, ClosedGatesAndSacksBlockButOpenGatesAndPortalsDoNot) {
  Vehicle* v = Player(Vec3(400, 300, 0));
  GameObject* gate = Gate("GATE3", Vec3(450, 300, 0));
  GameObject* portal = Gate("PORTALSECOND", Vec3(400, 350, 0));
  (void)portal;
  EXPECT_NE(FindBlocker(world, *v->shape), nullptr);
  OpenGate(world.gates, 3);
  EXPECT_EQ(FindBlocker(world, *v->shape), nullptr);
  EXPECT_EQ(gate->hp, 0);
  GameObject* sack = Sack(Vec3(352, 300, 0));
  EXPECT_EQ(FindBlocker(world, *v->shape), sack);
  sack->active = false;
  EXPECT_EQ(FindBlocker(world, *v->shape), nullptr);
}

// The index by place must answer every query exactly as the walk over the lists does:
// the same blocker, in the same order of walls, gates and sacks, wherever the shapes
// stand: piled on one spot, on cell edges, far off, or with no place at all.
TEST_F(VehicleRules, TheBlockerIndexAnswersEveryQueryAsTheWalkDoes) {
  unsigned seed = 7;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<float>((seed >> 8) % static_cast<unsigned>(range));
  };
  for (int i = 0; i < 300; ++i) Wall(Vec3(next(1600), next(1600), 0));
  for (int i = 0; i < 40; ++i) Wall(Vec3(160.0f * next(10), 160.0f * next(10), 0)); // on cell edges
  for (int i = 0; i < 60; ++i) Gate("GATE" + std::to_string(i % 4), Vec3(next(1600), next(1600), 0));
  for (int i = 0; i < 60; ++i) Sack(Vec3(next(1600), next(1600), 0))->active = i % 3 != 0;
  Wall(Vec3(1e30f, -1e30f, 0));
  Wall(Vec3(NAN, 5, 0));
  OpenGate(world.gates, 2);
  for (int i = 0; i < 20; ++i) world.walls[static_cast<size_t>(i) * 7]->active = false;
  Vehicle* probe = Player(Vec3(0, 0, 0));

  auto answers = [&] {
    std::vector<const GameObject*> found;
    for (int q = 0; q < 1500; ++q) {
      probe->SetPosition(Vec3(next(1700) - 50, next(1700) - 50, 0));
      probe->SetRotation(next(628) / 100.0f);
      found.push_back(FindBlocker(world, *probe->shape));
    }
    return found;
  };
  const unsigned start = seed;
  const auto walked = answers();
  EXPECT_GT(std::count(walked.begin(), walked.end(), nullptr), 100);
  EXPECT_LT(std::count(walked.begin(), walked.end(), nullptr), 1400);
  IndexBlockers(world);
  seed = start;
  EXPECT_EQ(answers(), walked);

  GameObject* lost = Wall(Vec3(NAN, NAN, 0)); // a query without a place walks the lists
  EXPECT_EQ(FindBlocker(world, *lost->shape), nullptr);

  // A wall moved between frames is found where it went once the level indexes again.
  GameObject* moved = world.walls[3];
  moved->SetPosition(Vec3(5000, 5000, 0));
  probe->SetPosition(Vec3(5000, 5000, 0));
  IndexBlockers(world);
  EXPECT_EQ(FindBlocker(world, *probe->shape), moved);
  // And again with the lists unchanged since the last filing.
  for (float at : {7000.0f, 9000.0f}) {
    moved->SetPosition(Vec3(at, at, 0));
    probe->SetPosition(Vec3(at, at, 0));
    IndexBlockers(world);
    EXPECT_EQ(FindBlocker(world, *probe->shape), moved) << at;
  }
}

TEST_F(VehicleRules, ASecondHitWithinASecondCostsNothing) {
  Vehicle* v = Player(Vec3(400, 300, 0));
  GameObject* gunner = Gunner(Vec3(420, 300, 0));
  EnemyShots(2);
  gunner->cooldown = 5.0f; // it does not shoot by itself here
  auto strike = [&](GameObject* shot) {
    shot->active = true;
    shot->lifetime = 5.0f;
    shot->SetPosition(v->Position());
    UpdateGunners(world, *v);
    UpdatePlayerHitWindow(*v);
  };
  strike(gunner->children[0]);
  EXPECT_EQ(v->hp, 9);
  EXPECT_TRUE(v->hit);
  EXPECT_TRUE(world.shake.requested);
  EXPECT_FALSE(gunner->children[0]->active);
  Frames(30, [&] { UpdatePlayerHitWindow(*v); });
  strike(gunner->children[1]);
  EXPECT_EQ(v->hp, 9);
  Frames(40, [&] { UpdatePlayerHitWindow(*v); });
  EXPECT_FALSE(v->hit);
  EXPECT_TRUE(v->Animated()->animating);
  world.frame.cheatMode = true;
  strike(gunner->children[0]);
  EXPECT_EQ(v->hp, 9);
  world.frame.cheatMode = false;
}

TEST_F(VehicleRules, WithoutARightWeaponEDoesNothing) {
  Vehicle* v = Player(Vec3(400, 300, 0));
  auto guns = MakeGarageGuns();
  v->weapons.push_back(std::make_shared<Weapon>(*guns[0]));
  KeyDown(69);
  Frame(*v);
  KeyUp(69);
  KeyDown(81);
  Frame(*v);
  EXPECT_GT(v->weapons[0]->reloadRemaining, 0.0);
}

// ---- the HUD, drawn into an off-screen frame of the logical screen's size -------------------

class HudDrawing : public VehicleRules {
protected:
  void TearDown() override {
    g_screen.width = savedWidth;
    g_screen.height = savedHeight;
    if (framebuffer) {
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      glDeleteFramebuffers(1, &framebuffer);
      glDeleteRenderbuffers(1, &colour);
    }
    glViewport(0, 0, GlTestContext::Get().width, GlTestContext::Get().height);
    VehicleRules::TearDown();
  }
  void Screen(int w, int h) {
    g_screen.width = w;
    g_screen.height = h;
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, w, h);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  void Clear() {
    FlushDrawing();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  // Lit pixels of logical row y, as the first and last lit x.
  std::pair<int, int> LitSpan(int y, int from = 0, int to = -1) {
    const int w = g_screen.width;
    std::vector<unsigned char> row(static_cast<size_t>(w) * 4);
    FlushDrawing();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, g_screen.height - 1 - y, w, 1, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
    int first = -1, last = -1;
    if (to < 0) to = w - 1;
    for (int x = from; x <= to; ++x) {
      const unsigned char* p = &row[static_cast<size_t>(x) * 4];
      if (p[0] + p[1] + p[2] > 30) {
        if (first < 0) first = x;
        last = x;
      }
    }
    return {first, last};
  }
  int savedWidth = g_screen.width, savedHeight = g_screen.height;
  unsigned int framebuffer = 0, colour = 0;
};

TEST_F(HudDrawing, AFullHitPointBarIs310PixelsWideAtEveryWidth) {
  for (int width : {1264, 1904}) {
    SCOPED_TRACE(width);
    Screen(width, 720);
    Vehicle* v = Player(Vec3(400, 300, 0));
    const int barRow = 720 / 2 + 270;
    for (int hp : {10, 3}) {
      v->hp = hp;
      v->UpdateReloadBars();
      Clear();
      v->DrawHud();
      const auto span = LitSpan(barRow);
      EXPECT_EQ(span.first, width / 2 - 234);
      EXPECT_EQ(span.second - span.first + 1, hp * 31);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &colour);
    framebuffer = colour = 0;
  }
}

TEST_F(HudDrawing, TheBarBlinksOnTwoOfSixteenDrawsInTheFirstHalfSecondOfAHit) {
  Screen(1264, 720);
  Vehicle* v = Player(Vec3(400, 300, 0));
  v->UpdateReloadBars();
  v->hitTimer = 0.9f;
  int hidden = 0;
  for (int i = 0; i < 32; ++i) {
    Clear();
    v->DrawHud();
    hidden += LitSpan(630).first < 0;
  }
  EXPECT_EQ(hidden, 4);
  v->hitTimer = 0.5f;
  Clear();
  v->DrawHud();
  EXPECT_GE(LitSpan(630).first, 0);
}

TEST_F(HudDrawing, EmptySlotsAreGreyedAndOnlyKnownKindsShowABullet) {
  Screen(1264, 720);
  Vehicle* v = Player(Vec3(400, 300, 0));
  const int row = 720 / 2 + 313, left = 1264 / 2 - 150;
  Clear();
  v->hudGraphics[0]->Draw(); // the bare slot frame
  const auto frameOnly = LitSpan(row, left - 30, left + 30);
  // A weapon of a kind that has no icon: the slot shows only its frame.
  v->weapons.push_back(std::make_shared<Weapon>(Vec3(400, 300, 0), 25, 25, 1, WeaponKind::Inert,
                                                "../Assets/image/gun/GunDefault_Left.png", 0.1, 1.0));
  v->UpdateReloadBars(); // not reloading: the overlay is empty
  Clear();
  v->DrawHud();
  EXPECT_EQ(LitSpan(row, left - 30, left + 30), frameOnly);
  EXPECT_TRUE(v->showReloadBars);
  // The right slot has no weapon: greyed out, unlike the left one.
  const int right = 1264 / 2 + 150;
  std::vector<unsigned char> a(4), b(4);
  FlushDrawing();
  glReadPixels(left, 720 - 1 - row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, a.data());
  glReadPixels(right, 720 - 1 - row, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, b.data());
  EXPECT_NE(a, b);
}

} // namespace

namespace {

TEST_F(HudDrawing, AGunsKeyHintFollowsItsBindingAndTheDefaultsDrawAsBefore) {
  Screen(1264, 720);
  Vehicle* v = Player(Vec3(400, 300, 0));
  g_play.player = v;
  g_hud.keyCaps = std::make_unique<KeyCaps>();
  Vec3 at;
  ASSERT_TRUE(v->KeyHintCentre(Mount::MainGun, at));
  auto hint = [&] {
    Clear();
    v->DrawHud();
    DrawMovedKeyHints();
    std::vector<unsigned char> pixels(32 * 16 * 4);
    FlushDrawing();
    glReadPixels(static_cast<int>(at.x) - 16, 720 - static_cast<int>(at.y) - 8, 32, 16, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    return pixels;
  };
  const auto own = hint();
  Action holder;
  ASSERT_EQ(BindKey(g_controls.bound, Action::MainGun, KEY_K, holder), BindResult::Bound);
  EXPECT_NE(hint(), own);
  g_controls.Reset();
  EXPECT_EQ(hint(), own);
  g_hud.keyCaps.reset();
  g_play.player = nullptr;
}

} // namespace
