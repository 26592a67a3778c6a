// The desktop's data folder: generated with the game and complete before it starts, so every file
// is in place, and the sounds are the generator's WAV files.
#include "host/Files.h"

bool (*xq_data_testing::fileReady)(const String&, int) = nullptr;

bool xq_data_FileReady(const String& path, int urgency) {
  return xq_data_testing::fileReady ? xq_data_testing::fileReady(path, urgency) : true;
}

void xq_data_LoaderFinished() {}

const char* xq_data_SoundExtension() {
  return ".wav";
}
