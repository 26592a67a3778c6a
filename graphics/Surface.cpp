// Surfaces: kept pixels, premultiplied once, and textures made lazily under the current OpenGL
// context. See Surface.h.
#include "graphics/Surface.h"

#include <GL/gl.h>

#include <algorithm>

#include "host/HostPlatform.h"

namespace {

int failNextAllocations = 0;

int PowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

unsigned FormatForDepth(int depth) {
  switch (depth) {
    case 1:
      return GL_LUMINANCE;
    case 2:
      return GL_LUMINANCE_ALPHA;
    case 3:
      return GL_RGB;
    default:
      return GL_RGBA;
  }
}

}  // namespace

void gxtkSurface::FailNextAllocations(int n) {
  failNextAllocations = n > 0 ? n : 0;
}

gxtkSurface::~gxtkSurface() {
  Discard();
}

bool gxtkSurface::HasTexture() const {
  return glfwGraphicsSeq > 0 && contextSeq == glfwGraphicsSeq;
}

int gxtkSurface::Discard() {
  if (HasTexture()) {
    glDeleteTextures(1, &texture);
    texture = 0;
  }
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
    format = 0;
    return;
  }
  this->width = width;
  this->height = height;
  this->depth = depth;
  format = FormatForDepth(depth);
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
  format = GL_RGBA;
  // Transparent black until something is written.
  pixels = AllocatePixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  uScale = 1.0f / static_cast<float>(width);
  vScale = 1.0f / static_cast<float>(height);
}

void gxtkSurface::Bind() {
  if (headless_ || glfwGraphicsSeq == 0 || width < 1 || height < 1) return;
  if (contextSeq == glfwGraphicsSeq) {
    glBindTexture(GL_TEXTURE_2D, texture);
    return;
  }
  // A texture of an earlier context vanished with it: make a new one, never delete the old name.
  contextSeq = glfwGraphicsSeq;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  // Errors left over from earlier calls must not count as a rejected allocation.
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
  const auto glFormat = static_cast<GLenum>(format);
  int tw = width, th = height;
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(glFormat), tw, th, 0, glFormat,
               GL_UNSIGNED_BYTE, nullptr);
  bool rejected = glGetError() != GL_NO_ERROR;
  if (failNextAllocations > 0) {
    --failNextAllocations;
    rejected = true;
  }
  if (rejected) {
    tw = PowerOfTwoAtLeast(width);
    th = PowerOfTwoAtLeast(height);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(glFormat), tw, th, 0, glFormat,
                 GL_UNSIGNED_BYTE, nullptr);
  }
  textureWidth_ = tw;
  textureHeight_ = th;
  uScale = 1.0f / static_cast<float>(tw);
  vScale = 1.0f / static_cast<float>(th);
  if (pixels) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, glFormat, GL_UNSIGNED_BYTE,
                    pixels.get());
  }
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const Array<int>& source, int offset,
                             int pitch) {
  if (format != GL_RGBA || width < 1 || height < 1 || w < 1 || h < 1) return;
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
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const unsigned char* at = pixels.get() + (static_cast<size_t>(y) * width + x) * 4;
  if (w == width) {
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, at);
    return;
  }
  for (int r = 0; r < h; ++r) {
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y + r, w, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                    at + static_cast<size_t>(r) * width * 4);
  }
}
