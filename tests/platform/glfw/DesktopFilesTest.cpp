// The desktop's links: a URL reaches xdg-open as one argument, never through a shell.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/glfw/GlfwGame.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(DesktopLinks, OpenUrlHandsTheUrlToXdgOpenAsOneArgumentWithNoShell) {
  TempDir dir;
  const fs::path previous = fs::current_path();
  fs::current_path(dir.Path());
  // A stand-in xdg-open that writes down the arguments it was given, one a line.
  fs::create_directory("bin");
  std::ofstream("bin/xdg-open")
      << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args.tmp\"\nmv \"$0.args.tmp\" \"$0.args\"\n";
  fs::permissions("bin/xdg-open", fs::perms::owner_all);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir.Path() / "bin").string().append(":").append(oldPath).c_str(), 1);
  XQGlfwGame host;
  const String url("https://example.org/a b?q=1;touch pwned&x=$(id)`id`");
  host.OpenUrl(url);
  setenv("PATH", oldPath.c_str(), 1);

  // The child runs on its own: wait for its note.
  for (int i = 0; i < 500 && !fs::exists("bin/xdg-open.args"); ++i) usleep(10000);
  EXPECT_EQ(Read("bin/xdg-open.args"), url.ToUtf8() + "\n");
  EXPECT_FALSE(fs::exists("pwned"));
  host.OpenUrl(String());  // nothing to open: nothing started
  fs::current_path(previous);
}

}  // namespace
