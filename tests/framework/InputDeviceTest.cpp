// The input device: key-down state, per-update hits and characters, the mouse / touch pointer,
// joystick polling and the input module's queries, driven with events as the delegate sends them.
#include "framework/InputDevice.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <vector>

#include "host/GameDelegate.h"

namespace {

// One joystick port's reading as the host would report it.
struct Reading {
  std::vector<float> x, y, z;
  std::vector<int> pressed;  // button numbers held
};

// A host whose joysticks are whatever the test says; it records which ports were asked for.
class JoystickHost : public XQGame {
 public:
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override {
    polled.push_back(port);
    auto found = ports.find(port);
    if (found == ports.end()) return false;
    const Reading& r = found->second;
    for (int i = 0; i < 2; ++i) {
      joyx[i] = i < static_cast<int>(r.x.size()) ? r.x[i] : 0;
      joyy[i] = i < static_cast<int>(r.y.size()) ? r.y[i] : 0;
      joyz[i] = i < static_cast<int>(r.z.size()) ? r.z[i] : 0;
    }
    buttons.Fill(false);
    auto out = buttons.begin();
    for (int b : r.pressed) out[b] = true;
    return true;
  }

  std::map<int, Reading> ports;
  std::vector<int> polled;
};

class InputDeviceTest : public ::testing::Test {
 protected:
  void Key(int event, int code) { input.p_KeyEvent(event, code); }
  void Down(int code) { Key(kEventKeyDown, code); }
  void Up(int code) { Key(kEventKeyUp, code); }
  void Char(int chr) { Key(kEventKeyChar, chr); }

  JoystickHost host;
  c_InputDevice input{&host};
};

TEST_F(InputDeviceTest, APressAndReleaseBetweenUpdatesCountsOneHitButNoHold) {
  Down('Z');
  Up('Z');
  input.p_BeginUpdate();
  EXPECT_EQ(input.p_KeyHit('Z'), 1);
  EXPECT_FALSE(input.p_KeyDown('Z'));
  input.p_EndUpdate();
  EXPECT_EQ(input.p_KeyHit('Z'), 0);
}

TEST_F(InputDeviceTest, AHeldKeyCountsOneHitThroughAutoRepeatAndStaysDownAcrossUpdates) {
  Down(38);
  Down(38);
  Down(38);
  EXPECT_EQ(input.p_KeyHit(38), 1);
  input.p_EndUpdate();
  Down(38);
  EXPECT_TRUE(input.p_KeyDown(38));
  EXPECT_EQ(input.p_KeyHit(38), 0);
  Up(38);
  Up(38);  // a second release changes nothing
  EXPECT_FALSE(input.p_KeyDown(38));
  Down(38);
  EXPECT_EQ(input.p_KeyHit(38), 1);
}

TEST_F(InputDeviceTest, OnlyThirtyThreeHitsCountInOneUpdate) {
  for (int i = 0; i < 33; ++i) {
    Down(40 + i);
  }
  Down(100);  // the 34th
  EXPECT_EQ(input.p_KeyHit(72), 1);
  EXPECT_EQ(input.p_KeyHit(100), 0);
  EXPECT_TRUE(input.p_KeyDown(100));  // held all the same
  input.p_EndUpdate();
  for (int code = 0; code < c_InputDevice::kKeyCount; ++code) EXPECT_EQ(input.p_KeyHit(code), 0);
  Up(41);
  Down(41);
  EXPECT_EQ(input.p_KeyHit(41), 1);  // the next update counts again
}

TEST_F(InputDeviceTest, TypedCharactersAreReadOnceInOrderAndOnlyThirtyTwoPerUpdate) {
  for (int i = 0; i < 40; ++i) Char('a' + i);
  Char(65536 + 37);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(input.p_GetChar(), 'a' + i);
  EXPECT_EQ(input.p_GetChar(), 0);
  EXPECT_EQ(input.p_GetChar(), 0);
  input.p_EndUpdate();
  EXPECT_EQ(input.p_GetChar(), 0);

  // Unread characters do not survive the update either.
  Char(127);
  input.p_EndUpdate();
  Char(65536 + 37);
  EXPECT_EQ(input.p_GetChar(), 65536 + 37);
}

TEST_F(InputDeviceTest, TheLeftButtonAndTheFirstTouchAreOnePointer) {
  input.p_MouseEvent(kEventMouseDown, 0, 120, 80);
  EXPECT_TRUE(input.p_MouseDown(0));
  EXPECT_TRUE(input.p_TouchDown(0));
  EXPECT_EQ(input.p_MouseHit(0), 1);
  EXPECT_EQ(input.p_KeyHit(384), 1);
  EXPECT_EQ(input.p_TouchX(0), 120);
  EXPECT_EQ(input.p_TouchY(0), 80);
  EXPECT_EQ(input.p_MouseX(), 120);

  input.p_MouseEvent(kEventMouseUp, 0, 300, 300);  // a release does not move the pointer
  EXPECT_FALSE(input.p_TouchDown(0));
  EXPECT_EQ(input.p_MouseX(), 120);
  input.p_EndUpdate();

  input.p_TouchEvent(kEventTouchDown, 0, 10, 20);
  EXPECT_TRUE(input.p_MouseDown(0));
  EXPECT_EQ(input.p_MouseHit(0), 1);
  EXPECT_EQ(input.p_MouseX(), 10);
  EXPECT_EQ(input.p_MouseY(), 20);
  input.p_TouchEvent(kEventTouchUp, 0, 0, 0);
  EXPECT_FALSE(input.p_MouseDown(0));

  // Other buttons and touches keep to themselves; moves only move.
  input.p_MouseEvent(kEventMouseDown, 1, 5, 6);
  EXPECT_TRUE(input.p_KeyDown(2));
  EXPECT_FALSE(input.p_TouchDown(0));
  input.p_TouchEvent(kEventTouchDown, 3, 7, 8);
  EXPECT_TRUE(input.p_TouchDown(3));
  EXPECT_EQ(input.p_TouchX(3), 7);
  EXPECT_EQ(input.p_MouseX(), 5);
  input.p_TouchEvent(kEventTouchMove, 3, 9, 9);
  input.p_MouseEvent(kEventMouseMove, -1, 11, 12);
  EXPECT_EQ(input.p_TouchY(3), 9);
  EXPECT_EQ(input.p_TouchX(0), 11);
  EXPECT_EQ(input.p_MouseY(), 12);
  EXPECT_FALSE(input.p_MouseDown(0));
}

TEST_F(InputDeviceTest, CodesAndIndicesOutsideTheirRangesAreIgnoredAndReadAsNothing) {
  for (int code : {0, -1, 512, 100000, INT_MAX, INT_MIN}) {
    Down(code);
    Up(code);
  }
  for (int button : {-1, 511, 100000, INT_MAX, INT_MIN}) {
    input.p_MouseEvent(kEventMouseDown, button, 1, 1);
    input.p_MouseEvent(kEventMouseUp, button, 1, 1);
  }
  for (int touch : {-1, 32, 127, 100000, INT_MAX, INT_MIN}) {
    input.p_TouchEvent(kEventTouchDown, touch, 2, 2);
    input.p_TouchEvent(kEventTouchMove, touch, 2, 2);
    input.p_TouchEvent(kEventTouchUp, touch, 2, 2);
  }
  input.p_MouseEvent(kEventMouseDown, 511, 4, 4);  // would be code 512
  Key(99, 'A');
  input.p_MouseEvent(kEventKeyDown, 0, 1, 1);
  input.p_TouchEvent(kEventMouseDown, 0, 1, 1);
  for (int code = 0; code < c_InputDevice::kKeyCount; ++code) {
    EXPECT_FALSE(input.p_KeyDown(code)) << code;
    EXPECT_EQ(input.p_KeyHit(code), 0) << code;
  }
  EXPECT_EQ(input.p_MouseX(), 4);  // out-of-range buttons still move the pointer
  EXPECT_EQ(input.p_TouchX(1), 0);
  EXPECT_EQ(input.p_GetChar(), 0);

  Down(511);
  EXPECT_TRUE(input.p_KeyDown(511));
  EXPECT_TRUE(input.p_MouseDown(510));
  EXPECT_TRUE(input.p_TouchDown(127));
  for (int key : {0, 512, -1, INT_MAX, INT_MIN}) {
    EXPECT_FALSE(input.p_KeyDown(key));
    EXPECT_EQ(input.p_KeyHit(key), 0);
    EXPECT_FALSE(input.p_MouseDown(key));
    EXPECT_EQ(input.p_MouseHit(key), 0);
    EXPECT_FALSE(input.p_TouchDown(key));
    EXPECT_EQ(input.p_JoyX(key, 0), 0);
    EXPECT_EQ(input.p_JoyY(0, key), 0);
    EXPECT_FALSE(input.p_JoyDown(256, key));
    EXPECT_FALSE(input.p_JoyDown(key, 0));
    EXPECT_EQ(input.p_JoyHit(key, 0), 0);
  }
  EXPECT_FALSE(input.p_TouchDown(-384));  // would be code 0
  for (int touch : {-1, 32, INT_MAX, INT_MIN}) {
    EXPECT_EQ(input.p_TouchX(touch), 0);
    EXPECT_EQ(input.p_TouchY(touch), 0);
  }
}

TEST_F(InputDeviceTest, AccelerometerReadingsAreKept) {
  input.p_MotionEvent(kEventMotionAccel, 0, 0.5f, -1, 9.8f);
  input.p_MotionEvent(kEventKeyDown, 0, 7, 7, 7);
  EXPECT_EQ(input.p_AccelX(), 0.5f);
  EXPECT_EQ(input.p_AccelY(), -1);
  EXPECT_EQ(input.p_AccelZ(), 9.8f);
}

TEST_F(InputDeviceTest, JoystickButtonsBecomeKeysWithOneHitPerPress) {
  host.ports[0] = Reading{{0.25f, -1}, {0.5f, 1}, {0, 0.75f}, {0, 5}};
  host.ports[1] = Reading{{}, {}, {}, {31}};
  input.p_BeginUpdate();
  EXPECT_TRUE(input.p_KeyDown(256));
  EXPECT_TRUE(input.p_KeyDown(261));
  EXPECT_TRUE(input.p_KeyDown(256 + 32 + 31));
  EXPECT_EQ(input.p_KeyHit(261), 1);
  EXPECT_EQ(input.p_JoyX(0, 0), 0.25f);
  EXPECT_EQ(input.p_JoyX(1, 0), -1);
  EXPECT_EQ(input.p_JoyY(1, 0), 1);
  EXPECT_EQ(input.p_JoyZ(1, 0), 0.75f);
  EXPECT_TRUE(input.p_JoyState(0).p_Button(5));
  input.p_EndUpdate();

  input.p_BeginUpdate();  // still held: no new hit
  EXPECT_EQ(input.p_KeyHit(261), 0);
  EXPECT_TRUE(input.p_KeyDown(261));
  input.p_EndUpdate();

  host.ports[0].pressed = {0};
  input.p_BeginUpdate();
  EXPECT_FALSE(input.p_KeyDown(261));
  input.p_EndUpdate();
  host.ports[0].pressed = {0, 5};
  input.p_BeginUpdate();
  EXPECT_EQ(input.p_KeyHit(261), 1);
}

TEST_F(InputDeviceTest, JoystickPortsAfterTheFirstAbsentOneAreNotRead) {
  host.ports[1] = Reading{{0.5f}, {}, {}, {2}};
  input.p_BeginUpdate();
  EXPECT_EQ(host.polled, std::vector<int>{0});
  EXPECT_FALSE(input.p_KeyDown(256 + 32 + 2));
  EXPECT_EQ(input.p_JoyX(0, 1), 0);

  host.polled.clear();
  host.ports[0] = Reading{};
  input.p_BeginUpdate();
  EXPECT_EQ(host.polled, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(input.p_KeyDown(256 + 32 + 2));

  c_InputDevice hostless(nullptr);
  hostless.p_BeginUpdate();  // nothing to poll
  EXPECT_FALSE(hostless.p_KeyDown(256));
}

// The host leaves an absent port's last readings in place; the device must not keep acting on them.
TEST_F(InputDeviceTest, AnUnpluggedJoystickAndThePortsAfterItLetGoOfButtonsAndSticksOnce) {
  host.ports[0] = Reading{{0.5f, -1}, {1, 0.25f}, {0.75f, 1}, {3}};
  host.ports[1] = Reading{{-1}, {}, {}, {0, 31}};
  input.p_BeginUpdate();
  input.p_EndUpdate();
  ASSERT_TRUE(input.p_JoyDown(3, 0));
  ASSERT_TRUE(input.p_JoyDown(31, 1));

  host.ports.erase(0);
  host.polled.clear();
  input.p_BeginUpdate();
  EXPECT_EQ(host.polled, std::vector<int>{0});
  for (int port : {0, 1}) {
    for (int b = 0; b < 32; ++b) {
      EXPECT_FALSE(input.p_JoyDown(b, port)) << port << " " << b;
      EXPECT_FALSE(input.p_JoyState(port).p_Button(b));
    }
    for (int axis : {0, 1}) {
      EXPECT_EQ(input.p_JoyX(axis, port), 0);
      EXPECT_EQ(input.p_JoyY(axis, port), 0);
      EXPECT_EQ(input.p_JoyZ(axis, port), 0);
    }
  }
  EXPECT_EQ(input.p_KeyHit(256 + 3), 0);  // letting go is no press
  input.p_EndUpdate();

  // Plugged in again: held buttons are fresh presses.
  host.ports[0] = Reading{{0.5f}, {}, {}, {3}};
  input.p_BeginUpdate();
  EXPECT_TRUE(input.p_JoyDown(3, 0));
  EXPECT_EQ(input.p_JoyHit(3, 0), 1);
  EXPECT_EQ(input.p_JoyX(0, 0), 0.5f);
  EXPECT_TRUE(input.p_JoyDown(31, 1));
  EXPECT_EQ(input.p_JoyHit(31, 1), 1);
}

TEST_F(InputDeviceTest, JoyDownAndJoyHitFoldThePortIntoTheButtonCode) {
  EXPECT_EQ(c_InputDevice::JoyKeyCode(256 + 4, 0), 260);
  EXPECT_EQ(c_InputDevice::JoyKeyCode(256 + 4, 3), 256 + 96 + 4);
  EXPECT_EQ(c_InputDevice::JoyKeyCode(4, 2), 256 + 64 + 4);  // a bare button number works too
  EXPECT_EQ(c_InputDevice::JoyKeyCode(256 + 31, 3), 383);
  EXPECT_EQ(c_InputDevice::JoyKeyCode(512, 0), -1);
  EXPECT_EQ(c_InputDevice::JoyKeyCode(256, 4), -1);  // not touch 0

  for (int port = 0; port < 4; ++port) host.ports[port] = Reading{{}, {}, {}, {port + 1}};
  input.p_BeginUpdate();
  for (int port = 0; port < 4; ++port) {
    EXPECT_TRUE(input.p_JoyDown(256 + port + 1, port));
    EXPECT_EQ(input.p_JoyHit(256 + port + 1, port), 1);
    EXPECT_FALSE(input.p_JoyDown(256 + port + 2, port));
  }
  EXPECT_FALSE(input.p_JoyDown(256 + 1, 1));
}

TEST(InputModule, QueriesReadTheCurrentDeviceAndNothingWithoutOne) {
  xq_input_SetInputDevice(nullptr);
  EXPECT_FALSE(xq_input_KeyDown(32));
  EXPECT_EQ(xq_input_KeyHit(32), 0);
  EXPECT_EQ(xq_input_GetChar(), 0);
  EXPECT_EQ(xq_input_MouseX(), 0);
  EXPECT_FALSE(xq_input_JoyDown(256, 0));

  auto input = c_InputDevice::m_new(nullptr);
  xq_input_SetInputDevice(input);
  input->p_KeyEvent(kEventKeyDown, 32);
  input->p_KeyEvent(kEventKeyChar, 'q');
  input->p_MouseEvent(kEventMouseDown, 2, 33, 44);
  EXPECT_TRUE(xq_input_KeyDown(32));
  EXPECT_EQ(xq_input_KeyHit(32), 1);
  EXPECT_EQ(xq_input_GetChar(), 'q');
  EXPECT_EQ(xq_input_GetChar(), 0);
  EXPECT_TRUE(xq_input_MouseDown(2));
  EXPECT_EQ(xq_input_MouseHit(2), 1);
  EXPECT_EQ(xq_input_MouseX(), 33);
  EXPECT_EQ(xq_input_MouseY(), 44);
  EXPECT_EQ(xq_input_TouchX(0), 33);
  xq_input_SetInputDevice(nullptr);
}

TEST(InputModule, KeyboardSwitchIsPassedToTheHost) {
  JoystickHost host;
  EXPECT_TRUE(xq_input_EnableKeyboard());
  EXPECT_TRUE(host.KeyboardEnabled());
  EXPECT_TRUE(xq_input_DisableKeyboard());
  EXPECT_FALSE(host.KeyboardEnabled());
}

}  // namespace
