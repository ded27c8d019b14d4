#include "screening/price_save_failures.h"

#include <algorithm>

namespace {

// "スクリーニング中に時系列データのファイル <n> 件を保存できませんでした。
// これらの銘柄の株価は更新されていません。"
constexpr char kCountHead[] =
    "\x83\x58\x83\x4E\x83\x8A\x81\x5B\x83\x6A\x83\x93\x83\x4F\x92\x86\x82\xC9\x8E\x9E\x8C\x6E\x97"
    "\xF1\x83\x66\x81\x5B\x83\x5E\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B ";
constexpr char kCountTail[] =
    " \x8C\x8F\x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82"
    "\xBD\x81\x42\x82\xB1\x82\xEA\x82\xE7\x82\xCC\x96\xC1\x95\xBF\x82\xCC\x8A\x94\x89\xBF\x82\xCD"
    "\x8D\x58\x90\x56\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81\x42";
// "ほか <n> 件"
constexpr char kMoreHead[] = "\x82\xD9\x82\xA9 ";
constexpr char kMoreTail[] = " \x8C\x8F";

}  // namespace

void PriceSaveFailures::Add(const std::string& code, std::string message) {
  const bool noted = std::any_of(failures_.begin(), failures_.end(),
                                 [&](const auto& failure) { return failure.first == code; });
  if (!noted) failures_.emplace_back(code, std::move(message));
}

std::string PriceSaveFailures::Summary() const {
  if (failures_.empty()) return {};
  std::string text = kCountHead + std::to_string(failures_.size()) + kCountTail;
  const size_t named = std::min(failures_.size(), kNamedFiles);
  for (size_t i = 0; i < named; ++i) text += "\n" + failures_[i].second;
  if (failures_.size() > named) {
    text += "\n" + (kMoreHead + std::to_string(failures_.size() - named) + kMoreTail);
  }
  return text;
}
