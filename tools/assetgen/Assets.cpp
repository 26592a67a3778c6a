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
  static const std::vector<ImageAsset> assets = [] {
    std::vector<ImageAsset> images;
    for (const AssetStep& step : kAssetSteps) {
      if (step.image.slot >= 0) images.push_back(step.image);
    }
    return images;
  }();
  return assets;
}

const std::vector<int>& SoundSlots() {
  static const std::vector<int> slots = [] {
    std::vector<int> sounds;
    for (const AssetStep& step : kAssetSteps) {
      if (step.sound >= 0) sounds.push_back(step.sound);
    }
    return sounds;
  }();
  return slots;
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
