// Small helpers for audio tests: files read back as bytes, plus the shared scratch folder and
// command output (for comparing with sox) from tests/support.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

inline std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}
