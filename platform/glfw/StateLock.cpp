// One game per state folder, on the desktop: an advisory lock (flock) on a file beside the state
// file, held for the life of the process (XQGlfwGame::LockState).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/glfw/GlfwGame.h"

namespace {

// The lock this process holds: its file, and the folder it guards (the same state file name can
// name another folder after a change of directory, as in tests).
struct HeldLock {
  int fd = -1;
  dev_t device = 0;
  ino_t inode = 0;
};
HeldLock held;

}  // namespace

StateLock xq_data_LockState(const std::string& stateFileName) {
  std::filesystem::path folderName = std::filesystem::path(stateFileName).parent_path();
  if (folderName.empty()) folderName = ".";
  struct stat folder {};
  if (stat(folderName.c_str(), &folder) != 0) return StateLock::kUnavailable;
  if (held.fd >= 0) {
    if (held.device == folder.st_dev && held.inode == folder.st_ino) return StateLock::kHeld;
    close(held.fd);
    held = {};
  }
  // Never through a link, and never waiting on a named pipe put in its place. A folder where the
  // file cannot be created may still hold one to lock (read-only).
  const std::string lockName = stateFileName + kStateLockSuffix;
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  int fd = open(lockName.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
  if (fd < 0) fd = open(lockName.c_str(), O_RDONLY | kFlags);
  if (fd < 0) return StateLock::kUnavailable;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    return error == EWOULDBLOCK ? StateLock::kTaken : StateLock::kUnavailable;
  }
  held = {fd, folder.st_dev, folder.st_ino};
  return StateLock::kHeld;
}
