// The asset table and the writing of the whole data folder.
#include "tools/assetgen/Assets.h"

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Sounds.h"

#include <cstdio>

namespace assetgen {

namespace {

const char* const kSansPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const kMonoPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

}  // namespace

const char* const kFontCredit =
    "DejaVu Sans Bold and DejaVu Sans Mono Bold (Debian package fonts-dejavu-core), "
    "Bitstream Vera licence; DejaVu changes in the public domain";

const std::vector<ImageAsset>& ImageAssets() {
  static const std::vector<ImageAsset> assets = {
      {"common/icons", 32, 32, 16, 4},
      {"common/Buttons", 64, 64, 16, 4},
      {"common/dpad", 32, 32, 16, 4},
      {"common/QELDLogo", 256, 256, 1, 1},
      {"common/Testcard_Circle", 256, 256, 1, 1},
      {kTextFontName, 16, 16, 128, 16},
      {"menu", 256, 256, 4, 2},
      {"logo", 256, 128, 1, 1},
      {"parts", 8, 8, 256, 16},
      {"BadgesA", 64, 64, 64, 8},
      {"world001", 32, 32, 40, 8},
  };
  return assets;
}

std::string LevelSuffix(int level) {
  return level == 2 ? "-hd" : level == 4 ? "-hd2" : "";
}

const std::vector<int>& SoundSlots() {
  static const std::vector<int> slots = {1, 2, 3, 4, 5, 6, 10, 95, 96, 98, 99};
  return slots;
}

std::string SoundFileName(int slot) {
  char name[32];
  std::snprintf(name, sizeof name, "sfx/%03d.wav", slot);
  return name;
}

bool GenerateData(const std::string& dir, std::string* error) {
  auto fail = [&](const std::string& message) {
    if (error) *error = message;
    return false;
  };
  Fonts fonts;
  fonts.sans = Typeface::Open(kSansPath);
  fonts.mono = Typeface::Open(kMonoPath);
  if (!fonts.sans || !fonts.mono) {
    return fail(std::string("cannot read the fonts ") + kSansPath + " and " + kMonoPath +
                " (Debian package fonts-dejavu-core)");
  }
  for (const ImageAsset& asset : ImageAssets()) {
    for (int level : kLevels) {
      Canvas canvas(asset.frameW, asset.frameH, asset.frames, asset.columns, level);
      PaintImage(asset, canvas, fonts);
      std::string path = dir + "/" + asset.name + LevelSuffix(level) + ".png";
      std::vector<std::uint8_t> png = canvas.EncodePng();
      if (png.empty() || !WriteFile(path, png)) return fail("cannot write " + path);
    }
  }
  {
    Canvas canvas(kDefaultFontCellW, kDefaultFontCellH, kDefaultFontCells, kDefaultFontCells, 1);
    PaintDefaultFont(canvas, fonts);
    std::string path = dir + "/" + kDefaultFontName;
    std::vector<std::uint8_t> png = canvas.EncodePng();
    if (png.empty() || !WriteFile(path, png)) return fail("cannot write " + path);
  }
  for (int slot : SoundSlots()) {
    std::string path = dir + "/" + SoundFileName(slot);
    if (!WriteFile(path, EncodeWav(SynthesiseSound(slot), kSampleRate))) {
      return fail("cannot write " + path);
    }
  }
  return true;
}

}  // namespace assetgen
