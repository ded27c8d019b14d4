#pragma once
// The steps that bring the two code lists of a screening into shape before
// pairs are formed: parsing the typed lists, removing excluded codes,
// checking and completing the code data, the margin-loan, market and sector
// filters, fetching and updating the price histories, and the investment and
// volume filters. They run on the worker's thread and reach everything
// outside through the access objects of screening_step_access.h. Every loop
// shows its progress and polls the cancel request; a step seeing a request
// leaves at once with the list as far as it got. No step throws on bad data;
// only what the access objects throw passes through.

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "screening/price_save_failures.h"
#include "screening/screening_conditions.h"
#include "screening/screening_step_access.h"

// A code list: four-character codes, sorted in byte order, each once.
using ScreeningCodeList = std::vector<std::string>;

// Adds `code` at its sorted place unless it is there already.
void AddCode(ScreeningCodeList& list, const std::string& code);

// The market check-list item (0..9) of a market text.
int MarketIndex(std::string_view market);

// The sector check-list item of a sector number: 1..33 are items 0..32,
// 0 and any number outside 0..33 item 33.
int SectorItem(int32_t sector);

// The phase text of status panel 0 around `phase`.
std::string ScreeningPhaseText(std::string_view phase);

// Everything the steps of one run use.
struct CodeStepContext {
  const ScreeningConditions& conditions;
  ScreeningCodeTable& codeTable;
  ScreeningExcludedCodes& excludedCodes;
  ScreeningPriceSource& prices;
  ScreeningStatus& status;
  ScreeningStopPoll& stop;
  std::filesystem::path dataDir;  // where the price files lie
  std::string latestMarketDate;   // "yyyy/mm/dd", "0000/00/00" when unknown
};

// One object per run: it remembers which codes the run added to the code
// table.
class CodeListSteps {
 public:
  explicit CodeListSteps(CodeStepContext context) : c_(std::move(context)) {}

  // Replaces `list` with the codes of `text`: codes of four digits separated
  // by commas, "-" and a code making a range from the largest code so far.
  // False on anything else (the list then holds what came before the fault);
  // true when the text parsed or a cancel stopped it.
  bool ParseCodeList(ScreeningCodeList& list, std::string_view text);
  // Removes from `codes` every code that `excluded` (sorted) holds.
  void RemoveListedCodes(ScreeningCodeList& codes, const ScreeningCodeList& excluded);
  // Keeps the codes with usable data; online, looks unknown codes (or every
  // code when asked to re-check) up on the web.
  void CheckCodeData(ScreeningCodeList& codes);
  // The margin-loan, market and sector filters of side 0 (A) or 1 (B).
  void FilterLoanMarketType(ScreeningCodeList& codes, int side);
  // Measures the average volumes and downloads the missing price histories
  // (online only).
  void FetchHistory(ScreeningCodeList& codes);
  // Brings the price files up to date with the latest market date (online
  // only).
  void UpdateHistory(ScreeningCodeList& codes);
  // The investment and volume filters of side 0 (A) or 1 (B).
  void FilterCostVolume(ScreeningCodeList& codes, int side);

  // The price files that the history steps could not save.
  const PriceSaveFailures& SaveFailures() const { return saveFailures_; }

 private:
  bool ExpandCodeRange(ScreeningCodeList& list, std::string_view rest);
  void ShowPhase(std::string_view phase);
  // A price file that could not be saved: its message in panel 0, in the
  // status bar's error form, while the walk goes on; it is kept for the
  // run's end as well.
  void ShowSaveError(const std::string& code, const std::string& error);
  // Walks `codes`, showing each code and its position, and keeps the codes
  // for which `keep` is true. With `fixedTotal` the total shown is the size
  // when the walk began. False when a cancel stopped the walk.
  template <typename Keep>
  bool WalkCodes(ScreeningCodeList& codes, bool fixedTotal, Keep keep);
  std::filesystem::path PriceFile(const std::string& code) const;
  bool PriceFileExists(const std::string& code) const;
  // The mean volume of the price file's lines; false when no line has one.
  bool MeasureVolume(const std::string& code, int32_t& volume) const;

  CodeStepContext c_;
  std::set<std::string> addedThisRun_;
  PriceSaveFailures saveFailures_;
};
