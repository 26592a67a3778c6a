// The application icons of the installed game: the player ball over a corner of the play field,
// written as the PNG files of a freedesktop icon theme.
//
// Use: WriteIcons("build/icons/hicolor", "app.id", &error) writes 48x48/apps/app.id.png and the
// other sizes of kIconSizes beside it; WriteWebIcons("build/icons/web", &error) writes the web
// app manifest's icons.
#pragma once

#include <string>

namespace assetgen {

// Edge lengths in pixels of the square icons, one file each.
inline constexpr int kIconSizes[] = {48, 64, 128, 256};

// Writes <dir>/<size>x<size>/apps/<name>.png for every size. False, with a message, when a file
// cannot be written. Every run writes the same bytes.
bool WriteIcons(const std::string& dir, const std::string& name, std::string* error);

// Writes <dir>/icon-192.png and <dir>/icon-512.png (the same tile as the theme icons) and
// <dir>/icon-maskable-512.png (the tile's picture filling the square edge to edge, its subject
// inside the middle 80 % that launchers keep when they cut the icon to their own shape), and
// <dir>/apple-touch-icon.png (the same full picture at 180 pixels, opaque to the corners: home
// screens that round an icon's corners themselves fill transparent ones with black).
bool WriteWebIcons(const std::string& dir, std::string* error);

}  // namespace assetgen
