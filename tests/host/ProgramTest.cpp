// The real program: started in an empty folder it opens its window, and a window manager's close
// request (WM_DELETE_WINDOW, sent here by a small X client) ends it with status 0. Without a
// display, or on a display that cannot give it an OpenGL window, it says so and fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/host/XClient.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kProgram = std::string(DROMMEL_BINARY_DIR) + "/drommel";

struct Started {
  pid_t pid = -1;
  int outFd = -1;
};

// Starts the program in `folder` with the given environment changes; its standard output goes to a
// pipe.
Started Start(const fs::path& folder, const std::vector<std::string>& unset,
              const std::vector<std::pair<std::string, std::string>>& set = {}) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    const int devNull = open("/dev/null", O_RDONLY);
    dup2(devNull, STDIN_FILENO);
    if (chdir(folder.c_str()) != 0) _exit(121);
    for (const auto& name : unset) unsetenv(name.c_str());
    for (const auto& [name, value] : set) setenv(name.c_str(), value.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    execl(kProgram.c_str(), kProgram.c_str(), static_cast<char*>(nullptr));
    _exit(122);
  }
  close(fds[1]);
  return {pid, fds[0]};
}

std::string ReadAll(int fd) {
  std::string out;
  char buffer[256];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) out.append(buffer, size_t(n));
  close(fd);
  return out;
}

TEST(Program, WithoutADisplayItSaysSoAndFails) {
  TempDir folder;
  const Started program = Start(folder.Path(), {"DISPLAY", "WAYLAND_DISPLAY"});
  ASSERT_GT(program.pid, 0);
  const std::string out = ReadAll(program.outFd);
  EXPECT_EQ(WaitForExit(program.pid, std::chrono::seconds(20)), 255);
  EXPECT_EQ(out, "glfwInit failed\n");
}

// An X server of its own without the GLX extension, on a display number it picks itself.
class ServerWithoutGlx {
 public:
  ServerWithoutGlx() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const int devNull = open("/dev/null", O_RDWR);
      dup2(devNull, STDIN_FILENO);
      dup2(devNull, STDOUT_FILENO);
      dup2(devNull, STDERR_FILENO);
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-extension", "GLX", "-screen", "0",
             "640x480x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // The server writes its display number and a newline once it accepts clients; the pipe stays
    // open for as long as it runs, since a write into a closed pipe would end it.
    numberFd_ = fds[0];
    std::string number;
    pollfd ready{numberFd_, POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && poll(&ready, 1, 20000) == 1 && read(numberFd_, &c, 1) == 1 && c != '\n') {
      number += c;
    }
    if (c == '\n' && !number.empty()) display_ = ":" + number;
  }
  ~ServerWithoutGlx() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      WaitForExit(pid_, std::chrono::seconds(10));
    }
    close(numberFd_);
  }
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  int numberFd_ = -1;
  std::string display_;
};

TEST(Program, WhenNoWindowCanBeOpenedItSaysWhyAndFails) {
  if (std::system("command -v Xvfb >/dev/null") != 0) GTEST_SKIP() << "needs Xvfb";
  const ServerWithoutGlx server;
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  TempDir folder;
  const Started program =
      Start(folder.Path(), {"WAYLAND_DISPLAY"}, {{"DISPLAY", server.Display()}});
  ASSERT_GT(program.pid, 0);
  EXPECT_EQ(WaitForExit(program.pid, std::chrono::seconds(20)), 255);
  const std::string out = ReadAll(program.outFd);
  // One line: what failed, then GLFW's own words.
  EXPECT_EQ(out.rfind("Cannot open the 640x480 window: GLX: ", 0), 0u) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
}

TEST(Program, OpensItsWindowAndEndsWhenTheWindowIsClosed) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs DISPLAY";
  TempDir folder;
  const fs::path data = fs::path(DROMMEL_BINARY_DIR) / "data";
  if (fs::exists(data)) fs::create_directory_symlink(data, folder.Path() / "data");
  const Started program = Start(folder.Path(), {});
  ASSERT_GT(program.pid, 0);

  const unsigned long window = FindWindowByName("Drommel", std::chrono::seconds(20));
  ASSERT_NE(window, 0u) << "no window titled Drommel";
  int width = 0, height = 0;
  ASSERT_TRUE(WindowSize(window, &width, &height));
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);

  SendDeleteWindow(window);  // what a window manager sends for the close button
  EXPECT_EQ(WaitForExit(program.pid, std::chrono::seconds(20)), 0);
  ReadAll(program.outFd);
}

}  // namespace
