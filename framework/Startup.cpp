// The framework's start-up: arguments, fatal-signal handlers, the globals and the app.
#include "framework/Startup.h"

#include <csignal>

int xq_std_argc = 0;
char** xq_std_argv = nullptr;

int xq_std_main(int argc, char** argv) {
  xq_std_argc = argc;
  xq_std_argv = argv;
  std::signal(SIGSEGV, sighandler);
  std::signal(SIGILL, sighandler);
  std::signal(SIGFPE, sighandler);
  xqInit();
  xqMain();
  return 0;
}
