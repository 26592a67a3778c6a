// gxtkSurface: an image in the renderer's hands. It keeps its decoded pixels (premultiplied once,
// when they arrive) for its whole life and has its texture made lazily by the renderer's device,
// under the window's current context: when the window is opened again (the host's context count
// moves on) the next Bind makes a new texture from the kept pixels. Surfaces come from
// gxtkGraphics::LoadSurface and CreateSurface; the front end's images share them through
// std::shared_ptr.
//
// Depth and stored format: 1 grey, 2 grey + alpha (grey premultiplied), 3 RGB, 4 RGBA
// (premultiplied). Before the first window, and for the surfaces of a headless renderer (no
// device), textures are never made at all: the pixels are still there.
#pragma once

#include <memory>
#include <utility>

#include "decode/ImageDecode.h"
#include "runtime/Array.h"

class gxtkRenderBackend;

class gxtkSurface {
 public:
  // Without a device the surface makes no texture (a headless renderer's surfaces).
  gxtkSurface() = default;
  explicit gxtkSurface(std::shared_ptr<gxtkRenderBackend> device) : device_(std::move(device)) {}
  virtual ~gxtkSurface();
  gxtkSurface(const gxtkSurface&) = delete;
  gxtkSurface& operator=(const gxtkSurface&) = delete;

  // Deletes the texture (when it belongs to the current context) and frees the pixels.
  virtual int Discard();
  // The image size (not the texture's).
  virtual int Width() { return width; }
  virtual int Height() { return height; }
  virtual int Loaded() { return 1; }
  virtual bool OnUnsafeLoadComplete();

  // Takes the buffer (width x height x depth bytes, rows top to bottom) and premultiplies it.
  // A depth outside 1..4 or a size below 1 leaves the surface empty.
  void SetData(PixelBuffer data, int width, int height, int depth);
  // Writes a rectangle of ARGB values (source[offset + row * pitch + column]) into an RGBA surface,
  // premultiplied; other formats ignore it. The rectangle is clipped to the surface, and source
  // values outside the array read as 0.
  void SetSubData(int x, int y, int w, int h, const Array<int>& source, int offset, int pitch);
  // Makes the texture exist under the current context (the device binds it when it draws).
  void Bind();

  // Read-only views, for the renderer and tests.
  const unsigned char* Pixels() const { return pixels.get(); }
  int Depth() const { return depth; }
  int ContextSeq() const { return contextSeq; }
  unsigned Texture() const { return texture; }
  float UScale() const { return uScale; }
  float VScale() const { return vScale; }
  bool HasTexture() const;
  // Texture size in texels (the image size, or powers of two after a rejected allocation).
  int TextureWidth() const { return textureWidth_; }
  int TextureHeight() const { return textureHeight_; }

  // The largest side accepted from a file or CreateSurface.
  static constexpr int kMaxSide = 16384;

  // Makes the next n texture allocations count as rejected by the driver, as on one without
  // non-power-of-two textures.
  static void FailNextAllocations(int n);

 private:
  friend class gxtkGraphics;
  // Sets an empty RGBA size without pixels (CreateSurface).
  void SetEmpty(int width, int height);
  void Upload(int x, int y, int w, int h);

  PixelBuffer pixels;
  int width = 0;
  int height = 0;
  int depth = 0;
  int contextSeq = -1;
  unsigned texture = 0;
  float uScale = 0;
  float vScale = 0;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  std::shared_ptr<gxtkRenderBackend> device_;
};
