// Fuzz target for image decoding: any bytes go through the same stdio path the game's loader uses
// (DecodeImage over an open stream), and whatever decodes is handed to a surface, which
// premultiplies it. Must never crash, leak or read outside a buffer.
//
// With clang: clang++ -fsanitize=fuzzer,address,undefined (see tests/graphics/CMakeLists.txt,
// DROMMEL_FUZZ=ON). The GoogleTest driver ImageDataFuzzTest.cpp feeds it a deterministic corpus.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "decode/ImageDecode.h"
#include "graphics/Surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // fmemopen refuses an empty buffer; an empty file is a case of its own.
  static const std::uint8_t kNothing = 0;
  std::FILE* file = size ? fmemopen(const_cast<std::uint8_t*>(data), size, "rb")
                         : fmemopen(const_cast<std::uint8_t*>(&kNothing), 1, "rb");
  if (!file) return 0;
  if (!size) std::fgetc(file);
  int width = 0, height = 0, depth = 0;
  auto pixels = DecodeImage(file, &width, &height, &depth);
  std::fclose(file);
  if (pixels) {
    gxtkSurface surface;
    surface.SetData(std::move(pixels), width, height, depth);
  }
  return 0;
}
