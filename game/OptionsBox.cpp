// The options box: the sound setting, the arcade-cabinet mapping, full screen and (from the menu)
// the credits, worked by keys and touches; it owns the input while it is shown and saves the
// settings as it closes.
#include <algorithm>

#include "audio/Sound.h"
#include "game/MenuParts.h"

using namespace menu;

namespace {

// Rows after the back item (index 0).
constexpr int kSoundRow = 1;
constexpr int kArcadeRow = 2;
constexpr int kScreenRow = 3;
constexpr int kCreditsRow = 4;

// The labels are made once: a row's text is drawn every update.
const String& SoundLabel(int setting) {
  static const String kEffectsAndMusic("Sound : SFX + Music"), kEffects("Sound : SFX"),
      kMusic("Sound : Music"), kOff("Sound : Off");
  switch (setting) {
    case SoundSetting::EffectsAndMusic:
      return kEffectsAndMusic;
    case SoundSetting::Effects:
      return kEffects;
    case SoundSetting::Music:
      return kMusic;
    default:
      return kOff;
  }
}

}  // namespace

int c_MyApp::p_OptionBox() {
  const float w = ScreenW();
  const bool withCredits = paused == 0;
  const int lastRow = withCredits ? kCreditsRow : kScreenRow;

  // The box owns the input while it is shown; its own latches hold while it slides.
  if (!AnyHeld(*this, {Action::Up, Action::Left, Action::Right, Action::Down, Action::Confirm,
                       Action::Button2, Action::Button3, Action::Button4, Action::Button5,
                       Action::Button6, Action::Back}))
    optionsKeyLatch = 0;
  if (mouseDown == 0) optionsTouchLatch = 0;
  if (optionsSlide != 30) {
    optionsKeyLatch = 1;
    optionsTouchLatch = 1;
  }
  holdLatch = 1;
  backLatch = 1;
  if (options[Option::Sound] < 0 || options[Option::Sound] >= SoundSetting::Count) {
    options[Option::Sound] = SoundSetting::Off;
  }
  optionsChoice = std::clamp(optionsChoice, 0, lastRow);

  const bool live = optionsOpen == 1;
  const bool touchReady = live && optionsTouchLatch == 0 && optionsKeyLatch == 0;
  const bool keyReady = live && optionsKeyLatch == 0;

  const float top = static_cast<float>(30 - optionsSlide) * 24;
  p_ResetDraw();
  p_SetCol(150, 75, 0, 0.85f);
  p_Rect(50, top, w - 100, ScreenH());

  // Back item: the gear and "<[BACK]".
  gearAngle += 0.2f;
  const float gearX = static_cast<float>(3 * optionsSlide - 90) * 4 + 100;
  const float gearScale = optionsChoice == 0 ? 2.0f : 1.5f;
  p_ResetDraw();
  DrawGear(*this, gearX, 60, gearScale);
  p_ResetDraw();
  p_SetSize(2);
  p_Text(gearX + 76, 60, "<[BACK]", 0, 1);
  const float gearSize = FrameSize(*this, Image::Buttons, gearScale);
  const bool gearTouched = p_MouseIn_Centered(gearX, 60, gearSize, gearSize) != 0;
  const bool backTouched = p_MouseIn_Centered(gearX + 124, 60, 120, 28) != 0 || gearTouched;

  int activate = -1;
  bool close = false;
  if (touchReady && backTouched) {
    close = true;
    optionsTouchLatch = 1;
  }

  // Rows, 40 units apart, closer on a screen too short for the last one's bottom (24 units
  // below its top, 10 more for the credits row) to stay inside.
  const float rowsTop = top + 130;
  const float spacing = std::clamp((ScreenH() - 2 - 34 - 130) / 3, 30.0f, 40.0f);
  for (int row = kSoundRow; row <= lastRow; ++row) {
    float y = rowsTop + spacing * static_cast<float>(row - 1);
    float textX = 100;
    float rectX = 84;
    float rectW = w - 168;
    static const String kArcadeOn("iCade : On"), kArcadeOff("iCade : Off");
    static const String kFullscreen("Fullscreen"), kWindowed("Windowed"), kCredits("Credits");
    const String* label;
    switch (row) {
      case kSoundRow:
        label = &SoundLabel(options[Option::Sound]);
        break;
      case kArcadeRow:
        label = xq_Drommel_iCadeControls == 1 ? &kArcadeOn : &kArcadeOff;
        break;
      case kScreenRow:
        label = fullScreen == 0 ? &kFullscreen : &kWindowed;
        break;
      default:
        label = &kCredits;
        y += 10;
        textX = w - 264;
        rectX = textX - 16;
        rectW = 180;
        break;
    }
    p_ResetDraw();
    if (row == optionsChoice) {
      p_SetCol(0, 180, 255, 0.5f);
    } else {
      p_SetCol(0, 0, 160, 0.5f);
    }
    const bool touched = p_Touch(rectX, y - 2, rectW, 24) != 0;
    // Labels shrink to stay inside their row on a narrow (portrait) screen.
    const float textRoom = rectX + rectW - 8 - textX;
    const float textWidth = 7.0f * static_cast<float>(label->Length());
    p_ResetDraw();
    p_SetSize(std::clamp(textRoom / textWidth, 1.0f, 2.0f));
    p_Text(textX, y, *label, 0, 0);
    if (touchReady && touched && !close && activate < 0) {
      optionsChoice = row;
      activate = row;
    }
  }

  // Keys.
  if (keyReady && activate < 0 && !close) {
    if (Held(*this, Action::Back) ||
        (optionsChoice == 0 &&
         AnyHeld(*this, {Action::Button6, Action::Confirm, Action::Button2}))) {
      close = true;
      optionsKeyLatch = 1;
    } else if (AnyHeld(*this, {Action::Up, Action::Left})) {
      optionsChoice = std::max(optionsChoice - 1, 0);
      optionsKeyLatch = 1;
      p_PlaySFX(Sound::Click, 1.0f);
    } else if (AnyHeld(*this, {Action::Down, Action::Right})) {
      optionsChoice = std::min(optionsChoice + 1, lastRow);
      optionsKeyLatch = 1;
      p_PlaySFX(Sound::Click, 1.0f);
    } else if (AnyHeld(*this, {Action::Confirm, Action::Button2, Action::Button3, Action::Button4,
                               Action::Button5, Action::Button6})) {
      optionsKeyLatch = 1;
      if (optionsChoice > 0 && optionsTouchLatch == 0) activate = optionsChoice;
    }
  }

  switch (activate) {
    case kSoundRow:
      options[Option::Sound] = (options[Option::Sound] + 1) % SoundSetting::Count;
      // A setting without music stops it.
      if (options[Option::Sound] == SoundSetting::Off ||
          options[Option::Sound] == SoundSetting::Effects) {
        xq_audio_StopMusic();
      }
      p_PlaySFX(Sound::Click, 1.0f);
      break;
    case kArcadeRow: {
      const int on = 1 - xq_Drommel_iCadeControls;
      p_iCade(on);
      for (int i = 0; i < Pad::Entries; ++i) padState[i] = 0;
      p_PlaySFX(Sound::Click, 1.0f);
      break;
    }
    case kScreenRow:
      p_PlaySFX(Sound::Click, 1.0f);
      p_FullscreenFlip();
      break;
    case kCreditsRow:
      creditsOpen = 1;
      close = true;
      break;
    default:
      break;
  }
  if (activate > 0) {
    optionsKeyLatch = 1;
    optionsTouchLatch = 1;
  }

  // Closing keeps what was changed: the settings are saved every time the box goes.
  if (close) {
    optionsOpen = 0;
    p_PlaySFX(Sound::Click, 1.0f);
    p_Save();
  }
  return 0;
}
