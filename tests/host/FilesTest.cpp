// Portable paths, file loading, text decoding and the state store, in a fresh folder per test.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/Files.h"
#include "host/Game.h"
#include "tests/host/HostTestSupport.h"

namespace fs = std::filesystem;
using namespace std::literals;

namespace {

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    char name[] = "/tmp/drommel-files-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    folder_ = name;
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }

  static void Write(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path().empty() ? "." : path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Everything in the folder but the state file and its lock: a failed save must leave nothing
  // behind.
  int OtherEntries() const {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      const fs::path name = entry.path().filename();
      if (name != ".kestrostate" && name != ".kestrostate.lock") ++count;
    }
    return count;
  }

  XQGame host;
  fs::path previous_;
  fs::path folder_;
};

TEST_F(Files, PortablePathsNameFoldersBesideTheProgram) {
  EXPECT_EQ(host.PathToFilePath("kestro://data/gfx/ball.png"), String("./data/gfx/ball.png"));
  EXPECT_EQ(host.PathToFilePath("kestro://internal/a"), String("./internal/a"));
  EXPECT_EQ(host.PathToFilePath("kestro://external/b"), String("./external/b"));
  EXPECT_EQ(host.PathToFilePath("kestro://cloud/x"), String());
  EXPECT_EQ(host.PathToFilePath("kestro:data/x"), String());
  EXPECT_EQ(host.PathToFilePath("/etc/hostname"), String("/etc/hostname"));
  EXPECT_EQ(host.PathToFilePath("rel/x"), String("rel/x"));

  EXPECT_EQ(xq_data_FixDataPath("graphics/title.png"), String("kestro://data/graphics/title.png"));
  EXPECT_EQ(xq_data_FixDataPath("./x.png"), String("./x.png"));
  EXPECT_EQ(xq_data_FixDataPath("/abs/x.png"), String("/abs/x.png"));
  EXPECT_EQ(xq_data_FixDataPath("kestro://data/x"), String("kestro://data/x"));
  EXPECT_EQ(xq_data_FixDataPath("http://host/x"), String("http://host/x"));
  // ":/" after a folder name is not a scheme.
  EXPECT_EQ(xq_data_FixDataPath("a/b:/c"), String("kestro://data/a/b:/c"));
}

TEST_F(Files, DataLoadsWholeAcrossBlockBoundariesAndMissingFilesGiveNull) {
  std::string bytes;
  for (int i = 0; i < 4096 * 2 + 17; ++i) bytes.push_back(char(i * 7));
  Write("data/big.bin", bytes);
  Write("data/block.bin", bytes.substr(0, 4096));
  Write("data/empty.bin", "");

  int length = -1;
  auto data = host.LoadData("kestro://data/big.bin", &length);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data.get()), size_t(length)), bytes);
  data = host.LoadData("kestro://data/block.bin", &length);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(length, 4096);
  data = host.LoadData("kestro://data/empty.bin", &length);
  EXPECT_NE(data, nullptr);
  EXPECT_EQ(length, 0);

  EXPECT_EQ(host.LoadData("kestro://data/missing.bin", &length), nullptr);
  EXPECT_EQ(host.LoadData("kestro://elsewhere/big.bin", &length), nullptr);
  EXPECT_EQ(host.OpenFile("kestro://elsewhere/big.bin", "rb"), nullptr);
  EXPECT_EQ(host.LoadString("kestro://data/missing.txt"), String());
}

// A file past the limit (sparse: it costs no disk) is refused from its size before anything is
// read, and a named pipe at once (opening it used to wait for a writer for ever); one line each,
// once per file.
TEST_F(Files, DataPastTheLimitOrNotInAFileIsRefusedAtOnceWithOneLine) {
  Write("data/huge.bin", "");
  fs::resize_file("data/huge.bin", kDataFileLimit + 1);
  ASSERT_EQ(mkfifo("data/pipe", 0600), 0);
  int length = -1;
  testing::internal::CaptureStdout();
  EXPECT_EQ(host.LoadData("kestro://data/huge.bin", &length), nullptr);
  EXPECT_EQ(host.LoadString("kestro://data/huge.bin"), String());
  EXPECT_EQ(host.LoadString("kestro://data/pipe"), String());
  EXPECT_EQ(host.LoadData("kestro://data/pipe", &length), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Data not loaded from ./data/huge.bin: it is " + std::to_string(kDataFileLimit + 1) +
                " bytes, more than " + std::to_string(kDataFileLimit) +
                "\nText not loaded from ./data/pipe: it is a named pipe\n");
}

TEST_F(Files, TextDecodingHonoursByteOrderMarks) {
  EXPECT_EQ(xq_data_DecodeText("\xFE\xFF\x00\x41\x20\xAC\x00"sv), String(u"A\u20AC"));
  EXPECT_EQ(xq_data_DecodeText("\xFF\xFE\x41\x00\xAC\x20"sv), String(u"A\u20AC"));
  EXPECT_EQ(xq_data_DecodeText("\xEF\xBB\xBFh\xC3\xA9"), String(u"h\u00E9"));
  EXPECT_EQ(xq_data_DecodeText("\xEF\xBB"), String(u"\u00EF\u00BB"));
  EXPECT_EQ(xq_data_DecodeText(""), String());
  Write("data/bom.txt",
        "\xEF\xBB\xBF"
        "caf\xC3\xA9");
  EXPECT_EQ(host.LoadString("kestro://data/bom.txt"), String(u"caf\u00E9"));
}

TEST_F(Files, InvalidUtf8LoadsByteForByte) {
  for (std::string bad : {"ok\x80", "\xF0\x9F\x98\x80", "cut\xE2\x82", "\xC3", "a\xC3x"}) {
    const String text = xq_data_DecodeText(bad);
    EXPECT_EQ(text, String::FromLatin1(bad));
    EXPECT_EQ(xq_data_LastLoadError(), String("Invalid UTF-8"));
  }
  EXPECT_EQ(xq_data_DecodeText("\xEF\xBB\xBF\xFFz"), String(u"\u00FFz"));  // the mark stays skipped
  EXPECT_EQ(xq_data_DecodeText("fine"), String("fine"));
  EXPECT_EQ(xq_data_LastLoadError(), String());
}

TEST_F(Files, StateTextAboveAsciiSurvivesSaveAndLoad) {
  const String state(u"name|Zo\u00EB|\u20AC5|\u0800|\uFFFF|");
  EXPECT_EQ(host.LoadState(), String());
  EXPECT_EQ(host.SaveState(state), 0);
  EXPECT_EQ(Read(".kestrostate"), state.ToUtf8());
  EXPECT_EQ(host.LoadState(), state);
  EXPECT_EQ(OtherEntries(), 0);
  struct stat info {};
  ASSERT_EQ(stat(".kestrostate", &info), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

TEST_F(Files, AnEmptyStateLeavesAnEmptyFile) {
  Write(".kestrostate", "old state");
  EXPECT_EQ(host.SaveState(String()), 0);
  EXPECT_TRUE(fs::exists(".kestrostate"));
  EXPECT_EQ(fs::file_size(".kestrostate"), 0u);
  EXPECT_EQ(host.LoadState(), String());
}

TEST_F(Files, AFolderThatCannotBeWrittenGivesMinusOneAndKeepsTheOldState) {
  Write(".kestrostate", "old state");
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                               fs::perms::others_exec);  // 0505
  const ChildResult result = RunInChild([] {
    // Root writes anywhere: make the attempt as an ordinary user.
    if (geteuid() == 0 &&
        (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)) {
      _exit(100);
    }
    XQGame child;
    _exit(child.SaveState("new state") == -1 ? 0 : 1);
  });
  fs::permissions(folder_, fs::perms::owner_all);
  if (result.status == 100) GTEST_SKIP() << "cannot drop root privileges here";
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "State not saved to ./.kestrostate: cannot create a temporary file: Permission denied "
            "(the previous state is kept)\n");
  EXPECT_EQ(Read(".kestrostate"), "old state");
  EXPECT_EQ(OtherEntries(), 0);
}

// A full disk, as a file-size limit: the save says why and fails, the old state stays, and the next
// save with room succeeds.
TEST_F(Files, AShortWriteGivesMinusTwoSaysWhyAndKeepsTheOldState) {
  Write(".kestrostate", "old state");
  const ChildResult result = RunInChild([] {
    std::signal(SIGXFSZ, SIG_IGN);  // as the program does at start
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlim_t room = limit.rlim_cur;
    limit.rlim_cur = 16;  // files may not grow beyond 16 bytes
    setrlimit(RLIMIT_FSIZE, &limit);
    XQGame child;
    const String text("a state text longer than sixteen bytes");
    if (child.SaveState(text) != -2) _exit(1);
    if (access(".kestrostate", F_OK) != 0 || std::ifstream(".kestrostate").get() != 'o') _exit(2);
    limit.rlim_cur = room;
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(child.SaveState(text) == 0 ? 0 : 3);
  });
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "State not saved to ./.kestrostate: cannot write: File too large (the previous state "
            "is kept)\n");
  EXPECT_EQ(Read(".kestrostate"), "a state text longer than sixteen bytes");
  EXPECT_EQ(OtherEntries(), 0);
}

}  // namespace
