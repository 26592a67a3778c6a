// Input end to end: real key presses and mouse clicks (XTEST, through xdotool) on the host's real
// window, through the adapter, the host's callbacks and event wrappers, into an input device.
// Needs a display whose auto-repeat starts after 200 ms and repeats every 100 ms (the test script
// starts Xvfb that way); skipped without DISPLAY.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/InputDevice.h"
#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"
#include "tests/platform/glfw/InputEvent.h"
#include "tests/support/Display.h"
#include "tests/support/Process.h"

namespace {

// How long to wait for an event (the X server's own auto-repeat is the slowest thing waited for).
constexpr std::chrono::seconds kPatience{5};

// Records what the host delivers and feeds it to an input device, as the game's delegate does.
class DeviceDelegate : public XQGameDelegate {
 public:
  void KeyEvent(int event, int data) override {
    events.push_back({event, data, 0, 0});
    input.p_KeyEvent(event, data);
  }
  void MouseEvent(int event, int data, float x, float y) override {
    events.push_back({event, data, x, y});
    input.p_MouseEvent(event, data, x, y);
  }

  int Count(int event, int data) const {
    int n = 0;
    for (const Event& e : events) n += e.event == event && e.data == data;
    return n;
  }
  std::vector<Event> KeyEvents() const {
    std::vector<Event> keys;
    for (const Event& e : events) {
      if (e.event <= kEventKeyChar) keys.push_back(e);
    }
    return keys;
  }

  c_InputDevice input{nullptr};
  std::vector<Event> events;
};

bool Xdo(const std::string& args) {
  return RunTool("xdotool " + args + " >/dev/null 2>&1").Ok();
}

std::string XdoOutput(const std::string& args) {
  return ShellOutput("xdotool " + args + " 2>/dev/null");
}

class InputWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!std::getenv("DISPLAY")) return;
    if (!Xdo("version")) {
      skipReason = "xdotool does not run";
      return;
    }
    if (!InitGlfw()) {
      skipReason = "GLFW cannot start on this display";
      return;
    }
    host = std::make_unique<XQGlfwGame>();
    delegate = std::make_unique<DeviceDelegate>();
    host->SetDelegate(delegate.get());
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    host->StartGame();
  }

  static void TearDownTestSuite() {
    if (!host) return;
    glfw2::CloseWindow();
    host.reset();
    delegate.reset();
    glfw2::Terminate();
  }

  void SetUp() override {
    if (!host) GTEST_SKIP() << skipReason;
    ASSERT_TRUE(
        PollEventsUntil(kPatience, [] { return glfw2::GetWindowParam(glfw2::ACTIVE) == 1; }));
    NextUpdate();
  }

  // Ends the update the events so far belonged to.
  static void NextUpdate() {
    glfw2::PollEvents();
    delegate->input.p_EndUpdate();
    delegate->events.clear();
  }

  static DeviceDelegate& Delegate() { return *delegate; }
  static c_InputDevice& Input() { return delegate->input; }

  // Presses or releases a key and handles events until its KeyDown / KeyUp (code) arrives.
  static void KeyDownAndWait(const char* key, int code) {
    const int before = delegate->Count(kEventKeyDown, code);
    ASSERT_TRUE(Xdo(std::string("keydown ") + key));
    ASSERT_TRUE(PollEventsUntil(kPatience, [&] {
      return delegate->Count(kEventKeyDown, code) > before;
    })) << key;
  }
  static void KeyUpAndWait(const char* key, int code) {
    const int before = delegate->Count(kEventKeyUp, code);
    ASSERT_TRUE(Xdo(std::string("keyup ") + key));
    ASSERT_TRUE(PollEventsUntil(kPatience, [&] {
      return delegate->Count(kEventKeyUp, code) > before;
    })) << key;
  }

  static std::unique_ptr<XQGlfwGame> host;
  static std::unique_ptr<DeviceDelegate> delegate;
  static const char* skipReason;
};

std::unique_ptr<XQGlfwGame> InputWindow::host;
std::unique_ptr<DeviceDelegate> InputWindow::delegate;
const char* InputWindow::skipReason = "needs DISPLAY";

TEST_F(InputWindow, ALetterGivesItsKeyCodeAndItsTypedCharacter) {
  KeyDownAndWait("a", 'A');
  EXPECT_TRUE(Input().p_KeyDown('A'));
  KeyUpAndWait("a", 'A');
  EXPECT_EQ(Delegate().KeyEvents(),
            (std::vector<Event>{
                {kEventKeyDown, 'A', 0, 0}, {kEventKeyChar, 'a', 0, 0}, {kEventKeyUp, 'A', 0, 0}}));
  EXPECT_EQ(Input().p_KeyHit('A'), 1);
  EXPECT_FALSE(Input().p_KeyDown('A'));
  EXPECT_EQ(Input().p_GetChar(), 'a');
  EXPECT_EQ(Input().p_GetChar(), 0);
}

TEST_F(InputWindow, ArrowsDeleteAndBackspaceCarryTheirControlCharacters) {
  KeyDownAndWait("Left", 37);
  KeyUpAndWait("Left", 37);
  KeyDownAndWait("Delete", 46);
  KeyUpAndWait("Delete", 46);
  KeyDownAndWait("BackSpace", 8);
  KeyUpAndWait("BackSpace", 8);
  EXPECT_EQ(Delegate().KeyEvents(), (std::vector<Event>{{kEventKeyDown, 37, 0, 0},
                                                        {kEventKeyChar, 65536 + 37, 0, 0},
                                                        {kEventKeyUp, 37, 0, 0},
                                                        {kEventKeyDown, 46, 0, 0},
                                                        {kEventKeyChar, 127, 0, 0},
                                                        {kEventKeyUp, 46, 0, 0},
                                                        {kEventKeyDown, 8, 0, 0},
                                                        {kEventKeyChar, 8, 0, 0},
                                                        {kEventKeyUp, 8, 0, 0}}));
  EXPECT_EQ(Input().p_GetChar(), 65536 + 37);
  EXPECT_EQ(Input().p_GetChar(), 127);
  EXPECT_EQ(Input().p_GetChar(), 8);
}

TEST_F(InputWindow, BothShiftKeysAreKeySixteenAndReleasingEitherReleasesIt) {
  KeyDownAndWait("Shift_L", 16);
  KeyDownAndWait("Shift_R", 16);
  EXPECT_EQ(Input().p_KeyHit(16), 1);
  KeyUpAndWait("Shift_L", 16);
  EXPECT_FALSE(Input().p_KeyDown(16));  // though the right one is still held
  KeyUpAndWait("Shift_R", 16);
  EXPECT_EQ(Delegate().KeyEvents(), (std::vector<Event>{{kEventKeyDown, 16, 0, 0},
                                                        {kEventKeyDown, 16, 0, 0},
                                                        {kEventKeyUp, 16, 0, 0},
                                                        {kEventKeyUp, 16, 0, 0}}));
}

TEST_F(InputWindow, AltAndKeypadEnterProduceNothing) {
  for (const char* key : {"Alt_L", "Alt_R", "KP_Enter"}) {
    ASSERT_TRUE(Xdo(std::string("keydown ") + key));
    ASSERT_TRUE(Xdo(std::string("keyup ") + key));
  }
  // A key that does arrive marks the point by which the others would have.
  KeyDownAndWait("b", 'B');
  KeyUpAndWait("b", 'B');
  EXPECT_EQ(Delegate().KeyEvents(),
            (std::vector<Event>{
                {kEventKeyDown, 'B', 0, 0}, {kEventKeyChar, 'b', 0, 0}, {kEventKeyUp, 'B', 0, 0}}));
}

TEST_F(InputWindow, AHeldKeyRepeatsItsKeyDownButCountsOneHit) {
  KeyDownAndWait("x", 'X');
  const bool repeated =
      PollEventsUntil(kPatience, [] { return Delegate().Count(kEventKeyDown, 'X') >= 3; });
  KeyUpAndWait("x", 'X');
  ASSERT_TRUE(repeated) << "no auto-repeat: is the display's auto-repeat on?";
  EXPECT_EQ(Input().p_KeyHit('X'), 1);
  EXPECT_EQ(Delegate().Count(kEventKeyChar, 'x'), Delegate().Count(kEventKeyDown, 'X'));
  EXPECT_EQ(Delegate().Count(kEventKeyUp, 'X'), 1);
  EXPECT_FALSE(Input().p_KeyDown('X'));
}

TEST_F(InputWindow, AClickIsTheLeftButtonAndTheFirstTouchAtThePointer) {
  // The window's position on the screen, to aim the pointer inside it.
  const std::string id = XdoOutput("search --name Drommel");
  ASSERT_FALSE(id.empty());
  int left = 0, top = 0;
  const std::string geometry =
      XdoOutput("getwindowgeometry --shell " + id.substr(0, id.find('\n')));
  ASSERT_EQ(std::sscanf(geometry.c_str() + geometry.find("X="), "X=%d\nY=%d", &left, &top), 2)
      << geometry;

  ASSERT_TRUE(Xdo("mousemove " + std::to_string(left + 100) + " " + std::to_string(top + 50)));
  ASSERT_TRUE(PollEventsUntil(
      kPatience, [] { return Input().p_MouseX() == 100 && Input().p_MouseY() == 50; }));
  ASSERT_TRUE(Xdo("click 1"));
  ASSERT_TRUE(PollEventsUntil(kPatience, [] { return Delegate().Count(kEventMouseUp, 0) == 1; }));
  EXPECT_EQ(Delegate().Count(kEventMouseDown, 0), 1);
  EXPECT_EQ(Input().p_MouseHit(0), 1);
  EXPECT_EQ(Input().p_KeyHit(1), 1);
  EXPECT_EQ(Input().p_KeyHit(384), 1);
  EXPECT_FALSE(Input().p_TouchDown(0));
  EXPECT_EQ(Input().p_TouchX(0), 100);
  EXPECT_EQ(Input().p_TouchY(0), 50);
  for (const Event& e : Delegate().events) {
    if (e.event == kEventMouseDown) {
      EXPECT_EQ(e.x, 100);
      EXPECT_EQ(e.y, 50);
    }
  }
}

TEST_F(InputWindow, ReplacingTheWindowReleasesHeldKeys) {
  KeyDownAndWait("c", 'C');
  host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(Delegate().Count(kEventKeyUp, 'C'), 1);
  EXPECT_FALSE(Input().p_KeyDown('C'));
  ASSERT_TRUE(Xdo("keyup c"));
  ASSERT_TRUE(PollEventsUntil(kPatience, [] { return glfw2::GetWindowParam(glfw2::ACTIVE) == 1; }));
  KeyDownAndWait("d", 'D');  // the new window hears keys
  KeyUpAndWait("d", 'D');
  // The key was held all along, so auto-repeat may have pressed it again on the new window; it must
  // not be left down either way.
  EXPECT_FALSE(Input().p_KeyDown('C'));
}

}  // namespace
