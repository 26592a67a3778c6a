// Decoding of WAV and Ogg Vorbis files into PCM. (Placeholder until audio loading lands.)
#include "host/GlfwGame.h"

std::unique_ptr<unsigned char[]> XQGlfwGame::LoadAudioData(const String&, int*, int*, int*,
                                                           int*) {
  return nullptr;
}
