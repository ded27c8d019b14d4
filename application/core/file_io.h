#pragma once
// Whole-file reads and crash-safe replacement of the program's data files.

#include <cstddef>
#include <filesystem>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// A data file could not be written. what() names the file, as code page 932
// text, with the system's reason.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bytes of a regular file, at most `maxBytes` of them from its start;
// nullopt when it is missing, not a regular file or cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file,
                                         size_t maxBytes = std::numeric_limits<size_t>::max());

// Replaces `file` with `bytes` through a temporary file beside it
// (vcl::ReplaceFileContents), so a crash or a full disk leaves either the old
// or the new file, never a cut one. Throws FileWriteError
// ("ファイル "<file>" を保存できません: <reason>") when any step fails; the old
// file is then left as it was and no temporary file remains.
void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);
