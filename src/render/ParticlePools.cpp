#include "render/ParticleSys.h"

#include <random>

ParticlePools g_particles;

namespace {

struct PoolRow {
  ParticlePool* pool;
  int kind;
  int systems;
  int particles;
  float duration;    // seconds; for kind 1 multiplied by k from 3..6
  float color[4];    // kinds 0 and 2
  float sizeFactor;
  int fieryFirst;    // kind 1: how many systems take the fiery palette whatever grey says
};

const PoolRow POOL_ROWS[] = {
    {&g_particles.burst, 0, 10, 100, 0.75f, {1.0f, 0.5f, 0.5f, 1.0f}, 1.0f, 0},
    {&g_particles.puff, 2, 50, 10, 0.25f, {0.2f, 0.2f, 0.2f, 1.0f}, 1.0f, 0},
    {&g_particles.smoke, 1, 10, 20, 0.5f, {1.0f, 1.0f, 1.0f, 1.0f}, 1.0f, 0},
    {&g_particles.fireSmoke, 1, 20, 20, 0.1f, {1.0f, 1.0f, 1.0f, 1.0f}, 1.0f, 10},
    {&g_particles.spark, 4, 50, 20, 0.15f, {1.0f, 1.0f, 1.0f, 1.0f}, 1.5f, 0},
    {&g_particles.flame, 3, 5, 25, 0.5f, {1.0f, 1.0f, 1.0f, 1.0f}, 1.25f, 0},
};

const PoolRow* RowFor(const ParticlePool& pool, int kind) {
  for (const PoolRow& row : POOL_ROWS)
    if (row.pool == &pool && row.kind == kind) return &row;
  for (const PoolRow& row : POOL_ROWS)
    if (row.kind == kind) return &row;
  return nullptr;
}

} // namespace

void FillParticlePool(ParticlePool& pool, int kind, bool grey) {
  const PoolRow* row = RowFor(pool, kind);
  if (!row) return;
  std::mt19937 generator; // default seed: the same smoke lengths every run
  std::uniform_int_distribution<int> pick(3, 6);
  for (int i = 0; i < row->systems; ++i) {
    const float duration = kind == 1 ? pick(generator) * row->duration : row->duration;
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
  FillParticlePool(g_particles.burst, 0, true);
  FillParticlePool(g_particles.puff, 2, true);
  FillParticlePool(g_particles.smoke, 1, true);
  FillParticlePool(g_particles.fireSmoke, 1, false);
  FillParticlePool(g_particles.spark, 4, true);
  FillParticlePool(g_particles.flame, 3, true);
}
