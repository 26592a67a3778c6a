// Decoding of image files into 8-bit pixels over stb_image, and the host's LoadImageData,
// which opens the file through the host's portable paths.
#include <stb_image.h>

#include <cstring>

#include "host/Game.h"
#include "host/ImageDecode.h"
#include "runtime/Collect.h"

std::unique_ptr<unsigned char[]> DecodeImage(std::FILE* file, int* width, int* height, int* depth) {
  if (!file || !width || !height || !depth) return nullptr;
  // Refuse enormous sizes from the header before stb_image allocates for them.
  int w = 0, h = 0, n = 0;
  const long start = std::ftell(file);
  if (!stbi_info_from_file(file, &w, &h, &n)) return nullptr;
  if (w < 1 || h < 1 || w > kMaxImageSide || h > kMaxImageSide ||
      static_cast<long long>(w) * h > kMaxImagePixels) {
    return nullptr;
  }
  if (start >= 0) std::fseek(file, start, SEEK_SET);
  unsigned char* decoded = stbi_load_from_file(file, &w, &h, &n, 0);
  if (!decoded) return nullptr;
  if (w < 1 || h < 1 || n < 1 || n > 4 || w > kMaxImageSide || h > kMaxImageSide) {
    stbi_image_free(decoded);
    return nullptr;
  }
  // stb_image allocates with malloc; the buffer we hand out is freed with delete[].
  const size_t size = static_cast<size_t>(w) * static_cast<size_t>(h) * static_cast<size_t>(n);
  std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[size]);
  if (pixels) std::memcpy(pixels.get(), decoded, size);
  stbi_image_free(decoded);
  if (!pixels) return nullptr;
  *width = w;
  *height = h;
  *depth = n;
  return pixels;
}

std::unique_ptr<unsigned char[]> LoadImageFile(const String& path, int* width, int* height,
                                               int* depth) {
  std::FILE* file = std::fopen(path.ToUtf8().c_str(), "rb");
  if (!file) return nullptr;
  auto pixels = DecodeImage(file, width, height, depth);
  std::fclose(file);
  gc_RequestFullSweep();
  return pixels;
}

std::unique_ptr<unsigned char[]> XQGame::LoadImageData(const String& path, int* width, int* height,
                                                       int* format) {
  std::FILE* file = OpenFile(path, String("rb"));
  if (!file) return nullptr;
  auto pixels = DecodeImage(file, width, height, format);
  std::fclose(file);
  gc_RequestFullSweep();
  return pixels;
}
