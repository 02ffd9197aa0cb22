#pragma once
// Shader loading and the programs shared between graphics of one kind.
// GL names are plain unsigned ints here so that game code can include the
// render headers without pulling in the GL loader.

// ---- loading ---------------------------------------------------------------
// Compiles one shader from a GLSL file; 0 if the file cannot be read or does not
// compile (one line on standard output either way; a file that does not compile is
// named once a run, with the compiler's log). type is GL_VERTEX_SHADER or GL_FRAGMENT_SHADER.
unsigned int LoadShader(unsigned int type, const char* path);
// Links vs and fs into a new program, binds "outColor" to colour 0 and makes the
// program current; the shaders are detached and deleted. A program that does not
// link is reported and deleted, and 0 comes back: graphics with program 0 draw nothing.
unsigned int BuildProgram(unsigned int vertexShader, unsigned int fragmentShader);

// ---- shared programs ---------------------------------------------------------
// Every graphic of one kind draws with one program, built from its two files on first
// use and cached. Programs a cache forgets stay alive: graphics made earlier keep
// drawing with them.
enum class SharedProgram : int {
  Basic,     // Texture and plain Graphic; rebuilt per state
  Sprite,    // AnimatedTexture; rebuilt per state
  Line,      // Line; rebuilt per state
  Particle,  // ParticleSys; kept for the run
  Primitive, // SquarePrimitive; kept for the run
};

// The kind's program, building it when its cache says so; 0 when it does not build.
unsigned int UseSharedProgram(SharedProgram which);
// The program the kind's cache holds now, without building it; 0 when it holds none.
unsigned int CachedProgram(SharedProgram which);

// The game loop calls this after each state's Load: the next basic, sprite-sheet
// and line graphic builds a fresh program.
void ResetStateProgramCaches();
// The game loop calls this at exit, while the GL context is still current:
// deletes every cached program and clears the caches.
void DeleteSharedPrograms();
