// Decoding of image files into 8-bit pixels with stb_image (PNG, and whatever else stb_image
// reads). The decoders read from an open stdio stream, never close it, and return null on any bad
// input without raising: missing, empty, truncated or corrupt data, and headers claiming more than
// kMaxImageSide pixels a side or kMaxImagePixels pixels in all. The caller owns the bytes: the
// decoder's own buffer, handed on without a copy (so one image never needs twice its size).
//
//   int width, height, depth;
//   auto pixels = DecodeImage(file, &width, &height, &depth);
//   // width x height pixels, rows top to bottom, depth bytes each (1 grey, 2 grey + alpha, 3 RGB,
//   // 4 RGBA)
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "runtime/String.h"

constexpr int kMaxImageSide = 16384;
constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;

// Pixel bytes in malloc's heap, where stb_image puts what it decodes; PixelBuffer frees them.
struct FreePixels {
  void operator()(unsigned char* pixels) const noexcept;
};
using PixelBuffer = std::unique_ptr<unsigned char[], FreePixels>;

// size zeroed bytes of the same kind, or null when memory runs out.
PixelBuffer AllocatePixels(std::size_t size);

// On failure *why (when given) receives a short reason.
PixelBuffer DecodeImage(std::FILE* file, int* width, int* height, int* depth,
                        std::string* why = nullptr);
// Opens a plain file name (no kestro: paths) and decodes it; used where no host exists (tools,
// tests, a headless renderer).
PixelBuffer LoadImageFile(const String& path, int* width, int* height, int* depth);
