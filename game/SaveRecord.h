// The saved-progress record: settings, badge flags and the first highscore rows written as one line
// of "|"-terminated decimal fields with a checksum after each of its three sections.
//
// c_MyApp::p_Save and p_Load (SaveData.cpp) wrap these with the state store; they are plain
// functions so that the format can be exercised (and fuzzed) without a game object.
//
//   String text = BuildSaveRecord(options, badges, highscores);
//   for (const String& line : ApplySaveRecord(text, options, badges, highscores)) xqPrint(line);
//
// Layout, 56 fields:
//   1-25   options 0..24                     26  sum of i * options[i]
//   27-34  badge masks 0..7 (bit k of mask m = badge 32m + k, bit 31 makes the mask negative)
//                                            35  sum of the masks
//   36-55  highscores a and a + 10 for a = 0..9, interleaved
//                                            56  sum of (a + 4) * highscores[a] + (a + 3) *
//                                            highscores[a + 10]
// All sums and products wrap as signed 32-bit integers.
#pragma once

#include <array>
#include <vector>

#include "runtime/Array.h"
#include "runtime/String.h"

inline constexpr int kSavedOptions = 25;
inline constexpr int kSavedBadgeMasks = 8;
inline constexpr int kSavedHighscores = 20;
inline constexpr int kSaveRecordFields = 56;

// The 256 badge flags packed 32 to a mask: bit k of mask m is badge 32m + k.
using BadgeMasks = std::array<int, kSavedBadgeMasks>;

// Wrapping checksums of the three sections (what the record stores after each).
int SettingsChecksum(const Array<int>& options);
int BadgeChecksum(const BadgeMasks& masks);
int HighscoreChecksum(const Array<int>& highscores);

// The record text for the given settings (25 entries), badges and highscores (entries 0-19).
String BuildSaveRecord(const Array<int>& options, const BadgeMasks& badges,
                       const Array<int>& highscores);

// Reads a record into the three tables and returns the messages to print, in order. Sections are
// read front to back while enough fields remain; a skipped section keeps its values. A section
// whose checksum fails is reset (settings to all 0 with entry 5 = 1, badge masks 0, highscores
// 0-19 = 0). The settings' sanity limits are applied in every case. A text that is not empty and
// holds fewer than the record's fields ends the messages with one line saying so. Never fails: any
// text is acceptable.
std::vector<String> ApplySaveRecord(const String& text, Array<int>& options, BadgeMasks& badges,
                                    Array<int>& highscores);

// `pad` repeated `width` times followed by the decimal value, cut to its last `width` units: a
// longer number loses its leading digits. A width of 0 or less gives the empty text.
String RightAlignedNumber(int value, int width, const String& pad);
