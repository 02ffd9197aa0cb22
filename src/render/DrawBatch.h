#pragma once
// Draws that share a program, a texture and their uniforms (the camera above all)
// are gathered into one streamed vertex buffer and sent to the GPU as one draw call.
// The order on screen is the order of the Draw calls: a draw that differs from the
// gathered ones sends them first. Sprites, tiles, solid rectangles, particles and
// glyphs gather; outlines and plain Graphic draws (the caller binds their texture)
// go straight to the GPU after what was gathered.

// ---- switch --------------------------------------------------------------------
// On unless the environment variable KVO_BATCHING is "0" at the first draw; off,
// every graphic draws itself with its own buffers, one draw call each.
void SetBatching(bool on);
bool BatchingOn();

// ---- flush points ------------------------------------------------------------------
// Sends what was gathered. The frame's swap does it by itself; code of its own that
// touches GL state (blending, culling, clearing, viewport, reading pixels, another
// renderer such as the tweak bars) calls it first.
void FlushDrawing();
// Frees the batcher's GL objects; the next draw makes new ones. Call it while the
// context is still current, before the context goes away.
void ReleaseDrawBatch();

// ---- what the camera sees -----------------------------------------------------------
class Camera;
// True when every point of the box (device units, as a graphic's vertices stand before
// the camera) lands beyond one edge of the camera's view: the test each quad's draw makes,
// so nothing inside such a box would have been drawn.
bool BoxOutsideView(const Camera& camera, float minX, float minY, float maxX, float maxY);

// ---- what leaves no mark -------------------------------------------------------------
// True when a colour of this alpha would change no pixel: blending is on (it is, once the
// first transparent picture has loaded) and the alpha is at most 0, which the framebuffer
// clamps to 0, so every pixel keeps its colour. Faded veils and particles skip their fill.
bool LeavesNoMark(float alpha);

// ---- counters for the benchmarks ---------------------------------------------------
struct DrawCounters {
  long drawCalls = 0; // draw calls the renderer issued
  long quads = 0;     // quads (sprites, particles, glyph cells) sent
  long culled = 0;    // quads skipped as wholly outside the view
};
DrawCounters& RenderCounters(); // running totals; reset them by assigning {}
