// One launcher for programs that tests start, above all the game itself: it runs the program in a
// given folder with standard input closed, a chosen environment and its output in a log file, waits
// for its window and for its exit with a time limit each, and kills it (SIGKILL) when the launcher
// goes out of scope, so that no test leaves a program behind or waits for one for ever.
//
//   TempDir folder;
//   Program game(Program::Game(folder.Path()));
//   const std::string window = game.WaitForWindow(std::chrono::seconds(20));
//   ASSERT_FALSE(window.empty()) << game.Report("waiting for the window");
//   ...
//   EXPECT_EQ(game.WaitForExit(std::chrono::seconds(10)), 0) << game.Report("quitting");
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class Program {
 public:
  struct Options {
    std::filesystem::path exe;
    std::vector<std::string> arguments;
    std::filesystem::path folder;    // the working folder; must exist
    std::filesystem::path log;       // standard output and error; <folder>/program.log when empty
    std::vector<std::string> set;    // NAME=value
    std::vector<std::string> unset;  // NAME
  };

  // The built game (<build>/drommel) in folder, with the build's data/ folder linked into it when
  // it is not there yet, and OpenAL's null backend unless extra says otherwise.
  static Options Game(const std::filesystem::path& folder,
                      const std::vector<std::string>& extra = {});

  explicit Program(Options options);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }
  bool Running();

  // The id of the program's first visible X window (as xdotool prints it); empty when none showed
  // within limit or the program ended first.
  std::string WaitForWindow(std::chrono::milliseconds limit);

  // The exit status (128 + signal for a killed program) once the program ends within limit;
  // nothing when it was still running, and it is then killed.
  std::optional<int> WaitForExit(std::chrono::milliseconds limit);

  // Kills the program now, if it runs.
  void Kill();

  std::string Log() const;
  // For failure messages: the step, whether the program still runs or how it ended, and its log.
  std::string Report(const std::string& step);

 private:
  Options options_;
  pid_t pid_ = -1;
  bool ended_ = false;
  int status_ = 0;
};
