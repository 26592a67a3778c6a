// Linked into every test program. Tests that end the program (death tests, RunInChild) do it in a
// forked child. Under LeakSanitizer that child's exit would run a leak check, which can wait for
// ever on an allocator lock some other thread of the parent held at the moment of the fork. The
// parent's own exit still checks for leaks; its children skip the check.
#include <unistd.h>

namespace {
const pid_t testProgramPid = getpid();
}  // namespace

// Asked by LeakSanitizer before its check at exit.
extern "C" int __lsan_is_turned_off() {
  return getpid() != testProgramPid ? 1 : 0;
}
