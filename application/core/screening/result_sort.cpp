#include "screening/result_sort.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

#include "vcl/convert.h"
#include "vcl/cp932_text.h"

namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

std::string_view WithoutMinus(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  return text;
}

// The number of a ratio text ("r : 1" or "1 : n"), padded to five places.
std::string RatioNumber(std::string_view text) {
  std::string number;
  if (text.substr(0, 4) == "1 : ") {
    number = text.substr(4);
  } else {
    number = text.substr(0, text.size() >= 4 ? text.size() - 4 : 0);
  }
  if (number.size() < 5) number.insert(0, 5 - number.size(), '0');
  return number;
}

}  // namespace

double SortNumberOf(std::string_view text) {
  double value = 0.0;
  if (!vcl::TryStrToFloat(text, value)) return 0.0;
  return value;
}

int CompareHundredths(double first, double second) {
  const double difference = std::trunc(100.0 * first - 100.0 * second);
  if (difference > 0) return 1;
  if (difference < 0) return -1;
  return 0;
}

bool IsTextSortKind(int32_t kind) {
  return kind == kSortText || kind == kSortTextDescending || kind == kSortAbsoluteText ||
         kind == kSortRatio || kind == kSortMarket;
}

std::string ComparedText(int32_t kind, std::string_view text, int32_t object) {
  switch (kind) {
    case kSortAbsoluteText:
      return std::string(WithoutMinus(text));
    case kSortRatio:
      return RatioNumber(text);
    case kSortMarket:
      return vcl::IntToStr(object) + std::string(text);
    default:
      return std::string(text);
  }
}

int CompareText(std::string_view s1, std::string_view s2) {
  const size_t common = std::min(s1.size(), s2.size());
  bool trail = false;
  for (size_t i = 0; i < common; ++i) {
    auto c1 = static_cast<unsigned char>(s1[i]);
    auto c2 = static_cast<unsigned char>(s2[i]);
    if (!trail) {
      c1 = FoldAscii(c1);
      c2 = FoldAscii(c2);
    }
    if (c1 != c2) return static_cast<int>(c1) - static_cast<int>(c2);
    trail = !trail && vcl::IsLeadByte(c1);
  }
  return static_cast<int>(s1.size()) - static_cast<int>(s2.size());
}

int CompareResultCells(int32_t kind, std::string_view s1, int32_t o1, std::string_view s2,
                       int32_t o2) {
  switch (kind) {
    case kSortText:
      return CompareText(s1, s2);
    case kSortTextDescending:
      return -CompareText(s1, s2);
    case kSortAbsoluteText:
    case kSortRatio:
    case kSortMarket:
      return CompareText(ComparedText(kind, s1, o1), ComparedText(kind, s2, o2));
    case kSortNumber:
      return CompareHundredths(SortNumberOf(s1), SortNumberOf(s2));
    case kSortNumberDescending:
      return CompareHundredths(SortNumberOf(s2), SortNumberOf(s1));
    case kSortSector:
      return (o1 > o2) - (o1 < o2);
    default:
      return 0;
  }
}

std::vector<size_t> SortedRowOrder(const std::vector<ScreeningResultRow>& rows, int subItem,
                                   int32_t kind) {
  std::vector<size_t> order(rows.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const ScreeningResultRow& r1 = rows[a];
    const ScreeningResultRow& r2 = rows[b];
    return CompareResultCells(kind, r1.SubItem(subItem), r1.SubItemObject(subItem),
                              r2.SubItem(subItem), r2.SubItemObject(subItem)) < 0;
  });
  return order;
}
