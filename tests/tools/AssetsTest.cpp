// The generated data folder as the game reads it: every image the loader asks for at every
// resolution, the two fonts, every sound through the host's own WAV loader, and the same bytes
// from every run of the generator.
#include <gtest/gtest.h>
#include <stb_image.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "host/Game.h"
#include "tools/assetgen/Assets.h"

namespace fs = std::filesystem;

namespace {

// The asset list's entry of an image slot.
const ImageAsset& Asset(int slot) {
  return kAssetSteps[ImageStep(slot) - 1].image;
}

// The file of an image at a resolution level.
std::string PngName(const ImageAsset& image, int level) {
  return std::string(image.name) + LevelSuffix(level) + ".png";
}

struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
  std::uint8_t At(int x, int y, int channel) const {
    return rgba[(static_cast<std::size_t>(y) * width + x) * 4 + channel];
  }
};

Pixels ReadPng(const fs::path& path) {
  Pixels p;
  int channels = 0;
  unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 4);
  if (!data) return {};
  p.rgba.assign(data, data + static_cast<std::size_t>(p.width) * p.height * 4);
  stbi_image_free(data);
  return p;
}

// Frame positions of a grid read left to right and top to bottom, as the image loader reads it;
// false where it would stop with "Image frame outside surface".
bool GridFits(int surfaceW, int surfaceH, int frameW, int frameH, int frames,
              std::vector<std::pair<int, int>>* positions) {
  int ix = 0, iy = 0;
  for (int i = 0; i < frames; ++i) {
    if (ix + frameW > surfaceW) ix = 0, iy += frameH;
    if (ix + frameW > surfaceW || iy + frameH > surfaceH) return false;
    positions->push_back({ix, iy});
    ix += frameW;
  }
  return true;
}

// Pixels with any coverage inside the rectangle.
int Inked(const Pixels& p, int x, int y, int w, int h) {
  int n = 0;
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx) n += p.At(xx, yy, 3) > 0;
  return n;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class GeneratedData : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/drommel-assets-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    root_ = new fs::path(pattern);
    std::string error;
    ok_ = assetgen::GenerateData((*root_ / "data").string(), &error);
    EXPECT_TRUE(ok_) << error;
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    fs::remove_all(*root_, ec);
    delete root_;
    root_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(ok_); }
  static fs::path Data() { return *root_ / "data"; }

  static fs::path* root_;
  static bool ok_;
};
fs::path* GeneratedData::root_ = nullptr;
bool GeneratedData::ok_ = false;

TEST_F(GeneratedData, EveryImageTheLoaderAsksForIsAFullGridOfFramesAtEachLevel) {
  int images = 0;
  for (const AssetStep& step : kAssetSteps) {
    if (step.image.slot < 0) continue;
    ++images;
    const ImageAsset& w = step.image;
    for (int L : kLevels) {
      fs::path file = Data() / PngName(w, L);
      SCOPED_TRACE(file.string());
      Pixels p = ReadPng(file);
      ASSERT_GT(p.width, 0) << "missing or unreadable";
      std::vector<std::pair<int, int>> cells;
      EXPECT_TRUE(GridFits(p.width, p.height, w.frameW * L, w.frameH * L, w.frames, &cells));
      // Tidy grids: whole frames only, so the file at each level is the same layout scaled.
      EXPECT_EQ(0, p.width % (w.frameW * L));
      EXPECT_EQ(0, p.height % (w.frameH * L));
      if (L > 1) {
        Pixels base = ReadPng(Data() / PngName(w, 1));
        EXPECT_EQ(base.width * L, p.width);
        EXPECT_EQ(base.height * L, p.height);
      }
    }
  }
  EXPECT_EQ(images, 11);
}

TEST_F(GeneratedData, PicturesTheGameDrawsAreNotBlank) {
  struct Needed {
    int slot;
    std::vector<int> frames;
  };
  std::vector<int> all256(256), all64(64), all16(16);
  for (int f = 0; f < 256; ++f) all256[f] = f;
  for (int f = 0; f < 64; ++f) all64[f] = f;
  for (int f = 0; f < 16; ++f) all16[f] = f;
  const Needed needed[] = {
      {Image::World, {Frame::Ball, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}},  // spikes 0-9
      {Image::Parts, all256},
      {Image::Icons, {Frame::IconPause, Frame::IconQuit, Frame::IconPlay, Frame::IconMark}},
      {Image::Buttons,
       {Frame::ButtonPlay, Frame::GearOuter, Frame::GearInner, Frame::GearHub, Frame::ButtonGear}},
      {Image::Logo, {0}},
      {Image::Testcard, {0}},
      {Image::Title, {0}},
      {Image::Menu, {0, 1, 2, 3}},
      {Image::Dpad, all16},
      {Image::Badges, all64},
  };
  for (int L : kLevels) {
    for (const Needed& n : needed) {
      const ImageAsset& image = Asset(n.slot);
      Pixels p = ReadPng(Data() / PngName(image, L));
      ASSERT_GT(p.width, 0) << PngName(image, L);
      const int w = image.frameW * L, h = image.frameH * L, columns = p.width / w;
      for (int f : n.frames) {
        EXPECT_GT(Inked(p, (f % columns) * w, (f / columns) * h, w, h), 0)
            << PngName(image, L) << " frame " << f;
      }
    }
  }
}

// Tinted pictures multiply their pixels by the game's colour, so only grey keeps the tint true.
TEST_F(GeneratedData, TintedIconsAndGlyphsAreGreyOnly) {
  for (int slot : {Image::Icons, Image::Font}) {
    for (int L : kLevels) {
      const std::string name = PngName(Asset(slot), L);
      Pixels p = ReadPng(Data() / name);
      ASSERT_GT(p.width, 0) << name;
      int coloured = 0;
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
          if (p.At(x, y, 3) > 0 &&
              (p.At(x, y, 0) != p.At(x, y, 1) || p.At(x, y, 1) != p.At(x, y, 2)))
            ++coloured;
      EXPECT_EQ(0, coloured) << name;
    }
  }
}

TEST_F(GeneratedData, TextFontHasPrintableGlyphsInsideTheirCells) {
  for (int L : kLevels) {
    const int cell = 16 * L;
    Pixels p = ReadPng(Data() / PngName(Asset(Image::Font), L));
    ASSERT_EQ(16 * cell, p.width);
    for (int code = 32; code < 160; ++code) {
      int x = ((code - 32) % 16) * cell, y = ((code - 32) / 16) * cell;
      int ink = Inked(p, x, y, cell, cell);
      if (code == 32) {
        EXPECT_EQ(0, ink) << "space";
      } else if (code <= 126) {
        EXPECT_GT(ink, 0) << "code " << code << " level " << L;
      }
      // A row of empty pixels round each cell: enlarged text never shows a neighbour's edge.
      EXPECT_EQ(ink, Inked(p, x + 1, y + 1, cell - 2, cell - 2)) << "code " << code;
    }
  }
}

TEST_F(GeneratedData, DefaultFontIsAStripOf96CellsWithEmptySideColumns) {
  Pixels p = ReadPng(Data() / assetgen::kDefaultFontName);
  ASSERT_GT(p.width, 0);
  ASSERT_EQ(0, p.width % 96);
  const int cell = p.width / 96;
  ASSERT_GT(cell, 2);
  for (int i = 0; i < 96; ++i) {
    const int code = 32 + i, x = i * cell;
    EXPECT_EQ(0, Inked(p, x, 0, 1, p.height)) << "left border of " << code;
    EXPECT_EQ(0, Inked(p, x + cell - 1, 0, 1, p.height)) << "right border of " << code;
    const int ink = Inked(p, x, 0, cell, p.height);
    if (code >= 33 && code <= 126) {
      EXPECT_GT(ink, 0) << "code " << code;
    } else if (code == 32) {
      EXPECT_EQ(0, ink);
    }
  }
}

// The game loads its sounds through the host from ./data/, so the test runs from the folder that
// holds the generated data, as the game does.
TEST_F(GeneratedData, EverySoundDecodesWithTheHostLoaderAndIsShortCleanAndBelowFullScale) {
  const fs::path previous = fs::current_path();
  fs::current_path(*root_);
  XQGame host;
  int sounds = 0;
  for (const AssetStep& step : kAssetSteps) {
    if (step.sound < 0) continue;
    ++sounds;
    const std::string name = "kestro://data/" + SoundFileName(step.sound);
    SCOPED_TRACE(name);
    int length = 0, channels = 0, format = 0, hertz = 0;
    auto pcm = host.LoadAudioData(name.c_str(), &length, &channels, &format, &hertz);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(1, channels);
    EXPECT_EQ(2, format);
    EXPECT_EQ(44100, hertz);
    EXPECT_GT(length, hertz / 50);  // longer than 20 ms
    EXPECT_LT(length, hertz * 2);   // shorter than 2 s
    const auto* s = reinterpret_cast<const std::int16_t*>(pcm.get());
    int peak = 0;
    for (int i = 0; i < length; ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    EXPECT_GT(peak, 32767 / 10) << "audible";
    EXPECT_LT(peak, 32767 * 8 / 10) << "headroom below full scale";
    // Faded ends: no click when the sound starts or stops.
    EXPECT_LT(std::abs(static_cast<int>(s[0])), 64);
    EXPECT_LT(std::abs(static_cast<int>(s[length - 1])), 64);
    EXPECT_LT(std::abs(static_cast<int>(s[1])), 600);
  }
  EXPECT_EQ(sounds, 11);
  // The three-digit names: slot 10 is sfx/010.wav.
  EXPECT_TRUE(fs::exists(Data() / "sfx/010.wav"));
  fs::current_path(previous);
}

TEST_F(GeneratedData, TwoRunsWriteTheSameFilesByteForByte) {
  const fs::path second = *root_ / "again";
  std::string error;
  ASSERT_TRUE(assetgen::GenerateData(second.string(), &error)) << error;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(Data())) {
    if (!entry.is_regular_file()) continue;
    const fs::path rel = fs::relative(entry.path(), Data());
    SCOPED_TRACE(rel.string());
    ASSERT_TRUE(fs::exists(second / rel));
    EXPECT_TRUE(ReadBytes(entry.path()) == ReadBytes(second / rel));
    ++files;
  }
  int secondFiles = 0;
  for (const auto& entry : fs::recursive_directory_iterator(second))
    secondFiles += entry.is_regular_file();
  EXPECT_EQ(files, secondFiles);
  EXPECT_EQ(11 * 3 + 1 + 11, files);
}

TEST(AssetGenerator, ReportsAFolderItCannotWrite) {
  std::string error;
  EXPECT_FALSE(assetgen::GenerateData("/proc/drommel-cannot-write-here", &error));
  EXPECT_NE(std::string::npos, error.find("cannot write"));
}

}  // namespace
