// gxtkGraphics: the batched 2D renderer. Points, lines, rectangles, ovals, polygons and textured
// quads are transformed and coloured on the CPU and written into one fixed client-side vertex
// array, which goes to OpenGL only when the batch has to end (primitive kind or texture changes,
// the array is full, blend or scissor really change, pixels are read or written, the frame ends).
//
//   auto gfx = std::make_shared<gxtkGraphics>();  // after the window exists (reads its size)
//   auto cpu = std::make_shared<gxtkGraphics>(640, 480, true);  // headless: no OpenGL at all
//   gfx->BeginRender();
//   gfx->SetColor(255, 0, 0); gfx->SetAlpha(1); gfx->DrawRect(10, 10, 50, 20);
//   gfx->EndRender();                                     // flush and swap
//   gfx->Stats().drawCalls;                               // what the last frame cost
//
// Coordinates are window pixels, origin top left, y down. Colours are 0..255 per component and
// alpha 0..1 (clamped); vertices carry colour premultiplied by alpha. Drawing outside
// BeginRender/EndRender is ignored. A headless renderer keeps every piece of batching bookkeeping
// and the stats record but draws on a null device that makes no OpenGL or GLFW call, so tests and
// benchmarks run without a display.
#pragma once

#include <cstdint>
#include <memory>

#include "host/Game.h"
#include "runtime/Array.h"
#include "runtime/String.h"

class gxtkSurface;
// The device under the batcher: OpenGL 1.x, OpenGL ES 2.0, or nothing for a headless renderer
// (graphics/RenderBackend.h).
class gxtkRenderBackend;

// One vertex as OpenGL reads it (stride 20 bytes). colour holds the bytes R, G, B, A in memory
// order.
struct gxtkVertex {
  float x;
  float y;
  float u;
  float v;
  std::uint32_t color;
};
static_assert(sizeof(gxtkVertex) == 20, "OpenGL reads the vertex array with a 20-byte stride");

// What one frame cost. Reset by BeginRender (and ResetStats); read after EndRender.
struct gxtkRenderStats {
  int drawCalls = 0;     // glDrawArrays / glDrawElements / glMultiDrawArrays calls
  int vertices = 0;      // vertices handed to those calls
  int primitives = 0;    // primitives written into the batch
  int flushes = 0;       // batches sent (each non-empty flush), the sum of the causes below
  int flushKind = 0;     // primitive kind or surface changed
  int flushFull = 0;     // the vertex array would have overflowed
  int flushBlend = 0;    // SetBlend changed the blend mode
  int flushScissor = 0;  // SetScissor changed the clip rectangle
  int flushPixels = 0;   // ReadPixels or WritePixels2
  int flushEndFrame = 0;
  int flushOther = 0;  // an explicit Flush()
  int clsDrops = 0;    // non-empty batches that Cls discarded undrawn
  int droppedVertices = 0;
  int textureBinds = 0;  // surfaces bound for drawing
};

class gxtkGraphics {
 public:
  static constexpr int kMaxVertices = 1024;
  static constexpr int kMaxQuads = kMaxVertices / 4;
  // SetBlend's modes: alpha blending of premultiplied colour, and adding the colour.
  static constexpr int kBlendAlpha = 0;
  static constexpr int kBlendAdditive = 1;

  // Batch causes, for the stats record.
  enum FlushCause {
    kFlushKind,
    kFlushFull,
    kFlushBlend,
    kFlushScissor,
    kFlushPixels,
    kFlushEndFrame,
    kFlushOther
  };

  // Reads the size of the current window; draws with the API the host opened its context for
  // (OpenGL 1.x without a host).
  gxtkGraphics();
  // The same, drawing with the given API.
  explicit gxtkGraphics(XQRenderApi api);
  // An explicit size (an OpenGL renderer reads the window's at every BeginRender). headless = true
  // makes no OpenGL or GLFW call ever.
  gxtkGraphics(int width, int height, bool headless);
  virtual ~gxtkGraphics();
  gxtkGraphics(const gxtkGraphics&) = delete;
  gxtkGraphics& operator=(const gxtkGraphics&) = delete;

  virtual int Width();
  virtual int Height();
  // Starts a frame: reads the window size, sets up OpenGL's state, empties the batch. Returns 1.
  virtual int BeginRender();
  // Ends the frame: flushes and swaps the buffers.
  virtual int EndRender();
  virtual int DiscardGraphics();

  // A surface holding the decoded file, its texture made; null when the file cannot be loaded.
  virtual std::shared_ptr<gxtkSurface> LoadSurface(const String& path);
  // Fills the given surface from the file and returns it; null when the file cannot be loaded.
  virtual std::shared_ptr<gxtkSurface> LoadSurface__UNSAFE__(std::shared_ptr<gxtkSurface> surface,
                                                             const String& path);
  // An empty RGBA surface (transparent black) of that size; null for a size below 1 or too large.
  virtual std::shared_ptr<gxtkSurface> CreateSurface(int width, int height);

  // Clears the colour buffer (within the scissor rectangle); primitives not yet drawn are dropped.
  virtual int Cls(float red, float green, float blue);
  virtual int SetAlpha(float alpha);
  virtual int SetColor(float red, float green, float blue);
  // kBlendAdditive adds, anything else blends premultiplied colour by its alpha.
  virtual int SetBlend(int mode);
  // Top-left origin; the full window turns clipping off.
  virtual int SetScissor(int x, int y, int width, int height);
  virtual int SetMatrix(float a, float b, float c, float d, float tx, float ty);

  virtual int DrawPoint(float x, float y);
  virtual int DrawRect(float x, float y, float width, float height);
  virtual int DrawLine(float x1, float y1, float x2, float y2);
  // A filled polygon inscribed in the rectangle, 12 to 1024 segments by its size on screen.
  virtual int DrawOval(float x, float y, float width, float height);
  // x0, y0, x1, y1, ...: one filled primitive of length / 2 vertices (1 to 1024).
  virtual int DrawPoly(const Array<float>& xy);
  // x, y, u, v per vertex (u, v in surface pixels, offset by srcX, srcY).
  virtual int DrawPoly2(const Array<float>& xyuv, const std::shared_ptr<gxtkSurface>& surface,
                        int srcX, int srcY);
  virtual int DrawSurface(const std::shared_ptr<gxtkSurface>& surface, float x, float y);
  virtual int DrawSurface2(const std::shared_ptr<gxtkSurface>& surface, float x, float y, int srcX,
                           int srcY, int srcWidth, int srcHeight);
  // The same rectangle of the surface with its top left corner at the origin of the matrix (a, b,
  // c, d, tx, ty), which is used for this quad alone: the current matrix stays. The front end's
  // rotated and scaled images, one call each.
  virtual int DrawSurface2Under(const std::shared_ptr<gxtkSurface>& surface, float a, float b,
                                float c, float d, float tx, float ty, int srcX, int srcY,
                                int srcWidth, int srcHeight);

  // Framebuffer pixels as ARGB, the top row of the rectangle first, into
  // pixels[offset + row * pitch + column]. Rows that would fall outside the array are skipped.
  // Headless: reads zeros.
  virtual int ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset,
                         int pitch);
  // ARGB values into an RGBA surface (premultiplied on the way in).
  virtual int WritePixels2(const std::shared_ptr<gxtkSurface>& surface, const Array<int>& pixels,
                           int x, int y, int width, int height, int offset, int pitch);

  // Draws and empties the batch when it holds anything.
  void Flush() { Flush(kFlushOther); }
  // Reserves count vertices of a primitive of the given kind on surface (null: untextured) and
  // returns where to write them; null outside a frame or for a count outside 1..1024.
  gxtkVertex* Begin(int kind, int count, const std::shared_ptr<gxtkSurface>& surface);

  bool Headless() const { return headless_; }
  bool InFrame() const { return inFrame_; }
  // Headless only: the size Width() and Height() report from the next BeginRender on.
  void SetSize(int width, int height);
  const gxtkRenderStats& Stats() const { return stats_; }
  void ResetStats() { stats_ = {}; }

  // Read-only views of the state, for tests.
  std::uint32_t PackedColor() const { return colorChanged_ ? Pack() : packedColor; }
  int BatchKind() const { return batchKind; }
  int BatchCount() const { return batchCount; }
  const gxtkVertex* Vertices() const { return vertexBuffer; }
  bool Transformed() const { return transformed; }
  int BlendInForce() const { return blendInForce_; }

 private:
  void Flush(FlushCause cause);
  void SendBatch();
  // Fast path shared by every primitive: the batch continues or is flushed and restarted.
  gxtkVertex* Reserve(int kind, int count, const std::shared_ptr<gxtkSurface>& surface);
  gxtkVertex* RestartBatch(int kind, int count, const std::shared_ptr<gxtkSurface>& surface);
  void BuildIndices();
  void Prepare(gxtkSurface& surface);
  // The device the surfaces made here make their textures with; none for a headless renderer.
  std::shared_ptr<gxtkRenderBackend> SurfaceDevice() const;
  void Corner(gxtkVertex* v, float x, float y, std::uint32_t color) const;
  // The current colour premultiplied and packed as the vertices carry it.
  std::uint32_t Pack() const;
  // The packed colour for the vertices about to be written, packed again only after a change.
  std::uint32_t Color() {
    if (colorChanged_) {
      packedColor = Pack();
      colorChanged_ = false;
    }
    return packedColor;
  }
  void ReadWindowSize();

  int width = 0;
  int height = 0;
  std::uint32_t packedColor = 0xffffffffu;
  // SetColor and SetAlpha only store what they are given (a sprite usually gets both); the colour
  // is clamped and packed once, when the next vertex is written.
  bool colorChanged_ = false;
  float red = 255;
  float green = 255;
  float blue = 255;
  float alpha = 1;
  float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  bool transformed = false;
  gxtkVertex vertexBuffer[kMaxVertices] = {};
  std::uint16_t quadIndices[kMaxQuads * 6] = {};
  int batchKind = 0;
  int batchCount = 0;
  // The batch keeps its surface alive until it has been drawn.
  std::shared_ptr<gxtkSurface> batchSurface;

  // Set once: a headless renderer's surfaces never touch OpenGL either.
  bool headless_ = false;
  // Shared with the surfaces made here, which make their textures through it.
  std::shared_ptr<gxtkRenderBackend> backend_;
  // The context the frame draws in (RenderContextSeq at BeginRender; -1 headless): a surface made
  // under another has no texture in this one yet.
  int contextSeq_ = -1;
  bool inFrame_ = false;
  int pendingWidth_ = 0;
  int pendingHeight_ = 0;
  // What OpenGL has in force, so that repeating it does not end the batch. -1 / unknown after
  // BeginRender for the scissor, which BeginRender does not set.
  int blendInForce_ = 0;
  bool scissorKnown_ = false;
  int scissor_[4] = {0, 0, 0, 0};
  gxtkRenderStats stats_;
};
