// The OpenGL ES 2.0 backend, within what WebGL accepts: two small shader programs (untextured and
// textured; the texel times the vertex colour, as the fixed-function modulate), the vertex array
// streamed into one buffer object per batch, quads through a static index buffer made once from
// the renderer's quad indices, polygons through a second index buffer holding triangle fans as
// triangles, so that each batch is still one draw call. The projection is a uniform with the same
// matrix the OpenGL 1.x backend loads, so both put every vertex on the same spot.
//
// Program, buffers and textures belong to the context they were made in: when the host's context
// count moves on (a new window), BeginFrame makes them all again. A shader that does not compile
// or link ends the program with status 255 after one line holding the driver's log.
#include <GLES2/gl2.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/GlCommon.h"
#include "graphics/RenderBackend.h"
#include "graphics/Renderer.h"
#include "runtime/Error.h"
#include "runtime/String.h"

namespace {

bool breakNextShader = false;

const char* const kVertexShader = R"(#version 100
uniform mat4 projection;
attribute vec2 position;
attribute vec2 texcoord;
attribute vec4 color;
varying vec2 uv;
varying vec4 tint;
void main() {
  gl_Position = projection * vec4(position, 0.0, 1.0);
  gl_PointSize = 1.0;
  uv = texcoord;
  tint = color;
}
)";

const char* const kColourShader = R"(#version 100
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec4 tint;
void main() {
  gl_FragColor = tint;
}
)";

const char* const kTextureShader = R"(#version 100
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D image;
varying vec2 uv;
varying vec4 tint;
void main() {
  gl_FragColor = texture2D(image, uv) * tint;
}
)";

enum Attribute : GLuint { kPosition, kTexcoord, kColor };

// The driver's log as one line, then the end of the program.
[[noreturn]] void Fail(const char* what, std::string log) {
  for (char& c : log) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!log.empty() && log.back() == ' ') log.pop_back();
  xqPrint(String(std::string("Cannot ") + what +
                 " the drawing shaders: " + (log.empty() ? "no log given" : log)));
  std::fflush(nullptr);
  std::_Exit(255);
}

GLuint Compile(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    Fail("compile", log);
  }
  return shader;
}

struct Program {
  GLuint name = 0;
  GLint projection = -1;
};

Program Link(GLuint vertex, const char* fragmentSource) {
  const GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource);
  Program program;
  program.name = glCreateProgram();
  glAttachShader(program.name, vertex);
  glAttachShader(program.name, fragment);
  glBindAttribLocation(program.name, kPosition, "position");
  glBindAttribLocation(program.name, kTexcoord, "texcoord");
  glBindAttribLocation(program.name, kColor, "color");
  glLinkProgram(program.name);
  GLint ok = GL_FALSE;
  glGetProgramiv(program.name, GL_LINK_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[1024] = {};
    glGetProgramInfoLog(program.name, sizeof log, nullptr, log);
    Fail("link", log);
  }
  glDeleteShader(fragment);
  program.projection = glGetUniformLocation(program.name, "projection");
  glUseProgram(program.name);
  glUniform1i(glGetUniformLocation(program.name, "image"), 0);
  return program;
}

class Es2Backend final : public GlBackendBase {
 public:
  void BeginFrame(int width, int height, const gxtkVertex* vertices) override {
    vertices_ = vertices;
    if (contextSeq_ != RenderContextSeq()) Make();
    glViewport(0, 0, width, height);
    // glOrtho(0, width, height, 0, -1, 1), column by column, in the same single precision.
    const auto w = static_cast<float>(width), h = static_cast<float>(height);
    const float projection[16] = {2.0f / w, 0, 0, 0, 0, 2.0f / -h, 0, 0, 0, 0, -1, 0, -1, 1, 0, 1};
    for (const Program* program : {&textured_, &untextured_}) {
      glUseProgram(program->name);
      glUniformMatrix4fv(program->projection, 1, GL_FALSE, projection);
    }
    current_ = &untextured_;
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    const auto stride = static_cast<GLsizei>(sizeof(gxtkVertex));
    glVertexAttribPointer(kPosition, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(gxtkVertex, x)));
    glVertexAttribPointer(kTexcoord, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(gxtkVertex, u)));
    glVertexAttribPointer(kColor, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(gxtkVertex, color)));
    glEnableVertexAttribArray(kPosition);
    glEnableVertexAttribArray(kTexcoord);
    glEnableVertexAttribArray(kColor);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  }

  void Draw(int kind, int count, unsigned texture, const std::uint16_t* quadIndices) override {
    (void)quadIndices;  // uploaded once, into the quad index buffer
    const Program* program = texture ? &textured_ : &untextured_;
    if (program != current_) {
      glUseProgram(program->name);
      current_ = program;
    }
    if (texture) glBindTexture(GL_TEXTURE_2D, texture);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(gxtkVertex)), vertices_,
                 GL_STREAM_DRAW);
    if (DrawVertexArray(kind, count)) return;
    switch (kind) {
      case 4:
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quadIndexBuffer_);
        glDrawElements(GL_TRIANGLES, count / 4 * 6, GL_UNSIGNED_SHORT, nullptr);
        break;
      default:
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, polygonIndexBuffer_);
        if (kind != polygonKind_) FanIndices(kind);
        glDrawElements(GL_TRIANGLES, count / kind * (kind - 2) * 3, GL_UNSIGNED_SHORT, nullptr);
        break;
    }
  }

  void ReadPixels(int x, int y, int width, int height, std::uint32_t* out) override {
    // ES 2.0 reads RGBA bytes; callers get B, G, R, A.
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, out);
    const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < n; ++i) {
      const std::uint32_t v = out[i];
      out[i] = (v & 0xff00ff00u) | ((v & 0xffu) << 16) | ((v >> 16) & 0xffu);
    }
  }

 private:
  // Program and buffers for the current context; those of an earlier one vanished with it.
  void Make() {
    contextSeq_ = RenderContextSeq();
    const GLuint vertex =
        Compile(GL_VERTEX_SHADER,
                breakNextShader ? "#version 100\nvoid main() { nonsense; }\n" : kVertexShader);
    breakNextShader = false;
    untextured_ = Link(vertex, kColourShader);
    textured_ = Link(vertex, kTextureShader);
    glDeleteShader(vertex);
    GLuint buffers[3] = {};
    glGenBuffers(3, buffers);
    vertexBuffer_ = buffers[0];
    quadIndexBuffer_ = buffers[1];
    polygonIndexBuffer_ = buffers[2];
    std::uint16_t quads[gxtkGraphics::kMaxQuads * 6];
    for (int q = 0; q < gxtkGraphics::kMaxQuads; ++q) {
      const auto i = static_cast<std::uint16_t>(q * 4);
      const std::uint16_t quad[6] = {
          i, static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + 2),
          i, static_cast<std::uint16_t>(i + 2), static_cast<std::uint16_t>(i + 3)};
      for (int k = 0; k < 6; ++k) quads[q * 6 + k] = quad[k];
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quadIndexBuffer_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof quads, quads, GL_STATIC_DRAW);
    polygonKind_ = 0;
  }

  // As many polygons of kind vertices as the batch holds, each fan (0, i, i + 1) as triangles.
  void FanIndices(int kind) {
    polygonKind_ = kind;
    int n = 0;
    for (int first = 0; first + kind <= gxtkGraphics::kMaxVertices; first += kind) {
      for (int i = 1; i + 1 < kind; ++i) {
        fan_[n++] = static_cast<std::uint16_t>(first);
        fan_[n++] = static_cast<std::uint16_t>(first + i);
        fan_[n++] = static_cast<std::uint16_t>(first + i + 1);
      }
    }
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(n * sizeof(std::uint16_t)), fan_,
                 GL_STATIC_DRAW);
  }

  int contextSeq_ = -1;
  const gxtkVertex* vertices_ = nullptr;
  Program untextured_;
  Program textured_;
  const Program* current_ = nullptr;
  GLuint vertexBuffer_ = 0;
  GLuint quadIndexBuffer_ = 0;
  GLuint polygonIndexBuffer_ = 0;
  int polygonKind_ = 0;
  // Fans of 5 vertices give the most triangles: 3 per polygon, 204 polygons.
  std::uint16_t fan_[gxtkGraphics::kMaxVertices * 3] = {};
};

}  // namespace

void BreakNextEs2ShaderForTesting() {
  breakNextShader = true;
}

std::shared_ptr<gxtkRenderBackend> MakeEs2Backend() {
  return std::make_shared<Es2Backend>();
}
