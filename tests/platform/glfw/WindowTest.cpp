// The desktop host's window under a real display: centred and titled, replaced with every held key
// released first, and counted so that textures know to be made again.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"
#include "tests/host/HostTestSupport.h"
#include "tests/platform/glfw/XClient.h"
#include "tests/support/Display.h"
#include "tests/support/Process.h"

namespace {

class HostWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs DISPLAY";
    ASSERT_TRUE(InitGlfw());
    host.SetDelegate(&delegate);
  }
  void TearDown() override {
    if (std::getenv("DISPLAY")) glfw2::Terminate();
  }

  RecordingDelegate delegate;
  XQGlfwGame host;
};

TEST_F(HostWindow, OpensCentredAndTitledAndCountsEveryNewWindow) {
  const int before = host.ContextGeneration();
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(host.ContextGeneration(), before + 1);
  const unsigned long window = FindWindowByName("Drommel", std::chrono::milliseconds(3000));
  ASSERT_NE(window, 0u);
  int width = 0, height = 0;
  ASSERT_TRUE(WindowSize(window, &width, &height));
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);

  const auto desktop = host.GetGlfwDesktopMode();
  EXPECT_GT(desktop->width, 0);
  EXPECT_EQ(desktop->red + desktop->green + desktop->blue, 24);
  const auto modes = host.GetGlfwVideoModes();
  ASSERT_GE(modes.Length(), 1);
  EXPECT_EQ(modes[modes.Length() - 1]->width, desktop->width);

  host.SetGlfwWindow(320, 240, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(host.ContextGeneration(), before + 2);
  int w = 0, h = 0;
  glfw2::GetWindowSize(&w, &h);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
}

TEST_F(HostWindow, ReplacingTheWindowReleasesHeldKeysFirst) {
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  host.StartGame();
  PollEventsUntil(std::chrono::milliseconds(2000),
                  [] { return glfw2::GetWindowParam(glfw2::ACTIVE); });
  ASSERT_TRUE(RunTool("xdotool keydown shift").Ok());
  PollEventsUntil(std::chrono::milliseconds(2000), [] { return glfw2::GetKey(glfw2::KEY_LSHIFT); });
  delegate.log.clear();
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  ASSERT_TRUE(RunTool("xdotool keyup shift").Ok());
  EXPECT_EQ(delegate.log.rfind("k2:16", 0), 0u) << delegate.log;  // KeyUp shift comes first
}

TEST_F(HostWindow, FullScreenTakesTheDesktopWithoutATitleAndSwitchesBack) {
  const auto desktop = host.GetGlfwDesktopMode();
  const int before = host.ContextGeneration();
  host.SetGlfwWindow(desktop->width, desktop->height, 8, 8, 8, 0, 0, 0, true);
  EXPECT_EQ(host.ContextGeneration(), before + 1);
  int w = 0, h = 0;
  glfw2::GetWindowSize(&w, &h);
  EXPECT_EQ(w, desktop->width);
  EXPECT_EQ(h, desktop->height);
  EXPECT_EQ(FindWindowByName("Drommel", std::chrono::milliseconds(300)), 0u);

  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(host.ContextGeneration(), before + 2);
  EXPECT_NE(FindWindowByName("Drommel", std::chrono::milliseconds(3000)), 0u);
  EXPECT_EQ(glfw2::GetWindowParam(glfw2::OPENED), 1);
}

TEST_F(HostWindow, AFullScreenSwitchThatFailsKeepsTheWindowItHadAndSaysWhyOnce) {
  ASSERT_TRUE(host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false));
  const auto desktop = host.GetGlfwDesktopMode();
  glfw2::testing::FailNextOpenWindow("X11: Failed to create window");
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(host.SetGlfwWindow(desktop->width, desktop->height, 8, 8, 8, 0, 0, 0, true));
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "Cannot switch to full screen (" + std::to_string(desktop->width) + "x" +
                     std::to_string(desktop->height) +
                     "): X11: Failed to create window; staying in the 640x480 window\n");

  // The game goes on in a window like the first: open, titled, its size, its keys answered.
  EXPECT_EQ(glfw2::GetWindowParam(glfw2::OPENED), 1);
  EXPECT_NE(FindWindowByName("Drommel", std::chrono::milliseconds(3000)), 0u);
  int w = 0, h = 0;
  glfw2::GetWindowSize(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_TRUE(host.SetGlfwWindow(desktop->width, desktop->height, 8, 8, 8, 0, 0, 0, true));
}

}  // namespace
