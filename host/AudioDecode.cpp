// WAV and Ogg Vorbis decoding (Ogg through the system's stb_vorbis).
#include "host/AudioDecode.h"

#include <array>
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

// ---- Ogg stream checks --------------------------------------------------------------------------
//
// stb_vorbis trusts the lengths in a stream's comment header: a length past the end of the packet
// makes it write outside its allocations or free pointers it never set. It also does not check page
// checksums. So before decoding, every page must be whole with a matching checksum, and the first
// two packets must be a sound identification header and a comment header whose lengths all stay
// inside the packet. Real files pass; corrupt or cut-off files are refused instead of decoded.

std::uint32_t OggCrc(const unsigned char* data, std::size_t size) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t r = i << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
      t[i] = r;
    }
    return t;
  }();
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < size; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xff];
  return crc;
}

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool VorbisHeaderStart(const std::vector<unsigned char>& packet, unsigned char type) {
  return packet.size() >= 7 && packet[0] == type && std::memcmp(&packet[1], "vorbis", 6) == 0;
}

bool SoundIdentification(const std::vector<unsigned char>& packet) {
  return VorbisHeaderStart(packet, 1) && packet.size() >= 30 && packet[11] > 0 &&
         Le32(&packet[12]) > 0;
}

bool SoundComments(const std::vector<unsigned char>& packet) {
  if (!VorbisHeaderStart(packet, 3)) return false;
  std::size_t at = 7;
  auto field = [&](std::uint32_t* value) {
    if (packet.size() - at < 4) return false;
    *value = Le32(&packet[at]);
    at += 4;
    return true;
  };
  std::uint32_t length = 0, count = 0;
  if (!field(&length) || length > packet.size() - at) return false;
  at += length;
  if (!field(&count)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!field(&length) || length > packet.size() - at) return false;
    at += length;
  }
  return at < packet.size() && (packet[at] & 1);  // the framing bit
}

// True when every page is whole and checksummed and the stream opens with sound headers.
bool OggStreamIsSound(std::vector<unsigned char>& bytes) {
  std::vector<std::vector<unsigned char>> packets(1);
  std::uint32_t serial = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 27) return false;
    unsigned char* page = &bytes[at];
    if (std::memcmp(page, "OggS", 4) != 0 || page[4] != 0) return false;
    const std::size_t segments = page[26];
    if (bytes.size() - at < 27 + segments) return false;
    std::size_t bodySize = 0;
    for (std::size_t i = 0; i < segments; ++i) bodySize += page[27 + i];
    const std::size_t pageSize = 27 + segments + bodySize;
    if (bytes.size() - at < pageSize) return false;
    const std::uint32_t stored = Le32(page + 22);
    std::memset(page + 22, 0, 4);
    const std::uint32_t computed = OggCrc(page, pageSize);
    for (int k = 0; k < 4; ++k) page[22 + k] = static_cast<unsigned char>(stored >> (8 * k));
    if (computed != stored) return false;

    if (at == 0) serial = Le32(page + 14);
    if (packets.size() <= 2 && Le32(page + 14) == serial) {
      const unsigned char* body = page + 27 + segments;
      for (std::size_t i = 0; i < segments && packets.size() <= 2; ++i) {
        packets.back().insert(packets.back().end(), body, body + page[27 + i]);
        body += page[27 + i];
        if (page[27 + i] < 255) packets.emplace_back();
      }
    }
    at += pageSize;
  }
  return packets.size() > 2 && SoundIdentification(packets[0]) && SoundComments(packets[1]);
}

// Decoded Ogg data is bounded so that a hostile stream cannot ask for unbounded memory:
// 2^27 samples is about 25 minutes of stereo at 44.1 kHz, far beyond any game sound.
constexpr std::size_t kMaxOggSamples = std::size_t{1} << 27;
constexpr long kMaxOggFileSize = 64L << 20;
// The decoder's working memory: a 44.1 kHz stereo stream needs about 150 KB.
constexpr std::size_t kVorbisAreaStart = 256 << 10;
constexpr std::size_t kVorbisAreaLimit = 16 << 20;

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
  // Check the whole stream first, then decode it from where it started.
  const long start = std::ftell(file);
  const long size = start < 0 ? -1 : Remaining(file);
  if (size <= 0 || size > kMaxOggFileSize) return nullptr;
  {
    std::vector<unsigned char> stream(static_cast<std::size_t>(size));
    if (std::fread(stream.data(), 1, stream.size(), file) != stream.size()) return nullptr;
    if (!OggStreamIsSound(stream) || std::fseek(file, start, SEEK_SET) != 0) return nullptr;
  }

  // The decoder works inside a memory area of ours: some of its failure paths forget allocations
  // (a damaged setup header leaks them), and an area we own cannot leak and bounds what a stream
  // can ask for. It grows while the decoder reports running out, up to a limit.
  std::vector<char> area(kVorbisAreaStart);
  stb_vorbis* vorbis = nullptr;
  for (;;) {
    int error = 0;
    stb_vorbis_alloc alloc{area.data(), static_cast<int>(area.size())};
    vorbis = stb_vorbis_open_file(file, 0, &error, &alloc);
    if (vorbis || error != VORBIS_outofmem || area.size() >= kVorbisAreaLimit) break;
    if (std::fseek(file, start, SEEK_SET) != 0) return nullptr;
    area.resize(area.size() * 2);
  }
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

  const std::size_t byteCount = used * sizeof(short);
  auto data = std::make_unique_for_overwrite<unsigned char[]>(byteCount ? byteCount : 1);
  if (byteCount) std::memcpy(data.get(), samples.data(), byteCount);
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
