// The GLFW 2 adapter's joysticks: raw joysticks with GLFW 2's axis directions, gamepads GLFW
// recognises in the one layout of Glfw2.h, and the joysticks tests feed in place of real ones.
#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "platform/glfw/Glfw2Adapter.h"

namespace glfw2 {
namespace {

constexpr int kJoysticks = GLFW_JOYSTICK_LAST + 1;

struct FakeJoystick {
  std::vector<float> axes;
  std::vector<unsigned char> buttons;
  // Set: GLFW recognises this one as a gamepad and reports this state.
  std::optional<testing::GamepadState> gamepad;
};

// Set once a test feeds joysticks: then these take the place of every real joystick.
std::optional<std::array<std::optional<FakeJoystick>, kJoysticks>> fakeJoysticks;

const FakeJoystick* Fake(int joy) {
  const auto& slot = (*fakeJoysticks)[static_cast<size_t>(joy)];
  return slot ? &*slot : nullptr;
}

bool JoystickInRange(int joy) {
  return joy >= 0 && joy < kJoysticks;
}

// ---- Gamepads

static_assert(testing::PAD_A == GLFW_GAMEPAD_BUTTON_A &&
              testing::PAD_GUIDE == GLFW_GAMEPAD_BUTTON_GUIDE &&
              testing::PAD_DPAD_LEFT == GLFW_GAMEPAD_BUTTON_DPAD_LEFT &&
              testing::PAD_DPAD_LEFT == GLFW_GAMEPAD_BUTTON_LAST);
static_assert(testing::PAD_LEFT_X == GLFW_GAMEPAD_AXIS_LEFT_X &&
              testing::PAD_RIGHT_Y == GLFW_GAMEPAD_AXIS_RIGHT_Y &&
              testing::PAD_RIGHT_TRIGGER == GLFW_GAMEPAD_AXIS_LAST);
static_assert(sizeof(testing::GamepadState) == sizeof(GLFWgamepadstate));

// Each button of the one layout (host/Input.h) and GLFW's gamepad button for it.
constexpr std::pair<XQPad::Button, int> kPadButtonFrom[] = {
    {XQPad::A, GLFW_GAMEPAD_BUTTON_A},
    {XQPad::B, GLFW_GAMEPAD_BUTTON_B},
    {XQPad::X, GLFW_GAMEPAD_BUTTON_X},
    {XQPad::Y, GLFW_GAMEPAD_BUTTON_Y},
    {XQPad::LeftBumper, GLFW_GAMEPAD_BUTTON_LEFT_BUMPER},
    {XQPad::RightBumper, GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER},
    {XQPad::Back, GLFW_GAMEPAD_BUTTON_BACK},
    {XQPad::Start, GLFW_GAMEPAD_BUTTON_START},
    {XQPad::DpadLeft, GLFW_GAMEPAD_BUTTON_DPAD_LEFT},
    {XQPad::DpadUp, GLFW_GAMEPAD_BUTTON_DPAD_UP},
    {XQPad::DpadRight, GLFW_GAMEPAD_BUTTON_DPAD_RIGHT},
    {XQPad::DpadDown, GLFW_GAMEPAD_BUTTON_DPAD_DOWN},
    {XQPad::LeftThumb, GLFW_GAMEPAD_BUTTON_LEFT_THUMB},
    {XQPad::RightThumb, GLFW_GAMEPAD_BUTTON_RIGHT_THUMB},
    {XQPad::Guide, GLFW_GAMEPAD_BUTTON_GUIDE},
};
static_assert(std::size(kPadButtonFrom) == XQPad::Buttons);

// One joystick's readings as the GLFW 2 calls hand them out. For a gamepad, `axes` and `buttons`
// point into `padAxes` and `padButtons`: a reading is filled in place and must not be copied.
struct JoystickReading {
  JoystickReading() = default;
  JoystickReading(const JoystickReading&) = delete;
  JoystickReading& operator=(const JoystickReading&) = delete;

  const float* axes = nullptr;
  int axisCount = 0;
  const unsigned char* buttons = nullptr;
  int buttonCount = 0;
  // Axes already in GLFW 2's directions (gamepads); raw axes still need their odd ones negated.
  bool directed = false;
  std::array<float, kPadAxes> padAxes{};
  std::array<unsigned char, kPadButtons> padButtons{};
};

// Lays a gamepad state out in the one layout: the stick axes positive up (GLFW 3 reports down as
// positive), the triggers from -1..1 to 0..1 so that a released trigger reads 0.
void LayOutGamepad(const GLFWgamepadstate& pad, JoystickReading& out) {
  for (const auto& [at, from] : kPadButtonFrom) {
    out.padButtons[at] = pad.buttons[from] == GLFW_PRESS ? PRESS : RELEASE;
  }
  auto trigger = [](float v) { return std::clamp((v + 1) / 2, 0.0f, 1.0f); };
  out.padAxes[XQPad::LeftX] = pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X];
  out.padAxes[XQPad::LeftY] = -pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y];
  out.padAxes[XQPad::LeftTrigger] = trigger(pad.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER]);
  out.padAxes[XQPad::RightX] = pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_X];
  out.padAxes[XQPad::RightY] = -pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y];
  out.padAxes[XQPad::RightTrigger] = trigger(pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER]);
  out.axes = out.padAxes.data();
  out.axisCount = kPadAxes;
  out.buttons = out.padButtons.data();
  out.buttonCount = kPadButtons;
  out.directed = true;
}

// Reads joystick `joy` now; false when it is absent. GLFW notices joysticks plugged in or out as it
// polls, so nothing about a joystick is kept between reads.
bool ReadJoystick(int joy, JoystickReading& out) {
  if (!JoystickInRange(joy)) return false;
  if (fakeJoysticks) {
    const FakeJoystick* fake = Fake(joy);
    if (!fake) return false;
    if (fake->gamepad) {
      GLFWgamepadstate pad;
      static_assert(sizeof(pad.buttons) == sizeof(fake->gamepad->buttons));
      std::copy(std::begin(fake->gamepad->buttons), std::end(fake->gamepad->buttons),
                std::begin(pad.buttons));
      std::copy(std::begin(fake->gamepad->axes), std::end(fake->gamepad->axes),
                std::begin(pad.axes));
      LayOutGamepad(pad, out);
    } else {
      out.axes = fake->axes.data();
      out.axisCount = static_cast<int>(fake->axes.size());
      out.buttons = fake->buttons.data();
      out.buttonCount = static_cast<int>(fake->buttons.size());
    }
    return true;
  }
  if (!glfwJoystickPresent(joy)) return false;
  GLFWgamepadstate pad;
  if (glfwJoystickIsGamepad(joy) && glfwGetGamepadState(joy, &pad)) {
    LayOutGamepad(pad, out);
    return true;
  }
  out.axes = glfwGetJoystickAxes(joy, &out.axisCount);
  out.buttons = glfwGetJoystickButtons(joy, &out.buttonCount);
  // Unplugged between the calls.
  if (!out.axes) out.axisCount = 0;
  if (!out.buttons) out.buttonCount = 0;
  return true;
}

}  // namespace

int GetJoystickParam(int joy, int param) {
  JoystickReading reading;
  const bool present = ReadJoystick(joy, reading);
  switch (param) {
    case PRESENT:
      return present ? 1 : 0;
    case AXES:
      return reading.axisCount;
    case BUTTONS:
      return reading.buttonCount;
    default:
      return 0;
  }
}

int GetJoystickPos(int joy, float* pos, int numAxes) {
  if (!pos || numAxes <= 0) return 0;
  std::fill(pos, pos + numAxes, 0.0f);
  JoystickReading reading;
  if (!ReadJoystick(joy, reading)) return 0;
  const int count = std::min(reading.axisCount, numAxes);
  for (int i = 0; i < count; ++i) {
    pos[i] = reading.directed ? reading.axes[i] : XQRawAxis(i, reading.axes[i]);
  }
  return count;
}

int GetJoystickButtons(int joy, unsigned char* buttons, int numButtons) {
  if (!buttons || numButtons <= 0) return 0;
  std::fill(buttons, buttons + numButtons, static_cast<unsigned char>(RELEASE));
  JoystickReading reading;
  if (!ReadJoystick(joy, reading)) return 0;
  const int count = std::min(reading.buttonCount, numButtons);
  for (int i = 0; i < count; ++i) buttons[i] = reading.buttons[i] == GLFW_PRESS ? PRESS : RELEASE;
  return count;
}

namespace testing {

void SetJoystick(int joy, std::vector<float> axes, std::vector<unsigned char> buttons) {
  if (!JoystickInRange(joy)) return;
  if (!fakeJoysticks) fakeJoysticks.emplace();
  (*fakeJoysticks)[static_cast<size_t>(joy)] =
      FakeJoystick{std::move(axes), std::move(buttons), std::nullopt};
}

void SetGamepad(int joy, const GamepadState& pad) {
  if (!JoystickInRange(joy)) return;
  if (!fakeJoysticks) fakeJoysticks.emplace();
  (*fakeJoysticks)[static_cast<size_t>(joy)] = FakeJoystick{{}, {}, pad};
}

void RemoveJoystick(int joy) {
  if (!JoystickInRange(joy)) return;
  if (!fakeJoysticks) fakeJoysticks.emplace();
  (*fakeJoysticks)[static_cast<size_t>(joy)].reset();
}

void RemoveAllJoysticks() {
  fakeJoysticks.reset();
}

}  // namespace testing

}  // namespace glfw2
