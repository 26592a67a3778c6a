// The batched renderer: CPU transform and colour into one vertex array, drawn by the device under
// it (graphics/RenderBackend.h). See Renderer.h for the contract.
#include "graphics/Renderer.h"

#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "decode/ImageDecode.h"
#include "graphics/RenderBackend.h"
#include "graphics/Surface.h"
#include "host/Files.h"
#include "host/Game.h"

namespace {

const std::shared_ptr<gxtkSurface> kNoSurface;

// NaN and values below the range give the lower bound.
inline float Clamp(float value, float high) {
  value = value > 0 ? value : 0.0f;
  return value < high ? value : high;
}

// Segment directions of the last oval size drawn, so that ovals of one size share the sines.
struct OvalTable {
  int segs = 0;
  float cosine[gxtkGraphics::kMaxVertices];
  float sine[gxtkGraphics::kMaxVertices];
  void Build(int n) {
    if (n == segs) return;
    segs = n;
    for (int i = 0; i < n; ++i) {
      const float theta = static_cast<float>(i) * 6.2831855f / static_cast<float>(n);
      cosine[i] = std::cos(theta);
      sine[i] = std::sin(theta);
    }
  }
};
OvalTable ovalTable;

}  // namespace

namespace {

// The headless renderer's device: it draws nothing and makes no textures.
class NullBackend final : public gxtkRenderBackend {
 public:
  bool WindowSize(int*, int*) override { return false; }
  void BeginFrame(int, int, const gxtkVertex*) override {}
  void Swap() override {}
  void Clear(float, float, float) override {}
  void Blend(int) override {}
  void Scissor(bool, int, int, int, int) override {}
  void Draw(int, int, unsigned, const std::uint16_t*) override {}
  void ReadPixels(int, int, int, int, std::uint32_t*) override {}
  unsigned MakeTexture(int, int width, int height, const unsigned char*, bool, int* textureWidth,
                       int* textureHeight) override {
    *textureWidth = width;
    *textureHeight = height;
    return 0;
  }
  void UpdateTexture(unsigned, int, int, int, int, const unsigned char*, int) override {}
  void DeleteTexture(unsigned) override {}
};

XQRenderApi HostApi() {
  const XQGame* host = XQGame::Host();
  return host ? host->RenderApi() : XQRenderApi::kGl1;
}

}  // namespace

std::shared_ptr<gxtkRenderBackend> MakeNullBackend() {
  return std::make_shared<NullBackend>();
}

namespace {

// The backends this build has, by the API of the context they draw into. A build has the OpenGL
// 1.x one where the platform's OpenGL has it (the desktop; a browser's WebGL does not); an API the
// build lacks draws through the last entry, ES 2.0, which every platform has.
struct BackendEntry {
  XQRenderApi api;
  std::shared_ptr<gxtkRenderBackend> (*make)();
};
constexpr BackendEntry kBackends[] = {
#ifdef DROMMEL_GL1_BACKEND
    {XQRenderApi::kGl1, MakeGlBackend},
#endif
    {XQRenderApi::kEs2, MakeEs2Backend},
};

std::shared_ptr<gxtkRenderBackend> BackendFor(XQRenderApi api) {
  for (const BackendEntry& entry : kBackends) {
    if (entry.api == api) return entry.make();
  }
  return kBackends[std::size(kBackends) - 1].make();
}

}  // namespace

gxtkGraphics::gxtkGraphics() : gxtkGraphics(HostApi()) {}

gxtkGraphics::gxtkGraphics(XQRenderApi api) : backend_(BackendFor(api)) {
  BuildIndices();
  ReadWindowSize();
}

gxtkGraphics::gxtkGraphics(int width, int height, bool headless)
    : headless_(headless), backend_(headless ? MakeNullBackend() : BackendFor(HostApi())) {
  BuildIndices();
  SetSize(width, height);
  this->width = pendingWidth_;
  this->height = pendingHeight_;
}

void gxtkGraphics::BuildIndices() {
  for (int q = 0; q < kMaxQuads; ++q) {
    const auto i = static_cast<std::uint16_t>(q * 4);
    std::uint16_t* out = quadIndices + q * 6;
    out[0] = i;
    out[1] = static_cast<std::uint16_t>(i + 1);
    out[2] = static_cast<std::uint16_t>(i + 2);
    out[3] = i;
    out[4] = static_cast<std::uint16_t>(i + 2);
    out[5] = static_cast<std::uint16_t>(i + 3);
  }
}

gxtkGraphics::~gxtkGraphics() = default;

void gxtkGraphics::SetSize(int width, int height) {
  pendingWidth_ = width > 0 ? width : 0;
  pendingHeight_ = height > 0 ? height : 0;
}

void gxtkGraphics::ReadWindowSize() {
  int w = 0, h = 0;
  if (!backend_->WindowSize(&w, &h)) {
    w = pendingWidth_;
    h = pendingHeight_;
  }
  width = w;
  height = h;
}

int gxtkGraphics::Width() {
  return width;
}
int gxtkGraphics::Height() {
  return height;
}

int gxtkGraphics::BeginRender() {
  ReadWindowSize();
  contextSeq_ = headless_ ? -1 : RenderContextSeq();
  backend_->BeginFrame(width, height, vertexBuffer);
  batchCount = 0;
  batchKind = 0;
  batchSurface.reset();
  stats_ = {};
  inFrame_ = true;
  blendInForce_ = kBlendAlpha;
  scissorKnown_ = false;
  return 1;
}

int gxtkGraphics::EndRender() {
  if (!inFrame_) return 0;
  Flush(kFlushEndFrame);
  batchSurface.reset();
  inFrame_ = false;
  backend_->Swap();
  return 0;
}

int gxtkGraphics::DiscardGraphics() {
  return 0;
}

std::shared_ptr<gxtkSurface> gxtkGraphics::LoadSurface(const String& path) {
  auto surface = LoadSurface__UNSAFE__(std::make_shared<gxtkSurface>(SurfaceDevice()), path);
  if (surface) surface->Bind();
  return surface;
}

std::shared_ptr<gxtkSurface> gxtkGraphics::LoadSurface__UNSAFE__(
    std::shared_ptr<gxtkSurface> surface, const String& path) {
  if (!surface) return nullptr;
  int w = 0, h = 0, depth = 0;
  PixelBuffer data;
  if (XQGame* host = XQGame::Host()) {
    data = host->LoadImageData(path, &w, &h, &depth);
  } else {
    // No host at all (tests of the renderer alone): map portable paths ourselves.
    const String file = xq_data_PortableToFilePath(path);
    if (!file.Empty()) data = LoadImageFile(file, &w, &h, &depth);
  }
  if (!data) return nullptr;
  surface->SetData(std::move(data), w, h, depth);
  if (!surface->Pixels()) return nullptr;
  return surface;
}

std::shared_ptr<gxtkSurface> gxtkGraphics::CreateSurface(int width, int height) {
  if (width < 1 || height < 1 || width > gxtkSurface::kMaxSide || height > gxtkSurface::kMaxSide) {
    return nullptr;
  }
  auto surface = std::make_shared<gxtkSurface>(SurfaceDevice());
  surface->SetEmpty(width, height);
  surface->Bind();
  return surface;
}

int gxtkGraphics::Cls(float red, float green, float blue) {
  if (!inFrame_) return 0;
  if (batchCount) {
    ++stats_.clsDrops;
    stats_.droppedVertices += batchCount;
  }
  batchCount = 0;
  backend_->Clear(Clamp(red, 255) / 255.0f, Clamp(green, 255) / 255.0f, Clamp(blue, 255) / 255.0f);
  return 0;
}

std::uint32_t gxtkGraphics::Pack() const {
#if defined(__SSE2__)
  // The same clamps, products and truncations as below, four lanes at once: (red, green, blue,
  // alpha) clamped (NaN to 0), times (alpha, alpha, alpha, 255), truncated, narrowed to bytes.
  const __m128 clamped =
      _mm_min_ps(_mm_max_ps(_mm_set_ps(alpha, blue, green, red), _mm_setzero_ps()),
                 _mm_set_ps(1.0f, 255.0f, 255.0f, 255.0f));
  const __m128 al = _mm_shuffle_ps(clamped, clamped, _MM_SHUFFLE(3, 3, 3, 3));
  const __m128 factors = _mm_or_ps(_mm_and_ps(al, _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1))),
                                   _mm_set_ps(255.0f, 0.0f, 0.0f, 0.0f));
  const __m128i lanes = _mm_cvttps_epi32(_mm_mul_ps(clamped, factors));
  const __m128i words = _mm_packs_epi32(lanes, lanes);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
#else
  const float al = Clamp(alpha, 1.0f);
  return (static_cast<std::uint32_t>(al * 255.0f) << 24) |
         (static_cast<std::uint32_t>(Clamp(blue, 255.0f) * al) << 16) |
         (static_cast<std::uint32_t>(Clamp(green, 255.0f) * al) << 8) |
         static_cast<std::uint32_t>(Clamp(red, 255.0f) * al);
#endif
}

int gxtkGraphics::SetAlpha(float alpha) {
  this->alpha = alpha;
  colorChanged_ = true;
  return 0;
}

int gxtkGraphics::SetColor(float red, float green, float blue) {
  this->red = red;
  this->green = green;
  this->blue = blue;
  colorChanged_ = true;
  return 0;
}

int gxtkGraphics::SetBlend(int mode) {
  if (!inFrame_) return 0;
  mode = mode == kBlendAdditive ? kBlendAdditive : kBlendAlpha;
  if (mode == blendInForce_) return 0;  // the same picture: keep the batch going
  Flush(kFlushBlend);
  blendInForce_ = mode;
  backend_->Blend(mode);
  return 0;
}

int gxtkGraphics::SetScissor(int x, int y, int width, int height) {
  if (!inFrame_) return 0;
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (scissorKnown_ && scissor_[0] == x && scissor_[1] == y && scissor_[2] == width &&
      scissor_[3] == height) {
    return 0;
  }
  Flush(kFlushScissor);
  scissorKnown_ = true;
  scissor_[0] = x;
  scissor_[1] = y;
  scissor_[2] = width;
  scissor_[3] = height;
  const bool whole = x == 0 && y == 0 && width == Width() && height == Height();
  backend_->Scissor(whole, x, Height() - y - height, width, height);
  return 0;
}

int gxtkGraphics::SetMatrix(float a, float b, float c, float d, float tx, float ty) {
  this->a = a;
  this->b = b;
  this->c = c;
  this->d = d;
  this->tx = tx;
  this->ty = ty;
  transformed = !(a == 1 && b == 0 && c == 0 && d == 1 && tx == 0 && ty == 0);
  return 0;
}

// ---- Batching -----------------------------------------------------------------------------------

inline gxtkVertex* gxtkGraphics::Reserve(int kind, int count,
                                         const std::shared_ptr<gxtkSurface>& surface) {
  if (kind == batchKind && surface.get() == batchSurface.get() &&
      batchCount + count <= kMaxVertices && inFrame_) {
    gxtkVertex* out = vertexBuffer + batchCount;
    batchCount += count;
    ++stats_.primitives;
    return out;
  }
  return RestartBatch(kind, count, surface);
}

gxtkVertex* gxtkGraphics::RestartBatch(int kind, int count,
                                       const std::shared_ptr<gxtkSurface>& surface) {
  if (!inFrame_ || count < 1 || count > kMaxVertices) return nullptr;
  if (batchCount) {
    const bool same = kind == batchKind && surface.get() == batchSurface.get();
    Flush(same ? kFlushFull : kFlushKind);
  }
  batchKind = kind;
  if (surface.get() != batchSurface.get()) batchSurface = surface;
  batchCount = count;
  ++stats_.primitives;
  return vertexBuffer;
}

gxtkVertex* gxtkGraphics::Begin(int kind, int count, const std::shared_ptr<gxtkSurface>& surface) {
  if (kind < 1 || count < 1 || count > kMaxVertices) return nullptr;
  return Reserve(kind, count, surface);
}

void gxtkGraphics::Flush(FlushCause cause) {
  if (batchCount == 0) return;
  ++stats_.flushes;
  switch (cause) {
    case kFlushKind:
      ++stats_.flushKind;
      break;
    case kFlushFull:
      ++stats_.flushFull;
      break;
    case kFlushBlend:
      ++stats_.flushBlend;
      break;
    case kFlushScissor:
      ++stats_.flushScissor;
      break;
    case kFlushPixels:
      ++stats_.flushPixels;
      break;
    case kFlushEndFrame:
      ++stats_.flushEndFrame;
      break;
    case kFlushOther:
      ++stats_.flushOther;
      break;
  }
  SendBatch();
  batchCount = 0;
}

void gxtkGraphics::SendBatch() {
  unsigned texture = 0;
  if (gxtkSurface* surface = batchSurface.get()) {
    ++stats_.textureBinds;
    surface->Bind();
    texture = surface->Texture();
  }
  stats_.vertices += batchCount;
  ++stats_.drawCalls;
  backend_->Draw(batchKind, batchCount, texture, quadIndices);
}

// A surface whose texture does not exist in this context yet gets it now, before its texture scale
// goes into vertices: a power-of-two texture changes the scale.
inline void gxtkGraphics::Prepare(gxtkSurface& surface) {
  if (surface.ContextSeq() != contextSeq_) surface.Bind();
}

std::shared_ptr<gxtkRenderBackend> gxtkGraphics::SurfaceDevice() const {
  return headless_ ? nullptr : backend_;
}

// ---- Primitives ---------------------------------------------------------------------------------

inline void gxtkGraphics::Corner(gxtkVertex* v, float x, float y, std::uint32_t color) const {
  if (transformed) {
    v->x = a * x + c * y + tx;
    v->y = b * x + d * y + ty;
  } else {
    v->x = x;
    v->y = y;
  }
  v->color = color;
}

int gxtkGraphics::DrawPoint(float x, float y) {
  gxtkVertex* v = Reserve(1, 1, kNoSurface);
  if (v) Corner(v, x, y, Color());
  return 0;
}

int gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
  gxtkVertex* v = Reserve(2, 2, kNoSurface);
  if (!v) return 0;
  const std::uint32_t color = Color();
  Corner(v, x1, y1, color);
  Corner(v + 1, x2, y2, color);
  return 0;
}

int gxtkGraphics::DrawRect(float x, float y, float width, float height) {
  gxtkVertex* v = Reserve(4, 4, kNoSurface);
  if (!v) return 0;
  const float x2 = x + width, y2 = y + height;
  const std::uint32_t color = Color();
  Corner(v, x, y, color);
  Corner(v + 1, x2, y, color);
  Corner(v + 2, x2, y2, color);
  Corner(v + 3, x, y2, color);
  return 0;
}

int gxtkGraphics::DrawOval(float x, float y, float width, float height) {
  const float rx = width * 0.5f, ry = height * 0.5f;
  float estimate;
  if (!transformed) {
    estimate = std::fabs(std::trunc(rx)) + std::fabs(std::trunc(ry));
  } else {
    estimate = std::trunc(std::sqrt((a * rx) * (a * rx) + (b * rx) * (b * rx)) +
                          std::sqrt((c * ry) * (c * ry) + (d * ry) * (d * ry)));
  }
  int segs;
  if (!(estimate >= 12.0f)) {  // NaN included
    segs = 12;
  } else if (estimate > 1024.0f) {
    segs = 1024;
  } else {
    segs = static_cast<int>(estimate) & ~3;
  }
  gxtkVertex* v = Reserve(segs, segs, kNoSurface);
  if (!v) return 0;
  ovalTable.Build(segs);
  const float cx = x + rx, cy = y + ry;
  const std::uint32_t color = Color();
  for (int i = 0; i < segs; ++i) {
    Corner(v + i, cx + ovalTable.cosine[i] * rx, cy - ovalTable.sine[i] * ry, color);
  }
  return 0;
}

int gxtkGraphics::DrawPoly(const Array<float>& xy) {
  const int n = xy.Length() / 2;
  if (n < 1 || n > kMaxVertices) return 0;
  gxtkVertex* v = Reserve(n, n, kNoSurface);
  if (!v) return 0;
  const float* in = xy.Data();
  const std::uint32_t color = Color();
  for (int i = 0; i < n; ++i) Corner(v + i, in[i * 2], in[i * 2 + 1], color);
  return 0;
}

int gxtkGraphics::DrawPoly2(const Array<float>& xyuv, const std::shared_ptr<gxtkSurface>& surface,
                            int srcX, int srcY) {
  const int n = xyuv.Length() / 4;
  if (!surface || n < 1 || n > kMaxVertices) return 0;
  gxtkVertex* v = Reserve(n, n, surface);
  if (!v) return 0;
  Prepare(*surface);
  const float us = surface->UScale(), vs = surface->VScale();
  const float* in = xyuv.Data();
  const std::uint32_t color = Color();
  for (int i = 0; i < n; ++i) {
    Corner(v + i, in[i * 4], in[i * 4 + 1], color);
    v[i].u = (in[i * 4 + 2] + static_cast<float>(srcX)) * us;
    v[i].v = (in[i * 4 + 3] + static_cast<float>(srcY)) * vs;
  }
  return 0;
}

int gxtkGraphics::DrawSurface(const std::shared_ptr<gxtkSurface>& surface, float x, float y) {
  if (!surface) return 0;
  gxtkVertex* v = Reserve(4, 4, surface);
  if (!v) return 0;
  Prepare(*surface);
  const float w = static_cast<float>(surface->Width()), h = static_cast<float>(surface->Height());
  const float u1 = w * surface->UScale(), v1 = h * surface->VScale();
  const std::uint32_t color = Color();
  Corner(v, x, y, color);
  Corner(v + 1, x + w, y, color);
  Corner(v + 2, x + w, y + h, color);
  Corner(v + 3, x, y + h, color);
  v[0].u = 0;
  v[0].v = 0;
  v[1].u = u1;
  v[1].v = 0;
  v[2].u = u1;
  v[2].v = v1;
  v[3].u = 0;
  v[3].v = v1;
  return 0;
}

int gxtkGraphics::DrawSurface2(const std::shared_ptr<gxtkSurface>& surface, float x, float y,
                               int srcX, int srcY, int srcWidth, int srcHeight) {
  if (!surface) return 0;
  gxtkVertex* v = Reserve(4, 4, surface);
  if (!v) return 0;
  Prepare(*surface);
  const float w = static_cast<float>(srcWidth), h = static_cast<float>(srcHeight);
  const float us = surface->UScale(), vs = surface->VScale();
  const float u0 = static_cast<float>(srcX) * us, v0 = static_cast<float>(srcY) * vs;
  const float u1 = static_cast<float>(srcX + srcWidth) * us;
  const float v1 = static_cast<float>(srcY + srcHeight) * vs;
  const std::uint32_t color = Color();
  Corner(v, x, y, color);
  Corner(v + 1, x + w, y, color);
  Corner(v + 2, x + w, y + h, color);
  Corner(v + 3, x, y + h, color);
  v[0].u = u0;
  v[0].v = v0;
  v[1].u = u1;
  v[1].v = v0;
  v[2].u = u1;
  v[2].v = v1;
  v[3].u = u0;
  v[3].v = v1;
  return 0;
}

int gxtkGraphics::DrawSurface2Under(const std::shared_ptr<gxtkSurface>& surface, float a, float b,
                                    float c, float d, float tx, float ty, int srcX, int srcY,
                                    int srcWidth, int srcHeight) {
  if (!surface) return 0;
  gxtkVertex* v = Reserve(4, 4, surface);
  if (!v) return 0;
  Prepare(*surface);
  const float w = static_cast<float>(srcWidth), h = static_cast<float>(srcHeight);
  const float us = surface->UScale(), vs = surface->VScale();
  const float u0 = static_cast<float>(srcX) * us, v0 = static_cast<float>(srcY) * vs;
  const float u1 = static_cast<float>(srcX + srcWidth) * us;
  const float v1 = static_cast<float>(srcY + srcHeight) * vs;
  // The corners (0, 0), (w, 0), (w, h), (0, h) under the matrix.
  const float aw = a * w, bw = b * w, ch = c * h, dh = d * h;
  const std::uint32_t color = Color();
  v[0].x = tx;
  v[0].y = ty;
  v[1].x = aw + tx;
  v[1].y = bw + ty;
  v[2].x = aw + ch + tx;
  v[2].y = bw + dh + ty;
  v[3].x = ch + tx;
  v[3].y = dh + ty;
  v[0].color = v[1].color = v[2].color = v[3].color = color;
  v[0].u = u0;
  v[0].v = v0;
  v[1].u = u1;
  v[1].v = v0;
  v[2].u = u1;
  v[2].v = v1;
  v[3].u = u0;
  v[3].v = v1;
  return 0;
}

// ---- Pixels -------------------------------------------------------------------------------------

int gxtkGraphics::ReadPixels(Array<int> pixels, int x, int y, int width, int height, int offset,
                             int pitch) {
  Flush(kFlushPixels);
  if (width < 1 || height < 1 || width > gxtkSurface::kMaxSide || height > gxtkSurface::kMaxSide) {
    return 0;
  }
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<std::uint32_t> buffer(count, 0);
  backend_->ReadPixels(x, Height() - y - height, width, height, buffer.data());
  const long long length = pixels.Length();
  int* out = pixels.Data();
  for (int i = 0; i < height; ++i) {
    const long long start = static_cast<long long>(offset) + static_cast<long long>(i) * pitch;
    if (start < 0 || start + width > length) continue;
    const std::uint32_t* row = buffer.data() + static_cast<size_t>(height - 1 - i) * width;
    std::memcpy(out + start, row, static_cast<size_t>(width) * sizeof(std::uint32_t));
  }
  return 0;
}

int gxtkGraphics::WritePixels2(const std::shared_ptr<gxtkSurface>& surface,
                               const Array<int>& pixels, int x, int y, int width, int height,
                               int offset, int pitch) {
  Flush(kFlushPixels);
  if (surface) surface->SetSubData(x, y, width, height, pixels, offset, pitch);
  return 0;
}
