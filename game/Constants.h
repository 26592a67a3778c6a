// The game's numbers by name: screens, actions and pad entries, key codes, sound and image slots,
// and the settings entries. The game, the asset generator and the tests all use these names, so a
// number means the same thing wherever it is read.
//
// Each group is a plain enum inside a namespace: `Action::Confirm` reads as a name and is still the
// int the game's fields and saved files hold.
//
//   if (app.gameMode == Mode::Play && app.p_PlayKeyAll(Action::Back, 1) != 0) ...
//   app.p_PlaySFX(Sound::Click, 1.0f);
#pragma once

// Screens: the values of c_MyApp::gameMode.
namespace Mode {
enum : int {
  None = 0,
  Menu = 1,
  // One update: records the finished game, then the menu.
  ReturnToMenu = 2,
  Play = 10,
  // One update: builds a new world, then play.
  NewGame = 11,
};
}  // namespace Mode

// Actions the controls read (c_MyApp::p_PlayKey). Up to Button6 they are also the virtual pad's
// entries for the same action.
namespace Action {
enum : int {
  Up = 0,
  Left = 3,
  Right = 5,
  Down = 8,
  // Button 1: choose, confirm.
  Confirm = 10,
  Button2 = 11,
  Button3 = 12,
  Button4 = 13,
  Button5 = 14,
  // Button 6: also opens the credits in the menu.
  Button6 = 15,
  // Back and pause.
  Back = 99,
};
}  // namespace Action

// Entries of c_MyApp::padState that are not an action's own: the arcade cabinet's two back buttons
// and the back key of the update.
namespace Pad {
enum : int {
  ArcadeBack1 = 16,
  ArcadeBack2 = 17,
  BackKey = 19,
  // Entries cleared together (pulses, releasing the arcade mapping): 0..LastButton.
  LastButton = 18,
  Entries = 20,
};
}  // namespace Pad

// Key codes the game reads (virtual-key numbers, as the host delivers them).
namespace Key {
enum : int {
  Backspace = 8,
  Enter = 13,
  Shift = 16,
  Control = 17,
  Escape = 27,
  Space = 32,
  Left = 37,
  Up = 38,
  Right = 39,
  Down = 40,
  Delete = 46,
  A = 65,
  B = 66,
  C = 67,
  D = 68,
  I = 73,
  J = 74,
  K = 75,
  L = 76,
  N = 78,
  O = 79,
  S = 83,
  U = 85,
  V = 86,
  W = 87,
  X = 88,
  Z = 90,
  F1 = 112,
  F2 = 113,
  F4 = 115,
  F11 = 122,
  Backquote = 192,
  // First joystick button; port p's button b is JoystickButtons + 32 p + b. (The back and close
  // keys are the host's kKeyBack and kKeyClose.)
  JoystickButtons = 256,
};
}  // namespace Key

// Sound-effect slots (c_MyApp::sounds; file "sfx/NNN.wav").
namespace Sound {
enum : int {
  Cancel = 1,
  FirstSpike = 2,
  Bounce = 3,
  NextSpike = 4,
  DeathHit = 5,
  DeathFall = 6,
  ChainEnd = 10,
  Slide = 95,
  // The intro jingle, also played on the way back to the menu.
  Jingle = 96,
  Confirm = 98,
  Click = 99,
};
}  // namespace Sound

// Image slots (c_MyApp::images).
namespace Image {
enum : int {
  // Player (frame 0) and spikes (frames 10-19).
  World = 1,
  Badges = 80,
  Font = 90,
  Testcard = 91,
  // The logo of the loading screen and the menu's credits button.
  Logo = 93,
  Dpad = 94,
  Buttons = 95,
  // Stars and particles.
  Parts = 96,
  Icons = 97,
  Title = 98,
  Menu = 99,
};
}  // namespace Image

// Frames of the multi-frame images that the screens draw by number.
namespace Frame {
enum : int {
  // Image::Icons.
  IconPause = 0,
  IconQuit = 1,
  IconPlay = 3,
  IconMark = 6,
  // Image::Buttons: the play item, the options gear's two cogs and hub, the gear disc.
  ButtonPlay = 0,
  GearOuter = 8,
  GearInner = 9,
  GearHub = 10,
  ButtonGear = 12,
  // Image::World: the ball; spike height h is SpikeFirst + h.
  Ball = 0,
  SpikeFirst = 10,
};
}  // namespace Frame

// A joystick's raw button numbers the controls read (port p's button b is key code
// Key::JoystickButtons + 32 p + b). Buttons 0-5 are Action::Confirm to Action::Button6.
namespace JoyButton {
enum : int { Back1 = 6, Back2 = 7, Left = 8, Up = 9, Right = 10, Down = 11, Back3 = 14 };
}  // namespace JoyButton

// Entries of c_MyApp::options, the saved settings.
namespace Option {
enum : int {
  // 0 off, 1 effects + music, 2 effects, 3 music (see SoundSetting).
  Sound = 5,
  // On-screen stick position and size (no screen of this game shows the stick).
  StickX = 10,
  StickY = 11,
  StickSize = 12,
  // Overscan margin; always 1 after loading.
  Overscan = 14,
  Count = 25,
};
}  // namespace Option

// Values of options[Option::Sound].
namespace SoundSetting {
enum : int { Off = 0, EffectsAndMusic = 1, Effects = 2, Music = 3, Count = 4 };
}  // namespace SoundSetting

// Play records of c_MyApp: the player's entries in `players`, the two halves of `spikes` (heights
// of columns 0-100, then their serial numbers), and the kinds of `particles` records.
namespace Player {
enum : int { X = 1, Y = 2, Phase = 3, Death = 10 };
}  // namespace Player
namespace Spikes {
enum : int { LastColumn = 100, Serials = 200 };
}  // namespace Spikes
namespace Particle {
// Each record is 10 floats; its first is the kind (a float, so these are plain constants).
inline constexpr int Floats = 10;
inline constexpr int Free = 0;
inline constexpr int Falling = 2;
inline constexpr int Number = 99;
}  // namespace Particle
