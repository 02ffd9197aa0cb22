// Particle effects: their patterns, their clock and the six pools.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/GameState.h"
#include "core/Window.h"
#include "render/DrawBatch.h"
#include "render/ParticleSys.h"
#include "support/RenderFixture.h"

namespace {

const float WHITE[4] = {1, 1, 1, 1};

class ParticleDraw : public RenderTest {
protected:
  void TearDown() override {
    g_loop.frameTime = 1.0f / 60.0f;
    RenderTest::TearDown();
  }
  // Draws one frame of the system and returns the brightest red level on screen.
  int DrawFrame(ParticleSys& s) {
    gl->BeginFrame();
    s.Draw();
    gl->ReadFrame();
    int brightest = 0;
    for (int y = 0; y < gl->height; ++y)
      for (int x = 0; x < gl->width; ++x) brightest = std::max(brightest, gl->FramePixel(x, y).r);
    return brightest;
  }
};

} // namespace

TEST_F(ParticleDraw, EffectFadesAndStopsAfterItsDuration) {
  // One particle, so that overlapping squares do not saturate the picture.
  ParticleSys burst(Vec3(0, 0, 0), 0, 1, 0.25f, ParticleKind::Burst, true, WHITE, 1.0f);
  burst.Init();
  burst.SetPosition(600, 300);
  burst.Restart();
  g_loop.frameTime = 0.03125f; // exact in binary, so elapsed lands on the duration

  std::vector<int> levels;
  while (burst.elapsed < 0.25f) levels.push_back(DrawFrame(burst));
  ASSERT_EQ(levels.size(), 8u);
  EXPECT_GT(levels.front(), 100);
  for (size_t i = 1; i < levels.size(); ++i) EXPECT_LT(levels[i], levels[i - 1]) << "frame " << i;

  EXPECT_EQ(burst.elapsed, 0.25f);
  DrawFrame(burst); // elapsed equal to the duration still counts as running
  EXPECT_GT(burst.elapsed, 0.25f);
  const float finished = burst.elapsed;
  EXPECT_EQ(DrawFrame(burst), 0);
  EXPECT_EQ(burst.elapsed, finished);

  // Moving a finished effect does not bring it back; restarting does.
  burst.SetPosition(300, 300);
  EXPECT_EQ(DrawFrame(burst), 0);
  burst.Restart();
  EXPECT_GT(DrawFrame(burst), 100);
}

TEST_F(ParticleDraw, LongFramesMoveAndFadeWithoutAgeing) {
  ParticleSys puff(Vec3(0, 0, 0), 0, 10, 1.0f, ParticleKind::Puff, true, WHITE, 1.0f);
  puff.Init();
  puff.SetPosition(300, 300);
  puff.Restart();
  g_loop.frameTime = 0.1f;
  const Vec3 start = puff.particles[3].position;
  DrawFrame(puff);
  EXPECT_EQ(puff.elapsed, 0.0f);
  EXPECT_NEAR(puff.particles[3].color[3], 0.9f, 1e-6);
  EXPECT_EQ(puff.particles[3].position.x, start.x + puff.particles[3].velocity.x);
}

TEST_F(ParticleDraw, RestartReplaysTheSamePicture) {
  ParticleSys spark(Vec3(0, 0, 0), 0, 20, 0.5f, ParticleKind::Spark, true, WHITE, 1.5f);
  spark.Init();
  spark.SetPosition(400, 400);
  g_loop.frameTime = 1.0f / 60.0f;
  std::vector<std::vector<Rgb>> runs;
  for (int run = 0; run < 2; ++run) {
    spark.Restart();
    for (int frame = 0; frame < 3; ++frame) DrawFrame(spark);
    std::vector<Rgb> pixels;
    for (int y = 340; y < 460; ++y)
      for (int x = 340; x < 460; ++x) pixels.push_back(gl->FramePixel(x, y));
    runs.push_back(pixels);
  }
  int differing = 0;
  for (size_t i = 0; i < runs[0].size(); ++i) differing += !Near(runs[0][i], runs[1][i], 0);
  EXPECT_EQ(differing, 0);
}

TEST_F(ParticleDraw, FadedParticlesSendNoQuadsWhileTheEffectRuns) {
  // The effect fades to alpha 0 on its last frame, which shows nothing and must send nothing.
  ParticleSys puff(Vec3(0, 0, 0), 0, 10, 0.25f, ParticleKind::Puff, true, WHITE, 1.0f);
  puff.Init();
  puff.SetPosition(300, 300);
  puff.Restart();
  g_loop.frameTime = 0.03125f;
  std::vector<long> quads;
  while (puff.elapsed < 0.25f) {
    const long before = RenderCounters().quads;
    DrawFrame(puff);
    quads.push_back(RenderCounters().quads - before);
  }
  EXPECT_EQ(quads, (std::vector<long>{10, 10, 10, 10, 10, 10, 10, 0}));
}

TEST(ParticlePattern, BurstLeavesAlongEvenlySpacedDirections) {
  ParticleSys burst(Vec3(0, 0, 0), 0, 100, 0.75f, ParticleKind::Burst, true, WHITE, 1.0f);
  const double step = 2 * std::numbers::pi / 100;
  for (int i = 0; i < 100; ++i) {
    const Vec3 v = burst.particles[i].velocity;
    EXPECT_LE(std::fabs(v.x), 0.003 * 0.99 + 1e-7);
    EXPECT_LE(std::fabs(v.y), 0.003 * 0.99 * 1.4 + 1e-7);
    if (std::hypot(v.x, v.y / 1.4) < 1e-6) continue; // a zero multiplier leaves no direction
    const double a = std::atan2(v.y / 1.4, v.x);
    const double k = a / step;
    EXPECT_NEAR(k, std::round(k), 1e-3) << "particle " << i;
  }
  EXPECT_FLOAT_EQ(burst.cornerOffsets[2].x, 0.005f);
  // Counts outside 1-500 are brought inside rather than overrun the store.
  ParticleSys none(Vec3(0, 0, 0), 0, 0, 1.0f, ParticleKind::Burst, true, WHITE, 1.0f);
  EXPECT_EQ(none.particleCount, 1);
  ParticleSys many(Vec3(0, 0, 0), 0, 9000, 1.0f, ParticleKind::Flame, true, WHITE, 1.0f);
  EXPECT_EQ(many.particleCount, MAX_PARTICLES);
}

TEST_F(ParticleDraw, PoolsAreFilledOnceEachTime) {
  FillParticlePools();
  FillParticlePools();
  EXPECT_EQ(g_particles.burst.size(), 10u);
  EXPECT_EQ(g_particles.puff.size(), 50u);
  EXPECT_EQ(g_particles.smoke.size(), 10u);
  EXPECT_EQ(g_particles.fireSmoke.size(), 20u);
  EXPECT_EQ(g_particles.spark.size(), 50u);
  EXPECT_EQ(g_particles.flame.size(), 5u);
  EXPECT_EQ(g_particles.burst[0]->particleCount, 100);
  EXPECT_EQ(g_particles.flame[4]->particleCount, 25);
  for (auto& s : g_particles.smoke) {
    const float k = s->duration / 0.5f;
    EXPECT_TRUE(k >= 3 - 1e-4 && k <= 6 + 1e-4 && std::fabs(k - std::round(k)) < 1e-4) << s->duration;
  }
  // The first ten fire-smoke systems are fiery, the rest grey.
  EXPECT_EQ(g_particles.fireSmoke[0]->particles[0].color[0], 1.0f);
  EXPECT_NE(g_particles.fireSmoke[0]->particles[0].color[1], g_particles.fireSmoke[0]->particles[0].color[2]);
  EXPECT_EQ(g_particles.fireSmoke[15]->particles[0].color[1], g_particles.fireSmoke[15]->particles[0].color[2]);

  // Parked off screen: drawing every pool shows nothing.
  for (auto* pool : g_particles.All())
    for (auto& s : *pool) s->Draw();
  gl->ReadFrame();
  EXPECT_TRUE(LitBox().Empty());
  EmptyParticlePools();
  EXPECT_TRUE(g_particles.spark.empty());
}
