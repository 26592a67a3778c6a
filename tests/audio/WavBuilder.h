// Builds WAV files byte by byte for tests: a well-formed file by default, every field open to be
// bent into the malformed shapes real files come in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class WavBuilder {
 public:
  std::vector<unsigned char> bytes;

  // Byte by byte: GCC 12 misreads vector::insert from a short literal as an overflow at -O2.
  WavBuilder& Tag(const char* tag) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(tag[i]));
    return *this;
  }
  WavBuilder& U16(std::uint32_t value) {
    bytes.push_back(static_cast<unsigned char>(value & 0xff));
    bytes.push_back(static_cast<unsigned char>((value >> 8) & 0xff));
    return *this;
  }
  WavBuilder& U32(std::uint32_t value) {
    U16(value & 0xffff);
    return U16(value >> 16);
  }
  WavBuilder& Bytes(const std::vector<unsigned char>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
  }
  WavBuilder& Header() { return Tag("RIFF").U32(0).Tag("WAVE"); }
  // Samples take whole bytes: 12 bits are written in 2.
  WavBuilder& Format(int channels, int rate, int bits, int code = 1, int extra = 0) {
    const int container = (bits + 7) / 8;
    Tag("fmt ").U32(static_cast<std::uint32_t>(16 + extra)).U16(static_cast<std::uint32_t>(code));
    U16(static_cast<std::uint32_t>(channels)).U32(static_cast<std::uint32_t>(rate));
    U32(static_cast<std::uint32_t>(rate * channels * container));
    U16(static_cast<std::uint32_t>(channels * container)).U16(static_cast<std::uint32_t>(bits));
    for (int i = 0; i < extra; ++i) bytes.push_back(0);
    return *this;
  }
  WavBuilder& Chunk(const char* tag, const std::vector<unsigned char>& data) {
    return Tag(tag).U32(static_cast<std::uint32_t>(data.size())).Bytes(data);
  }

  // A whole file: 16-bit stereo frames at the rate, then the samples given (left, right, ...).
  static std::vector<unsigned char> Stereo16(int rate, const std::vector<std::int16_t>& samples) {
    std::vector<unsigned char> data;
    for (std::int16_t s : samples) {
      data.push_back(static_cast<unsigned char>(s & 0xff));
      data.push_back(static_cast<unsigned char>((s >> 8) & 0xff));
    }
    return WavBuilder().Header().Format(2, rate, 16).Chunk("data", data).bytes;
  }
  // A mono 16-bit tone: a square wave of the given period in samples, at full-ish level.
  static std::vector<unsigned char> Tone(int rate, int frames, int period = 100) {
    std::vector<unsigned char> data;
    for (int i = 0; i < frames; ++i) {
      const std::int16_t s = (i % period) < period / 2 ? 12000 : -12000;
      data.push_back(static_cast<unsigned char>(s & 0xff));
      data.push_back(static_cast<unsigned char>((s >> 8) & 0xff));
    }
    return WavBuilder().Header().Format(1, rate, 16).Chunk("data", data).bytes;
  }
};
