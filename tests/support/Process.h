// Helpers for tests that run code or programs in other processes: a forked child whose exit status
// and standard output come back, waiting for a process with a time limit, and outside tools (shell
// commands) run with a time limit and standard input closed, so that no tool can wait for ever.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

struct ChildResult {
  int status = -1;  // exit status, or -1 when the child did not exit normally
  std::string out;  // what it wrote to standard output
};

// Runs body in a forked child with standard input at end of file; the child exits with 0 when body
// returns. A child still running at the limit is killed (status -1).
ChildResult RunInChild(const std::function<void()>& body,
                       std::chrono::milliseconds limit = std::chrono::seconds(30));

// Exit status of pid, or -1 when it did not end by itself within limit (it is then killed) or did
// not exit normally.
int WaitForExit(pid_t pid, std::chrono::milliseconds limit);

// How long an outside tool (xdotool, import, xwininfo, sox) may take before it counts as hung.
inline constexpr std::chrono::seconds kToolLimit{20};

struct ToolResult {
  int status = -1;        // exit status; -1 when it was killed or did not exit normally
  bool timedOut = false;  // it was still running at the limit and was killed
  std::string out;        // its standard output, byte for byte
  bool Ok() const { return status == 0; }
  // "exit status 1", "killed after 20 s", ... for failure messages.
  std::string Describe() const;
};

// Runs a shell command with standard input at end of file; standard error stays the test's. At the
// limit the command and everything it started are killed.
ToolResult RunTool(const std::string& command, std::chrono::milliseconds limit = kToolLimit);

// Standard output of a shell command run as RunTool does, byte for byte; empty when it cannot run.
std::string ShellOutput(const std::string& command, std::chrono::milliseconds limit = kToolLimit);
