// Child processes for tests: see Process.h.
#include "tests/support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <thread>

namespace {

// Standard input of a child: at end of file, so that nothing waits for a person to type.
void CloseStandardInput() {
  const int devNull = open("/dev/null", O_RDONLY);
  if (devNull >= 0) {
    dup2(devNull, STDIN_FILENO);
    if (devNull != STDIN_FILENO) close(devNull);
  }
}

}  // namespace

ChildResult RunInChild(const std::function<void()>& body, std::chrono::milliseconds limit) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    CloseStandardInput();
    body();
    std::fflush(stdout);
    _exit(0);
  }
  close(fds[1]);
  ChildResult result;
  const auto end = std::chrono::steady_clock::now() + limit;
  bool hung = false;
  char buffer[512];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          end - std::chrono::steady_clock::now())
                          .count();
    pollfd readable{fds[0], POLLIN, 0};
    const int ready = left > 0 ? poll(&readable, 1, static_cast<int>(left)) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      hung = true;
      break;
    }
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    result.out.append(buffer, size_t(n));
  }
  close(fds[0]);
  if (hung) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = !hung && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

int WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ToolResult::Describe() const {
  if (timedOut) return "did not finish in time and was killed";
  if (status < 0) return "could not run or was killed";
  return "ended with status " + std::to_string(status);
}

ToolResult RunTool(const std::string& command, std::chrono::milliseconds limit) {
  ToolResult result;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return result;
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return result;
  }
  if (pid == 0) {
    // A group of its own, so that a timeout also ends whatever the shell started.
    setpgid(0, 0);
    dup2(fds[1], STDOUT_FILENO);
    CloseStandardInput();
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  setpgid(pid, pid);  // also here: whichever of the two runs first
  close(fds[1]);
  const auto end = std::chrono::steady_clock::now() + limit;
  char buffer[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      break;
    }
    pollfd ready{fds[0], POLLIN, 0};
    const int n = poll(&ready, 1, static_cast<int>(left.count()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) continue;  // the loop head sees the deadline
    const ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got <= 0) break;  // end of output: every writer has gone
    result.out.append(buffer, static_cast<size_t>(got));
  }
  close(fds[0]);
  if (result.timedOut) {
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return result;
  }
  // Output closed; the shell itself may still be finishing (or a tool closed its output early).
  const auto left = std::max(
      std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()),
      std::chrono::milliseconds(100));
  result.status = WaitForExit(pid, left);
  kill(-pid, SIGKILL);  // anything the shell left behind
  return result;
}

std::string ShellOutput(const std::string& command, std::chrono::milliseconds limit) {
  return RunTool(command, limit).out;
}
