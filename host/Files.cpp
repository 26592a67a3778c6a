// Files of the host: portable paths, opening and loading files, text decoding and the state store.
#include "host/Files.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <vector>

#include "host/GlfwGame.h"

extern char** environ;

namespace {

constexpr size_t kBlockSize = 4096;

String lastLoadError;

struct Scheme {
  const char* prefix;
  const char* folder;
};
constexpr Scheme kSchemes[] = {
    {"kestro://data/", "./data/"},
    {"kestro://internal/", "./internal/"},
    {"kestro://external/", "./external/"},
};

// The whole stream, read in blocks until one comes back short.
std::vector<unsigned char> ReadAll(std::FILE* file) {
  std::vector<unsigned char> bytes;
  for (;;) {
    const size_t used = bytes.size();
    bytes.resize(used + kBlockSize);
    const size_t got = std::fread(bytes.data() + used, 1, kBlockSize, file);
    bytes.resize(used + got);
    if (got < kBlockSize) return bytes;
  }
}

String DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(
        static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return String(std::move(units));
}

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

// Children started by OpenUrl, reaped once they have ended.
std::vector<pid_t> urlOpeners;

void ReapUrlOpeners() {
  std::erase_if(urlOpeners, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
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

String xq_data_DecodeText(std::string_view bytes) {
  if (bytes.empty()) return String();
  lastLoadError = String();
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) return DecodeUtf16(bytes, true);
  if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) return DecodeUtf16(bytes, false);
  if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    bytes.remove_prefix(3);
  }
  if (std::optional<String> text = String::DecodeUtf8(bytes)) return *std::move(text);
  lastLoadError = String("Invalid UTF-8");
  return String::FromLatin1(bytes);
}

String xq_data_LastLoadError() {
  return lastLoadError;
}

std::string xq_data_NativePath(const String& path) {
  return path.ToUtf8();
}

int xq_data_ReplaceFile(const std::string& fileName, std::string_view bytes) {
  std::string temporary = fileName + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return -1;
  fchmod(fd, ModeFor(fileName));
  bool complete = WriteAll(fd, bytes) && fsync(fd) == 0;
  if (close(fd) != 0) complete = false;
  if (!complete) {
    unlink(temporary.c_str());
    return -2;
  }
  if (rename(temporary.c_str(), fileName.c_str()) != 0) {
    unlink(temporary.c_str());
    return -1;
  }
  // Make the rename itself durable.
  const int folder = open(FolderOf(fileName).c_str(), O_RDONLY | O_DIRECTORY);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return 0;
}

String XQGame::PathToFilePath(const String& path) {
  return path;
}

String XQGlfwGame::PathToFilePath(const String& path) {
  return xq_data_PortableToFilePath(path);
}

std::FILE* XQGame::OpenFile(const String& path, const String& mode) {
  const String filePath = PathToFilePath(path);
  if (filePath.Empty()) return nullptr;
  return std::fopen(xq_data_NativePath(filePath).c_str(), mode.ToUtf8().c_str());
}

std::unique_ptr<unsigned char[]> XQGame::LoadData(const String& path, int* length) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return nullptr;
  const std::vector<unsigned char> bytes = ReadAll(file);
  std::fclose(file);
  if (bytes.size() > static_cast<size_t>(INT_MAX)) return nullptr;
  auto data = std::make_unique<unsigned char[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), data.get());
  if (length) *length = static_cast<int>(bytes.size());
  return data;
}

String XQGame::LoadString(const String& path) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return String();
  const std::vector<unsigned char> bytes = ReadAll(file);
  std::fclose(file);
  return xq_data_DecodeText(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

int XQGame::SaveState(const String& state) {
  const String filePath = PathToFilePath(kStateFileName);
  if (filePath.Empty()) return -1;
  return xq_data_ReplaceFile(xq_data_NativePath(filePath), state.ToUtf8());
}

String XQGame::LoadState() {
  return LoadString(kStateFileName);
}

void XQGlfwGame::OpenUrl(const String& url) {
  ReapUrlOpeners();
  if (url.Empty()) return;
  // The URL is one argument of xdg-open: no shell ever sees it.
  std::string program = "xdg-open";
  std::string argument = url.ToUtf8();
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) == 0) {
    urlOpeners.push_back(pid);
  }
}
