// Fuzz entry point for loading saved progress: any bytes, decoded as the state store decodes its
// file, go through the record reader into fresh tables. The reader must never crash, must leave
// the settings within their limits, and whatever it accepted must save and load back unchanged.
//
// Built into the game's tests (which feed it mutated records); with clang it also builds as a
// libFuzzer target: cmake -DCMAKE_CXX_COMPILER=clang++ -DDROMMEL_FUZZ=ON, target fuzz_save_record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "game/Constants.h"
#include "game/SaveRecord.h"

namespace {

struct Tables {
  Array<int> options = Array<int>(25);
  BadgeMasks badges{};
  Array<int> highscores = Array<int>(50);
};

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const String text = String::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  Tables t;
  t.options[Option::Sound] = SoundSetting::EffectsAndMusic;
  const std::vector<String> messages = ApplySaveRecord(text, t.options, t.badges, t.highscores);
  // One per section, and one more for a text shorter than a whole record.
  Require(messages.size() <= 4);
  Require(t.options[Option::StickX] >= 64 && t.options[Option::StickY] >= 64 &&
          t.options[Option::StickSize] >= 8);
  Require(t.options[Option::Overscan] == 1);
  Require(t.options.Length() == 25 && t.highscores.Length() == 50);

  Tables again;
  const std::vector<String> reloaded =
      ApplySaveRecord(BuildSaveRecord(t.options, t.badges, t.highscores), again.options,
                      again.badges, again.highscores);
  Require(reloaded.size() == 3);
  for (int i = 0; i < 25; ++i) Require(again.options[i] == t.options[i]);
  Require(again.badges == t.badges);
  for (int i = 0; i < 20; ++i) Require(again.highscores[i] == t.highscores[i]);
  return 0;
}
