#include "render/ParticleSys.h"
#include "core/GameState.h"
#include "render/DrawBatch.h"
#include "render/RenderLocal.h"
#include "render/Shader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <random>

namespace {

const float GREY[4] = {0.5f, 0.5f, 0.5f, 1.0f};
const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float FLAME_COLORS[2][4] = {{1.0f, 0.141f, 0.0f, 1.0f}, {1.0f, 0.502f, 0.251f, 1.0f}};
const float SPARK_COLORS[2][4] = {{1.0f, 0.847f, 0.003f, 1.0f}, {1.0f, 0.651f, 0.184f, 1.0f}};
const float SMOKE_GREYS[3][4] = {
    {0.4117f, 0.4117f, 0.4117f, 1.0f}, {0.5019f, 0.5019f, 0.5019f, 1.0f}, {0.6627f, 0.6627f, 0.6627f, 1.0f}};
const float SMOKE_FIRE[3][4] = {{1.0f, 0.2705f, 0.0f, 1.0f}, {1.0f, 0.8431f, 0.0f, 1.0f}, {1.0f, 0.647f, 0.0f, 1.0f}};

void SetColor(Particle& p, const float c[4]) { std::copy(c, c + 4, p.color); }

// Every kind but smoke: each particle leaves along one of count evenly spaced directions.
void EmitRadial(ParticleSys& s, const float color[4], float sizeFactor) {
  const ParticleKind kind = s.kind;
  const int count = s.particleCount;
  const float* pair[2] = {color ? color : WHITE, GREY};
  if (kind == ParticleKind::Flame) pair[0] = FLAME_COLORS[0], pair[1] = FLAME_COLORS[1];
  if (kind == ParticleKind::Spark) pair[0] = SPARK_COLORS[0], pair[1] = SPARK_COLORS[1];
  const double speed = kind == ParticleKind::Burst ? 0.003 : 0.003 * 0.5;
  for (int i = 0; i < count; ++i) {
    Particle& p = s.particles[i];
    SetColor(p, pair[std::rand() % 2]);
    std::rand(); // one draw the pattern has always skipped
    const double a = (std::rand() % count) * 2.0 * std::numbers::pi / count;
    p.velocity = Vec3(static_cast<float>(std::cos(a) * speed), static_cast<float>(std::sin(a) * speed * 1.4), 0.0f);
    const double m = (kind == ParticleKind::Burst || kind == ParticleKind::Spark) ? (std::rand() % 100) * 0.01
                                                                                  : (std::rand() % 50) * 0.02;
    p.velocity = p.velocity * static_cast<float>(m);
    p.size = kind == ParticleKind::Burst ? 0.005f : static_cast<float>(sizeFactor * 0.005);
  }
}

// Smoke: slow particles that drift sideways, bobbing, each with its own phase.
void EmitSmoke(ParticleSys& s, bool grey, float sizeFactor) {
  for (Particle& p : s.particles) {
    p.position.x = s.emitterPosition[0] + static_cast<float>(((std::rand() % 10) - 5) * 3.0);
    p.position.y = s.emitterPosition[1];
  }
  std::mt19937 generator; // default seed: the same palette order every time
  std::uniform_int_distribution<int> pick(1, 3);
  for (int i = 0; i < s.particleCount; ++i) {
    Particle& p = s.particles[i];
    const int k = pick(generator);
    SetColor(p, grey ? SMOKE_GREYS[k - 1] : SMOKE_FIRE[k - 1]);
    p.angleCounter = std::rand() % 360 + 1;
    p.velocity = Vec3(static_cast<float>(p.angleCounter * 0.0002 * 0.005), 0.0f, 0.0f);
    p.size = static_cast<float>(sizeFactor * 0.007);
  }
}

} // namespace

ParticleSys::ParticleSys(const Vec3& position, float depth, int count, float duration_, ParticleKind kind_, bool grey,
                         const float color[4], float sizeFactor) {
  duration = duration_;
  emitterPosition[0] = position.x;
  emitterPosition[1] = position.y;
  emitterDepth = depth;
  // Beyond the store would write past it; none would divide by zero below.
  particleCount = std::clamp(count, 1, MAX_PARTICLES);
  kind = kind_;
  fadeRate = 1.0f / duration;
  for (Particle& p : particles) p.position = Vec3(position.x, position.y, depth);
  for (int i = 0; i < particleCount; ++i) particles[i].alive = true;
  if (kind == ParticleKind::Smoke)
    EmitSmoke(*this, grey, sizeFactor);
  else
    EmitRadial(*this, color, sizeFactor);
  const float s = particles[0].size;
  cornerOffsets[0] = Vec3(-s, -s, 0);
  cornerOffsets[1] = Vec3(s, -s, 0);
  cornerOffsets[2] = Vec3(s, s, 0);
  cornerOffsets[3] = Vec3(-s, s, 0);
}

void ParticleSys::Init() {
  NewBuffers(true);
  glBufferData(GL_ARRAY_BUFFER, 24, nullptr, GL_STREAM_DRAW);
  gl->program = UseSharedProgram(SharedProgram::Particle);
  gl->positionLocation = BindAttribute(gl->program, "position", 2, 24, 0);
  gl->colorLocation = BindAttribute(gl->program, "color", 4, 24, 8);
  FinishInit(true);
}

void ParticleSys::Draw() {
  if (!active || elapsed > duration) return;
  Step();
  DrawParticles();
}

void ParticleSys::Step() {
  for (int i = 0; i < particleCount; ++i) {
    Particle& p = particles[i];
    if (kind == ParticleKind::Smoke) p.angleCounter += 1;
    p.color[3] -= fadeRate * g_loop.frameTime;
    p.position += p.velocity; // per frame, not per second
    if (kind == ParticleKind::Smoke) {
      const int c = p.angleCounter;
      const float drift[3] = {static_cast<float>((c % 360) * 0.0002 * 0.01),
                              static_cast<float>(std::sin(c / 360.0 * 2.0 * std::numbers::pi) * 0.0002),
                              p.velocity.z};
      const float* d = direction;
      p.velocity = Vec3(d[0] * drift[0] + d[1] * drift[1] + d[2] * drift[2],
                        d[3] * drift[0] + d[4] * drift[1] + d[5] * drift[2],
                        d[6] * drift[0] + d[7] * drift[1] + d[8] * drift[2]);
      p.velocity.x = -p.velocity.x;
    }
  }
  if (g_loop.frameTime < 0.1f) elapsed += g_loop.frameTime; // a long frame does not age the effect
}

void ParticleSys::WriteQuad(const Particle& p, float out[24]) const {
  for (const Vec3& corner : cornerOffsets) {
    const float vertex[6] = {p.position.x + corner.x, p.position.y + corner.y, p.color[0], p.color[1], p.color[2],
                             p.color[3]};
    std::copy(vertex, vertex + 6, out);
    out += 6;
  }
}

// Parked and far-flung particles still move and fade; they are only not drawn.
void ParticleSys::DrawParticles() const {
  if (!CanDraw()) return;
  const ViewCull cull(*this);
  const float half = std::fabs(cornerOffsets[0].x);
  // Faded particles live on until the effect ends; drawn, they would cost fill and show nothing.
  const bool skipFaded = LeavesNoMark(0.0f);
  auto hidden = [&](const Particle& p) {
    return (skipFaded && p.color[3] <= 0.0f) || cull.SkipsSquare(p.position.x, p.position.y, half);
  };
  if (BatchingOn()) {
    float* out = BeginBatchQuads(GatherStateOf(*this, QuadLayout::Colour, 0), particleCount);
    int written = 0;
    for (int i = 0; i < particleCount; ++i) {
      const Particle& p = particles[i];
      if (hidden(p)) continue;
      WriteQuad(p, out + static_cast<size_t>(written) * 24);
      ++written;
    }
    EndBatchQuads(written);
    return;
  }
  FlushDrawing();
  glUseProgram(gl->program);
  glBindVertexArray(gl->vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, gl->vertexBuffer);
  UploadUniforms();
  for (int i = 0; i < particleCount; ++i) {
    const Particle& p = particles[i];
    if (hidden(p)) continue;
    float quad[24];
    WriteQuad(p, quad);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    CountDirectDraw(1);
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void ParticleSys::SetPosition(float px, float py) {
  emitterPosition[0] = ToDeviceX(px);
  emitterPosition[1] = ToDeviceY(py);
  emitterDepth = 0.0f;
  for (Particle& p : particles) {
    p.position = Vec3(emitterPosition[0], emitterPosition[1], 0.0f);
    p.color[3] = 1.0f;
  }
}

void ParticleSys::Restart() {
  SetIdentity3(direction);
  elapsed = 0.0f;
  for (Particle& p : particles) {
    p.position = Vec3(emitterPosition[0], emitterPosition[1], emitterDepth);
    p.color[3] = 1.0f;
  }
}
