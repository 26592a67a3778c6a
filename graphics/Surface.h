// gxtkSurface: an image in the renderer's hands. It keeps its decoded pixels (premultiplied once,
// when they arrive) for its whole life and makes its OpenGL texture lazily, under the window's
// current context: when the window is opened again (glfwGraphicsSeq moves on) the next Bind makes
// a new texture from the kept pixels. Surfaces come from gxtkGraphics::LoadSurface and
// CreateSurface; the front end's images share them through std::shared_ptr.
//
// Depth and stored format: 1 grey, 2 grey + alpha (grey premultiplied), 3 RGB, 4 RGBA
// (premultiplied). Textures made while glfwGraphicsSeq is 0, or by a headless renderer's surfaces,
// are never made at all: the pixels are still there.
#pragma once

#include <memory>

#include "host/ImageDecode.h"
#include "runtime/Array.h"

class gxtkSurface {
 public:
  gxtkSurface() = default;
  // A surface of a headless renderer never touches OpenGL.
  explicit gxtkSurface(bool headless) : headless_(headless) {}
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
  // Makes the texture current, creating it first under the current context when needed.
  void Bind();

  // Read-only views, for the renderer and tests.
  const unsigned char* Pixels() const { return pixels.get(); }
  int Depth() const { return depth; }
  unsigned Format() const { return format; }
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

  // Makes the next n texture allocations count as rejected by OpenGL, as on a driver without
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
  unsigned format = 0;
  int contextSeq = -1;
  unsigned texture = 0;
  float uScale = 0;
  float vScale = 0;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  bool headless_ = false;
};
