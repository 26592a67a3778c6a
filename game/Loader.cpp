// The loader: picks the image resolution from the window size, loads the images, the font and the
// sound effects one step per update while the loading screen animates, and plays sound effects on
// a rotation of 24 audio channels.
//
// Images exist as name.png, name-hd.png (twice the design size) and name-hd2.png (four times);
// every image is drawn at 1 / hdLevel, so each variant covers the same virtual size.
#include "audio/Sound.h"
#include "game/MyApp.h"
#include "graphics/Graphics.h"

namespace {

// What one loader step loads: an image and/or a sound (slot -1: none).
struct LoadStep {
  int imageSlot;
  const char* name;
  int width;
  int height;
  int frames;
  int soundSlot;
};

// Steps 1-21; step 6 is the font, step 22 ends the loading.
constexpr LoadStep kSteps[] = {
    {97, "common/icons", 32, 32, 16, 96},
    {95, "common/Buttons", 64, 64, 16, -1},
    {94, "common/dpad", 32, 32, 16, -1},
    {93, "common/QELDLogo", 256, 256, 1, -1},
    {91, "common/Testcard_Circle", 256, 256, 1, -1},
    {90, "fonts/editundo", 7, 10, 128, -1},
    {-1, nullptr, 0, 0, 0, 1},
    {-1, nullptr, 0, 0, 0, 95},
    {-1, nullptr, 0, 0, 0, 98},
    {-1, nullptr, 0, 0, 0, 99},
    {99, "menu", 256, 256, 4, -1},
    {98, "logo", 256, 128, 1, -1},
    {96, "parts", 8, 8, 256, -1},
    {80, "BadgesA", 64, 64, 64, -1},
    {1, "world001", 32, 32, 40, -1},
    {-1, nullptr, 0, 0, 0, 5},
    {-1, nullptr, 0, 0, 0, 6},
    {-1, nullptr, 0, 0, 0, 2},
    {-1, nullptr, 0, 0, 0, 3},
    {-1, nullptr, 0, 0, 0, 4},
    {-1, nullptr, 0, 0, 0, 10},
};
constexpr int kFontStep = 6;
constexpr int kLogoStep = 4;
constexpr int kStepCount = static_cast<int>(sizeof(kSteps) / sizeof(kSteps[0]));

constexpr int kFlagHandleCentred = 1;

String LevelSuffix(int hdLevel) {
  if (hdLevel == 4) return String("-hd2");
  if (hdLevel == 2) return String("-hd");
  return String();
}

// "sfx/" + the slot in at least three digits + ".wav".
String SoundFileName(int slot) {
  String digits = String::FromInt(slot);
  if (slot >= 0 && slot < 10)
    digits = String("00") + digits;
  else if (slot >= 10 && slot < 100)
    digits = String("0") + digits;
  return String("sfx/") + digits + String(".wav");
}

// Loads the image or font of loader step `number` (1-based), if it has one.
void LoadStepImage(c_MyApp& app, int number) {
  const LoadStep& step = kSteps[number - 1];
  if (number == kFontStep) {
    app.p_LoadFont(step.imageSlot, String(step.name), step.width, step.height);
  } else if (step.imageSlot >= 0) {
    app.p_LoadImg(step.imageSlot, String(step.name), step.width, step.height, step.frames,
                  kFlagHandleCentred);
  }
}

}  // namespace

void c_MyApp::ChooseLevel() {
  const int w = xq_graphics_DeviceWidth();
  const int h = xq_graphics_DeviceHeight();
  if (w <= 630 && h <= 630) {
    hdLevel = 1;
  } else if (w < 1231 && h < 1231) {
    hdLevel = 2;
  } else {
    hdLevel = 4;
  }
  imageScale = 1.0f / static_cast<float>(hdLevel);
}

// Loads what the loading screen needs at once (the logo and the font) and starts the loader.
int c_MyApp::p_Reload() {
  clearRed = 0;
  clearGreen = 0;
  clearBlue = 0;
  clearAlpha = 1;
  ChooseLevel();
  LoadStepImage(*this, kLogoStep);
  LoadStepImage(*this, kFontStep);
  loading = 1;
  return 0;
}

int c_MyApp::p_Loader() {
  ChooseLevel();
  if (loading >= 1 && loading <= kStepCount) {
    LoadStepImage(*this, loading);
    const int soundSlot = kSteps[loading - 1].soundSlot;
    if (soundSlot >= 0) p_LoadSFX(soundSlot);
    if (loading == kLogoStep && introSoundPlayed == 0) {
      p_PlaySFX(96, 1);
      introSoundPlayed = 1;
    }
    ++loading;
  } else {
    loading = 0;
  }
  p_WaitStart(1);
  return 0;
}

int c_MyApp::p_LoadImg(int slot, const String& name, int width, int height, int frames, int flags) {
  if (slot < 0 || slot >= images.Length()) return 0;
  const String path = name + LevelSuffix(hdLevel) + String(".png");
  images[slot] = nullptr;
  images[slot] = xq_graphics_LoadImage2(path, width * hdLevel, height * hdLevel, frames, flags);
  imageInfo[slot * 3] = width * hdLevel;
  imageInfo[slot * 3 + 1] = height * hdLevel;
  imageInfo[slot * 3 + 2] = frames;
  return 0;
}

// 128 glyph cells of 16 x 16 design pixels for the character codes 32-159; advance and height are
// in virtual units.
int c_MyApp::p_LoadFont(int slot, const String& name, int advance, int height) {
  if (slot < 0 || slot >= images.Length()) return 0;
  const String path = name + LevelSuffix(hdLevel) + String(".png");
  images[slot] = nullptr;
  images[slot] = xq_graphics_LoadImage2(path, 16 * hdLevel, 16 * hdLevel, 128, kFlagHandleCentred);
  imageInfo[slot * 3] = advance;
  imageInfo[slot * 3 + 1] = height;
  imageInfo[slot * 3 + 2] = 128;
  fontSlot = slot;
  return 0;
}

int c_MyApp::p_LoadSFX(int slot) {
  if (slot < 0 || slot >= sounds.Length()) return 0;
  sounds[slot] = xq_audio_LoadSound(SoundFileName(slot));
  return 0;
}

// Effects rotate over channels 0-23, so a new one never cuts off any of the 23 started before it;
// channels from 24 up stay free for other use.
int c_MyApp::p_PlaySFX(int slot, float rate, float volume, float pan) {
  if (options[5] != 1 && options[5] != 2) return 0;
  sfxSlot = (sfxSlot + 1) % 24;
  if (sfxSlot < 0 || sfxSlot > 31) sfxSlot = 0;
  const int channel = sfxChannels[sfxSlot];
  xq_audio_StopChannel(channel);
  const std::shared_ptr<c_Sound>& sound = sounds[slot];
  if (sound != nullptr) xq_audio_PlaySound(sound, channel, 0);
  xq_audio_SetChannelRate(channel, rate);
  xq_audio_SetChannelVolume(channel, volume);
  xq_audio_SetChannelPan(channel, pan);
  return 0;
}

int c_MyApp::p_PlaySFX(int slot, float volume) {
  return p_PlaySFX(slot, 1, volume, 0);
}
