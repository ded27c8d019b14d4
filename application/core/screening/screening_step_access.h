#pragma once
// What the code-list steps of a screening reach outside themselves. They run
// on the worker's thread; each implementation decides how its calls get to
// the data they touch (a hand-over to the main thread, a lock, or, in tests,
// plain objects). Texts are code page 932 bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/code_table.h"
#include "data/price_files.h"

// The code table.
class ScreeningCodeTable {
 public:
  virtual ~ScreeningCodeTable() = default;
  // A copy of the code's record, or nullopt when the code is absent.
  virtual std::optional<TCodeData> Find(const std::string& code) = 0;
  // Find of each code, in order, all at once (one visit where the table
  // lives).
  virtual std::vector<std::optional<TCodeData>> FindEach(const std::vector<std::string>& codes) {
    std::vector<std::optional<TCodeData>> records;
    records.reserve(codes.size());
    for (const std::string& code : codes) records.push_back(Find(code));
    return records;
  }
  // Stores name, market, sector, unit, volume and loan flag; an existing
  // record keeps its exclusion mark, a new one gets 0.
  virtual void Store(const std::string& code, const TCodeData& data) = 0;
  // Sets the average volume of a present code.
  virtual void SetVolume(const std::string& code, int32_t volume) = 0;
  // Removes the code.
  virtual void Delete(const std::string& code) = 0;
  // The codes whose exclusion mark is set, sorted.
  virtual std::vector<std::string> MarkedCodes() = 0;
};

// The automatic exclusion list of codes the web did not know.
class ScreeningExcludedCodes {
 public:
  virtual ~ScreeningExcludedCodes() = default;
  // The codes, sorted.
  virtual std::vector<std::string> Codes() = 0;
  // Adds a code and marks the list changed.
  virtual void Add(const std::string& code) = 0;
  // Empties the list and marks it changed.
  virtual void Clear() = 0;
};

// The quote library and the price files it fills, for the run's source.
class ScreeningPriceSource {
 public:
  virtual ~ScreeningPriceSource() = default;
  // Looks the code up on the web: Name (half-width), Market, Type, Unit and
  // Loan of `info`. False when any step failed.
  virtual bool FetchCodeInfo(const std::string& code, TCodeData& info) = 0;
  // Downloads the whole history into the code's price file; true with its
  // mean volume on success, false (file untouched) on any failure.
  // `saveError` receives the message when the file could not be written (or
  // named), else it is emptied.
  virtual bool DownloadPriceFile(const std::string& code, int32_t& averageVolume,
                                 std::string& saveError) = 0;
  // Puts the newer days on top of the code's price file; `saveError` as above.
  virtual UpdateResult UpdatePriceFile(const std::string& code, std::string& saveError) = 0;
};

// The status bar: panel 0 the phase, 1 the item at hand, 2 "i / n".
// The status panels a run writes: panel 0 its phase and its messages, panel 1
// the item at work, panel 2 how far the step has come (and, once the run is
// complete, the two counts of its results).
enum ScreeningPanel : int { kPanelPhase = 0, kPanelItem = 1, kPanelCount = 2 };

class ScreeningStatus {
 public:
  virtual ~ScreeningStatus() = default;
  virtual void Show(int panel, const std::string& text) = 0;
};

// The user's cancel request, polled in every loop.
class ScreeningStopPoll {
 public:
  virtual ~ScreeningStopPoll() = default;
  virtual bool StopRequested() = 0;
};
