// Files of the host: portable paths, opening and loading files and the state store (the text
// decoder is decode/TextDecode.cpp).
#include "host/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "host/Game.h"
#include "runtime/Error.h"

namespace {

constexpr size_t kBlockSize = 4096;

struct Scheme {
  const char* prefix;
  const char* folder;
};
constexpr Scheme kSchemes[] = {
    {"kestro://data/", "./data/"},
    {"kestro://internal/", "./internal/"},
    {"kestro://external/", "./external/"},
};

std::string FolderOf(const std::string& fileName) {
  const size_t slash = fileName.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return fileName.substr(0, slash);
}

// The mode a new state file gets: the old file's, else what fopen would give.
mode_t ModeFor(const std::string& fileName) {
  struct stat old {};
  if (stat(fileName.c_str(), &old) == 0 && S_ISREG(old.st_mode)) return old.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

// Why a file of this kind is not read as data; empty for a regular file.
std::string NotRegular(const struct stat& info) {
  if (S_ISREG(info.st_mode)) return "";
  if (S_ISDIR(info.st_mode)) return "it is a folder";
  if (S_ISFIFO(info.st_mode)) return "it is a named pipe";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "it is a device";
  return "it is not a regular file";
}

// The stream, read in blocks, when it holds at most `limit` bytes; a longer one is refused with
// `why` (having read one block more than the limit at most).
bool ReadBounded(std::FILE* file, size_t limit, std::vector<unsigned char>& bytes,
                 std::string& why) {
  struct stat info {};
  if (fstat(fileno(file), &info) == 0 && static_cast<unsigned long long>(info.st_size) > limit) {
    why = "it is " + std::to_string(info.st_size) + " bytes, more than " + std::to_string(limit);
    return false;
  }
  for (;;) {
    const size_t used = bytes.size();
    bytes.resize(used + kBlockSize);
    const size_t got = std::fread(bytes.data() + used, 1, kBlockSize, file);
    bytes.resize(used + got);
    if (bytes.size() > limit) {
      // It grew since fstat.
      bytes = {};
      why = "it is more than " + std::to_string(limit) + " bytes";
      return false;
    }
    if (got < kBlockSize) return true;
  }
}

}  // namespace

String xq_data_FixDataPath(const String& path) {
  const int scheme = path.Find(":/");
  if (scheme >= 0 && path.Find("/") == scheme + 1) return path;
  if (path.StartsWith("./") || path.StartsWith("/")) return path;
  return String("kestro://data/") + path;
}

String xq_data_PortableToFilePath(const String& path) {
  if (!path.StartsWith("kestro:")) return path;
  for (const Scheme& scheme : kSchemes) {
    const String prefix(scheme.prefix);
    if (path.StartsWith(prefix)) return String(scheme.folder) + path.Slice(prefix.Length());
  }
  return String();
}

std::string xq_data_NativePath(const String& path) {
  return path.ToUtf8();
}

void (*xq_data_testing::afterTemporaryCreated)() = nullptr;

int xq_data_ReplaceFile(const std::string& fileName, std::string_view bytes, std::string* cause) {
  // The failing step and errno at that moment (cleaning up may change errno).
  const auto fail = [&](int result, const char* step, int error) {
    if (cause) *cause = std::string(step) + ": " + std::strerror(error);
    return result;
  };
  std::string temporary = fileName + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return fail(-1, "cannot create a temporary file", errno);
  if (xq_data_testing::afterTemporaryCreated) xq_data_testing::afterTemporaryCreated();
  fchmod(fd, ModeFor(fileName));
  int error = 0;
  errno = 0;
  if (!WriteAll(fd, bytes) || fsync(fd) != 0) error = errno ? errno : EIO;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    unlink(temporary.c_str());
    return fail(-2, "cannot write", error);
  }
  if (rename(temporary.c_str(), fileName.c_str()) != 0) {
    error = errno;
    unlink(temporary.c_str());
    return fail(-1, "cannot replace the file", error);
  }
  // Make the rename itself durable.
  const int folder = open(FolderOf(fileName).c_str(), O_RDONLY | O_DIRECTORY);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return 0;
}

int xq_data_RemoveStaleTemporaries(const std::string& fileName) {
  const size_t slash = fileName.rfind('/');
  const std::string folder = FolderOf(fileName);
  const std::string prefix =
      (slash == std::string::npos ? fileName : fileName.substr(slash + 1)) + ".";
  DIR* dir = opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() != prefix.size() + 6 || !name.starts_with(prefix)) continue;
    const std::string path = folder + "/" + std::string(name);
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && unlink(path.c_str()) == 0) {
      ++removed;
    }
  }
  closedir(dir);
  return removed;
}

bool xq_data_ReadStateFile(const std::string& fileName, size_t limit, std::string& bytes,
                           std::string& why) {
  bytes.clear();
  why.clear();
  // Without O_NONBLOCK, opening a named pipe waits for a writer for ever.
  const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (errno != ENOENT) why = std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    why = std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    why = NotRegular(info);
  } else if (static_cast<unsigned long long>(info.st_size) > limit) {
    why = "it is " + std::to_string(info.st_size) + " bytes, more than " + std::to_string(limit);
  } else {
    // One byte more than the limit tells a file that grew since fstat.
    bytes.resize(limit + 1);
    size_t got = 0;
    while (got < bytes.size()) {
      const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        why = std::strerror(errno);
        break;
      }
      if (n == 0) break;
      got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    if (why.empty() && got > limit) why = "it is more than " + std::to_string(limit) + " bytes";
  }
  close(fd);
  if (!why.empty()) {
    bytes.clear();
    bytes.shrink_to_fit();
    return false;
  }
  return true;
}

String XQGame::PathToFilePath(const String& path) {
  return xq_data_PortableToFilePath(path);
}

StateLock XQGame::LockState(const std::string&) {
  return StateLock::kUnavailable;
}

bool XQGame::DataReady(const String&, int) {
  return true;
}
void XQGame::LoaderFinished() {}
const char* XQGame::SoundExtension() {
  return ".wav";
}

bool (*xq_data_testing::fileReady)(const String&, int) = nullptr;

bool xq_data_FileReady(const String& path, int urgency) {
  if (xq_data_testing::fileReady) return xq_data_testing::fileReady(path, urgency);
  XQGame* host = XQGame::Host();
  return host == nullptr || host->DataReady(path, urgency);
}

void xq_data_LoaderFinished() {
  if (XQGame* host = XQGame::Host()) host->LoaderFinished();
}

const char* xq_data_SoundExtension() {
  XQGame* host = XQGame::Host();
  return host ? host->SoundExtension() : ".wav";
}

std::FILE* XQGame::OpenFile(const String& path, const String& mode) {
  const String filePath = PathToFilePath(path);
  if (filePath.Empty()) return nullptr;
  return std::fopen(xq_data_NativePath(filePath).c_str(), mode.ToUtf8().c_str());
}

std::FILE* XQGame::OpenForLoading(const String& path, std::string& fileName, std::string& why) {
  const String filePath = PathToFilePath(path);
  fileName = filePath.Empty() ? path.ToUtf8() : xq_data_NativePath(filePath);
  if (filePath.Empty()) {
    why = "the path names no folder";
    return nullptr;
  }
  // Without O_NONBLOCK, opening a named pipe waits for a writer for ever.
  const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    why = errno == ENOENT ? "" : std::strerror(errno);
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    why = std::strerror(errno);
  } else {
    why = NotRegular(info);
  }
  std::FILE* file = nullptr;
  if (why.empty() && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0) {
    file = fdopen(fd, "rb");
  }
  if (!file) {
    if (why.empty()) why = std::strerror(errno);
    close(fd);
  }
  return file;
}

void XQGame::ReportNotLoaded(const char* what, const std::string& fileName,
                             const std::string& why) {
  if (!_notLoaded.insert(fileName).second) return;
  xqPrint(String::FromUtf8(std::string(what) + " not loaded from " + fileName + ": " + why));
}

namespace {

// The bytes of a data file of at most kDataFileLimit. A file that is simply missing gives false
// without a word (callers use LoadData and LoadString to ask whether a file is there); one that
// exists and is refused is reported as `what`.
bool ReadDataFile(XQGame& host, const char* what, const String& path,
                  std::vector<unsigned char>& bytes) {
  std::string fileName, why;
  std::FILE* file = host.OpenForLoading(path, fileName, why);
  if (!file) {
    if (!why.empty()) host.ReportNotLoaded(what, fileName, why);
    return false;
  }
  const bool read = ReadBounded(file, kDataFileLimit, bytes, why);
  std::fclose(file);
  if (!read) host.ReportNotLoaded(what, fileName, why);
  return read;
}

}  // namespace

std::unique_ptr<unsigned char[]> XQGame::LoadData(const String& path, int* length) {
  std::vector<unsigned char> bytes;
  if (!ReadDataFile(*this, "Data", path, bytes)) return nullptr;
  auto data = std::make_unique<unsigned char[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), data.get());
  if (length) *length = static_cast<int>(bytes.size());
  return data;
}

String XQGame::LoadString(const String& path) {
  std::vector<unsigned char> bytes;
  if (!ReadDataFile(*this, "Text", path, bytes)) return String();
  return xq_data_DecodeText(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// A failed save keeps the previous file; the player is told why on one line, and play goes on.
int XQGame::SaveState(const String& state) {
  const String filePath = PathToFilePath(kStateFileName);
  if (filePath.Empty()) return -1;
  std::string cause;
  const int result = xq_data_ReplaceFile(xq_data_NativePath(filePath), state.ToUtf8(), &cause);
  if (result != 0) {
    xqPrint(String::FromUtf8("State not saved to " + xq_data_NativePath(filePath) + ": " + cause +
                             " (the previous state is kept)"));
  }
  return result;
}

// Also clears the temporary files of a save that a crash interrupted (this runs once, at start),
// but only in the copy that holds the state lock: another copy's may be about to be renamed into
// place. A state file that cannot be loaded reads as no state, with one line saying why; the next
// save replaces it.
String XQGame::LoadState() {
  const String filePath = PathToFilePath(kStateFileName);
  if (filePath.Empty()) return String();
  const std::string fileName = xq_data_NativePath(filePath);
  if (LockState(fileName) == StateLock::kHeld) xq_data_RemoveStaleTemporaries(fileName);
  std::string bytes;
  std::string why;
  if (!xq_data_ReadStateFile(fileName, kStateFileLimit, bytes, why)) {
    if (!why.empty()) {
      xqPrint(String::FromUtf8("State not loaded from " + fileName + ": " + why +
                               "; starting without it"));
    }
    return String();
  }
  return xq_data_DecodeText(bytes);
}
