#include "data/excluded_codes.h"

#include <algorithm>
#include <optional>

#include "data/file_io.h"
#include "vcl/cp932_text.h"

void ExcludedCodeList::Load(const std::filesystem::path& file) {
  codes_.clear();
  changed_ = false;
  const std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return;
  for (std::string& line : vcl::SplitLines(*bytes)) {
    if (!line.empty()) codes_.push_back(std::move(line));
  }
  std::sort(codes_.begin(), codes_.end());
  codes_.erase(std::unique(codes_.begin(), codes_.end()), codes_.end());
}

bool ExcludedCodeList::Save(const std::filesystem::path& file, std::string* error) const {
  return !changed_ || WriteFileAtomically(file, vcl::JoinLinesCrlf(codes_), error);
}

bool ExcludedCodeList::Contains(const std::string& code) const {
  return std::binary_search(codes_.begin(), codes_.end(), code);
}

void ExcludedCodeList::Add(const std::string& code) {
  const auto at = std::lower_bound(codes_.begin(), codes_.end(), code);
  if (at == codes_.end() || *at != code) codes_.insert(at, code);
  changed_ = true;
}

void ExcludedCodeList::Clear() {
  codes_.clear();
  changed_ = true;
}
