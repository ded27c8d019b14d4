#include "data/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "data/write_failure_reason.h"
#include "vcl/path_text.h"
#include "vcl/replace_file.h"

namespace {

// Closes a descriptor on every path out of a function.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// "ファイル "<path>" を保存できません: <reason>"
std::string WriteErrorMessage(const std::filesystem::path& file, int error) {
  return "\x83\x74\x83\x40\x83\x43\x83\x8B \"" + vcl::PathToCp932Text(file) +
         "\" \x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1: " +
         WriteFailureReason(error);
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file, size_t maxBytes) {
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  struct stat info;
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::string bytes;
  // Room for the whole file at once: grown by doubling, a large file would
  // cost up to three times its size while it is read.
  bytes.reserve(std::min(static_cast<size_t>(std::max<off_t>(info.st_size, 0)), maxBytes));
  char buffer[65536];
  while (bytes.size() < maxBytes) {
    const size_t wanted = std::min(sizeof buffer, maxBytes - bytes.size());
    const ssize_t got = ::read(fd.get(), buffer, wanted);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return bytes;
}

bool WriteFileAtomicallyFrom(
    const std::filesystem::path& file,
    const std::function<void(const std::function<void(std::string_view)>& write)>& produce,
    std::string* error) {
  std::error_code failure;
  if (vcl::ReplaceFileContentsFrom(file, produce, failure)) return true;
  if (error) *error = WriteErrorMessage(file, failure.value());
  return false;
}

bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         std::string* error) {
  std::error_code failure;
  if (vcl::ReplaceFileContents(file, bytes, failure)) return true;
  if (error) *error = WriteErrorMessage(file, failure.value());
  return false;
}
