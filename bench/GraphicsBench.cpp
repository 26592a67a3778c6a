// Graphics figures: CPU cost of writing primitives and sprites into the batch (a headless renderer,
// so the OpenGL draw itself is excluded), the sprite scene through each backend in a real window
// (with DISPLAY set), draw calls per frame, and loading a large PNG.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stb_image_write.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Renderer.h"
#include "graphics/Surface.h"
#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"
#include "runtime/Collect.h"

namespace {

// One rectangle per iteration written into the batch of a render already begun, flushes included
// (a flush every 256); ends the render.
void WriteRects(benchmark::State& state, gxtkGraphics& gfx) {
  float x = 0;
  for (auto _ : state) {
    gfx.DrawRect(x, 10, 20, 30);
    x = x < 600 ? x + 1 : 0;
  }
  benchmark::DoNotOptimize(gfx.Vertices());
  gfx.EndRender();
  state.SetItemsProcessed(state.iterations());
}

// Rectangles in a colour with alpha.
void BM_Graphics_Rect(benchmark::State& state) {
  gxtkGraphics gfx(640, 480, true);
  gfx.BeginRender();
  gfx.SetColor(200, 100, 50);
  gfx.SetAlpha(0.8f);
  WriteRects(state, gfx);
}
BENCHMARK(BM_Graphics_Rect);

// Rectangles under a rotating matrix.
void BM_Graphics_TransformedRect(benchmark::State& state) {
  gxtkGraphics gfx(640, 480, true);
  gfx.BeginRender();
  gfx.SetMatrix(0.8f, 0.6f, -0.6f, 0.8f, 320, 240);
  WriteRects(state, gfx);
}
BENCHMARK(BM_Graphics_TransformedRect);

// One frame of 1,000 rectangles and 1,000 ovals of one size (20 x 20: 20 segments each).
void BM_Graphics_FrameOfRectsAndOvals(benchmark::State& state) {
  gxtkGraphics gfx(640, 480, true);
  for (auto _ : state) {
    gfx.BeginRender();
    for (int i = 0; i < 1000; ++i) gfx.DrawRect(static_cast<float>(i % 600), 10, 8, 8);
    for (int i = 0; i < 1000; ++i) gfx.DrawOval(static_cast<float>(i % 600), 100, 20, 20);
    gfx.EndRender();
  }
  state.counters["drawCalls"] = gfx.Stats().drawCalls;
  state.counters["flushes"] = gfx.Stats().flushes;
}
BENCHMARK(BM_Graphics_FrameOfRectsAndOvals);

// 10,000 sprites from one 256 x 256 sheet through the front end, each at its own angle, scale,
// tint and alpha: the game's particles and text. Kept out of line so that an instruction count can
// be taken of it alone:
//   valgrind --tool=callgrind --toggle-collect='*DrawSpriteFrame*'
//     bench/drommel_bench --benchmark_filter=DrawImage2/headless --benchmark_min_time=0.01
// then divide the instructions by 10,000 per call (callgrind_annotate --inclusive=yes shows them
// per function, libm's apart). With /gl1 or /es2 the count includes the driver's work at each
// flush; the self costs of the functions in drommel_bench (less the allocation counter's operator
// new, which the driver calls) are our own code.
[[gnu::noinline]] void DrawSpriteFrame(const std::shared_ptr<c_Image>& sheet) {
  xq_graphics_BeginRender();
  for (int i = 0; i < 10000; ++i) {
    xq_graphics_SetColor(static_cast<float>(i & 255), 128, 255);
    xq_graphics_SetAlpha(static_cast<float>(i & 15) / 16);
    xq_graphics_DrawImage2(sheet, static_cast<float>(i % 640), static_cast<float>(i % 480),
                           static_cast<float>(i % 360), 1.5f, 0.75f, i & 63);
  }
  xq_graphics_EndRender();
}

// The renderer of the sprite scene: headless, or in a 640 x 480 window whose context is made for
// the API (null when there is no display).
std::shared_ptr<gxtkGraphics> SceneRenderer(std::optional<XQRenderApi> api) {
  if (!api) return std::make_shared<gxtkGraphics>(640, 480, true);
  static const bool ready = std::getenv("DISPLAY") && glfw2::Init() == 1;
  if (!ready) return nullptr;
  if (*api == XQRenderApi::kEs2) {
    glfw2::OpenWindowHint(glfw2::OPENGL_PROFILE, glfw2::OPENGL_ES2_PROFILE);
  }
  if (!glfw2::OpenWindow(640, 480, 8, 8, 8, 0, 0, 0, glfw2::WINDOW)) return nullptr;
  return std::make_shared<gxtkGraphics>(*api);
}

void BM_Graphics_DrawImage2(benchmark::State& state, std::optional<XQRenderApi> api) {
  // A window's renderer reads the window's size and swaps through the host.
  std::optional<XQGlfwGame> host;
  if (api) host.emplace();
  auto gfx = SceneRenderer(api);
  if (!gfx) {
    state.SkipWithError("needs a display");
    return;
  }
  xq_graphics_SetGraphicsDevice(gfx);
  auto sheet = std::make_shared<c_Image>();
  sheet->p_Init2(gfx->CreateSurface(256, 256), 0, 0, 32, 32, 64, c_Image::HandleCentred, nullptr, 0,
                 0, 256, 256);
  for (auto _ : state) {
    gfx->BeginRender();
    DrawSpriteFrame(sheet);
    gfx->EndRender();
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  state.counters["ns/sprite"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 10000,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["drawCalls/10k"] = gfx->Stats().drawCalls;
  xq_graphics_SetGraphicsDevice(nullptr);
  if (api) {
    sheet.reset();
    gfx.reset();
    glfw2::CloseWindow();
  }
}
BENCHMARK_CAPTURE(BM_Graphics_DrawImage2, headless, std::nullopt);
// Frame time with the driver's work (Mesa's llvmpipe under Xvfb: rasterising dominates).
BENCHMARK_CAPTURE(BM_Graphics_DrawImage2, gl1, XQRenderApi::kGl1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Graphics_DrawImage2, es2, XQRenderApi::kEs2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

long ResidentKiB() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The highest resident size since the last ResetPeakResident (the whole run where that is refused).
long PeakResidentKiB() {
  long peak = 0;
  if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
      if (std::sscanf(line, "VmHWM: %ld", &peak) == 1) break;
    }
    std::fclose(f);
  }
  return peak;
}

void ResetPeakResident() {
  if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

// Decoding a 2048 x 2048 RGBA PNG into a surface (premultiplied): the memory the load needs at its
// peak, and what it then holds.
void BM_Graphics_LoadPng2048(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "drommel-bench-2048.png").string();
  {
    std::vector<unsigned char> pixels(2048 * 2048 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
      const size_t p = i / 4, x = p % 2048, y = p / 2048;
      pixels[i] = static_cast<unsigned char>(i % 4 == 3 ? (x ^ y) : (x * 3 + y * (i % 4 + 1)));
    }
    stbi_write_png(path.c_str(), 2048, 2048, 4, pixels.data(), 2048 * 4);
  }
  gxtkGraphics gfx(640, 480, true);
  long grownKiB = 0, peakKiB = 0, heldKiB = 0;
  for (auto _ : state) {
    malloc_trim(0);
    ResetPeakResident();
    const long before = ResidentKiB();
    auto surface = gfx.LoadSurface(String(path));
    grownKiB = ResidentKiB() - before;
    peakKiB = PeakResidentKiB() - before;
    // The collection step after a decode (which asks for a full one) hands freed buffers back.
    gc_collect();
    heldKiB = ResidentKiB() - before;
    benchmark::DoNotOptimize(surface->Pixels());
  }
  state.counters["residentGrowthMiB"] = static_cast<double>(grownKiB) / 1024;
  state.counters["residentPeakMiB"] = static_cast<double>(peakKiB) / 1024;
  state.counters["residentHeldMiB"] = static_cast<double>(heldKiB) / 1024;
  state.counters["fileKiB"] = static_cast<double>(std::filesystem::file_size(path)) / 1024;
  std::filesystem::remove(path);
}
BENCHMARK(BM_Graphics_LoadPng2048)->Unit(benchmark::kMillisecond);

}  // namespace
