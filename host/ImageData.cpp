// Decoding of image files into 8-bit pixels. (Placeholder until image loading lands.)
#include "host/GlfwGame.h"

std::unique_ptr<unsigned char[]> XQGlfwGame::LoadImageData(const String&, int*, int*, int*) {
  return nullptr;
}
