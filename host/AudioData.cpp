// The host's audio loader: opens a portable path and decodes the WAV or Ogg Vorbis file.
#include "host/AudioDecode.h"
#include "host/Game.h"
#include "runtime/Collect.h"

std::unique_ptr<unsigned char[]> XQGame::LoadAudioData(const String& path, int* length,
                                                       int* channels, int* format, int* hertz) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return nullptr;
  auto data = DecodeAudioFile(file, path, length, channels, format, hertz);
  std::fclose(file);
  gc_RequestFullSweep();
  return data;
}
