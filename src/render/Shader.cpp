#include "render/Shader.h"
#include "platform/Display.h"
#include "platform/ConsoleTexts.h"
#include "render/DrawBatch.h"
#include "render/RenderLocal.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A cache with built == 0 builds its program on next use.
struct ProgramCache {
  int built = 0;            // times the program was built; 0 = build on next use
  unsigned int program = 0; // current program name
};

// One cache per SharedProgram; the first three are rebuilt for every state.
struct ProgramCaches {
  ProgramCache basic;     // Texture and plain Graphic
  ProgramCache sprite;    // AnimatedTexture
  ProgramCache line;      // Line
  ProgramCache particle;  // ParticleSys; kept for the run
  ProgramCache primitive; // SquarePrimitive; kept for the run
  GLuint quadIndices = 0; // QuadIndexBuffer's buffer, and the GL context it was made in
  unsigned quadContext = 0;

  ProgramCache& Of(SharedProgram which) {
    switch (which) {
    case SharedProgram::Sprite: return sprite;
    case SharedProgram::Line: return line;
    case SharedProgram::Particle: return particle;
    case SharedProgram::Primitive: return primitive;
    default: return basic;
    }
  }
};

ProgramCaches s_programs;

struct ProgramFiles {
  const char* vertex;
  const char* fragment;
};

ProgramFiles FilesOf(SharedProgram which) {
  switch (which) {
  case SharedProgram::Sprite: return {"../shaders/AnimatedG.vs", "../shaders/AnimatedG.fs"};
  case SharedProgram::Line: return {"../shaders/line.vs", "../shaders/line.fs"};
  // Solid rectangles are drawn like particles: untextured, coloured per vertex.
  case SharedProgram::Particle:
  case SharedProgram::Primitive: return {"../shaders/ParticleSys.vs", "../shaders/ParticleSys.fs"};
  default: return {"../shaders/Graphic.vs", "../shaders/Graphic.fs"};
  }
}

} // namespace

namespace {

// Files whose failure to compile was reported: every state builds its programs again.
std::set<std::string> s_reportedShaders;

// "error" (as the game has always said it), the file, and the compiler's log on one line.
void ReportCompileError(GLuint shader, const std::string& path) {
  if (!s_reportedShaders.insert(path).second) return;
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
  GLsizei written = 0;
  glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), &written, log.data());
  log.resize(static_cast<size_t>(written));
  while (!log.empty() && std::isspace(static_cast<unsigned char>(log.back()))) log.pop_back();
  std::replace(log.begin(), log.end(), '\n', ' ');
  std::printf("error %s: %s\n", path.c_str(), log.empty() ? "the compiler says nothing more" : log.c_str());
}

} // namespace

unsigned int LoadShader(unsigned int type, const char* path) {
  std::ifstream file(path);
  if (!file) {
    std::printf("SHADER FILE CANNOT OPEN: %s\n", path);
    return 0;
  }
  std::stringstream text;
  text << file.rdbuf();
  const std::string source = text.str();
  const char* sources[1] = {source.c_str()};

  GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, sources, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    ReportCompileError(shader, path);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

unsigned int BuildProgram(unsigned int vertexShader, unsigned int fragmentShader) {
  GLuint program = glCreateProgram();
  // Attaching name 0 is a GL error; a missing stage already printed its line.
  if (vertexShader) glAttachShader(program, vertexShader);
  if (fragmentShader) glAttachShader(program, fragmentShader);
  glBindFragDataLocation(program, 0, "outColor");
  glLinkProgram(program);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (vertexShader) {
    glDetachShader(program, vertexShader);
    glDeleteShader(vertexShader);
  }
  if (fragmentShader) {
    glDetachShader(program, fragmentShader);
    glDeleteShader(fragmentShader);
  }
  // Without both stages a compatibility context would link a fixed-function
  // half and draw garbage; treat that like a link failure.
  if (linked != GL_TRUE || !vertexShader || !fragmentShader) {
    if (linked != GL_TRUE) std::printf("%s\n", ConsoleText::PROGRAM_NOT_LINKED);
    glDeleteProgram(program);
    return 0;
  }
  glUseProgram(program);
  return program;
}

unsigned int UseSharedProgram(SharedProgram which) {
  ProgramCache& cache = s_programs.Of(which);
  if (cache.built == 0) {
    const ProgramFiles files = FilesOf(which);
    GLuint vs = LoadShader(GL_VERTEX_SHADER, files.vertex);
    GLuint fs = LoadShader(GL_FRAGMENT_SHADER, files.fragment);
    if (cache.program && vs && fs) {
      // Graphics made in earlier states (the menu's buttons, the pause panel) still draw
      // with this name: the new build is linked into the same program. A new program each
      // time would leave the old one, and its compiled code, behind on every state change.
      glAttachShader(cache.program, vs);
      glAttachShader(cache.program, fs);
      glLinkProgram(cache.program);
      GLint linked = GL_FALSE;
      glGetProgramiv(cache.program, GL_LINK_STATUS, &linked);
      for (GLuint shader : {vs, fs}) {
        glDetachShader(cache.program, shader);
        glDeleteShader(shader);
      }
      if (linked != GL_TRUE) std::printf("%s\n", ConsoleText::PROGRAM_NOT_LINKED);
      glUseProgram(cache.program);
    } else {
      if (cache.program) glDeleteProgram(cache.program);
      cache.program = BuildProgram(vs, fs);
    }
    ++cache.built;
  }
  return cache.program;
}

unsigned int CachedProgram(SharedProgram which) { return s_programs.Of(which).program; }

void ResetStateProgramCaches() {
  s_programs.basic.built = 0;
  s_programs.sprite.built = 0;
  s_programs.line.built = 0;
}

void DeleteSharedPrograms() {
  // Gathered draws may name these programs; the batcher's own objects go with them.
  ReleaseDrawBatch();
  for (const ProgramCache& cache : {s_programs.sprite, s_programs.line, s_programs.basic, s_programs.particle,
                                    s_programs.primitive})
    if (cache.program) glDeleteProgram(cache.program);
  if (s_programs.quadIndices && s_programs.quadContext == GLContextGeneration())
    glDeleteBuffers(1, &s_programs.quadIndices);
  s_programs = ProgramCaches();
}

// ---- helpers for the drawables ---------------------------------------------

GLint BindAttribute(GLuint program, const char* name, GLint floats, GLsizei stride, GLsizei offset) {
  if (!program) return -1;
  GLint location = glGetAttribLocation(program, name);
  if (location < 0) return -1;
  glEnableVertexAttribArray(location);
  glVertexAttribPointer(location, floats, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(static_cast<intptr_t>(offset)));
  return location;
}

GLint UniformLocation(GLuint program, const char* name) {
  return program ? glGetUniformLocation(program, name) : -1;
}

GLuint QuadIndexBuffer() {
  // Every quad has the same six indices: one buffer per GL context serves them all, where
  // one per graphic cost a buffer object for each of a level's thousand pictures.
  if (!s_programs.quadIndices || s_programs.quadContext != GLContextGeneration()) {
    static const GLuint indices[6] = {0, 1, 2, 2, 3, 0};
    glGenBuffers(1, &s_programs.quadIndices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s_programs.quadIndices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(indices), indices, GL_STATIC_DRAW);
    s_programs.quadContext = GLContextGeneration();
  } else {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s_programs.quadIndices);
  }
  return s_programs.quadIndices;
}
