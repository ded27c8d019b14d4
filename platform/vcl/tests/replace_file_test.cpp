#include "vcl/replace_file.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "vcl/inifile.h"
#include "vcl/path_text.h"
#include "vcl/testing/test_dir.h"

namespace vcl {
namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public ::testing::Test {
 protected:
  static std::string BytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  long EntriesInDir() const {
    return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
  }
  static mode_t ModeOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
  }

  const TestDir scratch_;
  const fs::path dir_ = scratch_.path();
};

TEST_F(ReplaceFileTest, CreatesAndReplacesTheWholeFile) {
  const fs::path file = dir_ / "Code.txt";
  ASSERT_TRUE(ReplaceFileContents(file, "first\r\nfile\r\n"));
  EXPECT_EQ(BytesOf(file), "first\r\nfile\r\n");
  ASSERT_TRUE(ReplaceFileContents(file, "x"));
  EXPECT_EQ(BytesOf(file), "x");
  ASSERT_TRUE(ReplaceFileContents(file, ""));
  EXPECT_EQ(BytesOf(file), "");
  EXPECT_EQ(EntriesInDir(), 1);
}

TEST_F(ReplaceFileTest, AFailureSaysWhyAndLeavesNothingBehind) {
  // A directory in the way of the rename.
  const fs::path blocked = dir_ / "Code.txt";
  fs::create_directory(blocked);
  std::ofstream(blocked / "inside") << "kept";
  std::error_code error;
  EXPECT_FALSE(ReplaceFileContents(blocked, "new", error));
  EXPECT_EQ(error.value(), EISDIR);
  EXPECT_EQ(BytesOf(blocked / "inside"), "kept");
  EXPECT_EQ(EntriesInDir(), 1);

  // No directory to put the temporary file in.
  EXPECT_FALSE(ReplaceFileContents(dir_ / "missing" / "Code.txt", "new", error));
  EXPECT_EQ(error.value(), ENOENT);

  // Success clears an earlier error.
  EXPECT_TRUE(ReplaceFileContents(dir_ / "ok.txt", "new", error));
  EXPECT_FALSE(error);
}

TEST_F(ReplaceFileTest, BytesMadeInPiecesBecomeTheFileOnlyWhenAllWentWell) {
  const fs::path file = dir_ / "Pair.csv";
  ASSERT_TRUE(ReplaceFileContents(file, "old"));
  // Small pieces and one larger than the writer's block, in order.
  std::string expected;
  std::error_code error;
  ASSERT_TRUE(ReplaceFileContentsFrom(
      file,
      [&expected](const ByteWriter& write) {
        for (int i = 0; i < 20000; ++i) {
          const std::string line = std::to_string(i) + "\t\x83\x41\r\n";
          write(line);
          expected += line;
        }
        const std::string large(200000, 'x');
        write(large);
        expected += large;
        write("");
      },
      error));
  EXPECT_EQ(BytesOf(file), expected);

  // A maker that fails half-way leaves the old file and no temporary one.
  EXPECT_THROW(ReplaceFileContentsFrom(
                   file,
                   [](const ByteWriter& write) {
                     write("partial");
                     throw std::runtime_error("stopped");
                   },
                   error),
               std::runtime_error);
  EXPECT_EQ(BytesOf(file), expected);
  EXPECT_EQ(EntriesInDir(), 1);
}

TEST_F(ReplaceFileTest, AFileThatIsNotWritableIsLeftAsItIs) {
  const fs::path file = dir_ / "Code.txt";
  ASSERT_TRUE(ReplaceFileContents(file, "old"));
  for (const mode_t mode : {0444, 0400, 0000}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
    std::error_code error;
    EXPECT_FALSE(ReplaceFileContents(file, "new", error));
    EXPECT_EQ(error.value(), EACCES);
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    EXPECT_EQ(BytesOf(file), "old");
    EXPECT_EQ(EntriesInDir(), 1);
  }
  // A writable file keeps its mode across the replacement.
  ASSERT_EQ(::chmod(file.c_str(), 0620), 0);
  EXPECT_TRUE(ReplaceFileContents(file, "new"));
  EXPECT_EQ(BytesOf(file), "new");
  EXPECT_EQ(ModeOf(file), 0620u);
}

// A file system mounted read-only is told as such, not as a missing
// permission: by the replacement of a file there and by the settings file
// written there. The mount lives in a mount namespace of a child process of
// its own; where the system allows none, the test is skipped.
TEST_F(ReplaceFileTest, AReadOnlyFileSystemIsToldAsSuch) {
  enum Outcome { kAsExpected, kExistingFile, kNewFile, kSettingsFile, kNoMount = 77 };
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    // Without the right to mount, a user namespace of its own gives it; its
    // one user is this one.
    const auto inUserNamespace = [&] {
      if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
      std::ofstream("/proc/self/setgroups") << "deny";
      std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
      std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
      return true;
    };
    const bool ownNamespace = ::unshare(CLONE_NEWNS) == 0 || inUserNamespace();
    // The mounts below must not reach the rest of the system.
    if (!ownNamespace || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k") != 0) {
      ::_exit(kNoMount);
    }
    const fs::path file = dir_ / "Dyadmark.ini";
    if (!ReplaceFileContents(file, "[S]\r\nk=old\r\n") ||
        ::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
      ::_exit(kNoMount);
    }
    std::error_code error;
    if (ReplaceFileContents(file, "new", error) || error.value() != EROFS) ::_exit(kExistingFile);
    if (ReplaceFileContents(dir_ / "new.txt", "new", error) || error.value() != EROFS)
      ::_exit(kNewFile);
    try {
      TIniFile(file).WriteString("S", "k", "new");
      ::_exit(kSettingsFile);
    } catch (const EIniFileException& failure) {
      if (failure.Error() != EROFS) ::_exit(kSettingsFile);
    }
    ::_exit(kAsExpected);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kNoMount) GTEST_SKIP() << "no read-only file system to be had";
  EXPECT_EQ(WEXITSTATUS(status), kAsExpected);
}

TEST_F(ReplaceFileTest, ASymbolicLinkIsReplacedItselfNeverWrittenThrough) {
  const struct {
    const char* name;
    std::function<bool(const fs::path&)> save;
  } writers[] = {
      {"a whole file", [](const fs::path& file) { return ReplaceFileContents(file, "new"); }},
      {"one settings key",
       [](const fs::path& file) {
         TIniFile(file).WriteString("S", "k", "new");
         return true;
       }},
      {"a batch of settings keys",
       [](const fs::path& file) {
         TIniFile ini(file);
         TIniFileUpdate update(ini);
         ini.WriteString("S", "k", "new");
         ini.WriteString("S", "l", "new");
         update.Commit();
         return true;
       }},
  };
  const fs::path elsewhere = dir_ / "elsewhere";
  fs::create_directory(elsewhere);
  // What the link becomes is a new file, with a new file's mode: neither the
  // link's own (every bit) nor its target's.
  ASSERT_TRUE(ReplaceFileContents(elsewhere / "fresh", ""));
  const mode_t freshMode = ModeOf(elsewhere / "fresh");
  for (const auto& writer : writers) {
    SCOPED_TRACE(writer.name);
    const fs::path victim = elsewhere / "victim";
    // Read-only: the link is no reason to refuse the save, nor a way to
    // take the target's mode over.
    const fs::path readOnly = elsewhere / "read-only";
    const fs::path missing = elsewhere / "missing";
    std::ofstream(victim, std::ios::binary) << "[S]\r\nk=victim\r\n";
    ASSERT_EQ(::chmod(victim.c_str(), 0640), 0);
    fs::remove(readOnly);
    std::ofstream(readOnly, std::ios::binary) << "[S]\r\nk=read-only\r\n";
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    fs::remove(missing);
    for (const fs::path& target : {victim, readOnly, missing}) {
      SCOPED_TRACE(target.filename().string());
      const fs::path link = dir_ / "Dyadmark.ini";
      fs::remove(link);
      fs::create_symlink(target, link);
      ASSERT_TRUE(writer.save(link));
      EXPECT_FALSE(fs::is_symlink(link));
      EXPECT_NE(BytesOf(link).find("new"), std::string::npos);
      EXPECT_EQ(ModeOf(link), freshMode);
      EXPECT_EQ(BytesOf(victim), "[S]\r\nk=victim\r\n");
      EXPECT_EQ(BytesOf(readOnly), "[S]\r\nk=read-only\r\n");
      EXPECT_EQ(ModeOf(readOnly), 0444u);
      EXPECT_FALSE(fs::exists(missing));
    }
    EXPECT_EQ(EntriesInDir(), 2);
  }
}

// A process of its own that lives until it is ended.
class LiveProcess {
 public:
  LiveProcess() : pid_(::fork()) {
    if (pid_ == 0) {
      for (;;) ::pause();
    }
  }
  ~LiveProcess() { End(); }
  LiveProcess(const LiveProcess&) = delete;
  LiveProcess& operator=(const LiveProcess&) = delete;
  pid_t Pid() const { return pid_; }
  // Kills it and waits until its process id is free.
  void End() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_;
};

// Another instance of the program saving in the same folder: its temporary
// file stays while it runs, and goes once it is gone.
TEST_F(ReplaceFileTest, ASaveOfAnotherRunningProcessStaysUntilItEnds) {
  LiveProcess other;
  ASSERT_GT(other.Pid(), 0);
  const fs::path save =
      dir_ / ("Dyadmark.ini.dyadmark-save-" + std::to_string(other.Pid()) + "-0-1.tmp");
  std::ofstream(save) << "being written";
  RemoveLeftoverTemporaryFiles(dir_);
  EXPECT_TRUE(fs::exists(save));
  other.End();
  RemoveLeftoverTemporaryFiles(dir_);
  EXPECT_FALSE(fs::exists(save));
}

TEST_F(ReplaceFileTest, LeftoversOfCutShortReplacementsAreRemoved) {
  // A process id that no process holds any more.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  const std::string gone = std::to_string(child);
  const std::string running = std::to_string(::getpid());

  const fs::path file = dir_ / "Dyadmark.ini";
  ASSERT_TRUE(ReplaceFileContents(file, "kept"));
  const char* const removed[] = {".dyadmark-save-", "Code.txt.dyadmark-save-"};
  for (const char* prefix : removed) {
    std::ofstream(dir_ / (std::string(prefix) + gone + "-0-17.tmp")) << "cut short";
  }
  fs::create_symlink(dir_ / "missing", dir_ / ("1301.txt.dyadmark-save-" + gone + "-1-2.tmp"));
  const std::string kept[] = {
      "Dyadmark.ini",
      "Code.txt.dyadmark-save-" + running + "-4-5.tmp",  // a save of this process
      "notes.tmp",
      "Code.txt.dyadmark-save-x-0-1.tmp",
      "Code.txt.dyadmark-save-" + gone + "-0-1.txt",
  };
  for (const std::string& name : kept) {
    if (name != "Dyadmark.ini") std::ofstream(dir_ / name) << "someone's";
  }
  RemoveLeftoverTemporaryFiles(dir_);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected(std::begin(kept), std::end(kept));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
  EXPECT_EQ(BytesOf(file), "kept");
}

TEST(PathToCp932Text, ConvertsTheFileSystemsUtf8) {
  // "株価" is E6 A0 AA E4 BE A1 in UTF-8 and 8A 94 89 BF in code page 932.
  EXPECT_EQ(PathToCp932Text("/data/\xE6\xA0\xAA\xE4\xBE\xA1/1301.txt"),
            "/data/\x8A\x94\x89\xBF/1301.txt");
  // "é" (C3 A9) has no code page 932 form, and FF is no UTF-8 at all.
  EXPECT_EQ(PathToCp932Text("a\xC3\xA9z\xFFy"), "a?z?y");
  EXPECT_EQ(PathToCp932Text(""), "");
}

}  // namespace
}  // namespace vcl
