#pragma once
// File names in the program's own text encoding, for messages.

#include <filesystem>
#include <string>

namespace vcl {

// The path as code page 932 text: the file system's UTF-8 bytes converted,
// and every character code page 932 lacks (or every byte that is not UTF-8)
// shown as "?". Any thread may call it.
std::string PathToCp932Text(const std::filesystem::path& file);

}  // namespace vcl
