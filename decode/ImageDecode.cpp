// Decoding of image files into 8-bit pixels over stb_image (see ImageDecode.h).
#include <stb_image.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "decode/ImageDecode.h"
#include "runtime/Collect.h"

// stb_image allocates with malloc and frees with free (its defaults, as Debian builds it).
void FreePixels::operator()(unsigned char* pixels) const noexcept {
  std::free(pixels);
}

PixelBuffer AllocatePixels(std::size_t size) {
  return PixelBuffer(static_cast<unsigned char*>(std::calloc(size, 1)));
}

namespace {

// The size a PNG file states in its header chunk, read here because stb_image refuses some large
// sizes itself, and then reports the failure of the last format it tried instead ("unknown image
// type"). False when the file does not begin like a PNG. The stream is left where it was.
bool PngSize(std::FILE* file, long long* width, long long* height) {
  static constexpr unsigned char kStart[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n',
                                             0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  unsigned char header[24];
  const long start = std::ftell(file);
  const bool read = start >= 0 && std::fread(header, 1, sizeof header, file) == sizeof header;
  if (start >= 0) std::fseek(file, start, SEEK_SET);
  if (!read || std::memcmp(header, kStart, sizeof kStart) != 0) return false;
  const auto be32 = [&](int at) {
    return (static_cast<long long>(header[at]) << 24) | (header[at + 1] << 16) |
           (header[at + 2] << 8) | header[at + 3];
  };
  *width = be32(16);
  *height = be32(20);
  return true;
}

bool TooLarge(long long w, long long h) {
  return w > kMaxImageSide || h > kMaxImageSide || w * h > kMaxImagePixels;
}

std::string TooLargeReason(long long w, long long h) {
  return "it is " + std::to_string(w) + "x" + std::to_string(h) + " pixels, more than " +
         std::to_string(kMaxImageSide) + " a side or " + std::to_string(kMaxImagePixels) +
         " in all";
}

}  // namespace

PixelBuffer DecodeImage(std::FILE* file, int* width, int* height, int* depth, std::string* why) {
  const auto fail = [why](std::string reason) {
    if (why) *why = std::move(reason);
    return nullptr;
  };
  if (!file || !width || !height || !depth) return fail("nothing to read");
  const auto unreadable = [] {
    const char* reason = stbi_failure_reason();
    return std::string("not an image it can read (") + (reason ? reason : "no reason given") + ")";
  };
  // Refuse enormous sizes from the header before stb_image allocates for them.
  long long pngWidth = 0, pngHeight = 0;
  if (PngSize(file, &pngWidth, &pngHeight) && TooLarge(pngWidth, pngHeight)) {
    return fail(TooLargeReason(pngWidth, pngHeight));
  }
  int w = 0, h = 0, n = 0;
  const long start = std::ftell(file);
  if (!stbi_info_from_file(file, &w, &h, &n)) return fail(unreadable());
  if (w < 1 || h < 1) return fail("it has no pixels");
  if (TooLarge(w, h)) return fail(TooLargeReason(w, h));
  if (start >= 0) std::fseek(file, start, SEEK_SET);
  PixelBuffer pixels(stbi_load_from_file(file, &w, &h, &n, 0));
  if (!pixels) return fail(unreadable());
  if (w < 1 || h < 1 || n < 1 || n > 4 || w > kMaxImageSide || h > kMaxImageSide) {
    return fail("its pixels do not match its header");
  }
  *width = w;
  *height = h;
  *depth = n;
  return pixels;
}

PixelBuffer LoadImageFile(const String& path, int* width, int* height, int* depth) {
  std::FILE* file = std::fopen(path.ToUtf8().c_str(), "rb");
  if (!file) return nullptr;
  auto pixels = DecodeImage(file, width, height, depth);
  std::fclose(file);
  gc_RequestFullSweep();
  return pixels;
}
