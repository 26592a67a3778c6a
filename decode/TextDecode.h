// The text decoder of the game's files: UTF-16 by byte-order mark, else UTF-8 (an optional mark
// skipped), falling back to Latin-1 byte for byte.
//
//   String text = xq_data_DecodeText(bytes);  // UTF-16 BOMs, UTF-8 with or without BOM, else
//                                             // Latin-1 byte for byte
#pragma once

#include <string_view>

#include "runtime/String.h"

// Decodes the bytes of a text file: FE FF = UTF-16 big-endian, FF FE = UTF-16 little-endian (a
// trailing odd byte ignored), otherwise UTF-8 with an optional EF BB BF mark skipped. Invalid UTF-8
// (a stray continuation byte, a four-byte lead, a cut-off sequence) gives each byte as one unit
// instead, and sets the last load error to "Invalid UTF-8".
String xq_data_DecodeText(std::string_view bytes);

// "Invalid UTF-8" after a decode that fell back to bytes, empty otherwise; every non-empty decode
// clears it first.
String xq_data_LastLoadError();
