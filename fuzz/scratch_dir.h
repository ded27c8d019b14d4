#pragma once
// A directory of this fuzzing process's own, on a memory file system where
// there is one (the readers' files are written and synced on every input),
// removed when the process ends.

#include <filesystem>
#include <string>
#include <string_view>

namespace fuzz {

const std::filesystem::path& ScratchDir();

// Writes `bytes` as `file`, replacing what was there.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);
// The bytes of `file`, empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& file);

}  // namespace fuzz
