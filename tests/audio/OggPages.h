// Ogg page helpers for tests: page offsets and checksums, so a test can damage a stream on purpose
// and still have its pages pass the checksum test.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

inline std::uint32_t OggCrc(const unsigned char* data, std::size_t size) {
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= static_cast<std::uint32_t>(data[i]) << 24;
    for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
  }
  return crc;
}

// Rewrites the checksum of every whole Ogg page, so that a mutation gets past the page check and
// reaches the headers and the Vorbis decoder itself.
inline void FixOggChecksums(std::vector<unsigned char>& bytes) {
  std::size_t at = 0;
  while (bytes.size() - at >= 27 && std::memcmp(&bytes[at], "OggS", 4) == 0) {
    const std::size_t segments = bytes[at + 26];
    if (bytes.size() - at < 27 + segments) return;
    std::size_t size = 27 + segments;
    for (std::size_t i = 0; i < segments; ++i) size += bytes[at + 27 + i];
    if (bytes.size() - at < size) return;
    std::memset(&bytes[at + 22], 0, 4);
    const std::uint32_t crc = OggCrc(&bytes[at], size);
    for (int k = 0; k < 4; ++k)
      bytes[at + 22 + static_cast<std::size_t>(k)] = static_cast<unsigned char>(crc >> (8 * k));
    at += size;
  }
}

// The offset of the body of the page that starts at `at`.
inline std::size_t OggBody(const std::vector<unsigned char>& bytes, std::size_t at) {
  return at + 27 + bytes[at + 26];
}

// The offset of the page after the one that starts at `at`.
inline std::size_t OggNextPage(const std::vector<unsigned char>& bytes, std::size_t at) {
  std::size_t size = 27 + bytes[at + 26];
  for (std::size_t i = 0; i < bytes[at + 26]; ++i) size += bytes[at + 27 + i];
  return at + size;
}
