// Diagnostics and the fatal-error path.
#include "runtime/Error.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void xqPrint(const String& text) {
  const std::string bytes = text.ToUtf8();
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void xqDebugLog(const String& text) { xqPrint(text); }

void xqError(const String& message) {
  if (message.Empty()) std::exit(0);
  const std::string text = message.ToLatin1();
  dbg_error(text.c_str());
}

void dbg_error(const char* text) {
  for (;;) {
    xqPrint(String("Kestro Runtime Error : ") + String::FromLatin1(text));
    xqPrint(String());  // the call-stack text: no source positions are recorded
    dbg_stop();
  }
}

void dbg_stop() {
  // No source position or stack is recorded, so both texts are empty.
  std::fprintf(stderr, "{{~~%s~~}}\n", "");
  std::fprintf(stderr, "%s\n", "");
  std::fflush(stderr);
  char line[256];
  for (;;) {
    if (!std::fgets(line, sizeof line, stdin) || !std::strchr(line, '\n')) std::exit(-1);
    switch (line[0]) {
      case '?':
        continue;
      case '@':
        // Object inspection needs a debugger's object table, which this runtime does not keep.
        continue;
      case 'r':
      case 's':
      case 'e':
      case 'l':
        return;
      case 'q':
        std::exit(0);
      default:
        std::printf("????? %s ?????", line);
        std::fflush(stdout);
        std::exit(-1);
    }
  }
}

void sighandler(int signal) {
  switch (signal) {
    case SIGFPE:
      dbg_error("Floating point exception");
    case SIGSEGV:
      dbg_error("Memory access violation");
    case SIGILL:
      dbg_error("Illegal instruction");
    default:
      dbg_error("Unknown signal");
  }
}
