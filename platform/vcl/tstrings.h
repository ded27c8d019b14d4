#pragma once
// Line lists that cross the boundary between the program and the quote library.
// Both sides are built from this one header, so the object layout and the
// virtual operations are the same on either side of the shared library.

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vcl/cp932_text.h"

namespace vcl {

// An ordered list of byte-string lines (code page 932 bytes, never converted).
// The owner creates and frees it; a callee only reads and refills it.
class TStrings {
 public:
  virtual ~TStrings() = default;

  // Line `index` (0-based) as a copy. Precondition: 0 <= index < GetCount().
  virtual std::string Get(int index) const = 0;

  // Number of lines.
  virtual int GetCount() const = 0;

  // Replaces every line with the lines of `text`: a line ends at CR, at LF or
  // at a CR LF pair; the ends are not kept; a last line without an end is kept
  // too; the text ends at its first zero byte.
  virtual void SetText(const char* text) = 0;
};

class TStringList final : public TStrings {
 public:
  TStringList() = default;

  std::string Get(int index) const override { return lines_[static_cast<size_t>(index)]; }
  int GetCount() const override { return static_cast<int>(lines_.size()); }
  void SetText(const char* text) override { SetText(std::string_view(text, std::strlen(text))); }

  // As SetText(const char*), for a text of known length; it still ends at its
  // first zero byte.
  void SetText(std::string_view text) {
    const size_t zero = text.find('\0');
    lines_ = SplitLines(zero == std::string_view::npos ? text : text.substr(0, zero));
  }

  // The whole list as one text, CR LF after every line.
  std::string Text() const { return JoinLinesCrlf(lines_); }

  const std::string& operator[](int index) const { return lines_[static_cast<size_t>(index)]; }
  std::string& operator[](int index) { return lines_[static_cast<size_t>(index)]; }
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  void Insert(int index, std::string line) {
    lines_.insert(lines_.begin() + index, std::move(line));
  }
  void Delete(int index) { lines_.erase(lines_.begin() + index); }
  void Clear() { lines_.clear(); }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace vcl
