#pragma once
// The automatic exclusion list: codes whose look-up on the web failed, kept
// in "C404.txt" of the program directory, one code a line, sorted, CR LF.
// Main thread only.

#include <filesystem>
#include <string>
#include <vector>

class ExcludedCodeList {
 public:
  // Replaces the list with the file's lines (empty lines skipped), sorted
  // and each once. A missing or unreadable file gives an empty list. The
  // list counts as unchanged afterwards.
  void Load(const std::filesystem::path& file);
  // Writes the list when it changed since it was loaded; it stays marked as
  // changed, so every later save writes it again. False, with the old file
  // left as it was and `error` (when given) naming the file in code page 932,
  // when the file cannot be written.
  [[nodiscard]] bool Save(const std::filesystem::path& file, std::string* error = nullptr) const;

  const std::vector<std::string>& Codes() const { return codes_; }
  bool Contains(const std::string& code) const;
  // Adds a code at its sorted place (once) and marks the list changed.
  void Add(const std::string& code);
  // Empties the list and marks it changed.
  void Clear();
  bool Changed() const { return changed_; }

 private:
  std::vector<std::string> codes_;
  bool changed_ = false;
};
