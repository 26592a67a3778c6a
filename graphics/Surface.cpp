// Surfaces: kept pixels, premultiplied once, and textures made lazily by the device under the
// current context. See Surface.h.
#include "graphics/Surface.h"

#include <algorithm>

#include "graphics/RenderBackend.h"

namespace {

int failNextAllocations = 0;

}  // namespace

void gxtkSurface::FailNextAllocations(int n) {
  failNextAllocations = n > 0 ? n : 0;
}

gxtkSurface::~gxtkSurface() {
  Discard();
}

bool gxtkSurface::HasTexture() const {
  if (!device_ || contextSeq < 1) return false;
  return contextSeq == RenderContextSeq();
}

int gxtkSurface::Discard() {
  if (HasTexture()) device_->DeleteTexture(texture);
  texture = 0;
  contextSeq = -1;
  pixels.reset();
  return 0;
}

bool gxtkSurface::OnUnsafeLoadComplete() {
  Bind();
  return true;
}

void gxtkSurface::SetData(PixelBuffer data, int width, int height, int depth) {
  Discard();
  const bool valid = data && width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
                     depth >= 1 && depth <= 4;
  if (!valid) {
    this->width = this->height = this->depth = 0;
    return;
  }
  this->width = width;
  this->height = height;
  this->depth = depth;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  unsigned char* p = data.get();
  if (depth == 2) {
    for (size_t i = 0; i < count; ++i, p += 2) {
      p[0] = static_cast<unsigned char>(p[0] * p[1] / 255);
    }
  } else if (depth == 4) {
    for (size_t i = 0; i < count; ++i, p += 4) {
      const unsigned alpha = p[3];
      p[0] = static_cast<unsigned char>(p[0] * alpha / 255);
      p[1] = static_cast<unsigned char>(p[1] * alpha / 255);
      p[2] = static_cast<unsigned char>(p[2] * alpha / 255);
    }
  }
  pixels = std::move(data);
  // Until a texture says otherwise, texture coordinates are in units of the image itself.
  uScale = 1.0f / static_cast<float>(width);
  vScale = 1.0f / static_cast<float>(height);
  textureWidth_ = textureHeight_ = 0;
}

void gxtkSurface::SetEmpty(int width, int height) {
  Discard();
  this->width = width;
  this->height = height;
  depth = 4;
  // Transparent black until something is written.
  pixels = AllocatePixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  uScale = 1.0f / static_cast<float>(width);
  vScale = 1.0f / static_cast<float>(height);
}

void gxtkSurface::Bind() {
  if (!device_ || width < 1 || height < 1) return;
  const int seq = RenderContextSeq();
  // A texture of an earlier context vanished with it: make a new one, never delete the old name.
  if (seq == 0 || contextSeq == seq) return;
  contextSeq = seq;
  const bool reject = failNextAllocations > 0;
  if (reject) --failNextAllocations;
  texture = device_->MakeTexture(depth, width, height, pixels.get(), reject, &textureWidth_,
                                 &textureHeight_);
  uScale = 1.0f / static_cast<float>(textureWidth_);
  vScale = 1.0f / static_cast<float>(textureHeight_);
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const Array<int>& source, int offset,
                             int pitch) {
  if (depth != 4 || width < 1 || height < 1 || w < 1 || h < 1) return;
  // Clip the rectangle to the surface, keeping the source aligned with it.
  const long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
  const long long x1 = std::min<long long>(static_cast<long long>(x) + w, width);
  const long long y1 = std::min<long long>(static_cast<long long>(y) + h, height);
  if (x0 >= x1 || y0 >= y1) return;
  if (!pixels) {
    pixels = AllocatePixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    if (!pixels) return;
  }
  const long long length = source.Length();
  const int* in = source.Data();
  for (long long row = y0; row < y1; ++row) {
    unsigned char* out = pixels.get() + (row * width + x0) * 4;
    const long long base = offset + (row - y) * static_cast<long long>(pitch) - x;
    for (long long col = x0; col < x1; ++col, out += 4) {
      const long long at = base + col;
      const auto p = static_cast<unsigned>(at >= 0 && at < length ? in[at] : 0);
      const unsigned alpha = p >> 24;
      out[0] = static_cast<unsigned char>(((p >> 16) & 255) * alpha / 255);
      out[1] = static_cast<unsigned char>(((p >> 8) & 255) * alpha / 255);
      out[2] = static_cast<unsigned char>((p & 255) * alpha / 255);
      out[3] = static_cast<unsigned char>(alpha);
    }
  }
  if (!HasTexture()) return;  // the next Bind uploads everything
  Upload(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0),
         static_cast<int>(y1 - y0));
}

void gxtkSurface::Upload(int x, int y, int w, int h) {
  const unsigned char* at = pixels.get() + (static_cast<size_t>(y) * width + x) * 4;
  device_->UpdateTexture(texture, x, y, w, h, at, width);
}
