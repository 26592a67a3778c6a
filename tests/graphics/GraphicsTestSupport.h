// Helpers shared by the graphics tests: PNG files written on the spot (stb's writer for ordinary
// files, a small encoder of our own for palette and 16-bit files, which stb cannot write), and a
// real OpenGL window under the display named by DISPLAY. Scratch folders: tests/support/TempDir.h.
#pragma once

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/Game.h"
#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"
#include "tests/support/Display.h"
#include "tests/support/TempDir.h"

namespace gfxtest {

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An 8-bit PNG of comp components (1 grey, 2 grey + alpha, 3 RGB, 4 RGBA) through stb's writer.
inline void WritePng(const std::string& path, int w, int h, int comp,
                     const std::vector<unsigned char>& pixels) {
  ASSERT_EQ(pixels.size(), static_cast<size_t>(w * h * comp));
  ASSERT_TRUE(stbi_write_png(path.c_str(), w, h, comp, pixels.data(), w * comp));
}

// An RGBA PNG whose pixel (x, y) is colour(x, y) = {r, g, b, a}.
template <class Color>
void WriteRgbaPng(const std::string& path, int w, int h, Color color) {
  std::vector<unsigned char> pixels;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      auto c = color(x, y);
      pixels.insert(pixels.end(), c.begin(), c.end());
    }
  }
  WritePng(path, w, h, 4, pixels);
}

// ---- A minimal PNG encoder (stored deflate blocks) for what stb's writer cannot make ----------

inline std::uint32_t Crc32(const unsigned char* data, size_t n, std::uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void PutBE32(std::vector<unsigned char>& out, std::uint32_t v) {
  out.push_back(static_cast<unsigned char>(v >> 24));
  out.push_back(static_cast<unsigned char>(v >> 16));
  out.push_back(static_cast<unsigned char>(v >> 8));
  out.push_back(static_cast<unsigned char>(v));
}

inline void PutChunk(std::vector<unsigned char>& out, const char* type,
                     const std::vector<unsigned char>& data) {
  PutBE32(out, static_cast<std::uint32_t>(data.size()));
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBE32(out, Crc32(body.data(), body.size()));
}

// rows: the filtered scanlines (each starting with its filter byte 0) of the image.
inline std::vector<unsigned char> EncodePng(int w, int h, int bitDepth, int colorType,
                                            const std::vector<unsigned char>& rows,
                                            const std::vector<unsigned char>& palette = {},
                                            const std::vector<unsigned char>& transparency = {}) {
  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<unsigned char> ihdr;
  PutBE32(ihdr, static_cast<std::uint32_t>(w));
  PutBE32(ihdr, static_cast<std::uint32_t>(h));
  ihdr.insert(ihdr.end(), {static_cast<unsigned char>(bitDepth),
                           static_cast<unsigned char>(colorType), 0, 0, 0});
  PutChunk(png, "IHDR", ihdr);
  if (!palette.empty()) PutChunk(png, "PLTE", palette);
  if (!transparency.empty()) PutChunk(png, "tRNS", transparency);
  std::vector<unsigned char> z = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(65535, rows.size() - at);
    z.push_back(at + n == rows.size() ? 1 : 0);
    z.push_back(static_cast<unsigned char>(n));
    z.push_back(static_cast<unsigned char>(n >> 8));
    z.push_back(static_cast<unsigned char>(~n));
    z.push_back(static_cast<unsigned char>(~n >> 8));
    z.insert(z.end(), rows.begin() + static_cast<long>(at),
             rows.begin() + static_cast<long>(at + n));
    at += n;
  } while (at < rows.size());
  std::uint32_t s1 = 1, s2 = 0;
  for (unsigned char byte : rows) {
    s1 = (s1 + byte) % 65521;
    s2 = (s2 + s1) % 65521;
  }
  PutBE32(z, (s2 << 16) | s1);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", {});
  return png;
}

// ---- A real OpenGL window -------------------------------------------------------------------

inline bool HaveDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display && *display;
}

// Opens (or re-opens) the window the way the host does: a new context for the API (the desktop
// host's context count moves on with it).
inline bool OpenGlWindow(int w, int h, XQRenderApi api = XQRenderApi::kGl1) {
  static bool initialised = false;
  if (!initialised) {
    if (!InitGlfw()) return false;
    initialised = true;
  }
  if (api == XQRenderApi::kEs2) {
    glfw2::OpenWindowHint(glfw2::OPENGL_PROFILE, glfw2::OPENGL_ES2_PROFILE);
  }
  if (!glfw2::OpenWindow(w, h, 8, 8, 8, 8, 0, 0, glfw2::WINDOW)) return false;
  return true;
}

#define GFX_REQUIRE_DISPLAY()                                          \
  do {                                                                 \
    if (!gfxtest::HaveDisplay()) GTEST_SKIP() << "DISPLAY is not set"; \
  } while (0)

}  // namespace gfxtest
