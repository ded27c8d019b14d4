#include "screening/result_sort.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

#include "vcl/convert.h"
#include "vcl/cp932_text.h"

namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

// A cell read as a number; one that is none counts as 0.
double NumberOf(std::string_view text) {
  double value = 0.0;
  if (!vcl::TryStrToFloat(text, value)) return 0.0;
  return value;
}

// 100 x first - 100 x second, truncated toward zero: equal to 1/100.
int CompareHundredths(double first, double second) {
  const double difference = std::trunc(100.0 * first - 100.0 * second);
  if (difference > 0) return 1;
  if (difference < 0) return -1;
  return 0;
}

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
    case kSortNumber:
      return CompareHundredths(NumberOf(s1), NumberOf(s2));
    case kSortNumberDescending:
      return CompareHundredths(NumberOf(s2), NumberOf(s1));
    case kSortAbsoluteText:
      return CompareText(WithoutMinus(s1), WithoutMinus(s2));
    case kSortRatio:
      return CompareText(RatioNumber(s1), RatioNumber(s2));
    case kSortMarket:
      return CompareText(vcl::IntToStr(o1) + std::string(s1), vcl::IntToStr(o2) + std::string(s2));
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
