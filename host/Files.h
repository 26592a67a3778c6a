// Files of the desktop host: portable "kestro://" paths, text decoding with byte-order-mark
// detection, and the name of the state file. The host's OpenFile, LoadString, LoadData, SaveState
// and LoadState (host/Game.h) are built on these.
//
//   String path = xq_data_FixDataPath("graphics/title.png");  // "kestro://data/graphics/title.png"
//   std::FILE* file = XQGame::Host()->OpenFile(path, "rb");    // opens ./data/graphics/title.png
//   String text = xq_data_DecodeText(bytes);                  // UTF-16 BOMs, UTF-8 with or without
//                                                              // BOM, else Latin-1 byte for byte
#pragma once

#include <string>
#include <string_view>

#include "runtime/String.h"

// The state file, relative to the current folder.
inline constexpr const char* kStateFileName = "./.kestrostate";

// Gives a short name from the game ("graphics/title.png") the data scheme; names that already carry
// a scheme ("kestro://...", "http://...") or begin with "./" or "/" are returned unchanged.
String xq_data_FixDataPath(const String& path);

// The folder a portable path names: "kestro://data/", "kestro://internal/" and "kestro://external/"
// become "./data/", "./internal/" and "./external/"; any other "kestro:" path gives the empty
// string (it names nothing); paths without the scheme are returned unchanged.
String xq_data_PortableToFilePath(const String& path);

// Decodes the bytes of a text file: FE FF = UTF-16 big-endian, FF FE = UTF-16 little-endian (a
// trailing odd byte ignored), otherwise UTF-8 with an optional EF BB BF mark skipped. Invalid UTF-8
// (a stray continuation byte, a four-byte lead, a cut-off sequence) gives each byte as one unit
// instead, and sets the last load error to "Invalid UTF-8".
String xq_data_DecodeText(std::string_view bytes);

// "Invalid UTF-8" after a decode that fell back to bytes, empty otherwise; every non-empty decode
// clears it first.
String xq_data_LastLoadError();

// The file name handed to the C library: the path's UTF-8 bytes.
std::string xq_data_NativePath(const String& path);

// The state file is replaced by writing a temporary file beside it, flushing it to disk and
// renaming it over the old one; the old file stays as it was when any step fails. Returns 0, -1
// (the temporary file cannot be created or renamed into place) or -2 (short write or failed flush).
int xq_data_ReplaceFile(const std::string& fileName, std::string_view bytes);
