// The game's controls: actions read over keys, joystick buttons, sticks and the virtual pad, the
// arcade-cabinet characters that hold and release pad entries, and the full-screen switch.
#include <memory>

#include "framework/InputDevice.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "host/Game.h"

float c_MyApp::p_StickX(int axis, int port) {
  if (port < 0) return 0;
  return xq_input_JoyX(axis, port);
}

float c_MyApp::p_StickY(int axis, int port) {
  if (port < 0) return 0;
  // The first stick reads positive downwards, like the screen.
  return axis == 0 ? -xq_input_JoyY(0, port) : xq_input_JoyY(axis, port);
}

// Keys first, then joystick buttons, then the stick, then the virtual pad. Port -1 reads keys and
// the pad only. Joystick buttons and sticks are read for ports 0-3 only: a higher port's button
// codes would fall on the touch codes.
int c_MyApp::p_PlayKey(int action, int allowStick, int port) {
  if (port < -1) return 0;
  const bool arcade = xq_Drommel_iCadeControls == 1;
  const bool joystick = port >= 0 && port <= 3;
  const bool stick = joystick && allowStick == 1 && !arcade;
  auto key = [](int code) { return xq_input_KeyDown(code); };
  auto button = [&](int b) {
    return joystick && xq_input_KeyDown(Key::JoystickButtons + 32 * port + b);
  };
  // The game's buttons 1-6 (Action::Confirm to Button6) are the joystick's buttons 0-5.
  auto buttonOf = [&](int action) { return button(action - Action::Confirm); };
  auto pad = [&](int entry) { return padState[entry] != 0 ? 1 : 0; };

  switch (action) {
    case Action::Up:
      if (key(Key::Up) || (!arcade && key(Key::W)) || button(JoyButton::Up)) return 1;
      if (stick && p_StickY(0, port) < -0.4f) return 1;
      return pad(Action::Up);
    case Action::Left:
      if (key(Key::Left) || (!arcade && key(Key::A)) || button(JoyButton::Left)) return 1;
      if (stick && p_StickX(0, port) < -0.4f) return 1;
      return pad(Action::Left);
    case Action::Right:
      if (key(Key::Right) || (!arcade && key(Key::D)) || button(JoyButton::Right)) return 1;
      if (stick && p_StickX(0, port) > 0.4f) return 1;
      return pad(Action::Right);
    case Action::Down:
      if (key(Key::Down) || (!arcade && key(Key::S)) || button(JoyButton::Down)) return 1;
      if (stick && p_StickY(0, port) > 0.4f) return 1;
      return pad(Action::Down);
    case Action::Confirm:
      if (key(Key::Space) || key(Key::Enter) || (!arcade && (key(Key::Z) || key(Key::J))) ||
          buttonOf(Action::Confirm))
        return 1;
      return pad(Action::Confirm);
    case Action::Button2:
      if (key(Key::Control) || (!arcade && (key(Key::X) || key(Key::K))) ||
          buttonOf(Action::Button2))
        return 1;
      return pad(Action::Button2);
    case Action::Button3:
      if (key(Key::Shift) || (!arcade && (key(Key::C) || key(Key::L))) || buttonOf(Action::Button3))
        return 1;
      return pad(Action::Button3);
    case Action::Button4:
    case Action::Button5:
    case Action::Button6: {
      static constexpr int kLetters[3][2] = {{Key::V, Key::I}, {Key::B, Key::U}, {Key::N, Key::O}};
      const int* letters = kLetters[action - Action::Button4];
      if (!arcade && (key(letters[0]) || key(letters[1]))) return 1;
      if (buttonOf(action)) return 1;
      // With the arcade mapping on and no joystick, the cabinet's own pad value (2 = held) reads
      // through.
      if (arcade && port == -1) return padState[action];
      return pad(action);
    }
    case Action::Back:
      if (key(Key::Escape) || key(Key::Delete) || key(Key::Backspace) ||
          (!arcade && key(Key::Backquote)))
        return 1;
      if (button(JoyButton::Back1) || button(JoyButton::Back2) || button(JoyButton::Back3))
        return 1;
      return pad(Pad::ArcadeBack1) || pad(Pad::ArcadeBack2) || pad(Pad::BackKey) ? 1 : 0;
    default:
      return 0;
  }
}

int c_MyApp::p_PlayKeyAll(int action, int allowStick) {
  int sum = 0;
  for (int port = 0; port < 4; ++port) sum += p_PlayKey(action, allowStick, port);
  return sum;
}

void c_MyApp::ApplyArcadeChar(int chr) {
  // Press and release letters of each pad entry.
  struct Mapping {
    char press;
    char release;
    int entry;
  };
  static constexpr Mapping kMap[] = {
      {'W', 'E', Action::Up},      {'X', 'Z', Action::Down},     {'A', 'Q', Action::Left},
      {'D', 'C', Action::Right},   {'Y', 'T', Action::Button4},  {'U', 'F', Action::Button5},
      {'I', 'M', Action::Button6}, {'O', 'G', Pad::ArcadeBack1}, {'H', 'R', Action::Confirm},
      {'J', 'N', Action::Button2}, {'K', 'P', Action::Button3},  {'L', 'V', Pad::ArcadeBack2},
  };
  const int upper = chr >= 'a' && chr <= 'z' ? chr - 'a' + 'A' : chr;
  for (const Mapping& m : kMap) {
    if (upper == m.press) padState[m.entry] = 2;
    if (upper == m.release) padState[m.entry] = 0;
  }
}

int c_MyApp::p_iCade(int on) {
  if (on == 1) {
    xq_input_EnableKeyboard();
    xq_Drommel_iCadeControls = 1;
    // Characters typed before the switch are not cabinet input.
    do {
      keysHeld = xq_input_GetChar();
    } while (keysHeld != 0);
  } else if (on == 0) {
    xq_input_DisableKeyboard();
    xq_Drommel_iCadeControls = 0;
    for (int i = 0; i <= Pad::LastButton; ++i) padState[i] = 0;
  }
  return 0;
}

// The new window size reaches the game at the next render, which reloads the assets for it. A
// switch the host cannot make leaves the game in the window it had, and the flag says so.
int c_MyApp::p_FullscreenFlip() {
  XQGame* host = XQGame::Host();
  fullScreen = 1 - fullScreen;
  if (host == nullptr) return 0;
  if (!host->SetFullScreen(fullScreen == 1)) fullScreen = 1 - fullScreen;
  return 0;
}
