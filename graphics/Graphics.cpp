// The drawing front end: the graphics context with its matrix stack, images and frames, and the
// xq_graphics_ functions the game draws with. See Graphics.h.
#include "graphics/Graphics.h"

#include <cmath>

#include "host/Files.h"
#include "runtime/Error.h"
#include "runtime/Numbers.h"

std::shared_ptr<gxtkGraphics> xq_graphics_device;
gxtkGraphics* xq_graphics_renderDevice = nullptr;
std::shared_ptr<c_GraphicsContext> xq_graphics_context = std::make_shared<c_GraphicsContext>();
int xq_graphics_DefaultFlags = 0;

namespace {

c_GraphicsContext* Context() {
  return xq_graphics_context.get();
}

void UpdateTransformed(c_GraphicsContext* g) {
  g->transformed =
      (g->a == 1 && g->b == 0 && g->c == 0 && g->d == 1 && g->tx == 0 && g->ty == 0) ? 0 : 1;
  g->matrixDirty = 1;
}

// The frame's position, or null when the image or the index is unusable.
const c_Frame* FrameOf(const c_Image* image, int frame) {
  if (!image || !image->surface || !image->frames.InRange(frame)) return nullptr;
  return &image->frames[frame];
}

std::shared_ptr<gxtkSurface> LoadSurfaceFor(const String& path) {
  if (!xq_graphics_device) return nullptr;
  return xq_graphics_device->LoadSurface(xq_data_FixDataPath(path));
}

}  // namespace

// ---- Frames and images --------------------------------------------------------------------------

c_Frame* c_Frame::m_new(int x, int y) {
  this->x = x;
  this->y = y;
  return this;
}

c_Image* c_Image::p_Init(std::shared_ptr<gxtkSurface> surface, int frameCount, int flags) {
  this->surface = std::move(surface);
  source.reset();
  const int count = frameCount > 0 ? frameCount : 0;
  width = count && this->surface ? this->surface->Width() / count : 0;
  height = this->surface ? this->surface->Height() : 0;
  frames = Array<c_Frame>(count);
  for (int i = 0; i < count; ++i) frames[i].m_new(i * width, 0);
  p_ApplyFlags(flags);
  return this;
}

c_Image* c_Image::p_Init2(std::shared_ptr<gxtkSurface> surface, int x, int y, int frameWidth,
                          int frameHeight, int frameCount, int flags,
                          std::shared_ptr<c_Image> source, int srcX, int srcY, int srcWidth,
                          int srcHeight) {
  this->surface = std::move(surface);
  this->source = std::move(source);
  width = frameWidth;
  height = frameHeight;
  const int count = frameCount > 0 ? frameCount : 0;
  frames = Array<c_Frame>(count);
  long long ix = x, iy = y;
  for (int i = 0; i < count; ++i) {
    if (ix + width > srcWidth) {
      ix = 0;
      iy += height;
    }
    if (ix + width > srcWidth || iy + height > srcHeight) {
      xqError(String("Image frame outside surface"));
    }
    frames[i].m_new(static_cast<int>(ix) + srcX, static_cast<int>(iy) + srcY);
    ix += width;
  }
  p_ApplyFlags(flags);
  return this;
}

int c_Image::p_ApplyFlags(int flags) {
  this->flags = flags;
  if (flags & PadX) {
    for (c_Frame& f : frames) f.x += 1;
    width -= 2;
  }
  if (flags & PadY) {
    for (c_Frame& f : frames) f.y += 1;
    height -= 2;
  }
  if (flags & HandleCentred) {
    this->flags &= ~HandleCentred;
    handleX = static_cast<float>(width) * 0.5f;
    handleY = static_cast<float>(height) * 0.5f;
  }
  if (frames.Length() == 1 && frames[0].x == 0 && frames[0].y == 0 && surface &&
      width == surface->Width() && height == surface->Height()) {
    this->flags |= WholeSurface;
  }
  return 0;
}

int c_Image::p_SetHandle(float x, float y) {
  handleX = x;
  handleY = y;
  flags &= ~HandleCentred;
  return 0;
}

// ---- Context ------------------------------------------------------------------------------------

int c_GraphicsContext::p_Validate() {
  if (matrixDirty && xq_graphics_renderDevice) {
    xq_graphics_renderDevice->SetMatrix(a, b, c, d, tx, ty);
    matrixDirty = 0;
  }
  return 0;
}

int xq_graphics_SetGraphicsDevice(std::shared_ptr<gxtkGraphics> device) {
  xq_graphics_device = std::move(device);
  return 0;
}

int xq_graphics_DeviceWidth() {
  return xq_graphics_device ? xq_graphics_device->Width() : 0;
}
int xq_graphics_DeviceHeight() {
  return xq_graphics_device ? xq_graphics_device->Height() : 0;
}

int xq_graphics_BeginRender() {
  c_GraphicsContext* g = Context();
  xq_graphics_renderDevice = xq_graphics_device.get();
  if (!g || !xq_graphics_renderDevice) return 0;
  g->stackTop = 0;
  g->overflow = 0;
  g->a = g->d = 1;
  g->b = g->c = g->tx = g->ty = 0;
  g->transformed = 0;
  g->matrixDirty = 1;
  xq_graphics_SetColor(255, 255, 255);
  xq_graphics_SetAlpha(1);
  xq_graphics_SetBlend(0);
  xq_graphics_SetScissor(0, 0, static_cast<float>(xq_graphics_DeviceWidth()),
                         static_cast<float>(xq_graphics_DeviceHeight()));
  return 0;
}

int xq_graphics_EndRender() {
  xq_graphics_renderDevice = nullptr;
  return 0;
}

int xq_graphics_SetColor(float red, float green, float blue) {
  if (c_GraphicsContext* g = Context()) {
    g->red = red;
    g->green = green;
    g->blue = blue;
  }
  if (xq_graphics_renderDevice) xq_graphics_renderDevice->SetColor(red, green, blue);
  return 0;
}

int xq_graphics_SetAlpha(float alpha) {
  if (c_GraphicsContext* g = Context()) g->alpha = alpha;
  if (xq_graphics_renderDevice) xq_graphics_renderDevice->SetAlpha(alpha);
  return 0;
}

int xq_graphics_SetBlend(int mode) {
  if (c_GraphicsContext* g = Context()) g->blend = mode;
  if (xq_graphics_renderDevice) xq_graphics_renderDevice->SetBlend(mode);
  return 0;
}

int xq_graphics_SetScissor(float x, float y, float width, float height) {
  if (c_GraphicsContext* g = Context()) {
    g->scissorX = x;
    g->scissorY = y;
    g->scissorWidth = width;
    g->scissorHeight = height;
  }
  if (xq_graphics_renderDevice) {
    xq_graphics_renderDevice->SetScissor(Trunc(x), Trunc(y), Trunc(width), Trunc(height));
  }
  return 0;
}

int xq_graphics_Cls(float red, float green, float blue) {
  if (xq_graphics_renderDevice) xq_graphics_renderDevice->Cls(red, green, blue);
  return 0;
}

// ---- Matrix -------------------------------------------------------------------------------------

int xq_graphics_SetMatrix(float a, float b, float c, float d, float tx, float ty) {
  c_GraphicsContext* g = Context();
  if (!g) return 0;
  g->a = a;
  g->b = b;
  g->c = c;
  g->d = d;
  g->tx = tx;
  g->ty = ty;
  UpdateTransformed(g);
  return 0;
}

int xq_graphics_SetMatrix2(const Array<float>& m) {
  return xq_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int xq_graphics_Transform(float ta, float tb, float tc, float td, float ttx, float tty) {
  c_GraphicsContext* g = Context();
  if (!g) return 0;
  const float a = g->a, b = g->b, c = g->c, d = g->d;
  g->a = a * ta + c * tb;
  g->b = b * ta + d * tb;
  g->c = a * tc + c * td;
  g->d = b * tc + d * td;
  g->tx = a * ttx + c * tty + g->tx;
  g->ty = b * ttx + d * tty + g->ty;
  UpdateTransformed(g);
  return 0;
}

int xq_graphics_Transform2(const Array<float>& m) {
  return xq_graphics_Transform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int xq_graphics_Translate(float x, float y) {
  return xq_graphics_Transform(1, 0, 0, 1, x, y);
}

int xq_graphics_Scale(float x, float y) {
  return xq_graphics_Transform(x, 0, 0, y, 0, 0);
}

namespace {
// Sprites are mostly drawn at a few angles (often 0), so the last result is kept. Single precision
// throughout: the matrix is float, and a float angle in degrees has no more digits to give.
void RotationOf(float angle, float* co, float* s) {
  static float lastAngle = 0, lastCo = 1, lastS = 0;
  if (angle != lastAngle) {
    ::sincosf(angle * 0.017453292f, &lastS, &lastCo);
    lastAngle = angle;
  }
  *co = lastCo;
  *s = lastS;
}
}  // namespace

int xq_graphics_Rotate(float angle) {
  float co, s;
  RotationOf(angle, &co, &s);
  return xq_graphics_Transform(co, -s, s, co, 0, 0);
}

int xq_graphics_PushMatrix() {
  c_GraphicsContext* g = Context();
  if (!g) return 0;
  if (g->overflow > 0 || g->stackTop + 6 > g->matrixStack.Length()) {
    ++g->overflow;  // full: remembered only so that the matching pop leaves the levels below alone
    return 0;
  }
  float* at = g->matrixStack.Data() + g->stackTop;
  at[0] = g->a;
  at[1] = g->b;
  at[2] = g->c;
  at[3] = g->d;
  at[4] = g->tx;
  at[5] = g->ty;
  g->stackTop += 6;
  return 0;
}

int xq_graphics_PopMatrix() {
  c_GraphicsContext* g = Context();
  if (!g) return 0;
  if (g->overflow > 0) {
    --g->overflow;
    return 0;
  }
  if (g->stackTop < 6) return 0;  // empty: the matrix stays
  g->stackTop -= 6;
  const float* at = g->matrixStack.Data() + g->stackTop;
  g->a = at[0];
  g->b = at[1];
  g->c = at[2];
  g->d = at[3];
  g->tx = at[4];
  g->ty = at[5];
  UpdateTransformed(g);
  return 0;
}

// ---- Drawing ------------------------------------------------------------------------------------

namespace {
// The render device with the current matrix sent, or null outside a frame.
gxtkGraphics* Validated() {
  c_GraphicsContext* g = Context();
  if (!xq_graphics_renderDevice || !g) return nullptr;
  g->p_Validate();
  return xq_graphics_renderDevice;
}
}  // namespace

int xq_graphics_DrawRect(float x, float y, float width, float height) {
  if (gxtkGraphics* r = Validated()) r->DrawRect(x, y, width, height);
  return 0;
}

int xq_graphics_DrawLine(float x1, float y1, float x2, float y2) {
  if (gxtkGraphics* r = Validated()) r->DrawLine(x1, y1, x2, y2);
  return 0;
}

int xq_graphics_DrawEllipse(float x, float y, float xRadius, float yRadius) {
  if (gxtkGraphics* r = Validated()) {
    r->DrawOval(x - xRadius, y - yRadius, xRadius * 2, yRadius * 2);
  }
  return 0;
}

namespace {
void DrawFrame(gxtkGraphics* r, const c_Image& image, const c_Frame& f, float x, float y) {
  if (image.flags & c_Image::WholeSurface) {
    r->DrawSurface(image.surface, x, y);
  } else {
    r->DrawSurface2(image.surface, x, y, f.x, f.y, image.width, image.height);
  }
}
}  // namespace

int xq_graphics_DrawImage(const std::shared_ptr<c_Image>& image, float x, float y, int frame) {
  const c_Frame* f = FrameOf(image.get(), frame);
  if (!f) return 0;
  if (gxtkGraphics* r = Validated())
    DrawFrame(r, *image, *f, x - image->handleX, y - image->handleY);
  return 0;
}

// The sprite's matrix is the current one followed by translate(x, y), rotate, scale and
// translate(-handle), composed here directly and handed to the renderer; the context's own matrix
// never changes, so this needs no level of the matrix stack and works at any depth.
int xq_graphics_DrawImage2(const std::shared_ptr<c_Image>& image, float x, float y, float rotation,
                           float scaleX, float scaleY, int frame) {
  const c_Frame* f = FrameOf(image.get(), frame);
  c_GraphicsContext* g = Context();
  if (!f || !g || !xq_graphics_renderDevice) return 0;
  float co, s;
  RotationOf(rotation, &co, &s);
  // translate(x, y) then rotate: (co, -s, s, co, x, y) in the current frame.
  float a = g->a * co + g->c * -s;
  float b = g->b * co + g->d * -s;
  float c = g->a * s + g->c * co;
  float d = g->b * s + g->d * co;
  const float tx = g->a * x + g->c * y + g->tx;
  const float ty = g->b * x + g->d * y + g->ty;
  // then scale
  a *= scaleX;
  b *= scaleX;
  c *= scaleY;
  d *= scaleY;
  // then translate(-handle)
  const float hx = -image->handleX, hy = -image->handleY;
  xq_graphics_renderDevice->DrawSurface2Under(image->surface, a, b, c, d, a * hx + c * hy + tx,
                                              b * hx + d * hy + ty, f->x, f->y, image->width,
                                              image->height);
  return 0;
}

// ---- Images and fonts ---------------------------------------------------------------------------

std::shared_ptr<c_Image> xq_graphics_LoadImage(const String& path, int frameCount, int flags) {
  if (frameCount < 1) return nullptr;
  auto surface = LoadSurfaceFor(path);
  if (!surface) return nullptr;
  auto image = std::make_shared<c_Image>();
  image->p_Init(std::move(surface), frameCount, flags);
  return image;
}

std::shared_ptr<c_Image> xq_graphics_LoadImage2(const String& path, int frameWidth, int frameHeight,
                                                int frameCount, int flags) {
  if (frameCount < 1 || frameWidth < 1 || frameHeight < 1) return nullptr;
  auto surface = LoadSurfaceFor(path);
  if (!surface) return nullptr;
  auto image = std::make_shared<c_Image>();
  const int w = surface->Width(), h = surface->Height();
  image->p_Init2(std::move(surface), 0, 0, frameWidth, frameHeight, frameCount, flags, nullptr, 0,
                 0, w, h);
  return image;
}

int xq_graphics_SetFont(std::shared_ptr<c_Image> font, int firstChar) {
  c_GraphicsContext* g = Context();
  if (!g) return 0;
  if (!font) {
    if (!g->defaultFont && !g->defaultFontMissing && xq_graphics_device) {
      g->defaultFont = xq_graphics_LoadImage("dovu_font.png", 96, c_Image::PadX);
      g->defaultFontMissing = !g->defaultFont;
    }
    g->font = g->defaultFont;
    g->firstChar = 32;
    return 0;
  }
  g->font = std::move(font);
  g->firstChar = firstChar;
  return 0;
}
