// WAV and Ogg Vorbis decoding (Ogg through the system's stb_vorbis).
#include "decode/AudioDecode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
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

// Four characters that can name a chunk (printable ASCII) at this position of the file.
bool ChunkIdAt(std::FILE* file, long position) {
  unsigned char id[4];
  if (position < 0 || std::fseek(file, position, SEEK_SET) != 0) return false;
  if (std::fread(id, 1, 4, file) != 4) return false;
  return std::all_of(id, id + 4, [](unsigned char c) { return c >= 0x20 && c <= 0x7e; });
}

// Called at the end of a chunk's body: a body of odd size is followed by a pad byte. Some writers
// leave the pad out, so when the next chunk's name starts right at the end of the body, it is
// read from there.
bool SkipPad(std::FILE* file, std::uint32_t bodySize) {
  if (bodySize % 2 == 0) return true;
  const long end = std::ftell(file);
  if (end < 0) return false;
  const bool unpadded = ChunkIdAt(file, end);
  return std::fseek(file, unpadded ? end : end + 1, SEEK_SET) == 0;
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
// inside the packet.
//
// Files from the real world often carry bytes after their last page (an ID3v1 tag, zero padding)
// or end in a page cut short; players play them. The stream is taken to end before such bytes,
// so long as no whole page follows them: a damaged page, or junk with pages after it, is
// corruption inside the stream and refused.

std::uint32_t OggCrc(std::uint32_t crc, const unsigned char* data, std::size_t size) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t r = i << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
      t[i] = r;
    }
    return t;
  }();
  for (std::size_t i = 0; i < size; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xff];
  return crc;
}

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint64_t Le64(const unsigned char* p) {
  return Le32(p) | (static_cast<std::uint64_t>(Le32(p + 4)) << 32);
}

enum class Page { kWhole, kCut, kNotAPage, kDamaged };

// What starts at `page`, with `available` bytes left in the file; sets *size for a whole page.
Page CheckPage(const unsigned char* page, std::size_t available, std::size_t* size) {
  if (available < 4 || std::memcmp(page, "OggS", 4) != 0) return Page::kNotAPage;
  if (available < 27) return Page::kCut;
  if (page[4] != 0) return Page::kDamaged;
  const std::size_t segments = page[26];
  if (available < 27 + segments) return Page::kCut;
  std::size_t bodySize = 0;
  for (std::size_t i = 0; i < segments; ++i) bodySize += page[27 + i];
  *size = 27 + segments + bodySize;
  if (available < *size) return Page::kCut;
  // The checksum is computed with its own four bytes taken as zero.
  static constexpr unsigned char kZero[4] = {};
  std::uint32_t crc = OggCrc(0, page, 22);
  crc = OggCrc(crc, kZero, 4);
  crc = OggCrc(crc, page + 26, *size - 26);
  return crc == Le32(page + 22) ? Page::kWhole : Page::kDamaged;
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

struct OggSound {
  // The stream's bytes end here; anything after is not sound.
  std::size_t end = 0;
  // Samples per channel the stream states (its last granule position); 0 when it states none.
  std::uint64_t samples = 0;
  // From the identification header.
  std::size_t channelCount = 0;
};

// True when the stream opens with sound headers and every page up to its end is whole and
// checksummed, with nothing but non-page bytes after that end.
bool ScanOggStream(const std::vector<unsigned char>& bytes, OggSound* sound) {
  std::vector<std::vector<unsigned char>> packets(1);
  std::uint32_t serial = 0;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const unsigned char* page = &bytes[at];
    std::size_t pageSize = 0;
    const Page kind = CheckPage(page, bytes.size() - at, &pageSize);
    if (kind == Page::kDamaged) return false;
    if (kind != Page::kWhole) {
      if (at == 0) return false;
      // Trailing bytes or a last page cut short: no whole page may follow.
      static constexpr unsigned char kCapture[] = {'O', 'g', 'g', 'S'};
      for (auto next = bytes.begin() + static_cast<long>(at) + 1;; ++next) {
        next = std::search(next, bytes.end(), std::begin(kCapture), std::end(kCapture));
        if (next == bytes.end()) break;
        std::size_t ignored = 0;
        const auto left = static_cast<std::size_t>(bytes.end() - next);
        if (CheckPage(&*next, left, &ignored) == Page::kWhole) return false;
      }
      break;
    }

    if (at == 0) serial = Le32(page + 14);
    if (Le32(page + 14) == serial) {
      const std::uint64_t granule = Le64(page + 6);
      if (granule != ~std::uint64_t{0}) sound->samples = granule;
      const std::size_t segments = page[26];
      const unsigned char* body = page + 27 + segments;
      for (std::size_t i = 0; i < segments && packets.size() <= 2; ++i) {
        packets.back().insert(packets.back().end(), body, body + page[27 + i]);
        body += page[27 + i];
        if (page[27 + i] < 255) packets.emplace_back();
      }
    }
    at += pageSize;
    sound->end = at;
  }
  if (packets.size() <= 2 || !SoundIdentification(packets[0]) || !SoundComments(packets[1])) {
    return false;
  }
  sound->channelCount = packets[0][11];
  return true;
}

constexpr long kMaxOggFileSize = 64L << 20;
// The decoder's working memory: a 44.1 kHz stereo stream needs about 150 KB.
constexpr std::size_t kVorbisAreaStart = 256 << 10;
constexpr std::size_t kVorbisAreaLimit = 16 << 20;
// Room for the samples of a stream that does not state its length: 64 Ki frames to start with.
constexpr std::size_t kOggFramesUnstated = std::size_t{1} << 16;

// Bytes left uninitialised, for a buffer that is written over whole (make_unique_for_overwrite,
// which the browser build's C++ library lacks).
std::unique_ptr<unsigned char[]> UninitialisedBytes(std::size_t size) {
  return std::unique_ptr<unsigned char[]>(new unsigned char[size]);
}

// 16-bit samples in a byte array, the caller's format.
struct SampleBuffer {
  std::unique_ptr<unsigned char[]> bytes;
  std::size_t capacity = 0;  // in samples
  short* Samples() { return reinterpret_cast<short*>(bytes.get()); }
  static SampleBuffer WithRoom(std::size_t samples) {
    return {UninitialisedBytes(samples ? samples * 2 : 1), samples};
  }
  // A buffer of `samples` room holding the first `used` samples of this one.
  SampleBuffer Moved(std::size_t samples, std::size_t used) {
    SampleBuffer other = WithRoom(samples);
    if (used) std::memcpy(other.bytes.get(), bytes.get(), used * 2);
    return other;
  }
};

}  // namespace

std::unique_ptr<unsigned char[]> LoadWAV(std::FILE* file, int* length, int* channels, int* format,
                                         int* hertz, std::string* why) {
  const auto fail = [why](std::string reason) {
    if (why) *why = std::move(reason);
    return nullptr;
  };
  char tag[4];
  std::uint32_t value = 0;
  if (!ReadTag(file, tag) || !TagIs(tag, "RIFF") || !ReadU32(file, &value) || !ReadTag(file, tag) ||
      !TagIs(tag, "WAVE")) {
    return fail("not a RIFF WAVE file");
  }
  // The format chunk must come first.
  std::uint32_t formatSize = 0;
  if (!ReadTag(file, tag) || !TagIs(tag, "fmt ") || !ReadU32(file, &formatSize)) {
    return fail("no format chunk first");
  }
  std::uint32_t code = 0, channelCount = 0, rate = 0, blockAlign = 0, bits = 0;
  if (!ReadU16(file, &code) || !ReadU16(file, &channelCount) || !ReadU32(file, &rate) ||
      !ReadU32(file, &value) || !ReadU16(file, &blockAlign) || !ReadU16(file, &bits)) {
    return fail("the format chunk is cut short");
  }
  if (code != 1) return fail("not integer PCM (format " + std::to_string(code) + ")");
  // Without channels or with samples under a byte there is no frame size to divide by.
  if (channelCount == 0 || bits < 8) return fail("no channels, or samples under 8 bits");
  // Samples of 12 or 20 bits sit in whole bytes (the high bits used): the block align tells how
  // many each sample has, and never fewer than the bits need.
  std::uint32_t bytesPerSample = bits / 8;
  if (bits % 8 != 0) bytesPerSample = std::max((bits + 7) / 8, blockAlign / channelCount);
  if ((formatSize > 16 && !Skip(file, formatSize - 16)) ||
      (formatSize >= 16 && !SkipPad(file, formatSize))) {
    return fail("the format chunk is cut short");
  }

  const std::uint32_t frameSize = channelCount * bytesPerSample;
  for (;;) {
    std::uint32_t size = 0;
    if (!ReadTag(file, tag) || !ReadU32(file, &size)) return fail("no data chunk");
    if (!TagIs(tag, "data")) {
      if (!Skip(file, size) || !SkipPad(file, size)) return fail("no data chunk");
      continue;
    }
    // Both bounds come from the header, before anything is allocated or read: the same limit as
    // decoded Ogg Vorbis, and no more than the file holds (a forged size cannot make us reserve
    // gigabytes).
    if (size / bytesPerSample > kMaxSoundSamples) {
      return fail("its data chunk holds " + std::to_string(size / bytesPerSample) +
                  " samples, more than " + std::to_string(kMaxSoundSamples));
    }
    const long remaining = Remaining(file);
    if (remaining < 0 || size > static_cast<unsigned long>(remaining)) {
      return fail("its data chunk is cut short");
    }
    auto data = UninitialisedBytes(size ? size : 1);
    if (std::fread(data.get(), 1, size, file) != size) return fail("its data chunk is cut short");
    *length = static_cast<int>(size / frameSize);
    *channels = static_cast<int>(channelCount);
    *format = static_cast<int>(bytesPerSample);
    *hertz = static_cast<int>(rate);
    return data;
  }
}

std::unique_ptr<unsigned char[]> LoadOGG(std::FILE* file, int* length, int* channels, int* format,
                                         int* hertz, std::string* why) {
  const auto fail = [why](std::string reason) {
    if (why) *why = std::move(reason);
    return nullptr;
  };
  const std::string tooLongReason =
      "it decodes to more than " + std::to_string(kMaxSoundSamples) + " samples";
  // The whole file is read and checked, then decoded from memory up to the stream's end.
  const long size = std::ftell(file) < 0 ? -1 : Remaining(file);
  if (size <= 0) return fail("it is empty or cannot be read");
  if (size > kMaxOggFileSize) {
    return fail("it is " + std::to_string(size) + " bytes, more than " +
                std::to_string(kMaxOggFileSize));
  }
  std::vector<unsigned char> stream(static_cast<std::size_t>(size));
  if (std::fread(stream.data(), 1, stream.size(), file) != stream.size()) {
    return fail("it cannot be read");
  }
  OggSound sound;
  if (!ScanOggStream(stream, &sound)) return fail("not a whole Ogg Vorbis stream");
  // A stream that says it is too long is refused before anything is decoded.
  if (sound.samples > kMaxSoundSamples / sound.channelCount) return fail(tooLongReason);

  // The decoder works inside a memory area of ours: some of its failure paths forget allocations
  // (a damaged setup header leaks them), and an area we own cannot leak and bounds what a stream
  // can ask for. It grows while the decoder reports running out, up to a limit.
  std::vector<char> area(kVorbisAreaStart);
  stb_vorbis* vorbis = nullptr;
  for (;;) {
    int error = 0;
    stb_vorbis_alloc alloc{area.data(), static_cast<int>(area.size())};
    vorbis = stb_vorbis_open_memory(stream.data(), static_cast<int>(sound.end), &error, &alloc);
    if (vorbis || error != VORBIS_outofmem || area.size() >= kVorbisAreaLimit) break;
    area.resize(area.size() * 2);
  }
  if (!vorbis) return fail("the Vorbis decoder refused it");
  const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
  const std::size_t channelCount = info.channels > 0 ? static_cast<std::size_t>(info.channels) : 0;
  if (channelCount == 0) {
    stb_vorbis_close(vorbis);
    return fail("the Vorbis decoder refused it");
  }

  // The samples go into one buffer sized from the length the stream states, so a long sound takes
  // its own size and little more. Where the stream states none, or too little, the buffer grows,
  // doubling but never past the limit; a stream that decodes past the limit is refused.
  const std::size_t limit = kMaxSoundSamples / channelCount * channelCount;
  const std::size_t stated = static_cast<std::size_t>(sound.samples) * channelCount;
  SampleBuffer out =
      SampleBuffer::WithRoom(std::min(stated ? stated : kOggFramesUnstated * channelCount, limit));
  std::vector<short> spill(channelCount * 4096);
  std::size_t used = 0;
  bool tooLong = false;
  for (;;) {
    if (used < out.capacity) {
      const int frames = stb_vorbis_get_samples_short_interleaved(
          vorbis, info.channels, out.Samples() + used, static_cast<int>(out.capacity - used));
      if (frames <= 0) break;
      used += static_cast<std::size_t>(frames) * channelCount;
      continue;
    }
    // The buffer is full: is there more?
    const int frames = stb_vorbis_get_samples_short_interleaved(vorbis, info.channels, spill.data(),
                                                                static_cast<int>(spill.size()));
    if (frames <= 0) break;
    const std::size_t more = static_cast<std::size_t>(frames) * channelCount;
    if (used + more > limit) {
      tooLong = true;
      break;
    }
    out = out.Moved(std::min(std::max(out.capacity * 2, used + more), limit), used);
    std::memcpy(out.Samples() + used, spill.data(), more * sizeof(short));
    used += more;
  }
  stb_vorbis_close(vorbis);
  if (tooLong) return fail(tooLongReason);
  // A stream that stated far more than it held gives back the room it did not use.
  if (used < out.capacity / 2) out = out.Moved(used, used);

  *length = static_cast<int>(used / channelCount);
  *channels = static_cast<int>(channelCount);
  *format = 2;
  *hertz = static_cast<int>(info.sample_rate);
  return std::move(out.bytes);
}

std::unique_ptr<unsigned char[]> DecodeAudioFile(std::FILE* file, const String& path, int* length,
                                                 int* channels, int* format, int* hertz,
                                                 std::string* why) {
  const String lower = path.ToLower();
  if (lower.EndsWith(".wav")) return LoadWAV(file, length, channels, format, hertz, why);
  if (lower.EndsWith(".ogg")) return LoadOGG(file, length, channels, format, hertz, why);
  if (why) *why = "not a .wav or .ogg file";
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
