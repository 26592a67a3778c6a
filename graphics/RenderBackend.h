// gxtkRenderBackend: the device under the batcher, and the only code that calls OpenGL. Three
// exist: OpenGL 1.x fixed-function drawing from client arrays (GlBackend.cpp), OpenGL ES 2.0 with
// shaders and buffer objects (Es2Backend.cpp, also what WebGL accepts), and a null device that
// draws nothing (a headless renderer). The renderer picks one when it is made; its surfaces hold
// on to it for their textures.
//
// Every OpenGL object a backend makes belongs to one context. The host counts the windows it has
// opened (RenderContextSeq): when the count moves on, the old objects are gone with the old context
// and the backend makes what it needs again, never deleting the old names.
#pragma once

#include <cstdint>
#include <memory>

struct gxtkVertex;

class gxtkRenderBackend {
 public:
  virtual ~gxtkRenderBackend() = default;
  // The window's size; false when there is no window (the renderer keeps the size it was given).
  virtual bool WindowSize(int* width, int* height) = 0;
  // A frame of width x height pixels drawn from the vertex array, premultiplied alpha blending.
  virtual void BeginFrame(int width, int height, const gxtkVertex* vertices) = 0;
  virtual void Swap() = 0;
  // Components 0..1.
  virtual void Clear(float red, float green, float blue) = 0;
  // gxtkGraphics::kBlendAlpha or kBlendAdditive.
  virtual void Blend(int mode) = 0;
  // A rectangle with the window's bottom-left origin, or clipping off when whole.
  virtual void Scissor(bool whole, int x, int y, int width, int height) = 0;
  // count vertices of the batch on texture (0: untextured): kind 1 points, 2 lines, 3 triangles,
  // 4 quads (as indexed triangle pairs), 5 or more polygons of kind vertices each.
  virtual void Draw(int kind, int count, unsigned texture, const std::uint16_t* quadIndices) = 0;
  // Bottom-left origin; each value holds alpha, red, green, blue from the high byte down (the
  // bytes B, G, R, A in memory), rows bottom to top.
  virtual void ReadPixels(int x, int y, int width, int height, std::uint32_t* out) = 0;

  // ---- Textures ----
  // A texture of width x height for pixels of depth bytes (1 grey, 2 grey and alpha, 3 RGB,
  // 4 RGBA), filled from pixels (rows top to bottom, tightly packed) when they are given. A size
  // the driver rejects, or any size when reject is set (a test's stand-in for such a driver), is
  // made again with sides rounded up to powers of two; *textureWidth and *textureHeight say what
  // was made. 0 when the device makes no textures.
  virtual unsigned MakeTexture(int depth, int width, int height, const unsigned char* pixels,
                               bool reject, int* textureWidth, int* textureHeight) = 0;
  // Replaces a w x h rectangle at (x, y) of an RGBA texture; rows are pitch pixels apart in
  // pixels.
  virtual void UpdateTexture(unsigned texture, int x, int y, int w, int h,
                             const unsigned char* pixels, int pitch) = 0;
  virtual void DeleteTexture(unsigned texture) = 0;
};

// ---- What the backends share (RenderWindow.cpp; the OpenGL ones also GlCommon.h) ----

// The window's drawable size (false without a host that has one) and its buffer swap, through the
// host.
bool RenderWindowSize(int* width, int* height);
void RenderSwapBuffers();
// How many windows (each with its own context) the host has opened; 0 before the first.
int RenderContextSeq();

// The devices.
std::shared_ptr<gxtkRenderBackend> MakeNullBackend();
std::shared_ptr<gxtkRenderBackend> MakeGlBackend();
std::shared_ptr<gxtkRenderBackend> MakeEs2Backend();

// The next ES 2.0 program fails to compile, as a driver refusing the shaders would.
void BreakNextEs2ShaderForTesting();
