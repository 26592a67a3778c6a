// LeakCheckPause: while one lives, the leak checker of a sanitizer build ignores new allocations
// (for memory a driver keeps for the life of the process); in other builds it does nothing.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define DROMMEL_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DROMMEL_LSAN 1
#endif
#endif
#if defined(DROMMEL_LSAN)
#include <sanitizer/lsan_interface.h>
#endif

// Allocations made while one lives are never reported as leaks (sanitizer builds only).
struct LeakCheckPause {
  LeakCheckPause() {
#if defined(DROMMEL_LSAN)
    __lsan_disable();
#endif
  }
  ~LeakCheckPause() {
#if defined(DROMMEL_LSAN)
    __lsan_enable();
#endif
  }
  LeakCheckPause(const LeakCheckPause&) = delete;
  LeakCheckPause& operator=(const LeakCheckPause&) = delete;
};
