// WAV and Ogg Vorbis decoding (Ogg through the system's stb_vorbis).
#include "host/AudioDecode.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

namespace {

bool ReadTag(std::FILE* file, char tag[4]) {
  return std::fread(tag, 1, 4, file) == 4;
}

bool TagIs(const char tag[4], const char* text) {
  return std::memcmp(tag, text, 4) == 0;
}

bool ReadU16(std::FILE* file, std::uint32_t* value) {
  unsigned char b[2];
  if (std::fread(b, 1, 2, file) != 2) return false;
  *value = b[0] | (b[1] << 8);
  return true;
}

bool ReadU32(std::FILE* file, std::uint32_t* value) {
  unsigned char b[4];
  if (std::fread(b, 1, 4, file) != 4) return false;
  *value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  return true;
}

bool Skip(std::FILE* file, std::uint32_t bytes) {
  return std::fseek(file, static_cast<long>(bytes), SEEK_CUR) == 0;
}

// Bytes from the current position to the end of the stream, or -1 when the stream cannot seek.
long Remaining(std::FILE* file) {
  const long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(file);
  if (std::fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
  return end - here;
}

// Decoded Ogg data is bounded so that a hostile stream cannot ask for unbounded memory:
// 2^27 samples is about 25 minutes of stereo at 44.1 kHz, far beyond any game sound.
constexpr std::size_t kMaxOggSamples = std::size_t{1} << 27;

}  // namespace

std::unique_ptr<unsigned char[]> LoadWAV(std::FILE* file, int* length, int* channels, int* format,
                                         int* hertz) {
  char tag[4];
  std::uint32_t value = 0;
  if (!ReadTag(file, tag) || !TagIs(tag, "RIFF") || !ReadU32(file, &value)) return nullptr;
  if (!ReadTag(file, tag) || !TagIs(tag, "WAVE")) return nullptr;
  // The format chunk must come first.
  std::uint32_t formatSize = 0;
  if (!ReadTag(file, tag) || !TagIs(tag, "fmt ") || !ReadU32(file, &formatSize)) return nullptr;
  std::uint32_t code = 0, channelCount = 0, rate = 0, bits = 0;
  if (!ReadU16(file, &code) || code != 1) return nullptr;  // integer PCM only
  if (!ReadU16(file, &channelCount) || !ReadU32(file, &rate)) return nullptr;
  if (!ReadU32(file, &value) || !ReadU16(file, &value)) return nullptr;  // byte rate, block align
  if (!ReadU16(file, &bits)) return nullptr;
  // Without channels or with samples under a byte there is no frame size to divide by.
  if (channelCount == 0 || bits < 8) return nullptr;
  const std::uint32_t bytesPerSample = bits / 8;
  if (formatSize > 16 && !Skip(file, formatSize - 16)) return nullptr;

  const std::uint32_t frameSize = channelCount * bytesPerSample;
  for (;;) {
    std::uint32_t size = 0;
    if (!ReadTag(file, tag) || !ReadU32(file, &size)) return nullptr;
    if (!TagIs(tag, "data")) {
      if (!Skip(file, size)) return nullptr;
      continue;  // chunks follow each other directly, no pad byte
    }
    // A data chunk that claims more than the file holds is truncated: reject it before allocating,
    // so a forged size cannot make us reserve gigabytes.
    const long remaining = Remaining(file);
    if (remaining < 0 || size > static_cast<unsigned long>(remaining)) return nullptr;
    if (size / frameSize > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) {
      return nullptr;
    }
    auto data = std::make_unique_for_overwrite<unsigned char[]>(size ? size : 1);
    if (std::fread(data.get(), 1, size, file) != size) return nullptr;
    *length = static_cast<int>(size / frameSize);
    *channels = static_cast<int>(channelCount);
    *format = static_cast<int>(bytesPerSample);
    *hertz = static_cast<int>(rate);
    return data;
  }
}

std::unique_ptr<unsigned char[]> LoadOGG(std::FILE* file, int* length, int* channels, int* format,
                                         int* hertz) {
  int error = 0;
  stb_vorbis* vorbis = stb_vorbis_open_file(file, 0, &error, nullptr);
  if (!vorbis) return nullptr;
  const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
  const std::size_t channelCount = info.channels > 0 ? static_cast<std::size_t>(info.channels) : 0;
  if (channelCount == 0) {
    stb_vorbis_close(vorbis);
    return nullptr;
  }

  // Room for at least one more frame of 4096 samples per channel is kept free; the buffer doubles
  // when less is left.
  const std::size_t reserve = channelCount * 4096;
  std::vector<short> samples(reserve);
  std::size_t used = 0;
  bool tooLong = false;
  for (;;) {
    const int frames = stb_vorbis_get_frame_short_interleaved(
        vorbis, info.channels, samples.data() + used, static_cast<int>(samples.size() - used));
    if (frames <= 0) break;
    used += static_cast<std::size_t>(frames) * channelCount;
    if (used > kMaxOggSamples) {
      tooLong = true;
      break;
    }
    if (samples.size() - used < reserve) samples.resize(samples.size() * 2);
  }
  stb_vorbis_close(vorbis);
  if (tooLong) return nullptr;

  const std::size_t bytes = used * sizeof(short);
  auto data = std::make_unique_for_overwrite<unsigned char[]>(bytes ? bytes : 1);
  if (bytes) std::memcpy(data.get(), samples.data(), bytes);
  *length = static_cast<int>(used / channelCount);
  *channels = static_cast<int>(channelCount);
  *format = 2;
  *hertz = static_cast<int>(info.sample_rate);
  return data;
}

std::unique_ptr<unsigned char[]> DecodeAudioFile(std::FILE* file, const String& path, int* length,
                                                 int* channels, int* format, int* hertz) {
  const String lower = path.ToLower();
  if (lower.EndsWith(".wav")) return LoadWAV(file, length, channels, format, hertz);
  if (lower.EndsWith(".ogg")) return LoadOGG(file, length, channels, format, hertz);
  return nullptr;
}

std::unique_ptr<unsigned char[]> LoadAudioFile(const String& path, int* length, int* channels,
                                               int* format, int* hertz) {
  std::FILE* file = std::fopen(path.ToUtf8().c_str(), "rb");
  if (!file) return nullptr;
  auto data = DecodeAudioFile(file, path, length, channels, format, hertz);
  std::fclose(file);
  return data;
}
