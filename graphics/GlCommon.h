// What the OpenGL 1.x and ES 2.0 backends share: the window, clearing, blending, clipping, the
// texture work and the plain vertex-array draws. The calls, formats and parameters read the same in
// both APIs (and in WebGL), so each backend compiles its own copy against its own header: it
// includes this file after <GL/gl.h> (GlBackend.cpp) or <GLES2/gl2.h> (Es2Backend.cpp), and no
// other file includes it.
//
//   #include <GLES2/gl2.h>
//   #include "graphics/GlCommon.h"
//   class Es2Backend final : public GlBackendBase { ... };
#pragma once

#include <cstddef>

#include "graphics/RenderBackend.h"
#include "graphics/Renderer.h"

// Internal linkage: each backend's file has its own copy, made with its own OpenGL header.
namespace {

GLenum FormatForDepth(int depth) {
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

int PowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

class GlBackendBase : public gxtkRenderBackend {
 public:
  bool WindowSize(int* width, int* height) override { return RenderWindowSize(width, height); }
  void Swap() override { RenderSwapBuffers(); }

  void Clear(float red, float green, float blue) override {
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  void Blend(int mode) override {
    glBlendFunc(GL_ONE, mode == gxtkGraphics::kBlendAdditive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
  }

  void Scissor(bool whole, int x, int y, int width, int height) override {
    if (whole) {
      glDisable(GL_SCISSOR_TEST);
    } else {
      glEnable(GL_SCISSOR_TEST);
      glScissor(x, y, width, height);
    }
  }

  unsigned MakeTexture(int depth, int width, int height, const unsigned char* pixels, bool reject,
                       int* textureWidth, int* textureHeight) override {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Errors left over from earlier calls must not count as a rejected allocation.
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    const GLenum format = FormatForDepth(depth);
    int tw = width, th = height;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), tw, th, 0, format, GL_UNSIGNED_BYTE,
                 nullptr);
    if (glGetError() != GL_NO_ERROR || reject) {
      tw = PowerOfTwoAtLeast(width);
      th = PowerOfTwoAtLeast(height);
      glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), tw, th, 0, format,
                   GL_UNSIGNED_BYTE, nullptr);
    }
    *textureWidth = tw;
    *textureHeight = th;
    if (pixels) {
      glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, pixels);
    }
    return texture;
  }

  void UpdateTexture(unsigned texture, int x, int y, int w, int h, const unsigned char* pixels,
                     int pitch) override {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (w == pitch) {
      glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
      return;
    }
    // ES 2.0 has no row length for unpacking: a narrower rectangle goes up row by row.
    for (int r = 0; r < h; ++r) {
      glTexSubImage2D(GL_TEXTURE_2D, 0, x, y + r, w, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                      pixels + static_cast<size_t>(r) * pitch * 4);
    }
  }

  void DeleteTexture(unsigned texture) override { glDeleteTextures(1, &texture); }

 protected:
  // Draws a batch of points (kind 1), lines (2) or triangles (3) straight from the vertices bound
  // by BeginFrame; false for quads and polygons, which each backend draws its own way.
  static bool DrawVertexArray(int kind, int count) {
    if (kind < 1 || kind > 3) return false;
    static constexpr GLenum kModes[] = {GL_POINTS, GL_LINES, GL_TRIANGLES};
    glDrawArrays(kModes[kind - 1], 0, count);
    return true;
  }
};

}  // namespace
