// The saved-progress record: settings, badges and highscores as "|"-terminated decimal fields with
// three wrapping checksums, and the right-aligned number text of the score displays.
#include "game/SaveRecord.h"

#include <algorithm>
#include <cstdint>

#include "game/Constants.h"

namespace {

// Checksums are defined as signed 32-bit sums that wrap; unsigned arithmetic gives the same bits
// without signed overflow.
uint32_t Bits(int value) {
  return static_cast<uint32_t>(value);
}
int Signed(uint32_t bits) {
  return static_cast<int>(bits);
}

void AppendField(std::u16string& out, int value) {
  out += String::FromInt(value).Units();
  out += u'|';
}

// The record's fields split at "|", read as integers. Only the first kSaveRecordFields + 1 are kept
// (a full record's trailing "|" gives one more, empty field); every test of the field count is
// decided by then, so a huge text costs one pass and no memory.
class Fields {
 public:
  explicit Fields(const String& text) {
    const std::u16string& units = text.Units();
    size_t start = 0;
    for (;;) {
      const size_t end = units.find(u'|', start);
      if (count_ < kKept) {
        // ToInt reads at most the first 63 units of a field.
        const size_t length = (end == std::u16string::npos ? units.size() : end) - start;
        values_[static_cast<size_t>(count_)] =
            String(units.substr(start, std::min<size_t>(length, 63))).ToInt();
      }
      count_ = std::min(count_ + 1, kKept);
      if (end == std::u16string::npos || count_ == kKept) break;
      start = end + 1;
    }
  }
  int Count() const { return count_; }
  // A missing field reads as 0.
  int Value(int index) const {
    return index >= 0 && index < count_ ? values_[static_cast<size_t>(index)] : 0;
  }

 private:
  static constexpr int kKept = kSaveRecordFields + 1;
  std::array<int, kKept> values_{};
  int count_ = 0;
};

void ApplySanityLimits(Array<int>& options) {
  if (options[Option::StickX] < 64) options[Option::StickX] = 64;
  if (options[Option::StickY] < 64) options[Option::StickY] = 64;
  if (options[Option::StickSize] < 8) options[Option::StickSize] = 10;
  // The overscan margin is not restored from the record: every run starts without one.
  options[Option::Overscan] = 1;
}

}  // namespace

int SettingsChecksum(const Array<int>& options) {
  uint32_t sum = 0;
  for (int i = 0; i < kSavedOptions; ++i) sum += Bits(i) * Bits(options[i]);
  return Signed(sum);
}

int BadgeChecksum(const BadgeMasks& masks) {
  uint32_t sum = 0;
  for (const int mask : masks) sum += Bits(mask);
  return Signed(sum);
}

int HighscoreChecksum(const Array<int>& highscores) {
  uint32_t sum = 0;
  for (int a = 0; a < 10; ++a) {
    sum += Bits(a + 4) * Bits(highscores[a]) + Bits(a + 3) * Bits(highscores[a + 10]);
  }
  return Signed(sum);
}

String BuildSaveRecord(const Array<int>& options, const BadgeMasks& badges,
                       const Array<int>& highscores) {
  std::u16string out;
  out.reserve(kSaveRecordFields * 6);
  for (int i = 0; i < kSavedOptions; ++i) AppendField(out, options[i]);
  AppendField(out, SettingsChecksum(options));
  for (const int mask : badges) AppendField(out, mask);
  AppendField(out, BadgeChecksum(badges));
  for (int a = 0; a < 10; ++a) {
    AppendField(out, highscores[a]);
    AppendField(out, highscores[a + 10]);
  }
  AppendField(out, HighscoreChecksum(highscores));
  return String(std::move(out));
}

std::vector<String> ApplySaveRecord(const String& text, Array<int>& options, BadgeMasks& badges,
                                    Array<int>& highscores) {
  std::vector<String> messages;
  const Fields fields(text);
  const int count = fields.Count();
  int position = 0;

  // Each section is read whole, then checked with the checksum that saving writes.
  if (count >= kSavedOptions + 1) {
    for (int i = 0; i < kSavedOptions; ++i) options[i] = fields.Value(i);
    position = kSavedOptions;
    const int stored = fields.Value(position);
    position += 1;
    if (SettingsChecksum(options) == stored) {
      messages.emplace_back("Settings Loaded");
    } else {
      messages.emplace_back("Settings Checksum Invalid");
      for (int i = 0; i < kSavedOptions; ++i) options[i] = 0;
      options[Option::Sound] = SoundSetting::EffectsAndMusic;
    }
  }

  ApplySanityLimits(options);

  if (position + kSavedBadgeMasks < count) {
    for (int m = 0; m < kSavedBadgeMasks; ++m) {
      badges[static_cast<size_t>(m)] = fields.Value(position + m);
    }
    position += kSavedBadgeMasks;
    const int stored = fields.Value(position);
    position += 1;
    if (BadgeChecksum(badges) == stored) {
      messages.emplace_back("Badges Loaded");
    } else {
      messages.emplace_back("Badge Checksum Invalid");
      badges.fill(0);
    }
  }

  if (position + kSavedHighscores < count) {
    for (int a = 0; a < 10; ++a) {
      highscores[a] = fields.Value(position + 2 * a);
      highscores[a + 10] = fields.Value(position + 2 * a + 1);
    }
    position += kSavedHighscores;
    const int stored = fields.Value(position);
    const String table = String("Highscore ") + String::FromInt(0);
    if (HighscoreChecksum(highscores) == stored) {
      messages.push_back(table + String(" Loaded"));
    } else {
      messages.push_back(table + String(" Checksum Invalid"));
      for (int a = 0; a < kSavedHighscores; ++a) highscores[a] = 0;
    }
  }

  // A record that is not whole is never silent: say what was kept from it.
  const bool closed = !text.Empty() && text.Units().back() == u'|';
  const int held = closed ? count - 1 : count;
  if (!text.Empty() && held < kSaveRecordFields) {
    if (held <= 1) {
      messages.emplace_back("State refused: it is not a saved record (defaults used)");
    } else {
      messages.push_back(String("State cut short: ") + String::FromInt(held) + String(" of ") +
                         String::FromInt(kSaveRecordFields) +
                         String(" fields (the rest keeps its defaults)"));
    }
  }
  return messages;
}

String RightAlignedNumber(int value, int width, const String& pad) {
  if (width <= 0) return String();
  std::u16string text;
  for (int i = 0; i < width; ++i) text += pad.Units();
  text += String::FromInt(value).Units();
  const size_t keep = static_cast<size_t>(width);
  return String(text.size() > keep ? text.substr(text.size() - keep) : text);
}
