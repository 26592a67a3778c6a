// The game's data folder as the asset generator writes it: the images and sounds of the game's
// asset list (game/AssetList.h, which also gives the file names and the three resolution levels),
// the framework's default font, and the entry points that write everything and lay it out on a
// contact sheet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/AssetList.h"

namespace assetgen {

// Every image the game loads (written at three levels), in the game's loading order.
const std::vector<ImageAsset>& ImageAssets();

// The framework's default font: one strip of 96 cells (codes 32-127), one file at one size. Each
// cell keeps an empty column at its left and right edge.
inline constexpr const char* kDefaultFontName = "dovu_font.png";
inline constexpr int kDefaultFontCellW = 10;
inline constexpr int kDefaultFontCellH = 16;
inline constexpr int kDefaultFontCells = 96;

// The game's text font: cells 16 x 16, codes 32-159, 16 a row.
inline constexpr const char* kTextFontName = kAssetSteps[ImageStep(Image::Font) - 1].image.name;

// Every sound effect slot the game loads, in its loading order (files: SoundFileName).
const std::vector<int>& SoundSlots();

// Licence line for the credits of the font the glyphs are rasterised from.
extern const char* const kFontCredit;

// Writes the whole data folder into `dir`. False, with a message, when a font cannot be read or a
// file cannot be written. Every run writes the same bytes.
bool GenerateData(const std::string& dir, std::string* error);

// Lays every image of one level, the fonts, tinted icons and three mock game screens out on one
// PNG for looking at; reads the files that GenerateData wrote into `dataDir`.
bool WriteContactSheet(const std::string& dataDir, int level, const std::string& outPng,
                       std::string* error);

}  // namespace assetgen
