#pragma once
// Whole-file reads and crash-safe replacement of the program's data files.
// Failures are values, never exceptions (only memory running out throws): a
// read that fails gives nullopt, a write that fails gives false and the message
// to show, in code page 932. The data files' routines (code_file.h,
// price_files.h) follow the same rule.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// The bytes of a regular file, at most `maxBytes` of them from its start;
// nullopt when it is missing, not a regular file or cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file,
                                         size_t maxBytes = std::numeric_limits<size_t>::max());

// Replaces `file` with `bytes` through a temporary file beside it
// (vcl::ReplaceFileContents), so a crash or a full disk leaves either the old
// or the new file, never a cut one; a read-only file is never replaced. False
// when any step fails: the old file is then left as it was, no temporary file
// remains, and `error` (when given) receives
// "ファイル "<file>" を保存できません: <reason>", the reason in Japanese too.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                                       std::string* error = nullptr);
// The same with the bytes made by `produce` as it calls its writer, a piece at
// a time, for a file too large to be held whole first.
[[nodiscard]] bool WriteFileAtomicallyFrom(
    const std::filesystem::path& file,
    const std::function<void(const std::function<void(std::string_view)>& write)>& produce,
    std::string* error = nullptr);
