// The real program in a real window: it loads, reaches the main menu, shows the debug line on F1,
// switches to full screen and back on F11 (reloading its images for each size) and ends with status
// 0 on F4. Keys are real X input (xdotool), held for several updates; the screen is read back with
// ImageMagick's import. Needs DISPLAY (an Xvfb screen of 1280 x 1024 in the test script).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/Process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string kBinary = DROMMEL_BINARY_DIR;

struct Rgb {
  int r = -1, g = -1, b = -1;
};

// One screen pixel, read from the root window.
Rgb Pixel(int x, int y) {
  const std::string out = ShellOutput("import -window root -crop 1x1+" + std::to_string(x) + "+" +
                                      std::to_string(y) + " +repage -depth 8 txt:- 2>/dev/null");
  // "0,0: (0,0,80)  #000050  srgb(0,0,80)"
  Rgb c;
  const auto open = out.find('#', out.find(": "));
  if (out.find(": ") == std::string::npos || open == std::string::npos || out.size() < open + 7)
    return c;
  c.r = std::stoi(out.substr(open + 1, 2), nullptr, 16);
  c.g = std::stoi(out.substr(open + 3, 2), nullptr, 16);
  c.b = std::stoi(out.substr(open + 5, 2), nullptr, 16);
  return c;
}

// How many pixels of the rectangle differ from the given colour.
int CountOther(int x, int y, int w, int h, Rgb colour) {
  const std::string out = ShellOutput("import -window root -crop " + std::to_string(w) + "x" +
                                      std::to_string(h) + "+" + std::to_string(x) + "+" +
                                      std::to_string(y) + " +repage -depth 8 txt:- 2>/dev/null");
  char wanted[8];
  std::snprintf(wanted, sizeof wanted, "#%02X%02X%02X", colour.r, colour.g, colour.b);
  std::istringstream lines(out);
  std::string line;
  int other = 0;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line.find(wanted) == std::string::npos) ++other;
  }
  return other;
}

bool Alive(pid_t pid) {
  return waitpid(pid, nullptr, WNOHANG) == 0;
}

// Holds a key for several updates (a press and release inside one update is never "held").
void HoldKey(const std::string& name) {
  ShellOutput("xdotool keydown " + name);
  std::this_thread::sleep_for(150ms);
  ShellOutput("xdotool keyup " + name);
  std::this_thread::sleep_for(100ms);
}

// Waits until the pixel has the colour; false after the time allowed.
bool WaitForColour(int x, int y, Rgb colour, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    const Rgb c = Pixel(x, y);
    if (c.r == colour.r && c.g == colour.g && c.b == colour.b) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

const Rgb kMenuBlue{0, 0, 80};

class GameWindow : public testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs DISPLAY";
    if (ShellOutput("command -v xdotool import").empty())
      GTEST_SKIP() << "needs xdotool and import";
    char name[] = "/tmp/drommel-window-XXXXXX";
    folder_ = mkdtemp(name);
    fs::create_directory_symlink(kBinary + "/data", folder_ / "data");
    const std::string program = kBinary + "/drommel";
    const std::string out = (folder_ / "out.txt").string();
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(folder_.c_str()) != 0) _exit(121);
      if (freopen(out.c_str(), "w", stdout) == nullptr) _exit(122);
      setenv("ALSOFT_DRIVERS", "null", 1);
      execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
      _exit(123);
    }
    // The window appears, then gets the focus for the keys.
    window_ =
        ShellOutput("xdotool search --sync --onlyvisible --name '^Drommel$' 2>/dev/null | head -1");
    while (!window_.empty() && (window_.back() == '\n')) window_.pop_back();
  }
  void TearDown() override {
    if (pid_ > 0 && Alive(pid_)) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    if (!folder_.empty()) fs::remove_all(folder_, ignored);
  }
  // The program's visible window, searched again each time: a change of window (full screen and
  // back) makes a new one, and a full-screen one carries no title, so it is found by process.
  std::string CurrentWindow() {
    std::string id = ShellOutput("timeout 10 xdotool search --sync --onlyvisible --pid " +
                                 std::to_string(pid_) + " 2>/dev/null | head -1");
    while (!id.empty() && id.back() == '\n') id.pop_back();
    return id;
  }
  void Focus() {
    const std::string id = CurrentWindow();
    if (!id.empty()) ShellOutput("timeout 10 xdotool windowfocus --sync " + id + " 2>/dev/null");
  }
  // Top-left corner of the window on the screen.
  void Origin(int* x, int* y) {
    *x = 0;
    *y = 0;
    const std::string id = CurrentWindow();
    if (id.empty()) return;
    std::istringstream lines(
        ShellOutput("xdotool getwindowgeometry --shell " + id + " 2>/dev/null"));
    std::string line;
    while (std::getline(lines, line)) {
      if (line.rfind("X=", 0) == 0) *x = std::stoi(line.substr(2));
      if (line.rfind("Y=", 0) == 0) *y = std::stoi(line.substr(2));
    }
  }

  // The new window (full screen or back) may take a moment to appear and is not focused by
  // itself under a bare X server (an unfocused game is suspended): focus it until the menu's
  // colour shows at (x, y), or near the bottom-left corner of the window for x = -1.
  bool FocusUntilColour(int x, int y, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      Focus();
      int px = x, py = y;
      if (x < 0) {
        Origin(&px, &py);
        px += 4;
        py += 470;
      }
      if (WaitForColour(px, py, kMenuBlue, 500ms)) return true;
    }
    return false;
  }

  fs::path folder_;
  pid_t pid_ = -1;
  std::string window_;
};

}  // namespace

TEST_F(GameWindow, LoadsShowsTheMenuAndAnswersTheFunctionKeys) {
  ASSERT_FALSE(window_.empty()) << "no window titled Drommel";
  Focus();
  int ox = 0, oy = 0;
  Origin(&ox, &oy);

  // The loader finishes within a few tenths of a second and the menu's dark blue fills the window.
  ASSERT_TRUE(WaitForColour(ox + 4, oy + 470, kMenuBlue, 10s))
      << "the main menu never showed at " << ox << "," << oy;
  ASSERT_TRUE(Alive(pid_));

  // F1: the debug line at the bottom left.
  EXPECT_EQ(CountOther(ox + 10, oy + 455, 60, 14, kMenuBlue), 0);
  HoldKey("F1");
  std::this_thread::sleep_for(200ms);
  EXPECT_GT(CountOther(ox + 10, oy + 455, 60, 14, kMenuBlue), 20);
  HoldKey("F1");
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(CountOther(ox + 10, oy + 455, 60, 14, kMenuBlue), 0);

  // F11: full screen at the desktop's size; the images reload for it and the menu comes back.
  HoldKey("F11");
  EXPECT_TRUE(FocusUntilColour(4, 1010, 30s)) << "no menu in full screen";
  EXPECT_TRUE(Alive(pid_));
  // And back to a window of 640 x 480.
  HoldKey("F11");
  EXPECT_TRUE(FocusUntilColour(-1, -1, 30s)) << "no menu after leaving full screen";
  EXPECT_TRUE(Alive(pid_));

  // F4 ends the program at once with status 0.
  Focus();
  HoldKey("F4");
  EXPECT_EQ(WaitForExit(pid_, 10s), 0);
  pid_ = -1;
}
