// The framework's start-up: arguments, fatal-signal handlers, the globals and the app.
#include "framework/Startup.h"

int xq_std_argc = 0;
char** xq_std_argv = nullptr;

int xq_std_main(int argc, char** argv) {
  xq_std_argc = argc;
  xq_std_argv = argv;
  xqInstallSignalHandlers();
  xqInit();
  xqMain();
  return 0;
}
