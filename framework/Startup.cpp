// The framework's start-up: arguments, fatal-signal handlers, the globals and the app.
#include "framework/Startup.h"

#include <csignal>

int xq_std_argc = 0;
char** xq_std_argv = nullptr;

int xq_std_main(int argc, char** argv) {
  xq_std_argc = argc;
  xq_std_argv = argv;
  xqInstallSignalHandlers();
  // Under a file-size limit, a save past it fails with EFBIG (and says so) instead of ending the
  // game.
  std::signal(SIGXFSZ, SIG_IGN);
  xqInit();
  xqMain();
  return 0;
}
