#include "detail_values.h"

#include <array>

#include "library_state.h"
#include "page_reading.h"

namespace ticvane {

int32_t FillDetailPage(vcl::TStrings* page, const std::string& text, const DetailPageShape& shape) {
  page->SetText(text.c_str());
  const int count = page->GetCount();
  if (count < shape.shortestPage) return kTicvaneFailed;
  if (Equals(page->Get(shape.titleLine), shape.notFoundTitle)) return kTicvaneFailed;
  State().pageCursor = FindEqual(*page, 0, shape.bodyMarker).value_or(count);
  return kTicvaneOk;
}

int FirstBodyLine() { return State().pageCursor + 1; }

namespace {

// Code page 932 bytes. The rows are tested in order and the first hit wins,
// so "電気機器" (16) is found before "電気" (20) can claim it.
struct SectorRow {
  int32_t number;
  std::string_view first;
  std::string_view second;  // empty: the row has one word
};

constexpr std::array<SectorRow, 33> kSectorRows{{
    {1, "\x90\x85\x8e\x59", "\x94\x5f\x97\xd1"},           // 水産, 農林
    {2, "\x8d\x7a\x8b\xc6", ""},                           // 鉱業
    {3, "\x8c\x9a\x90\xdd", ""},                           // 建設
    {4, "\x90\x48\x97\xbf", ""},                           // 食料
    {5, "\x91\x40\x88\xdb", ""},                           // 繊維
    {6, "\x83\x70\x83\x8b", "\x8e\x86"},                   // パル, 紙
    {7, "\x89\xbb\x8a\x77", ""},                           // 化学
    {8, "\x88\xe3\x96\xf2", ""},                           // 医薬
    {9, "\x90\xce\x96\xfb", "\x90\xce\x92\x59"},           // 石油, 石炭
    {10, "\x83\x53\x83\x80", ""},                          // ゴム
    {11, "\x83\x4b\x83\x89", "\x93\x79\x90\xce"},          // ガラ, 土石
    {12, "\x93\x53\x8d\x7c", ""},                          // 鉄鋼
    {13, "\x94\xf1\x93\x53", ""},                          // 非鉄
    {14, "\x8b\xe0\x91\xae", ""},                          // 金属
    {15, "\x8b\x40\x8a\x42", ""},                          // 機械
    {16, "\x93\x64\x8b\x43\x8b\x40\x8a\xed", ""},          // 電気機器
    {17, "\x97\x41\x91\x97", ""},                          // 輸送
    {18, "\x90\xb8\x96\xa7", ""},                          // 精密
    {19, "\x82\xbb\x82\xcc\x91\xbc\x90\xbb\x95\x69", ""},  // その他製品
    {20, "\x93\x64\x8b\x43", "\x83\x4b\x83\x58"},          // 電気, ガス
    {21, "\x97\xa4\x89\x5e", ""},                          // 陸運
    {22, "\x8a\x43\x89\x5e", ""},                          // 海運
    {23, "\x8b\xf3\x89\x5e", ""},                          // 空運
    {24, "\x91\x71\x8c\xc9", "\x89\x5e\x97\x41"},          // 倉庫, 運輸
    {25, "\x8f\xee\x95\xf1", "\x92\xca\x90\x4d"},          // 情報, 通信
    {26, "\x89\xb5\x94\x84", ""},                          // 卸売
    {27, "\x8f\xac\x94\x84", ""},                          // 小売
    {28, "\x8b\xe2\x8d\x73", ""},                          // 銀行
    {29, "\x8f\xd8\x8c\x94", ""},                          // 証券
    {30, "\x95\xdb\x8c\xaf", ""},                          // 保険
    {31, "\x82\xbb\x82\xcc\x91\xbc\x8b\xe0\x97\x5a", ""},  // その他金融
    {32, "\x95\x73\x93\xae", ""},                          // 不動
    {33, "\x83\x54\x81\x5b", ""},                          // サー
}};

constexpr int32_t kSecuritiesSector = 29;
constexpr std::string_view kCommodityFutures = "\x8f\xa4\x95\x69\x90\xe6\x95\xa8";  // 商品先物

constexpr std::string_view kForeignSection = "\x8a\x4f\x8d\x91\x95\x94";  // 外国部
constexpr std::string_view kForeign = "\x8a\x4f\x8d\x91";                 // 外国

bool Holds(std::string_view text, std::string_view word) {
  return !word.empty() && text.find(word) != std::string_view::npos;
}

}  // namespace

int32_t SectorNumber(std::string_view text, SectorWords words) {
  for (const SectorRow& row : kSectorRows) {
    if (Holds(text, row.first) || Holds(text, row.second)) return row.number;
    if (row.number == kSecuritiesSector && words == SectorWords::kWithCommodityFutures &&
        Holds(text, kCommodityFutures)) {
      return row.number;
    }
  }
  return 0;
}

std::string ShortenedForeignSection(std::string_view market) {
  std::string shortened;
  size_t from = 0;
  for (size_t at = market.find(kForeignSection); at != std::string_view::npos;
       at = market.find(kForeignSection, from)) {
    shortened.append(market.substr(from, at - from));
    shortened += kForeign;
    from = at + kForeignSection.size();
  }
  shortened.append(market.substr(from));
  return shortened;
}

std::string TidiedPriceTime(std::string_view text) {
  if (!text.empty() && text.front() == '0') text.remove_prefix(1);
  std::string tidied;
  for (size_t i = 0; i < text.size(); ++i) {
    tidied += text[i];
    if (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '0') ++i;
  }
  return tidied;
}

}  // namespace ticvane
