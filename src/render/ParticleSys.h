#pragma once
#include <array>
#include <memory>
#include <vector>

#include "core/Vec3.h"
#include "render/Graphic.h"

constexpr int MAX_PARTICLES = 500;

struct Particle {
  Vec3 position;                        // device coordinates
  Vec3 velocity;                        // device units per frame
  float color[4] = {1.0f, 1.0f, 1.0f, 1.0f}; // r, g, b, alpha
  float size = 0.0f;                    // half side of the square, device units
  bool alive = false;
  int angleCounter = 0;                 // smoke only
};

// How an effect's particles leave the emitter and which colours they take.
enum class ParticleKind : int {
  Burst = 0, // radial at full speed, the caller's colour or grey, fixed size
  Smoke = 1, // drifting sideways and bobbing, a grey or a fiery palette
  Puff = 2,  // radial at half speed, the caller's colour or grey
  Flame = 3, // radial at half speed, reds
  Spark = 4, // radial at half speed with the burst's spread of speeds, yellows
};

// One short effect of up to 500 particles flying out of one emitter and fading over
// duration seconds.
// Velocities and colours are drawn at construction, so every Restart replays the
// same pattern. It animates only while drawn: Draw runs Step first.
class ParticleSys : public Graphic {
public:
  // position: emitter in device coordinates; count is kept within 1-500; color
  // (r, g, b, a) colours bursts and puffs; grey picks the smoke's palette.
  ParticleSys(const Vec3& position, float depth, int count, float duration, ParticleKind kind, bool grey,
              const float color[4], float sizeFactor);

  void Init() override;
  // Steps the effect, then draws it; nothing once elapsed passes duration (or while not
  // active).
  void Draw() override;
  // One frame of g_loop.frameTime: moves and fades every particle and ages the effect (a frame
  // of 0.1 s or more does not age it).
  void Step();

  // Moves the emitter to a point in logical pixels and gathers the particles there.
  void SetPosition(float px, float py);
  // Plays the effect again from the emitter.
  void Restart();

  float elapsed = 0.0f;    // seconds since the last Restart
  float duration = 0.0f;   // seconds the effect is drawn
  float direction[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1}; // row-major, turns the smoke's drift
  float emitterPosition[2] = {0.0f, 0.0f};           // device coordinates
  float emitterDepth = 0.0f;
  Particle particles[MAX_PARTICLES];
  int particleCount = 0;
  Vec3 cornerOffsets[4];   // a particle's square around its centre, drawn in this order
  bool active = true;
  float fadeRate = 0.0f;   // alpha lost per second
  ParticleKind kind = ParticleKind::Burst;

private:
  // The particles where Step left them, gathered while batching, else one draw call each.
  void DrawParticles() const;
  // p's square as four vertices of x, y, r, g, b, a.
  void WriteQuad(const Particle& p, float out[24]) const;
};

using ParticlePool = std::vector<std::shared_ptr<ParticleSys>>;

// The playing states' effects, one pool per kind of event. A pool's systems stay parked
// off screen until a rule restarts a finished one where something happens.
struct ParticlePools {
  ParticlePool burst;     // an enemy's death
  ParticlePool puff;      // a shot hitting a wall, closed gate or sack
  ParticlePool smoke;     // the vehicle's driving dust
  ParticlePool fireSmoke; // smoke from a badly hit vehicle
  ParticlePool spark;     // muzzle flash
  ParticlePool flame;     // an enemy shot hitting the player

  // The six pools in the order they are filled and drawn.
  std::array<ParticlePool*, 6> All() { return {&burst, &puff, &smoke, &fireSmoke, &spark, &flame}; }
};

// ---- shared by several modules ---------------------------------------------
extern ParticlePools g_particles;

// Fills the six pools with systems parked off screen, restarted and initialised.
// Pools are emptied first, so a state that fills them again does not double them.
void FillParticlePools();
// Appends one pool's systems (sizes from that pool's row; a pool that is not one of
// the six gets the first row of that kind).
void FillParticlePool(ParticlePool& pool, ParticleKind kind, bool grey);
// Empties the six pools (the playing states do it when they end).
void EmptyParticlePools();
