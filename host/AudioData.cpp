// The host's audio loader: opens a portable path and decodes the WAV or Ogg Vorbis file.
#include <string>

#include "host/AudioDecode.h"
#include "host/Game.h"
#include "runtime/Collect.h"

// The game asks only for the sounds it needs, so a missing one is reported as well as a refused one.
std::unique_ptr<unsigned char[]> XQGame::LoadAudioData(const String& path, int* length,
                                                       int* channels, int* format, int* hertz) {
  std::string fileName, why;
  std::unique_ptr<unsigned char[]> data;
  if (std::FILE* file = OpenForLoading(path, fileName, why)) {
    data = DecodeAudioFile(file, path, length, channels, format, hertz, &why);
    std::fclose(file);
  }
  if (!data) ReportNotLoaded("Sound", fileName, why.empty() ? "it is missing" : why);
  gc_RequestFullSweep();
  return data;
}
