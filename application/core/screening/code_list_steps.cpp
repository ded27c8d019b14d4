#include "screening/code_list_steps.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <system_error>

#include "data/file_io.h"
#include "data/price_files.h"
#include "data/statistics.h"
#include "pair/pair_item.h"
#include "vcl/convert.h"
#include "vcl/cp932_text.h"

namespace {

// clang-format off
constexpr std::string_view kPhaseExclusion = "\x96\xC1\x95\xBF\x83\x52\x81\x5B\x83\x68\x8F\x9C\x8A\x4F\x83\x60\x83\x46\x83\x62\x83\x4E\x92\x86";  // 銘柄コード除外チェック中
constexpr std::string_view kPhaseCodeData = "\x96\xC1\x95\xBF\x83\x66\x81\x5B\x83\x5E\x83\x60\x83\x46\x83\x62\x83\x4E\x92\x86";  // 銘柄データチェック中
constexpr std::string_view kPhaseLoan = "\x91\xDD\x8E\xD8\x96\xC1\x95\xBF\x83\x60\x83\x46\x83\x62\x83\x4E\x92\x86";  // 貸借銘柄チェック中
constexpr std::string_view kPhaseMarket = "\x8E\xE6\x88\xF8\x8F\x8A\x83\x60\x83\x46\x83\x62\x83\x4E\x92\x86";  // 取引所チェック中
constexpr std::string_view kPhaseSector = "\x8B\xC6\x8E\xED\x83\x60\x83\x46\x83\x62\x83\x4E\x92\x86";  // 業種チェック中
constexpr std::string_view kPhaseFetch = "\x8E\x9E\x8C\x6E\x97\xF1\x83\x66\x81\x5B\x83\x5E\x8E\xE6\x93\xBE\x92\x86";  // 時系列データ取得中
constexpr std::string_view kPhaseUpdate = "\x8E\x9E\x8C\x6E\x97\xF1\x83\x66\x81\x5B\x83\x5E\x8D\xB7\x95\xAA\x8D\x58\x90\x56\x92\x86";  // 時系列データ差分更新中
constexpr std::string_view kPhaseCost = "\x95\x4B\x97\x76\x93\x8A\x8E\x91\x8A\x7A\x83\x60\x83\x46\x83\x62\x83\x4E\x92\x86";  // 必要投資額チェック中
constexpr std::string_view kPhaseVolume = "\x95\xBD\x8B\xCF\x8F\x6F\x97\x88\x8D\x82\x83\x60\x83\x46\x83\x62\x83\x4E\x92\x86";  // 平均出来高チェック中

constexpr std::string_view kPhaseHead = " [ \x83\x58\x83\x4E\x83\x8A\x81\x5B\x83\x6A\x83\x93\x83\x4F ] ";  //  [ スクリーニング ]
constexpr std::string_view kPhaseTail = "\xA5\xA5\xA5 \x81\x69" "Alt+C\x82\xC5\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B\x81\x6A";  // ･･･ （Alt+Cでキャンセル）

constexpr std::string_view kTosho = "\x93\x8C\x8F\xD8";                   // 東証
constexpr std::string_view kTosho2 = "\x93\x8C\x8F\xD8" "2\x95\x94";      // 東証2部
constexpr std::string_view kMothers = "\x83\x7D\x83\x55\x81\x5B\x83\x59";  // マザーズ
constexpr std::string_view kDaisho = "\x91\xE5\x8F\xD8";                  // 大証
constexpr std::string_view kDaisho2 = "\x91\xE5\x8F\xD8" "2\x95\x94";     // 大証2部
constexpr std::string_view kHercules = "\x83\x77\x83\x89\x83\x4E\x83\x8C\x83\x58";  // ヘラクレス
constexpr std::string_view kMeisho = "\x96\xBC\x8F\xD8";                  // 名証
constexpr std::string_view kSatsusho = "\x8E\x44\x8F\xD8";                // 札証
constexpr std::string_view kFukusho = "\x95\x9F\x8F\xD8";                 // 福証
// clang-format on

constexpr int32_t kNoInvestmentLimit = 9999999;

std::string Position(size_t index, size_t total) {
  return std::to_string(index) + " / " + std::to_string(total);
}

}  // namespace

void AddCode(ScreeningCodeList& list, const std::string& code) {
  const auto at = std::lower_bound(list.begin(), list.end(), code);
  if (at == list.end() || *at != code) list.insert(at, code);
}

int MarketIndex(std::string_view market) {
  if (market.starts_with(kTosho)) return market == kTosho2 ? 1 : 0;
  if (market == kMothers) return 2;
  if (market.starts_with(kDaisho)) return market == kDaisho2 ? 4 : 3;
  if (market == kHercules) return 5;
  if (market.starts_with("JASDAQ")) return 6;
  if (market.starts_with(kMeisho)) return 7;
  if (market.starts_with(kSatsusho)) return 8;
  if (market.starts_with(kFukusho)) return 9;
  return 0;
}

int SectorItem(int32_t sector) {
  if (sector < 1 || sector > 33) return 33;
  return sector - 1;
}

std::string ScreeningPhaseText(std::string_view phase) {
  std::string text(kPhaseHead);
  text += phase;
  text += kPhaseTail;
  return text;
}

void CodeListSteps::ShowPhase(std::string_view phase) {
  c_.status.Show(kPanelPhase, ScreeningPhaseText(phase));
}

void CodeListSteps::ShowSaveError(const std::string& code, const std::string& error) {
  if (error.empty()) return;
  c_.status.Show(kPanelPhase, " ! " + error);
  saveFailures_.Add(code, error);
}

template <typename Keep>
bool CodeListSteps::WalkCodes(ScreeningCodeList& codes, bool fixedTotal, Keep keep) {
  // The kept codes move down over the dropped ones: one pass, whatever the
  // number dropped.
  const size_t total = codes.size();
  size_t kept = 0;
  for (size_t read = 0; read < total; ++read) {
    const std::string code = codes[read];
    c_.status.Show(kPanelItem, code);
    c_.status.Show(kPanelCount, Position(kept, fixedTotal ? total : kept + (total - read)));
    if (c_.stop.StopRequested()) {
      codes.erase(codes.begin() + static_cast<std::ptrdiff_t>(kept),
                  codes.begin() + static_cast<std::ptrdiff_t>(read));
      return false;
    }
    if (keep(code)) {
      if (kept != read) codes[kept] = std::move(codes[read]);
      ++kept;
    }
  }
  codes.resize(kept);
  return true;
}

std::filesystem::path CodeListSteps::PriceFile(const std::string& code) const {
  return PriceFilePath(c_.dataDir, code).value_or(std::filesystem::path());
}

bool CodeListSteps::PriceFileExists(const std::string& code) const {
  const std::filesystem::path file = PriceFile(code);
  std::error_code error;
  return !file.empty() && std::filesystem::is_regular_file(file, error);
}

bool CodeListSteps::ParseCodeList(ScreeningCodeList& list, std::string_view text) {
  list.clear();
  while (!text.empty()) {
    if (text.front() == ',') {
      text.remove_prefix(1);
    } else if (text.front() == '-') {
      text.remove_prefix(1);
      if (!ExpandCodeRange(list, text)) return false;
      text.remove_prefix(4);
    } else {
      const std::string_view token = text.substr(0, 4);
      text.remove_prefix(token.size());
      if (!IsStockCode(token)) return false;
      AddCode(list, std::string(token));
      if (c_.stop.StopRequested()) return true;
    }
  }
  return true;
}

bool CodeListSteps::ExpandCodeRange(ScreeningCodeList& list, std::string_view rest) {
  const std::string_view upperText = rest.substr(0, 4);
  if (!IsStockCode(upperText) || list.empty()) return false;
  const int upper = vcl::StrToIntDef(upperText, -1);
  char code[16];
  for (int value = vcl::StrToIntDef(list.back(), -1) + 1; value <= upper; ++value) {
    std::snprintf(code, sizeof code, "%04d", value);
    list.emplace_back(code);
  }
  return true;
}

void CodeListSteps::RemoveListedCodes(ScreeningCodeList& codes, const ScreeningCodeList& excluded) {
  ShowPhase(kPhaseExclusion);
  c_.status.Show(kPanelItem, "");
  c_.status.Show(kPanelCount, "");
  // Kept codes move to the front; a cancel keeps the codes not yet looked at.
  auto kept = codes.begin();
  auto next = codes.begin();
  for (; next != codes.end(); ++next) {
    if (c_.stop.StopRequested()) break;
    if (std::binary_search(excluded.begin(), excluded.end(), *next)) continue;
    if (kept != next) *kept = std::move(*next);
    ++kept;
  }
  if (kept != next)
    kept = std::move(next, codes.end(), kept);
  else
    kept = codes.end();
  codes.erase(kept, codes.end());
}

void CodeListSteps::CheckCodeData(ScreeningCodeList& codes) {
  ShowPhase(kPhaseCodeData);
  const ScreeningConditions& conditions = c_.conditions;
  // The walk meets the codes in this order, each once, and only ever changes
  // the record of the code at hand.
  const std::vector<std::optional<TCodeData>> records = c_.codeTable.FindEach(codes);
  size_t at = 0;
  WalkCodes(codes, false, [&](const std::string& code) {
    const std::optional<TCodeData>& known = records[at++];
    if (!conditions.online) return known.has_value() && PriceFileExists(code);
    if (known && !conditions.LookUpEveryCode()) {
      if (!PriceFileExists(code)) c_.codeTable.SetVolume(code, -1);
      return true;
    }
    TCodeData info;
    if (c_.prices.FetchCodeInfo(code, info)) {
      info.Vol = -1;
      c_.codeTable.Store(code, info);
      if (!known) addedThisRun_.insert(code);
      return true;
    }
    if (conditions.exclusion == TriState::Grayed) c_.excludedCodes.Add(code);
    return false;
  });
}

void CodeListSteps::FilterLoanMarketType(ScreeningCodeList& codes, int side) {
  const ScreeningConditions& conditions = c_.conditions;
  const SideConditions& own = conditions.sides[side == 0 ? 0 : 1];
  if (conditions.loanOnly) {
    ShowPhase(kPhaseLoan);
    const std::vector<std::optional<TCodeData>> records = c_.codeTable.FindEach(codes);
    size_t at = 0;
    const bool done = WalkCodes(codes, false, [&](const std::string&) {
      const std::optional<TCodeData>& data = records[at++];
      return data && data->Loan != 0;
    });
    if (!done) return;
  }
  if (own.marketOn) {
    ShowPhase(kPhaseMarket);
    const std::vector<std::optional<TCodeData>> records = c_.codeTable.FindEach(codes);
    size_t at = 0;
    const bool done = WalkCodes(codes, false, [&](const std::string&) {
      const std::optional<TCodeData>& data = records[at++];
      return data && own.markets[static_cast<size_t>(MarketIndex(data->Market))];
    });
    if (!done) return;
  }
  if (own.typeOn) {
    ShowPhase(kPhaseSector);
    // With the exclusion switch ticked the ticked sectors go, else they stay.
    const bool dropTicked = own.types[kSectorExclusionItem];
    const std::vector<std::optional<TCodeData>> records = c_.codeTable.FindEach(codes);
    size_t at = 0;
    WalkCodes(codes, false, [&](const std::string&) {
      const std::optional<TCodeData>& data = records[at++];
      return data && own.types[static_cast<size_t>(SectorItem(data->Type))] != dropTicked;
    });
  }
}

bool CodeListSteps::MeasureVolume(const std::string& code, int32_t& volume) const {
  const std::optional<std::string> bytes = ReadFileBytes(PriceFile(code));
  if (!bytes) return false;
  std::vector<double> volumes;
  for (const std::string& line : vcl::SplitLines(*bytes)) {
    // A line without a volume is left out of the mean.
    if (const std::optional<int32_t> value = vcl::ParseInt32(SplitFields(line).volume))
      volumes.push_back(*value);
  }
  if (volumes.empty()) return false;
  volume = MeanVolume(volumes);
  return true;
}

void CodeListSteps::FetchHistory(ScreeningCodeList& codes) {
  if (!c_.conditions.online) return;
  ShowPhase(kPhaseFetch);
  const std::vector<std::optional<TCodeData>> records = c_.codeTable.FindEach(codes);
  size_t at = 0;
  WalkCodes(codes, true, [&](const std::string& code) {
    const std::optional<TCodeData>& data = records[at++];
    if (!data) return false;
    if (data->Vol >= 0) return true;
    int32_t volume = 0;
    // A file without a single usable line is fetched again.
    if (!c_.conditions.LookUpEveryCode() && PriceFileExists(code) && MeasureVolume(code, volume)) {
      c_.codeTable.SetVolume(code, volume);
      return true;
    }
    std::string saveError;
    if (c_.prices.DownloadPriceFile(code, volume, saveError)) {
      c_.codeTable.SetVolume(code, volume);
      StampPriceFile(PriceFile(code), c_.latestMarketDate);
      return true;
    }
    ShowSaveError(code, saveError);
    // Only a record this run brought in goes with the failed download: an
    // older one keeps the user's exclusion mark.
    if (addedThisRun_.erase(code) > 0) c_.codeTable.Delete(code);
    return false;
  });
}

void CodeListSteps::UpdateHistory(ScreeningCodeList& codes) {
  if (!c_.conditions.online) return;
  ShowPhase(kPhaseUpdate);
  const std::string& latest = c_.latestMarketDate;
  WalkCodes(codes, true, [&](const std::string& code) {
    if (!PriceFileExists(code)) {
      c_.codeTable.SetVolume(code, -1);
      return true;
    }
    const std::filesystem::path file = PriceFile(code);
    if (PriceFileStampedOn(file, latest)) return true;
    const bool current = ReadFileBytes(file, latest.size()).value_or("") == latest;
    // A file the update could not bring up to date keeps its old date, so
    // the next run tries again; a malformed one is left as it is.
    std::string saveError;
    if (current || c_.prices.UpdatePriceFile(code, saveError) == UpdateResult::kUpdated) {
      StampPriceFile(file, latest);
    }
    ShowSaveError(code, saveError);
    return true;
  });
}

void CodeListSteps::FilterCostVolume(ScreeningCodeList& codes, int side) {
  const SideConditions& own = c_.conditions.sides[side == 0 ? 0 : 1];
  if (own.costOn) {
    ShowPhase(kPhaseCost);
    const int64_t limit = vcl::StrToIntDef(own.costLimit, kNoInvestmentLimit);
    const std::vector<std::optional<TCodeData>> records = c_.codeTable.FindEach(codes);
    size_t at = 0;
    const bool done = WalkCodes(codes, false, [&](const std::string& code) {
      const std::optional<TCodeData>& data = records[at++];
      if (!data) return false;
      const int64_t close = vcl::StrToIntDef(CloseOfLine(ReadFirstLine(PriceFile(code))), 0);
      return close * data->Unit <= limit;
    });
    if (!done) return;
  }
  if (own.volOn) {
    ShowPhase(kPhaseVolume);
    const int64_t minimum = vcl::StrToIntDef(own.volMinimum, 0);
    const std::vector<std::optional<TCodeData>> records = c_.codeTable.FindEach(codes);
    size_t at = 0;
    WalkCodes(codes, false, [&](const std::string&) {
      const std::optional<TCodeData>& data = records[at++];
      // A unit below 1 gives no volume counted in units.
      if (!data || data->Unit < 1) return false;
      return int64_t{data->Vol} / data->Unit >= minimum;
    });
  }
}
