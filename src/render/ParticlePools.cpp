#include "render/ParticleSys.h"

#include <random>

ParticlePools g_particles;

namespace {

struct PoolRow {
  ParticlePool* pool;
  ParticleKind kind;
  int systems;
  int particles;
  float duration;    // seconds; for smoke multiplied by k from 3..6
  float color[4];    // bursts and puffs
  float sizeFactor;
  int fieryFirst;    // smoke: how many systems take the fiery palette whatever grey says
};

const PoolRow POOL_ROWS[] = {
    {&g_particles.burst, ParticleKind::Burst, 10, 100, 0.75f, {1.0f, 0.5f, 0.5f, 1.0f}, 1.0f, 0},
    {&g_particles.puff, ParticleKind::Puff, 50, 10, 0.25f, {0.2f, 0.2f, 0.2f, 1.0f}, 1.0f, 0},
    {&g_particles.smoke, ParticleKind::Smoke, 10, 20, 0.5f, {1.0f, 1.0f, 1.0f, 1.0f}, 1.0f, 0},
    {&g_particles.fireSmoke, ParticleKind::Smoke, 20, 20, 0.1f, {1.0f, 1.0f, 1.0f, 1.0f}, 1.0f, 10},
    {&g_particles.spark, ParticleKind::Spark, 50, 20, 0.15f, {1.0f, 1.0f, 1.0f, 1.0f}, 1.5f, 0},
    {&g_particles.flame, ParticleKind::Flame, 5, 25, 0.5f, {1.0f, 1.0f, 1.0f, 1.0f}, 1.25f, 0},
};

const PoolRow* RowFor(const ParticlePool& pool, ParticleKind kind) {
  for (const PoolRow& row : POOL_ROWS)
    if (row.pool == &pool && row.kind == kind) return &row;
  for (const PoolRow& row : POOL_ROWS)
    if (row.kind == kind) return &row;
  return nullptr;
}

} // namespace

void FillParticlePool(ParticlePool& pool, ParticleKind kind, bool grey) {
  const PoolRow* row = RowFor(pool, kind);
  if (!row) return;
  std::mt19937 generator; // default seed: the same smoke lengths every run
  std::uniform_int_distribution<int> pick(3, 6);
  for (int i = 0; i < row->systems; ++i) {
    const float duration = kind == ParticleKind::Smoke ? pick(generator) * row->duration : row->duration;
    const bool systemGrey = i < row->fieryFirst ? false : (row->fieryFirst > 0 ? true : grey);
    auto system = std::make_shared<ParticleSys>(Vec3(-1000.0f, 0.0f, 0.0f), 0.0f, row->particles, duration, kind,
                                                systemGrey, row->color, row->sizeFactor);
    pool.push_back(system);
    system->Restart();
    system->Init();
  }
}

void EmptyParticlePools() { g_particles = ParticlePools(); }

void FillParticlePools() {
  EmptyParticlePools();
  FillParticlePool(g_particles.burst, ParticleKind::Burst, true);
  FillParticlePool(g_particles.puff, ParticleKind::Puff, true);
  FillParticlePool(g_particles.smoke, ParticleKind::Smoke, true);
  FillParticlePool(g_particles.fireSmoke, ParticleKind::Smoke, false);
  FillParticlePool(g_particles.spark, ParticleKind::Spark, true);
  FillParticlePool(g_particles.flame, ParticleKind::Flame, true);
}
