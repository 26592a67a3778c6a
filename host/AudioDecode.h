// Decoders of sound files into PCM sample data: WAV (RIFF, integer PCM) and Ogg Vorbis. They read
// from an open stdio stream, never close it, and return null on any bad input without raising; the
// caller owns the returned bytes.
//
//   int length, channels, format, hertz;
//   auto pcm = LoadWAV(file, &length, &channels, &format, &hertz);
//   // pcm holds length sample frames of channels samples, format bytes each (1: unsigned 8-bit,
//   // 2: signed 16-bit little-endian), at hertz samples per second.
#pragma once

#include <cstdio>
#include <memory>

#include "runtime/String.h"

std::unique_ptr<unsigned char[]> LoadWAV(std::FILE* file, int* length, int* channels, int* format,
                                         int* hertz);
// Always 16-bit samples (format 2).
std::unique_ptr<unsigned char[]> LoadOGG(std::FILE* file, int* length, int* channels, int* format,
                                         int* hertz);
// Chooses the decoder by the path's extension, in any letter case: ".wav" or ".ogg"; null for any
// other name.
std::unique_ptr<unsigned char[]> DecodeAudioFile(std::FILE* file, const String& path, int* length,
                                                 int* channels, int* format, int* hertz);
// Opens a plain file name (no kestro: paths) and decodes it; used where no host exists (tools,
// tests).
std::unique_ptr<unsigned char[]> LoadAudioFile(const String& path, int* length, int* channels,
                                               int* format, int* hertz);
