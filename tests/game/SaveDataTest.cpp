// The saved-progress record: its exact text, checksums that wrap, and how loading treats valid,
// tampered, short and malformed records.
#include "game/SaveRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/Constants.h"

namespace {

struct Tables {
  Array<int> options = Array<int>(25);
  BadgeMasks badges{};
  Array<int> highscores = Array<int>(50);

  // The values a fresh game object starts from.
  Tables() { options[Option::Sound] = 1; }

  std::vector<String> Load(const String& text) {
    return ApplySaveRecord(text, options, badges, highscores);
  }
  String Save() const { return BuildSaveRecord(options, badges, highscores); }
};

// Settings, badges and scores a player could have: sound on, stick limits, badge 0 and badge 63
// (which makes mask 1 negative), and a few scores in both rows.
Tables KnownProgress() {
  Tables t;
  t.options[Option::StickX] = 64;
  t.options[Option::StickY] = 64;
  t.options[Option::StickSize] = 10;
  t.options[Option::Overscan] = 1;
  t.badges[0] = 1;                      // badge 0
  t.badges[1] = 2 | (-2147483647 - 1);  // badges 33 and 63
  t.highscores[0] = 500;
  t.highscores[1] = 300;
  t.highscores[10] = 20;
  t.highscores[11] = 500;
  return t;
}

const char* const kKnownRecord =
    "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|0|0|0|0|0|1483|"
    "1|-2147483646|0|0|0|0|0|0|-2147483645|"
    "500|20|300|500|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|0|5560|";

std::vector<String> Messages(std::initializer_list<const char*> texts) {
  std::vector<String> out;
  for (const char* t : texts) out.emplace_back(t);
  return out;
}

const std::vector<String> kAllLoaded =
    Messages({"Settings Loaded", "Badges Loaded", "Highscore 0 Loaded"});

// The record with field `index` (0-based) replaced.
String WithField(const String& record, int index, const char* value) {
  std::vector<String> fields = record.Split(String("|"));
  fields.at(static_cast<size_t>(index)) = String(value);
  String out;
  for (size_t i = 0; i + 1 < fields.size(); ++i) out += fields[i] + String("|");
  return out;
}

// The first `count` fields of the record, each with its "|".
String FirstFields(const String& record, int count) {
  std::vector<String> fields = record.Split(String("|"));
  String out;
  for (int i = 0; i < count; ++i) out += fields.at(static_cast<size_t>(i)) + String("|");
  return out;
}

void ExpectSameProgress(const Tables& a, const Tables& b) {
  for (int i = 0; i < 25; ++i) EXPECT_EQ(a.options[i], b.options[i]) << "option " << i;
  EXPECT_EQ(a.badges, b.badges);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(a.highscores[i], b.highscores[i]) << "score " << i;
}

void ExpectDefaultSettingsWithLimits(const Tables& t) {
  for (int i = 0; i < 25; ++i) {
    int expected = 0;
    if (i == Option::Sound) expected = SoundSetting::EffectsAndMusic;
    if (i == Option::StickX || i == Option::StickY) expected = 64;
    if (i == Option::StickSize) expected = 10;
    if (i == Option::Overscan) expected = 1;
    EXPECT_EQ(t.options[i], expected) << "option " << i;
  }
}

TEST(SaveRecord, IsWrittenAsFiftySixSignedDecimalFieldsWithThreeChecksums) {
  const Tables t = KnownProgress();
  EXPECT_EQ(t.Save(), String(kKnownRecord));
  EXPECT_EQ(t.Save().Split(String("|")).size(), 57u);
}

TEST(SaveRecord, SavedAndLoadedUnchangedGivesAllThreeLoadedMessagesAndTheSameProgress) {
  const Tables saved = KnownProgress();
  Tables loaded;
  EXPECT_EQ(loaded.Load(saved.Save()), kAllLoaded);
  ExpectSameProgress(loaded, saved);
  EXPECT_EQ(loaded.badges[1], -2147483646);
}

TEST(SaveRecord, ChecksumsWrapAsSigned32BitSums) {
  Tables t = KnownProgress();
  for (int i = 0; i < 20; ++i) t.highscores[i] = 2147483647;
  for (int i = 15; i < 25; ++i) t.options[i] = -2147483647 - 1;
  t.badges.fill(-1);
  EXPECT_EQ(BadgeChecksum(t.badges), -8);
  Tables loaded;
  EXPECT_EQ(loaded.Load(t.Save()), kAllLoaded);
  ExpectSameProgress(loaded, t);
}

TEST(SaveRecord, TamperingWithOneSectionResetsThatSectionOnly) {
  const String record(kKnownRecord);
  const Tables known = KnownProgress();
  {
    Tables t;
    t.options[7] = 3;
    EXPECT_EQ(t.Load(WithField(record, 3, "2")),
              Messages({"Settings Checksum Invalid", "Badges Loaded", "Highscore 0 Loaded"}));
    ExpectDefaultSettingsWithLimits(t);
    EXPECT_EQ(t.badges, known.badges);
    EXPECT_EQ(t.highscores[11], 500);
  }
  {
    Tables t;
    EXPECT_EQ(t.Load(WithField(record, 27, "4")),
              Messages({"Settings Loaded", "Badge Checksum Invalid", "Highscore 0 Loaded"}));
    EXPECT_EQ(t.badges, BadgeMasks{});
    EXPECT_EQ(t.highscores[0], 500);
  }
  {
    Tables t;
    t.highscores[20] = 77;  // beyond the saved rows: untouched by loading
    EXPECT_EQ(t.Load(WithField(record, 38, "301")),
              Messages({"Settings Loaded", "Badges Loaded", "Highscore 0 Checksum Invalid"}));
    for (int i = 0; i < 20; ++i) EXPECT_EQ(t.highscores[i], 0) << "score " << i;
    EXPECT_EQ(t.highscores[20], 77);
    EXPECT_EQ(t.options[Option::StickSize], known.options[Option::StickSize]);
  }
  {
    Tables t;
    EXPECT_EQ(t.Load(WithField(record, 55, "5561")),
              Messages({"Settings Loaded", "Badges Loaded", "Highscore 0 Checksum Invalid"}));
  }
}

TEST(SaveRecord, FirstSettingsEntryHasNoWeightInItsChecksumAndLoadsAsWritten) {
  Tables t;
  EXPECT_EQ(t.Load(WithField(String(kKnownRecord), 0, "9")), kAllLoaded);
  EXPECT_EQ(t.options[0], 9);
}

TEST(SaveRecord, AllZeroSettingsPassTheirChecksumAndAreRaisedToTheLimits) {
  Tables t;
  std::string text;
  for (int i = 0; i < 26; ++i) text += "0|";
  EXPECT_EQ(t.Load(String(text)),
            Messages({"Settings Loaded",
                      "State cut short: 26 of 56 fields (the rest keeps its defaults)"}));
  EXPECT_EQ(t.options[Option::Sound], 0);
  EXPECT_EQ(t.options[Option::StickX], 64);
  EXPECT_EQ(t.options[Option::StickY], 64);
  EXPECT_EQ(t.options[Option::StickSize], 10);
  EXPECT_EQ(t.options[Option::Overscan], 1);
}

TEST(SaveRecord, OverscanIsNeverRestoredAndStickLimitsAreKeptWhenHighEnough) {
  Tables saved = KnownProgress();
  saved.options[Option::StickX] = 200;
  saved.options[Option::StickSize] = 8;
  saved.options[Option::Overscan] = 40;
  Tables t;
  EXPECT_EQ(t.Load(saved.Save()), kAllLoaded);
  EXPECT_EQ(t.options[Option::StickX], 200);
  EXPECT_EQ(t.options[Option::StickSize], 8);
  EXPECT_EQ(t.options[Option::Overscan], 1);
}

TEST(SaveRecord, EmptyOrMissingStateKeepsDefaultsAppliesLimitsAndPrintsNothing) {
  Tables t = KnownProgress();
  t.options[Option::StickSize] = 3;
  EXPECT_TRUE(t.Load(String()).empty());
  EXPECT_EQ(t.options[Option::StickSize], 10);
  EXPECT_EQ(t.badges, KnownProgress().badges);
  EXPECT_EQ(t.highscores[11], 500);
}

TEST(SaveRecord, ShortRecordsSkipTheSectionsTheyCannotHoldAndSaySo) {
  const String record(kKnownRecord);
  {
    // Cut inside the badge masks.
    Tables t;
    t.badges[6] = 5;
    EXPECT_EQ(t.Load(FirstFields(record, 33)),
              Messages({"Settings Loaded",
                        "State cut short: 33 of 56 fields (the rest keeps its defaults)"}));
    EXPECT_EQ(t.badges[6], 5);
  }
  {
    // Cut inside the highscores.
    Tables t;
    t.highscores[3] = 9;
    EXPECT_EQ(t.Load(FirstFields(record, 54)),
              Messages({"Settings Loaded", "Badges Loaded",
                        "State cut short: 54 of 56 fields (the rest keeps its defaults)"}));
    EXPECT_EQ(t.highscores[3], 9);
  }
  {
    // Cut right after the last score: the missing checksum reads as an empty field, 0.
    Tables t;
    EXPECT_EQ(t.Load(FirstFields(record, 55)),
              Messages({"Settings Loaded", "Badges Loaded", "Highscore 0 Checksum Invalid",
                        "State cut short: 55 of 56 fields (the rest keeps its defaults)"}));
    EXPECT_EQ(t.highscores[0], 0);
  }
  {
    // Too short for settings: the position stays at the start, so the first nine fields are read
    // as badge masks and their checksum.
    Tables t;
    EXPECT_EQ(t.Load(String("1|0|0|0|0|0|0|2|3|")),
              Messages({"Badges Loaded",
                        "State cut short: 9 of 56 fields (the rest keeps its defaults)"}));
    EXPECT_EQ(t.badges, (BadgeMasks{1, 0, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(t.options[Option::Sound], 1);
  }
  {
    // Bytes that hold no record at all (no field separator): the defaults, and one line.
    Tables t = KnownProgress();
    EXPECT_EQ(t.Load(String::FromUtf8("\x89PNG\r\n\x1a\n random bytes")),
              Messages({"State refused: it is not a saved record (defaults used)"}));
    EXPECT_EQ(t.highscores[11], 500);
  }
}

TEST(SaveRecord, FieldsThatAreNotNumbersReadAsTheirLeadingNumberOrZero) {
  {
    std::string text;
    for (int i = 0; i < 56; ++i) text += "x|";
    Tables t = KnownProgress();
    EXPECT_EQ(t.Load(String(text)), kAllLoaded);
    EXPECT_EQ(t.options[Option::Sound], 0);
    EXPECT_EQ(t.options[Option::StickX], 64);
    EXPECT_EQ(t.badges, BadgeMasks{});
    EXPECT_EQ(t.highscores[0], 0);
  }
  {
    Tables t;
    EXPECT_EQ(t.Load(WithField(String(kKnownRecord), 35, " 500points")), kAllLoaded);
    EXPECT_EQ(t.highscores[0], 500);
  }
}

TEST(SaveRecord, NumbersTooLongForThirtyTwoBitsReadAsWrappedValuesAndFailTheirChecksum) {
  Tables t;
  // 99999999999 wraps to 1215752191.
  EXPECT_EQ(t.Load(WithField(String(kKnownRecord), 36, "99999999999")),
            Messages({"Settings Loaded", "Badges Loaded", "Highscore 0 Checksum Invalid"}));
  Tables u;
  EXPECT_EQ(u.Load(WithField(String(kKnownRecord), 25, "-999999999999999999999999999999")),
            Messages({"Settings Checksum Invalid", "Badges Loaded", "Highscore 0 Loaded"}));
}

// Only the fields the record can use are kept while reading: a record followed by the largest
// state text the store loads (64 KiB of extra fields) reads exactly as the record alone.
TEST(SaveRecord, FieldsBeyondTheRecordAreIgnoredHoweverMany) {
  std::u16string text = String(kKnownRecord).Units();
  while (text.size() < 64 * 1024) text += u"7|";
  Tables t;
  EXPECT_EQ(t.Load(String(std::move(text))), kAllLoaded);
  EXPECT_EQ(t.Save(), String(kKnownRecord));
}

TEST(RightAlignedNumber, PadsToTheWidthOrKeepsTheLastDigits) {
  EXPECT_EQ(RightAlignedNumber(42, 8, String("0")), String("00000042"));
  EXPECT_EQ(RightAlignedNumber(123456789, 8, String("0")), String("23456789"));
  EXPECT_EQ(RightAlignedNumber(0, 11, String(" ")), String("          0"));
  EXPECT_EQ(RightAlignedNumber(7, 3, String("ab")), String("ab7"));
  EXPECT_EQ(RightAlignedNumber(42, 8, String()), String("42"));
  EXPECT_EQ(RightAlignedNumber(42, 0, String("0")), String());
}

}  // namespace
