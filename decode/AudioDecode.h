// Decoders of sound files into PCM sample data: WAV (RIFF, integer PCM) and Ogg Vorbis. They read
// from an open stdio stream, never close it, and return null on any bad input without raising,
// with a short reason in *why when it is given; the caller owns the returned bytes. A sound of
// more than kMaxSoundSamples samples is refused: a WAV file from its header, before anything is
// read.
//
//   int length, channels, format, hertz;
//   auto pcm = LoadWAV(file, &length, &channels, &format, &hertz);
//   // pcm holds length sample frames of channels samples, format bytes each (1: unsigned 8-bit,
//   // 2: signed 16-bit little-endian), at hertz samples per second.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

#include "runtime/String.h"

// Samples of all channels together, so that no sound file can ask for unbounded memory: 2^27 is
// about 25 minutes of stereo at 44.1 kHz, far beyond any game sound.
inline constexpr std::size_t kMaxSoundSamples = std::size_t{1} << 27;

std::unique_ptr<unsigned char[]> LoadWAV(std::FILE* file, int* length, int* channels, int* format,
                                         int* hertz, std::string* why = nullptr);
// Always 16-bit samples (format 2).
std::unique_ptr<unsigned char[]> LoadOGG(std::FILE* file, int* length, int* channels, int* format,
                                         int* hertz, std::string* why = nullptr);
// Chooses the decoder by the path's extension, in any letter case: ".wav" or ".ogg"; null for any
// other name.
std::unique_ptr<unsigned char[]> DecodeAudioFile(std::FILE* file, const String& path, int* length,
                                                 int* channels, int* format, int* hertz,
                                                 std::string* why = nullptr);
// Opens a plain file name (no kestro: paths) and decodes it; used where no host exists (tools,
// tests).
std::unique_ptr<unsigned char[]> LoadAudioFile(const String& path, int* length, int* channels,
                                               int* format, int* hertz);
