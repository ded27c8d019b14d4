#pragma once
// A small stand-in for the quote library for the window tests: two source
// captions, one day of history for code "1306" (or a failure), and counters
// of the calls. One fake at a time: the table's plain functions reach the
// instance that is alive.

#include <cstdint>
#include <functional>
#include <string>

#include "ticvane.h"
#include "ticvane_api.h"

class GuiFakeTicvane {
 public:
  GuiFakeTicvane();
  ~GuiFakeTicvane();
  GuiFakeTicvane(const GuiFakeTicvane&) = delete;
  GuiFakeTicvane& operator=(const GuiFakeTicvane&) = delete;

  const TicvaneApi& Api() const;

  // TicvaneInit: "Yahoo!ファイナンス(&Y)" and "Infoseek マネー(&I)", or no
  // caption at all.
  bool noSources = false;
  int initCalls = 0;
  int32_t initPump = -1;
  int32_t initDateFormat = -1;
  int32_t initTimeout = -1;
  int endCalls = 0;

  // TicvaneGetPastData: one record for "1306" unless it fails (result 1).
  bool historyFails = false;
  PastDataRecord newestDay{2024, 3, 8, 2510, 2500, 2520, 2490, 123400};
  int historyCalls = 0;
  std::string historyCode;
  int32_t historyMaxCount = 0;
  int32_t historyYearsOffset = 0;
  int32_t historySource = -1;
  // Runs inside TicvaneGetPastData, as a download that pumps events would.
  std::function<void()> duringHistory;
  // Records handed out and not yet freed.
  int liveRecords = 0;
};
