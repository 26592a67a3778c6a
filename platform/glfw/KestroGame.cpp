// XQKestroGame::Main: the process start-up. The renderer's API from DROMMEL_RENDERER, the state
// lock (one game per state folder), GLFW (no display, no game), then the one host object, then the
// program's start-up record (globals, then the app), then the window and the loop. An unknown
// renderer, or a window (with its context) that cannot be opened, ends the program with status -1
// after its message; so does a display that has not given the game its window 15 seconds after
// start-up (the start watchdog).
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "host/Files.h"
#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"

int xq_std_argc = 0;
char** xq_std_argv = nullptr;

namespace {

constexpr std::chrono::seconds kStartLimit{15};

void PrintLine(const std::string& text) {
  std::fputs((text + "\n").c_str(), stdout);
  std::fflush(stdout);
}

// Ends the process with status -1 (255) and one line naming the display when it is not cancelled
// within the limit: a display that accepts the connection and never answers would otherwise hold
// glfwInit, or the opening of the window, for ever. The line is made in advance, and the end is
// write and _exit only, whatever the main thread is doing at that moment.
class StartWatchdog {
 public:
  explicit StartWatchdog(std::chrono::seconds limit) {
    const char* display = std::getenv("DISPLAY");
    line_ = "The display " + std::string(display && *display ? display : "(DISPLAY not set)") +
            " did not open the game's window within " + std::to_string(limit.count()) +
            " seconds; giving up\n";
    thread_ = std::thread([this, limit] {
      std::unique_lock lock(mutex_);
      if (wake_.wait_for(lock, limit, [this] { return cancelled_; })) return;
      [[maybe_unused]] const ssize_t written = write(STDOUT_FILENO, line_.data(), line_.size());
      _exit(255);
    });
  }
  ~StartWatchdog() {
    Cancel();
    thread_.join();
  }
  StartWatchdog(const StartWatchdog&) = delete;
  StartWatchdog& operator=(const StartWatchdog&) = delete;

  void Cancel() {
    {
      std::lock_guard lock(mutex_);
      cancelled_ = true;
    }
    wake_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool cancelled_ = false;
  std::string line_;
  std::thread thread_;
};

StartWatchdog* startWatchdog = nullptr;

// DROMMEL_RENDERER: "gl1" (also when unset or empty) or "es2"; anything else is refused.
std::optional<XQRenderApi> RenderApiFromEnvironment() {
  const char* value = std::getenv("DROMMEL_RENDERER");
  const std::string name = value ? value : "";
  if (name.empty() || name == "gl1") return XQRenderApi::kGl1;
  if (name == "es2") return XQRenderApi::kEs2;
  return std::nullopt;
}

}  // namespace

int xq_std_main(int argc, char** argv, const XQStartup& startup) {
  xq_std_argc = argc;
  xq_std_argv = argv;
  xqInstallSignalHandlers();
  // Under a file-size limit, a save past it fails with EFBIG (and says so) instead of ending the
  // game.
  std::signal(SIGXFSZ, SIG_IGN);
  if (startup.init) startup.init();
  if (startup.main) startup.main();
  return 0;
}

bool XQKestroGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                                 int depth, int stencil, bool fullscreen) {
  const bool opened =
      XQGlfwGame::SetGlfwWindow(width, height, red, green, blue, alpha, depth, stencil, fullscreen);
  if (opened && startWatchdog) startWatchdog->Cancel();
  return opened;
}

int XQKestroGame::Main(int argc, char** argv, const XQStartup& startup) {
  const std::optional<XQRenderApi> api = RenderApiFromEnvironment();
  if (!api) {
    std::printf("Unknown renderer \"%s\" in DROMMEL_RENDERER: use gl1 or es2\n",
                std::getenv("DROMMEL_RENDERER"));
    std::fflush(stdout);
    return -1;
  }

  // Two copies in one folder would each save a table without the other's games.
  const std::string stateFile =
      xq_data_NativePath(xq_data_PortableToFilePath(String(kStateFileName)));
  if (xq_data_LockState(stateFile) == StateLock::kTaken) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    PrintLine("Drommel is already running in " + (error ? std::string(".") : folder.string()) +
              "; only one copy at a time can keep its settings and highscores there");
    return 1;
  }

  StartWatchdog watchdog(kStartLimit);
  startWatchdog = &watchdog;
  if (!glfw2::Init()) {
    PrintLine("glfwInit failed");
    const std::string reason = glfw2::LastError();
    PrintLine(reason.empty() ? "GLFW gave no reason" : reason);
    startWatchdog = nullptr;
    return -1;
  }
  auto game = std::make_unique<XQKestroGame>();
  game->SetRenderApi(*api);
  game->SetWindowSize(startup.windowWidth, startup.windowHeight);
  int status = 0;
  // An exception that escapes the start-up or the loop closes GLFW before the fatal message.
  game->Guard(
      [&] {
        xq_std_main(argc, argv, startup);
        if (game->Delegate()) status = game->Run();
      },
      [] { glfw2::Terminate(); });
  startWatchdog = nullptr;
  if (startup.shutdown) startup.shutdown();
  game->SetDelegate(nullptr);
  glfw2::Terminate();
  return status;
}

int xqHostMain(int argc, char** argv, const XQStartup& startup) {
  return XQKestroGame::Main(argc, argv, startup);
}
