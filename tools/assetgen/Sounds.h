// The game's sound effects, synthesised: each slot is a short mono 16-bit PCM WAV file with
// faded ends (no clicks) and peaks below full scale.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

inline constexpr int kSampleRate = 44100;

// The samples of one sound slot; empty for a slot the game has no sound for.
std::vector<std::int16_t> SynthesiseSound(int slot);

// RIFF/WAVE bytes: 16-bit PCM, one channel.
std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples, int sampleRate);

}  // namespace assetgen
