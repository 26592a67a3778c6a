// The real program: started in an empty folder it opens its window, and a window manager's close
// request (WM_DELETE_WINDOW, sent here by a small X client) ends it with status 0. Without a
// display it says so and fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
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
Started Start(const fs::path& folder, const std::vector<std::string>& unset) {
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
