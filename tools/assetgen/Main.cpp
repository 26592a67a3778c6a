// drommel_assetgen: writes the game's data folder (images at three resolutions, the fonts and the
// sound effects), or lays a level of it out on a contact sheet for looking at.
//
//   drommel_assetgen DATA_DIR                      write every file into DATA_DIR
//   drommel_assetgen --sheet LEVEL DATA_DIR OUT    contact sheet of level 1, 2 or 4 as OUT (PNG)
//   drommel_assetgen --icons THEME_DIR NAME        application icons THEME_DIR/NxN/apps/NAME.png
//   drommel_assetgen --web-icons DIR               the web app's icons DIR/icon-*.png
//   drommel_assetgen --list                        every file of the asset list, one a line:
//                                                  "menu|play|unused LEVEL PATH" (LEVEL 0: any)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/AssetList.h"
#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Icons.h"

namespace {

// The asset list for the browser's data: which files the menu needs, which play, which nothing.
void PrintAssetList() {
  for (const AssetStep& step : kAssetSteps) {
    const char* use = step.use == AssetUse::kMenu   ? "menu"
                      : step.use == AssetUse::kPlay ? "play"
                                                    : "unused";
    if (step.image.slot >= 0) {
      for (const int level : kLevels) {
        std::printf("%s %d %s%s.png\n", use, level, step.image.name, LevelSuffix(level));
      }
    }
    if (step.sound >= 0) std::printf("%s 0 %s\n", use, SoundFileName(step.sound).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    PrintAssetList();
    return 0;
  }
  if (argc == 5 && std::strcmp(argv[1], "--sheet") == 0) {
    int level = std::atoi(argv[2]);
    if (level != 1 && level != 2 && level != 4) {
      std::fprintf(stderr, "drommel_assetgen: level must be 1, 2 or 4\n");
      return 2;
    }
    if (!assetgen::WriteContactSheet(argv[3], level, argv[4], &error)) {
      std::fprintf(stderr, "drommel_assetgen: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "--icons") == 0) {
    if (!assetgen::WriteIcons(argv[2], argv[3], &error)) {
      std::fprintf(stderr, "drommel_assetgen: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--web-icons") == 0) {
    if (!assetgen::WriteWebIcons(argv[2], &error)) {
      std::fprintf(stderr, "drommel_assetgen: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr,
                 "usage: drommel_assetgen DATA_DIR\n"
                 "       drommel_assetgen --sheet LEVEL DATA_DIR OUT.png\n"
                 "       drommel_assetgen --icons THEME_DIR NAME\n"
                 "       drommel_assetgen --web-icons DIR\n"
                 "       drommel_assetgen --list\n");
    return 2;
  }
  if (!assetgen::GenerateData(argv[1], &error)) {
    std::fprintf(stderr, "drommel_assetgen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
