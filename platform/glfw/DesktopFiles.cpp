// The desktop's state lock and links: links open in the desktop's browser through xdg-open.
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "host/Files.h"
#include "platform/glfw/GlfwGame.h"

extern char** environ;

namespace {

// Children started by OpenUrl, reaped once they have ended.
std::vector<pid_t> urlOpeners;

void ReapUrlOpeners() {
  std::erase_if(urlOpeners, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

}  // namespace

StateLock XQGlfwGame::LockState(const std::string& stateFileName) {
  return xq_data_LockState(stateFileName);
}

void XQGlfwGame::OpenUrl(const String& url) {
  ReapUrlOpeners();
  if (url.Empty()) return;
  // The URL is one argument of xdg-open: no shell ever sees it.
  std::string program = "xdg-open";
  std::string argument = url.ToUtf8();
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) == 0) {
    urlOpeners.push_back(pid);
  }
}
