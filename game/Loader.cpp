// The loader: picks the image resolution from the window size, loads the images, the font and the
// sound effects of the asset list (AssetList.h) one step per update while the loading screen
// animates, and plays sound effects on a rotation of 24 audio channels.
//
// Where data files arrive over the network (the browser), a step whose files are not in yet waits
// for them, except a step the menu does not need: it is passed, and loaded once its files are in
// (LoadLaterSteps), at the latest before a game starts. On the desktop every file is in place, so
// every step loads in turn.
//
// Images exist as name.png, name-hd.png (twice the design size) and name-hd2.png (four times);
// every image is drawn at 1 / hdLevel, so each variant covers the same virtual size.
#include "audio/Sound.h"
#include "game/AssetList.h"
#include "game/MyApp.h"
#include "graphics/Graphics.h"
#include "host/Files.h"

namespace {

constexpr int kFontStep = ImageStep(Image::Font);
constexpr int kLogoStep = ImageStep(Image::Logo);

constexpr int kFlagHandleCentred = 1;

static_assert(kAssetStepCount <= 32, "c_MyApp::loadLater holds one bit per loader step");

int Urgency(AssetUse use) {
  return use == AssetUse::kMenu   ? kDataNow
         : use == AssetUse::kPlay ? kDataBeforePlay
                                  : kDataSometime;
}

// Whether the files of loader step `number` at the app's level are in place (each is asked for,
// so that every missing one is on its way).
bool StepReady(const c_MyApp& app, int number, int urgency) {
  const AssetStep& step = kAssetSteps[number - 1];
  bool ready = true;
  if (step.image.slot >= 0) {
    const String path = String(step.image.name) + String(LevelSuffix(app.hdLevel)) + String(".png");
    ready = xq_data_FileReady(xq_data_FixDataPath(path), urgency);
  }
  if (step.sound >= 0) {
    const String path = String(SoundFileName(step.sound, xq_data_SoundExtension()));
    ready = xq_data_FileReady(xq_data_FixDataPath(path), urgency) && ready;
  }
  return ready;
}

// Loads the image or font of loader step `number` (1-based), if it has one.
void LoadStepImage(c_MyApp& app, int number) {
  const ImageAsset& image = kAssetSteps[number - 1].image;
  if (image.slot == Image::Font) {
    app.p_LoadFont(image.slot, String(image.name), kFontAdvance, kFontLineHeight);
  } else if (image.slot >= 0) {
    app.p_LoadImg(image.slot, String(image.name), image.frameW, image.frameH, image.frames,
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
  if (StepReady(*this, kLogoStep, kDataNow)) LoadStepImage(*this, kLogoStep);
  if (StepReady(*this, kFontStep, kDataNow)) LoadStepImage(*this, kFontStep);
  loadLater = 0;
  loading = 1;
  return 0;
}

int c_MyApp::p_Loader() {
  ChooseLevel();
  if (loading >= 1 && loading <= kAssetStepCount) {
    const AssetUse use = kAssetSteps[loading - 1].use;
    const unsigned bit = 1u << (loading - 1);
    if (StepReady(*this, loading, Urgency(use))) {
      LoadStepImage(*this, loading);
      const int soundSlot = kAssetSteps[loading - 1].sound;
      if (soundSlot >= 0) p_LoadSFX(soundSlot);
      if (loading == kLogoStep && introSoundPlayed == 0) {
        p_PlaySFX(Sound::Jingle, 1);
        introSoundPlayed = 1;
      }
      loadLater &= ~bit;
      ++loading;
    } else if (use == AssetUse::kUnused || (use == AssetUse::kPlay && gameMode != Mode::Play)) {
      // Comes in behind the menu; a game in play waits for its images here instead.
      loadLater |= bit;
      ++loading;
    }
  } else {
    loading = 0;
    xq_data_LoaderFinished();
  }
  p_WaitStart(1);
  return 0;
}

bool c_MyApp::LoadLaterSteps(bool forPlay) {
  bool playLeft = false;
  bool loadedOne = false;
  for (int number = 1; number <= kAssetStepCount; ++number) {
    const unsigned bit = 1u << (number - 1);
    if ((loadLater & bit) == 0) continue;
    const AssetUse use = kAssetSteps[number - 1].use;
    const int urgency = forPlay && use == AssetUse::kPlay ? kDataNow : Urgency(use);
    if (!loadedOne && StepReady(*this, number, urgency)) {
      LoadStepImage(*this, number);
      const int soundSlot = kAssetSteps[number - 1].sound;
      if (soundSlot >= 0) p_LoadSFX(soundSlot);
      loadLater &= ~bit;
      loadedOne = true;
    } else if (use == AssetUse::kPlay) {
      playLeft = true;
    }
  }
  return !playLeft;
}

int c_MyApp::p_LoadImg(int slot, const String& name, int width, int height, int frames, int flags) {
  if (slot < 0 || slot >= images.Length()) return 0;
  const String path = name + String(LevelSuffix(hdLevel)) + String(".png");
  images[slot] = nullptr;
  images[slot] = xq_graphics_LoadImage2(path, width * hdLevel, height * hdLevel, frames, flags);
  SetImageInfo(slot, width * hdLevel, height * hdLevel, frames);
  return 0;
}

// 128 glyph cells of 16 x 16 design pixels for the character codes 32-159; advance and height are
// in virtual units.
int c_MyApp::p_LoadFont(int slot, const String& name, int advance, int height) {
  if (slot < 0 || slot >= images.Length()) return 0;
  const String path = name + String(LevelSuffix(hdLevel)) + String(".png");
  images[slot] = nullptr;
  images[slot] = xq_graphics_LoadImage2(path, kFontCell * hdLevel, kFontCell * hdLevel, kFontGlyphs,
                                        kFlagHandleCentred);
  SetImageInfo(slot, advance, height, kFontGlyphs);
  fontSlot = slot;
  return 0;
}

int c_MyApp::p_LoadSFX(int slot) {
  if (slot < 0 || slot >= sounds.Length()) return 0;
  sounds[slot] = xq_audio_LoadSound(String(SoundFileName(slot, xq_data_SoundExtension())));
  return 0;
}

// Effects rotate over channels 0-23, so a new one never cuts off any of the 23 started before it;
// channels from 24 up stay free for other use.
int c_MyApp::p_PlaySFX(int slot, float rate, float volume, float pan) {
  const int setting = options[Option::Sound];
  if (setting != SoundSetting::EffectsAndMusic && setting != SoundSetting::Effects) return 0;
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
