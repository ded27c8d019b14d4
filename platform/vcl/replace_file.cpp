#include "vcl/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <string_view>

namespace vcl {
namespace {

// Temporary files are "<name>.dyadmark-save-<pid>-<n>-<t>.tmp": the program
// knows them as its own, and the writer's process id tells whether one is
// still being written.
constexpr std::string_view kTemporaryMark = ".dyadmark-save-";
constexpr std::string_view kTemporaryEnd = ".tmp";

// A name no other writer of the same file uses at the same moment.
std::filesystem::path TemporaryNameBeside(const std::filesystem::path& file) {
  static std::atomic<unsigned> counter{0};
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  std::string name = file.filename().string();
  name += std::string(kTemporaryMark) + std::to_string(::getpid()) + "-" +
          std::to_string(counter++) + "-" +
          std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ull) +
          std::string(kTemporaryEnd);
  return file.parent_path() / name;
}

// The writer's process id of one of our temporary file names.
std::optional<pid_t> WriterOfTemporaryName(std::string_view name) {
  if (name.size() < kTemporaryEnd.size() ||
      name.substr(name.size() - kTemporaryEnd.size()) != kTemporaryEnd) {
    return std::nullopt;
  }
  const size_t mark = name.rfind(kTemporaryMark);
  if (mark == std::string_view::npos) return std::nullopt;
  const std::string_view rest = name.substr(mark + kTemporaryMark.size());
  pid_t pid = 0;
  const auto [end, failure] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
  if (failure != std::errc() || end == rest.data() || *end != '-' || pid <= 0) return std::nullopt;
  return pid;
}

bool ProcessRuns(pid_t pid) { return pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH; }

// 0, or the errno of the write that failed.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

// The directory entry of the rename must reach the disk as well; a file system
// that cannot sync a directory still did the rename, so this is best effort.
void SyncDirectory(const std::filesystem::path& directory) {
  const int fd =
      ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// 0 when `file` may be replaced, else why not. A file without any write
// permission bit is read-only even for the superuser, as a file with the
// read-only attribute is for every user; the rename would replace it all the
// same, so it is asked first. The system's own answer comes first, so that a
// file system mounted read-only is told as such (EROFS), not as a permission.
int WriteRefusal(const std::filesystem::path& file, const struct stat& status) {
  if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) return errno;
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
  return 0;
}

// Gathers small writes into blocks; remembers the first failure, after which
// it writes nothing more.
class BlockWriter {
 public:
  explicit BlockWriter(int fd) : fd_(fd) { block_.reserve(kBlock); }
  void Write(std::string_view bytes) {
    if (failure_ != 0) return;
    if (block_.size() + bytes.size() > kBlock) Flush();
    if (bytes.size() >= kBlock) {
      if (failure_ == 0) failure_ = WriteAll(fd_, bytes);
      return;
    }
    block_.append(bytes);
  }
  // 0, or the errno of the write that failed.
  int Finish() {
    Flush();
    return failure_;
  }

 private:
  static constexpr size_t kBlock = size_t{1} << 16;
  void Flush() {
    if (failure_ == 0 && !block_.empty()) failure_ = WriteAll(fd_, block_);
    block_.clear();
  }

  int fd_;
  std::string block_;
  int failure_ = 0;
};

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes,
                         std::error_code& error) {
  return ReplaceFileContentsFrom(
      file, [bytes](const ByteWriter& write) { write(bytes); }, error);
}

bool ReplaceFileContentsFrom(const std::filesystem::path& file,
                             const std::function<void(const ByteWriter& write)>& produce,
                             std::error_code& error) {
  error.clear();
  // A symbolic link is replaced itself, never written through: a link planted
  // in a folder others can write to must not redirect the save.
  const std::filesystem::path& target = file;
  struct stat existing {};
  const bool exists = ::lstat(target.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode);
  if (const int refusal = exists ? WriteRefusal(target, existing) : 0; refusal != 0) {
    error.assign(refusal, std::generic_category());
    return false;
  }

  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = TemporaryNameBeside(target);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    error.assign(errno, std::generic_category());
    return false;
  }

  int failure = 0;
  if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) failure = errno;
  if (failure == 0) {
    BlockWriter writer(fd);
    try {
      produce([&writer](std::string_view bytes) { writer.Write(bytes); });
    } catch (...) {
      ::close(fd);
      ::unlink(temporary.c_str());
      throw;
    }
    failure = writer.Finish();
  }
  if (failure == 0 && ::fsync(fd) != 0) failure = errno;
  // A delayed write error shows at the close.
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temporary.c_str());
    error.assign(failure, std::generic_category());
    return false;
  }
  SyncDirectory(target.parent_path());
  return true;
}

bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes) {
  std::error_code ignored;
  return ReplaceFileContents(file, bytes, ignored);
}

void RemoveLeftoverTemporaryFiles(const std::filesystem::path& directory) {
  std::error_code error;
  std::filesystem::directory_iterator entries(directory, error);
  if (error) return;
  for (const std::filesystem::directory_entry& entry : entries) {
    const std::string name = entry.path().filename().string();
    const std::optional<pid_t> writer = WriterOfTemporaryName(name);
    if (!writer || ProcessRuns(*writer)) continue;
    ::unlink(entry.path().c_str());
  }
}

}  // namespace vcl
