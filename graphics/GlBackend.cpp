// The OpenGL 1.x backend: fixed-function drawing straight from the renderer's client-side vertex
// array, the projection on OpenGL's matrix stack, polygons as triangle fans in one call.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include "graphics/GlCommon.h"
#include "graphics/RenderBackend.h"
#include "graphics/Renderer.h"

namespace {

class GlBackend final : public GlBackendBase {
 public:
  void BeginFrame(int width, int height, const gxtkVertex* vertices) override {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(gxtkVertex), &vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(gxtkVertex), &vertices[0].u);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(gxtkVertex), &vertices[0].color);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
  }

  void Draw(int kind, int count, unsigned texture, const std::uint16_t* quadIndices) override {
    if (texture) {
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, texture);
    }
    if (DrawVertexArray(kind, count)) return;
    switch (kind) {
      case 4:
        glDrawElements(GL_TRIANGLES, count / 4 * 6, GL_UNSIGNED_SHORT, quadIndices);
        break;
      default: {
        // One triangle fan per polygon, all in one call.
        int polygons = 0;
        for (int at = 0; at < count; at += kind) {
          first_[polygons] = at;
          count_[polygons] = kind;
          ++polygons;
        }
        glMultiDrawArrays(GL_TRIANGLE_FAN, first_, count_, polygons);
        break;
      }
    }
    if (texture) glDisable(GL_TEXTURE_2D);
  }

  void ReadPixels(int x, int y, int width, int height, std::uint32_t* out) override {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, out);
  }

 private:
  GLint first_[gxtkGraphics::kMaxVertices / 5 + 1] = {};
  GLsizei count_[gxtkGraphics::kMaxVertices / 5 + 1] = {};
};

}  // namespace

std::shared_ptr<gxtkRenderBackend> MakeGlBackend() {
  return std::make_shared<GlBackend>();
}
