// The host's image and sound loaders: they open a portable path and hand the file to the
// decoders (decode/), reporting every file they cannot load.
#include <string>

#include "decode/AudioDecode.h"
#include "decode/ImageDecode.h"
#include "host/Game.h"
#include "runtime/Collect.h"

// The game asks only for the images it needs, so a missing one is reported as well as a refused one.
PixelBuffer XQGame::LoadImageData(const String& path, int* width, int* height, int* format) {
  std::string fileName, why;
  PixelBuffer pixels;
  if (std::FILE* file = OpenForLoading(path, fileName, why)) {
    pixels = DecodeImage(file, width, height, format, &why);
    std::fclose(file);
  }
  if (!pixels) ReportNotLoaded("Image", fileName, why.empty() ? "it is missing" : why);
  gc_RequestFullSweep();
  return pixels;
}

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
