// The tests' program launcher: see Program.h.
#include "tests/support/Program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/Process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

Program::Options Program::Game(const fs::path& folder, const std::vector<std::string>& extra) {
  Options options;
  options.exe = fs::path(DROMMEL_BINARY_DIR) / "drommel";
  options.folder = folder;
  options.set = {"ALSOFT_DRIVERS=null"};
  options.set.insert(options.set.end(), extra.begin(), extra.end());
  const fs::path data = fs::path(DROMMEL_BINARY_DIR) / "data";
  std::error_code ignored;
  if (fs::exists(data) && !fs::exists(folder / "data", ignored))
    fs::create_directory_symlink(data, folder / "data", ignored);
  return options;
}

Program::Program(Options options) : options_(std::move(options)) {
  if (options_.log.empty()) options_.log = options_.folder / "program.log";
  // Everything the child needs is made here, before the fork: between fork and exec the child only
  // opens files and swaps descriptors.
  std::vector<std::string> argv{options_.exe.string()};
  argv.insert(argv.end(), options_.arguments.begin(), options_.arguments.end());
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool dropped = false;
    for (const auto& u : options_.unset) dropped = dropped || u == name;
    for (const auto& s : options_.set) dropped = dropped || s.substr(0, s.find('=')) == name;
    if (!dropped) env.push_back(entry);
  }
  env.insert(env.end(), options_.set.begin(), options_.set.end());
  std::vector<char*> args, envp;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string folder = options_.folder.string(), log = options_.log.string();

  std::fflush(stdout);  // or the child's copy of the buffer is written twice
  pid_ = fork();
  if (pid_ != 0) return;
  const int in = open("/dev/null", O_RDONLY);
  const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0 || chdir(folder.c_str()) != 0) _exit(121);
  dup2(in, STDIN_FILENO);
  dup2(out, STDOUT_FILENO);
  dup2(out, STDERR_FILENO);
  execve(args[0], args.data(), envp.data());
  _exit(122);
}

Program::~Program() {
  Kill();
}

bool Program::Running() {
  if (pid_ <= 0 || ended_) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    ended_ = true;
    status_ = status;
    return false;
  }
  return true;
}

void Program::Kill() {
  if (!Running()) return;
  kill(pid_, SIGKILL);
  int status = 0;
  if (waitpid(pid_, &status, 0) == pid_) {
    ended_ = true;
    status_ = status;
  }
}

std::string Program::WaitForWindow(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  // GLFW tags its windows with the process id.
  const std::string search = "xdotool search --onlyvisible --pid " + std::to_string(pid_);
  while (Running()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    std::istringstream ids(ShellOutput(search + " 2>/dev/null", std::min(left, 5000ms)));
    std::string id;
    if (ids >> id) return id;
    std::this_thread::sleep_for(100ms);
  }
  return {};
}

std::optional<int> Program::WaitForExit(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (Running()) {
    if (std::chrono::steady_clock::now() > end) {
      Kill();
      return std::nullopt;
    }
    std::this_thread::sleep_for(20ms);
  }
  if (pid_ <= 0) return std::nullopt;
  if (WIFEXITED(status_)) return WEXITSTATUS(status_);
  return 128 + WTERMSIG(status_);
}

std::string Program::Log() const {
  std::ifstream in(options_.log, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Program::Report(const std::string& step) {
  std::string state;
  if (pid_ <= 0)
    state = "it could not be started";
  else if (Running())
    state = "it is still running";
  else if (WIFEXITED(status_))
    state = "it had ended with status " + std::to_string(WEXITSTATUS(status_));
  else
    state = "it had been ended by signal " + std::to_string(WTERMSIG(status_));
  return step + ": " + options_.exe.filename().string() + " " + state + "; its log (" +
         options_.log.string() + "):\n" + Log();
}
