// The GLFW 2 adapter's timing log (DROMMEL_FRAME_LOG).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/glfw/Glfw2Adapter.h"

namespace glfw2::adapter {

void LogTiming(char what) {
  static const int fd = [] {
    const char* path = std::getenv("DROMMEL_FRAME_LOG");
    return path != nullptr && *path != 0
               ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644)
               : -1;
  }();
  if (fd < 0) return;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  char line[40];
  const int length = std::snprintf(line, sizeof line, "%c %lld\n", what,
                                   static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
  if (write(fd, line, static_cast<size_t>(length)) < 0) return;
}

}  // namespace glfw2::adapter
