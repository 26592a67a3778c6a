// Helpers for tests that run code or programs in other processes: a forked child whose exit status
// and standard output come back, waiting for a process with a time limit, and a shell command's
// output.
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
// returns.
ChildResult RunInChild(const std::function<void()>& body);

// Exit status of pid, or -1 when it did not end by itself within limit (it is then killed) or did
// not exit normally.
int WaitForExit(pid_t pid, std::chrono::milliseconds limit);

// Standard output of a shell command, byte for byte; empty when it cannot run.
std::string ShellOutput(const std::string& command);
