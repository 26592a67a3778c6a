// The game's asset list: every image and sound effect with its slot, frame size and frame count,
// in the order the loader loads them, and the rules that turn a slot or a resolution level into a
// file name. The game's loader reads its steps from here, the asset generator writes exactly these
// files, and the tests check both against it, so the list is written once.
//
//   for (const AssetStep& step : kAssetSteps)
//     if (step.image.slot >= 0) Load(step.image.name + LevelSuffix(level) + ".png", ...);
#pragma once

#include <cstdio>
#include <string>

#include "game/Constants.h"

struct ImageAsset {
  int slot;          // Image::..., or -1 for a step without an image
  const char* name;  // path inside data/, without the level suffix and ".png"
  int frameW;        // design pixels; the file at level L has frames of frameW * L
  int frameH;
  int frames;
  int columns;  // frames per row of the file
};

// When a step's files are first needed. The desktop loads every step before the menu; a host whose
// files arrive over the network (the browser) may let a step that is not needed by the menu come in
// behind it, so long as the play steps are in before a game starts. Nothing draws or plays the
// unused ones (the badge sheet, the menu background variant, the on-screen pad, two sounds); they
// are loaded last, out of the way of the rest.
enum class AssetUse { kMenu, kPlay, kUnused };

// One step of the loader: at most one image and one sound (-1: none).
struct AssetStep {
  ImageAsset image;
  int sound;
  AssetUse use;
};

inline constexpr ImageAsset kNoImage = {-1, nullptr, 0, 0, 0, 0};

// The game's text font: 128 cells of 16 x 16 design pixels for the codes 32-159, 16 a row; text
// advances 7 and lines are 10 virtual units apart.
inline constexpr int kFontAdvance = 7;
inline constexpr int kFontLineHeight = 10;
inline constexpr int kFontCell = 16;
inline constexpr int kFontGlyphs = 128;

// Loading steps 1-21, in order (the loader's step n is entry n - 1).
inline constexpr AssetStep kAssetSteps[] = {
    {{Image::Icons, "common/icons", 32, 32, 16, 4}, Sound::Jingle, AssetUse::kMenu},
    {{Image::Buttons, "common/Buttons", 64, 64, 16, 4}, -1, AssetUse::kMenu},
    {{Image::Dpad, "common/dpad", 32, 32, 16, 4}, -1, AssetUse::kUnused},
    {{Image::Logo, "common/QELDLogo", 256, 256, 1, 1}, -1, AssetUse::kMenu},
    {{Image::Testcard, "common/Testcard_Circle", 256, 256, 1, 1}, -1, AssetUse::kMenu},
    {{Image::Font, "fonts/editundo", kFontCell, kFontCell, kFontGlyphs, 16}, -1, AssetUse::kMenu},
    {kNoImage, Sound::Cancel, AssetUse::kUnused},
    {kNoImage, Sound::Slide, AssetUse::kUnused},
    {kNoImage, Sound::Confirm, AssetUse::kMenu},
    {kNoImage, Sound::Click, AssetUse::kMenu},
    {{Image::Menu, "menu", 256, 256, 4, 2}, -1, AssetUse::kUnused},
    {{Image::Title, "logo", 256, 128, 1, 1}, -1, AssetUse::kMenu},
    {{Image::Parts, "parts", 8, 8, 256, 16}, -1, AssetUse::kPlay},
    {{Image::Badges, "BadgesA", 64, 64, 64, 8}, -1, AssetUse::kUnused},
    {{Image::World, "world001", 32, 32, 40, 8}, -1, AssetUse::kPlay},
    {kNoImage, Sound::DeathHit, AssetUse::kPlay},
    {kNoImage, Sound::DeathFall, AssetUse::kPlay},
    {kNoImage, Sound::FirstSpike, AssetUse::kPlay},
    {kNoImage, Sound::Bounce, AssetUse::kPlay},
    {kNoImage, Sound::NextSpike, AssetUse::kPlay},
    {kNoImage, Sound::ChainEnd, AssetUse::kPlay},
};
inline constexpr int kAssetStepCount = static_cast<int>(sizeof kAssetSteps / sizeof kAssetSteps[0]);
inline constexpr int kImageAssetCount = 11;
inline constexpr int kSoundAssetCount = 11;

// The step (1-based) that loads the image or sound of a slot, or 0.
inline constexpr int ImageStep(int slot) {
  for (int i = 0; i < kAssetStepCount; ++i) {
    if (kAssetSteps[i].image.slot == slot) return i + 1;
  }
  return 0;
}

// Pixels per design pixel of the three files of an image: name.png, name-hd.png, name-hd2.png.
inline constexpr int kLevels[3] = {1, 2, 4};

inline constexpr const char* LevelSuffix(int level) {
  return level == 4 ? "-hd2" : level == 2 ? "-hd" : "";
}

// "sfx/" + the slot in at least three digits + the type: slot 5 is sfx/005.wav (the browser's data
// carries the same sounds as sfx/005.ogg).
inline std::string SoundFileName(int slot, const char* extension = ".wav") {
  char name[40];
  std::snprintf(name, sizeof name, "sfx/%03d%s", slot, extension);
  return name;
}
