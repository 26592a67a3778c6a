// The browser's data folder (target drommel_web_data) against the generator's: every image
// decodes to exactly the generator's pixels, every sound effect is an Ogg Vorbis file the game's
// decoder reads with the WAV's length, rate and channels, and every file's name carries its hash.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "decode/AudioDecode.h"

namespace fs = std::filesystem;

namespace {

const fs::path kData = fs::path(DROMMEL_BINARY_DIR) / "data";
const fs::path kWebData = fs::path(DROMMEL_BINARY_DIR) / "web-data" / "data";

// "sfx/005.ogg" for "sfx/005.0123456789.ogg": the name without its ten-digit hash, or "" when it
// carries none.
std::string PlainName(const std::string& name) {
  const size_t type = name.rfind('.');
  if (type == std::string::npos || type < 11 || name[type - 11] != '.') return "";
  for (size_t i = type - 10; i < type; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return "";
  }
  return name.substr(0, type - 11) + name.substr(type);
}

// The web data's files by their plain name.
std::map<std::string, fs::path> WebFiles() {
  std::map<std::string, fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(kWebData)) {
    if (!entry.is_regular_file()) continue;
    const std::string plain = PlainName(fs::relative(entry.path(), kWebData).generic_string());
    if (!plain.empty()) files[plain] = entry;
  }
  return files;
}

struct Decoded {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;
};

Decoded DecodePng(const fs::path& path) {
  Decoded d;
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &d.width, &d.height, &channels, 4);
  if (data) d.rgba.assign(data, data + static_cast<size_t>(d.width) * d.height * 4);
  stbi_image_free(data);
  return d;
}

TEST(WebData, EveryImageDecodesToTheGeneratorsPixelsInASmallerFile) {
  const auto web = WebFiles();
  int images = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kData)) {
    if (entry.path().extension() != ".png") continue;
    const std::string name = fs::relative(entry.path(), kData).generic_string();
    SCOPED_TRACE(name);
    const auto found = web.find(name);
    ASSERT_NE(found, web.end()) << "not in the browser's data";
    const Decoded original = DecodePng(entry.path());
    const Decoded packed = DecodePng(found->second);
    ASSERT_FALSE(original.rgba.empty());
    EXPECT_EQ(packed.width, original.width);
    EXPECT_EQ(packed.height, original.height);
    EXPECT_TRUE(packed.rgba == original.rgba) << "the pixels differ";
    EXPECT_LE(fs::file_size(found->second), fs::file_size(entry.path()));
    ++images;
  }
  EXPECT_GT(images, 30);
}

TEST(WebData, EverySoundIsAnOggOfTheSameLengthRateAndChannels) {
  const auto web = WebFiles();
  int sounds = 0;
  std::uintmax_t wavBytes = 0, oggBytes = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kData)) {
    if (entry.path().extension() != ".wav") continue;
    std::string name = fs::relative(entry.path(), kData).generic_string();
    SCOPED_TRACE(name);
    name.replace(name.size() - 4, 4, ".ogg");
    const auto found = web.find(name);
    ASSERT_NE(found, web.end()) << "no Ogg in the browser's data";
    int length[2] = {}, channels[2] = {}, format[2] = {}, hertz[2] = {};
    ASSERT_NE(LoadAudioFile(String(entry.path().c_str()), &length[0], &channels[0], &format[0],
                            &hertz[0]),
              nullptr);
    ASSERT_NE(LoadAudioFile(String(found->second.c_str()), &length[1], &channels[1], &format[1],
                            &hertz[1]),
              nullptr);
    EXPECT_EQ(length[1], length[0]);
    EXPECT_EQ(channels[1], channels[0]);
    EXPECT_EQ(hertz[1], hertz[0]);
    wavBytes += fs::file_size(entry.path());
    oggBytes += fs::file_size(found->second);
    ++sounds;
  }
  EXPECT_EQ(sounds, 11);
  // Vorbis's headers make a click of a few milliseconds larger than its WAV; all together the Ogg
  // files are a fraction of the WAVs.
  EXPECT_LT(oggBytes, wavBytes / 3);
}

}  // namespace
