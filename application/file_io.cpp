#include "file_io.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

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
  // Closes now and reports the result (a delayed write error shows here).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// "ファイル "<path>" を保存できません: <reason>"
[[noreturn]] void ThrowWriteError(const std::filesystem::path& file, int error) {
  throw FileWriteError("\x83\x74\x83\x40\x83\x43\x83\x8B \"" + PathForMessage(file) +
                       "\" \x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1: " +
                       std::strerror(error));
}

// A name of its own for every temporary file, also between two running
// programs that share the directory.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& file) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temporary = file;
  temporary += "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
  return temporary;
}

void SyncDirectoryOf(const std::filesystem::path& file) {
  std::filesystem::path directory = file.parent_path();
  if (directory.empty()) directory = ".";
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // the rename has happened; durability of the entry is best effort
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file, size_t maxBytes) {
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  struct stat info;
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::string bytes;
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

void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  const std::filesystem::path temporary = TemporaryPathFor(file);
  FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (fd.get() < 0) ThrowWriteError(file, errno);
  const auto fail = [&](int error) {
    ::unlink(temporary.c_str());
    ThrowWriteError(file, error);
  };
  if (!WriteAll(fd.get(), bytes)) fail(errno);
  if (::fsync(fd.get()) != 0) fail(errno);
  if (!fd.Close()) fail(errno);
  if (::rename(temporary.c_str(), file.c_str()) != 0) fail(errno);
  SyncDirectoryOf(file);
}

std::string PathForMessage(const std::filesystem::path& file) {
  const std::string& native = file.native();
  iconv_t converter = ::iconv_open("CP932", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    std::string ascii;
    for (unsigned char c : native) ascii += c < 0x80 ? static_cast<char>(c) : '?';
    return ascii;
  }
  std::string out;
  char* in = const_cast<char*>(native.data());
  size_t inLeft = native.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t result = ::iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      // A character code page 932 lacks, or bytes that are not UTF-8: skip
      // one character (a lead byte and its continuation bytes).
      out += '?';
      ++in;
      --inLeft;
      while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
        ++in;
        --inLeft;
      }
    }
  }
  ::iconv_close(converter);
  return out;
}
