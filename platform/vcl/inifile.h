#pragma once
// A settings file with the semantics of Windows private-profile files:
// sections and keys matched ignoring ASCII case (never folding a code page 932
// trail byte), values trimmed with one pair of enclosing quotes dropped,
// integers decimal or "0x" hexadecimal with the default on anything else,
// booleans written "1"/"0" and read as integer != 0. Every write goes through
// to the file at once; lines the writer did not touch are kept byte for byte.
// The file is code page 932 with CR LF line ends and no byte-order mark, and is
// replaced through a temporary file, so a failed write keeps the old file.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

// A write that could not be done. what() is "<file> に書き込めません" in code
// page 932 bytes.
class EIniFileException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TIniFile {
 public:
  // Opens `file`; a missing or unreadable file reads as empty.
  explicit TIniFile(std::filesystem::path file);

  const std::filesystem::path& FileName() const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  int32_t ReadInteger(std::string_view section, std::string_view key,
                      int32_t defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Throw EIniFileException when the file cannot be written.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The keys of `section`, in file order.
  std::vector<std::string> ReadSection(std::string_view section) const;
  // True only when the section holds at least one key.
  bool SectionExists(std::string_view section) const;
  // Removes the section and its keys. Throws EIniFileException.
  void EraseSection(std::string_view section);
  // Removes one key. Throws EIniFileException.
  void DeleteKey(std::string_view section, std::string_view key);

 private:
  std::filesystem::path file_;
  std::vector<std::string> lines_;
};

}  // namespace vcl
