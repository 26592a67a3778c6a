// Diagnostics and the fatal-error path.
//
// After a runtime error's message the program stops for a debugger, which drives it with command
// lines on standard input. Only an attached debugger is waited for: DROMMEL_DEBUGGER=1 in the
// environment says one is, and so does standard input that is neither a terminal nor at its end
// and already holds input. A terminal, an idle pipe or /dev/null is no debugger: the program then
// ends at once with status -1, so a game started from a shell never freezes on an error.
//
// A fatal signal takes the same path with nothing but async-signal-safe calls: prebuilt texts,
// write, read, _exit. The debugger switch is read from the environment when the handlers are
// installed.
#include "runtime/Error.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

volatile sig_atomic_t debuggerSwitchAtInstall = 0;
xqEndHandler endHandler = nullptr;

bool DebuggerSwitchOn() {
  const char* value = std::getenv("DROMMEL_DEBUGGER");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

void WriteAll(int fd, const char* bytes, size_t length) {
  while (length > 0) {
    const ssize_t n = write(fd, bytes, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes += n;
    length -= static_cast<size_t>(n);
  }
}

void WriteText(int fd, const char* text) {
  WriteAll(fd, text, std::strlen(text));
}

[[noreturn]] void End(int status, bool inSignal) {
  if (inSignal) _exit(status);
  std::exit(status);
}

// Standard input is neither a terminal nor at its end, and input is already waiting in it. Never
// blocks.
bool InputWaiting() {
  if (isatty(STDIN_FILENO)) return false;
  int waiting = 0;
  return ioctl(STDIN_FILENO, FIONREAD, &waiting) == 0 && waiting > 0;
}

bool DebuggerAttached(bool inSignal) {
  const bool forced = inSignal ? debuggerSwitchAtInstall != 0 : DebuggerSwitchOn();
  return forced || InputWaiting();
}

// One command line into line (at most size - 1 bytes, newline included, then a 0). False at the
// end of input or when no newline comes within the buffer.
bool ReadLine(char* line, size_t size) {
  size_t length = 0;
  while (length + 1 < size) {
    char c = 0;
    const ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    line[length++] = c;
    if (c == '\n') {
      line[length] = 0;
      return true;
    }
  }
  return false;
}

// The debugger stop; returns for a step command and ends the program otherwise.
void Stop(bool inSignal) {
  if (!DebuggerAttached(inSignal)) End(-1, inSignal);
  // No source position or stack is recorded, so both texts are empty.
  WriteText(STDERR_FILENO, "{{~~~~}}\n\n");
  char line[256];
  for (;;) {
    if (!ReadLine(line, sizeof line)) End(-1, inSignal);
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
        End(0, inSignal);
      default:
        WriteText(STDOUT_FILENO, "????? ");
        WriteText(STDOUT_FILENO, line);
        WriteText(STDOUT_FILENO, " ?????");
        End(-1, inSignal);
    }
  }
}

// What a fatal signal prints: the message line, then the (empty) call-stack line.
const char* SignalReport(int signal) {
  switch (signal) {
    case SIGFPE:
      return "Kestro Runtime Error : Floating point exception\n\n";
    case SIGSEGV:
      return "Kestro Runtime Error : Memory access violation\n\n";
    case SIGILL:
      return "Kestro Runtime Error : Illegal instruction\n\n";
    default:
      return "Kestro Runtime Error : Unknown signal\n\n";
  }
}

// The handler runs on a stack of its own, so that running out of stack is reported too.
alignas(16) char signalStack[64 * 1024];

}  // namespace

void xqPrint(const String& text) {
  const std::string bytes = text.ToUtf8();
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void xqDebugLog(const String& text) {
  xqPrint(text);
}

void xqSetEndHandler(xqEndHandler handler) {
  endHandler = handler;
}

void xqEnd(int status, const char* text) {
  if (endHandler) endHandler(status, text);
  std::exit(status);
}

void xqError(const String& message) {
  if (message.Empty()) {
    if (endHandler) endHandler(0, "");
    std::exit(0);
  }
  const std::string text = message.ToLatin1();
  dbg_error(text.c_str());
}

void dbg_error(const char* text) {
  for (;;) {
    xqPrint(String("Kestro Runtime Error : ") + String::FromLatin1(text));
    xqPrint(String());  // the call-stack text: no source positions are recorded
    if (endHandler) endHandler(-1, text);
    dbg_stop();
  }
}

void dbg_stop() {
  std::fflush(stdout);
  Stop(false);
}

void sighandler(int signal) {
  const char* report = SignalReport(signal);
  for (;;) {
    WriteText(STDOUT_FILENO, report);
    Stop(true);
  }
}

void xqInstallSignalHandlers() {
  debuggerSwitchAtInstall = DebuggerSwitchOn() ? 1 : 0;
  stack_t stack{};
  stack.ss_sp = signalStack;
  stack.ss_size = sizeof signalStack;
  sigaltstack(&stack, nullptr);
  struct sigaction action {};
  action.sa_handler = sighandler;
  action.sa_flags = SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGSEGV, SIGILL, SIGFPE}) sigaction(signal, &action, nullptr);
}
