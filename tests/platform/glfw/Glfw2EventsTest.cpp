// The GLFW 2 adapter's events under a real display: real key presses through XTEST (xdotool), key
// repeat as repeated presses, characters as (character, PRESS), and the close request that the
// close callback may refuse.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/glfw/Glfw2.h"
#include "tests/platform/glfw/XClient.h"
#include "tests/support/Display.h"
#include "tests/support/Process.h"

namespace {

struct Event {
  char kind;  // 'k' key, 'c' character
  int code;
  int action;
};
std::vector<Event> events;
int closeRequests = 0;
int closeAnswer = 0;

void OnKey(int key, int action) {
  events.push_back({'k', key, action});
}
void OnChar(int character, int action) {
  events.push_back({'c', character, action});
}
int OnClose() {
  ++closeRequests;
  return closeAnswer;
}

constexpr const char* kTitle = "Glfw2 adapter events";

class Glfw2Events : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs DISPLAY";
    ASSERT_TRUE(InitGlfw());
    ASSERT_EQ(glfw2::OpenWindow(320, 240, 8, 8, 8, 0, 0, 0, glfw2::WINDOW), 1);
    glfw2::SetWindowTitle(kTitle);
    glfw2::SetKeyCallback(OnKey);
    glfw2::SetCharCallback(OnChar);
    glfw2::SetWindowCloseCallback(OnClose);
    events.clear();
    closeRequests = 0;
    PollEventsUntil(std::chrono::milliseconds(2000),
                    [] { return glfw2::GetWindowParam(glfw2::ACTIVE); });
    ASSERT_EQ(glfw2::GetWindowParam(glfw2::ACTIVE), 1) << "the window never got the focus";
  }
  void TearDown() override {
    if (!std::getenv("DISPLAY")) return;
    glfw2::SetKeyCallback(nullptr);
    glfw2::SetCharCallback(nullptr);
    glfw2::SetWindowCloseCallback(nullptr);
    glfw2::Disable(glfw2::KEY_REPEAT);
    glfw2::Terminate();
  }

  static void Run(const std::string& command) {
    const ToolResult result = RunTool(command);
    ASSERT_TRUE(result.Ok()) << command << " " << result.Describe();
  }

  // Holds the key long enough for several repeats (the test display repeats after 200 ms, then
  // every 100 ms), then releases it.
  static void HoldKey(const char* key) {
    Run(std::string("xdotool keydown ") + key);
    PollEventsUntil(std::chrono::milliseconds(750), [] { return false; });
    Run(std::string("xdotool keyup ") + key);
    PollEventsUntil(std::chrono::milliseconds(1000), [] {
      return !events.empty() && events.back().kind == 'k' && events.back().action == glfw2::RELEASE;
    });
  }
};

TEST_F(Glfw2Events, AHeldKeyRepeatsAsPressesWithACharacterEachWhileRepeatIsOn) {
  glfw2::Enable(glfw2::KEY_REPEAT);
  HoldKey("a");
  ASSERT_FALSE(events.empty());
  int presses = 0, characters = 0, releases = 0;
  for (const Event& event : events) {
    if (event.kind == 'k') {
      EXPECT_EQ(event.code, 'A');  // letters report their upper-case character as the key
      event.action == glfw2::PRESS ? ++presses : ++releases;
    } else {
      EXPECT_EQ(event.code, 'a');
      EXPECT_EQ(event.action, glfw2::PRESS);
      ++characters;
    }
  }
  EXPECT_GE(presses, 3);
  EXPECT_EQ(characters, presses);
  EXPECT_EQ(releases, 1);
  EXPECT_EQ(events.front().kind, 'k');
  EXPECT_EQ(events.back().action, glfw2::RELEASE);
}

TEST_F(Glfw2Events, WithoutKeyRepeatAHeldKeyPressesOnce) {
  HoldKey("Left");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].code, glfw2::KEY_LEFT);
  EXPECT_EQ(events[0].action, glfw2::PRESS);
  EXPECT_EQ(events[1].code, glfw2::KEY_LEFT);
  EXPECT_EQ(events[1].action, glfw2::RELEASE);
}

// The switch to full screen opens a new window while F11 is still down. X goes on repeating the
// key into the new window, and none of that may count as another press (it would switch back);
// keys pressed in the new window, F11 again among them, work as ever.
TEST_F(Glfw2Events, AKeyHeldWhileTheWindowIsReplacedPressesNoMoreInTheNewWindow) {
  constexpr int kF11 = glfw2::KEY_F1 + 10;
  glfw2::Enable(glfw2::KEY_REPEAT);
  auto count = [](int key, int action) {
    int n = 0;
    for (const Event& event : events)
      n += event.kind == 'k' && event.code == key && event.action == action;
    return n;
  };
  Run("xdotool keydown F11");
  ASSERT_TRUE(PollEventsUntil(std::chrono::milliseconds(2000),
                              [&] { return count(kF11, glfw2::PRESS) > 0; }));
  ASSERT_EQ(glfw2::OpenWindow(320, 240, 8, 8, 8, 0, 0, 0, glfw2::WINDOW), 1);
  events.clear();
  PollEventsUntil(std::chrono::milliseconds(750), [] { return false; });  // several repeats
  Run("xdotool keyup F11");
  PollEventsUntil(std::chrono::milliseconds(300), [] { return false; });
  EXPECT_EQ(glfw2::GetWindowParam(glfw2::ACTIVE), 1);
  EXPECT_TRUE(events.empty()) << events.size() << " events, the first key " << events[0].code;

  HoldKey("a");
  EXPECT_GE(count('A', glfw2::PRESS), 3);
  events.clear();
  Run("xdotool key F11");
  EXPECT_TRUE(PollEventsUntil(std::chrono::milliseconds(1000),
                              [&] { return count(kF11, glfw2::PRESS) == 1; }));
}

TEST_F(Glfw2Events, TheCloseCallbackCanKeepTheWindowOpen) {
  const unsigned long window = FindWindowByName(kTitle, std::chrono::milliseconds(2000));
  ASSERT_NE(window, 0u);

  closeAnswer = 0;
  SendDeleteWindow(window);
  PollEventsUntil(std::chrono::milliseconds(2000), [] { return closeRequests > 0; });
  EXPECT_EQ(closeRequests, 1);
  EXPECT_EQ(glfw2::GetWindowParam(glfw2::OPENED), 1);

  closeAnswer = 1;
  SendDeleteWindow(window);
  PollEventsUntil(std::chrono::milliseconds(2000), [] { return closeRequests > 1; });
  EXPECT_EQ(closeRequests, 2);
  EXPECT_EQ(glfw2::GetWindowParam(glfw2::OPENED), 0);
}

}  // namespace
