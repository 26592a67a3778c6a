// Runs the image-decoding fuzz target over a deterministic corpus: valid PNGs of every colour type
// and a few thousand mutations of them (bit flips, interesting byte values, truncations, chunk
// lengths and image sizes rewritten, chunks repeated). Under the sanitizer build any overflow, leak
// or undefined behaviour fails the run.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/graphics/GraphicsTestSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::vector<unsigned char>;

Bytes StbPng(int w, int h, int comp) {
  Bytes pixels(static_cast<size_t>(w * h * comp));
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 29 + 7);
  Bytes out;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        auto* bytes = static_cast<Bytes*>(context);
        bytes->insert(bytes->end(), static_cast<unsigned char*>(data),
                      static_cast<unsigned char*>(data) + size);
      },
      &out, w, h, comp, pixels.data(), w * comp);
  return out;
}

std::vector<Bytes> Seeds() {
  std::vector<Bytes> seeds = {StbPng(7, 5, 1), StbPng(3, 9, 2), StbPng(16, 4, 3),
                              StbPng(13, 11, 4)};
  // Palette with transparency, 4-bit indices; 16-bit grey + alpha; 1-bit grey.
  seeds.push_back(gfxtest::EncodePng(4, 2, 4, 3, {0, 0x01, 0x23, 0, 0x32, 0x10},
                                     {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}, {0, 128}));
  seeds.push_back(gfxtest::EncodePng(2, 2, 16, 4,
                                     {0, 1, 2, 3, 4, 5, 6, 7, 8,  //
                                      0, 9, 8, 7, 6, 5, 4, 3, 2}));
  seeds.push_back(gfxtest::EncodePng(9, 2, 1, 0, {0, 0xAA, 0x80, 0, 0x55, 0x00}));
  return seeds;
}

void PutBE32(Bytes& b, size_t at, std::uint32_t v) {
  if (at + 4 > b.size()) return;
  b[at] = static_cast<unsigned char>(v >> 24);
  b[at + 1] = static_cast<unsigned char>(v >> 16);
  b[at + 2] = static_cast<unsigned char>(v >> 8);
  b[at + 3] = static_cast<unsigned char>(v);
}

Bytes Mutate(Bytes b, std::mt19937& rng) {
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits && !b.empty(); ++e) {
    const size_t at = rng() % b.size();
    switch (rng() % 7) {
      case 0:
        b[at] ^= static_cast<unsigned char>(1u << (rng() % 8));
        break;
      case 1: {
        static const unsigned char interesting[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFE, 16, 64};
        b[at] = interesting[rng() % sizeof interesting];
        break;
      }
      case 2:
        b.resize(at);
        break;
      case 3:  // the first chunk's length (IHDR) or any 32-bit field
        PutBE32(b, rng() % 2 ? 8 : at, static_cast<std::uint32_t>(rng()));
        break;
      case 4:  // width or height in the header
        PutBE32(b, 16 + 4 * (rng() % 2), static_cast<std::uint32_t>(rng() % 70000));
        break;
      case 5: {  // repeat a stretch (chunks appear twice)
        const size_t n = std::min<size_t>(b.size() - at, 1 + rng() % 64);
        Bytes stretch(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
        b.insert(b.begin() + static_cast<long>(rng() % b.size()), stretch.begin(), stretch.end());
        break;
      }
      default:  // bit depth and colour type bytes
        if (b.size() > 25) b[24 + rng() % 2] = static_cast<unsigned char>(rng() % 20);
        break;
    }
  }
  return b;
}

TEST(ImageDataFuzz, ValidSeedsAndThousandsOfMutationsNeverCrash) {
  const std::vector<Bytes> seeds = Seeds();
  for (const Bytes& seed : seeds) LLVMFuzzerTestOneInput(seed.data(), seed.size());
  LLVMFuzzerTestOneInput(nullptr, 0);
  std::mt19937 rng(20261208);
  int runs = 0;
  for (int i = 0; i < 4000; ++i) {
    Bytes input = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], rng);
    LLVMFuzzerTestOneInput(input.data(), input.size());
    ++runs;
  }
  EXPECT_EQ(runs, 4000);
}

}  // namespace
