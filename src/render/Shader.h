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

// ---- program caches ----------------------------------------------------------
// A cache with built == 0 builds its program on next use. Programs a cache forgets
// stay alive: graphics made earlier keep drawing with them.
struct ProgramCache {
  int built = 0;            // times the program was built; 0 = build on next use
  unsigned int program = 0; // current program name
};

// ---- shared by several modules ---------------------------------------------
extern ProgramCache g_basicProgram;     // Texture and plain Graphic; rebuilt per state
extern ProgramCache g_spriteProgram;    // AnimatedTexture; rebuilt per state
extern ProgramCache g_lineProgram;      // Line; rebuilt per state
extern ProgramCache g_particleProgram;  // ParticleSys; kept for the run
extern ProgramCache g_primitiveProgram; // SquarePrimitive; kept for the run

// The cache's program, building it from the two files when the cache says so.
unsigned int UseCachedProgram(ProgramCache& cache, const char* vsPath, const char* fsPath);

// The game loop calls this after each state's Load: the next basic, sprite-sheet
// and line graphic builds a fresh program.
void ResetStateProgramCaches();
// The game loop calls this at exit, while the GL context is still current:
// deletes every cached program and clears the caches.
void DeleteSharedPrograms();
