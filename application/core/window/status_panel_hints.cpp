#include "window/status_panel_hints.h"

#include "window/main_pages.h"

namespace {

// Panels 1 and 2 by page. A hint that takes two literals stands in
// parentheses: one element, not two that lack a comma.
constexpr const char* kPanel1Hints[3] = {
    // " ? 銘柄データ件数"
    " ? \x96\xC1\x95\xBF\x83\x66\x81\x5B\x83\x5E\x8C\x8F\x90\x94",
    // " ? テクニカル分析結果件数"
    (" ? \x83\x65\x83\x4E\x83\x6A\x83\x4A\x83\x8B\x95\xAA\x90\xCD\x8C\x8B\x89\xCA\x8C\x8F\x90"
     "\x94"),
    // " ? 銘柄ペア 相関係数"
    " ? \x96\xC1\x95\xBF\x83\x79\x83\x41 \x91\x8A\x8A\xD6\x8C\x57\x90\x94",
};
constexpr const char* kPanel2Hints[3] = {
    // " ? 時系列データ件数"
    " ? \x8E\x9E\x8C\x6E\x97\xF1\x83\x66\x81\x5B\x83\x5E\x8C\x8F\x90\x94",
    // " ? スクリーニング銘柄ペア件数"
    (" ? \x83\x58\x83\x4E\x83\x8A\x81\x5B\x83\x6A\x83\x93\x83\x4F\x96\xC1\x95\xBF\x83\x79\x83"
     "\x41\x8C\x8F\x90\x94"),
    // " ? 乖離率 最大～最小"
    " ? \x98\xA8\x97\xA3\x97\xA6 \x8D\xC5\x91\xE5\x81\x60\x8D\xC5\x8F\xAC",
};
// " ? 乖離率 平均（±標準偏差）"
constexpr const char* kPanel3Hint =
    " ? \x98\xA8\x97\xA3\x97\xA6 \x95\xBD\x8B\xCF\x81\x69\x81\x7D\x95\x57\x8F\x80\x95\xCE\x8D"
    "\xB7\x81\x6A";
// " ? 乖離率 回帰係数（切片）"
constexpr const char* kPanel4Hint =
    " ? \x98\xA8\x97\xA3\x97\xA6 \x89\xF1\x8B\x41\x8C\x57\x90\x94\x81\x69\x90\xD8\x95\xD0\x81"
    "\x6A";

// The hint of panel 1 to 4 on `page`, or null where the hint stays as it was.
const char* PanelHint(int32_t panel, int32_t page) {
  const bool knownPage = page >= kPageCodeData && page <= kPagePairCheck;
  switch (panel) {
    case 1:
      return knownPage ? kPanel1Hints[page] : nullptr;
    case 2:
      return knownPage ? kPanel2Hints[page] : nullptr;
    case 3:
      return kPanel3Hint;
    case 4:
      return kPanel4Hint;
    default:
      return nullptr;
  }
}

}  // namespace

std::optional<std::string> StatusPanelHint(int32_t x, const std::array<int32_t, 5>& widths,
                                           int32_t page) {
  int64_t right = widths[0];
  if (x <= right) return std::string();
  for (int32_t panel = 1; panel <= 4; ++panel) {
    right += widths[static_cast<size_t>(panel)];
    if (x > right) continue;
    const char* hint = PanelHint(panel, page);
    if (hint == nullptr) return std::nullopt;
    return std::string(hint);
  }
  return std::nullopt;
}

std::string StatusPanelMeaning(int32_t panel, int32_t page) {
  const char* hint = PanelHint(panel, page);
  // Every hint opens with " ? ".
  return hint != nullptr ? std::string(hint + 3) : std::string();
}
