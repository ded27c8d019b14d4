#include "scratch_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "fuzz_check.h"

namespace fuzz {
namespace {

std::filesystem::path MakeScratchDir() {
  std::error_code error;
  std::filesystem::path base = "/dev/shm";
  if (!std::filesystem::is_directory(base, error)) base = std::filesystem::temp_directory_path();
  std::string pattern = (base / "dyadmark-fuzz-XXXXXX").string();
  FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
  return pattern;
}

struct Scratch {
  std::filesystem::path dir = MakeScratchDir();
  ~Scratch() {
    std::error_code error;
    std::filesystem::remove_all(dir, error);
  }
};

}  // namespace

const std::filesystem::path& ScratchDir() {
  static const Scratch scratch;
  return scratch.dir;
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(out.good());
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace fuzz
