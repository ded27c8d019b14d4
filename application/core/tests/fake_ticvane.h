#pragma once
// A scripted stand-in for the quote library. It hands out records it
// allocates itself, frees them only in ClearPastData, and records every call
// with its arguments. One fake at a time: the table's plain function pointers
// reach the instance that is alive.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "data/ticvane_api.h"
#include "ticvane.h"

class FakeTicvane {
 public:
  struct InitCall {
    int32_t pump = 0;
    int32_t dateFormat = 0;
    int32_t timeout = 0;
  };
  struct HistoryCall {
    std::string code;
    int32_t maxCount = 0;
    int32_t yearsOffset = 0;
    int32_t newestStored = 0;  // TicvaneUpdPastData only
    int32_t source = 0;
  };
  struct CodeDataCall {
    std::string code;
    int32_t source = 0;
  };

  FakeTicvane();
  ~FakeTicvane();
  FakeTicvane(const FakeTicvane&) = delete;
  FakeTicvane& operator=(const FakeTicvane&) = delete;

  const TicvaneApi& Api() const;

  // TicvaneInit answers "Yahoo!ファイナンス(&Y)" and "Infoseek マネー(&I)",
  // or no caption at all.
  bool noSources = false;

  // History answers. On a result other than 0 the fake appends as many items
  // as `records` holds, pointing at records it has already "freed" (poison),
  // as the library leaves them; the caller must not read or clear them.
  int32_t historyResult = kTicvaneOk;
  std::vector<PastDataRecord> records;
  // Runs inside TicvaneGetPastData, as a download that pumps events would.
  std::function<void()> duringHistory;

  // Detail answers.
  int32_t codeDataResult = kTicvaneOk;
  // Runs inside TicvaneGetCodeData before it answers.
  std::function<void()> duringCodeData;
  bool codeInfoResult = true;
  std::string name;    // what GetCodeInfo writes as the name
  std::string market;  // what GetCodeInfo writes as the market
  int32_t sector = 0;
  uint8_t loan = 0;
  std::string halfWidthName;  // what CnvStrWtoH answers
  bool codeUnitResult = true;
  int32_t unit = 0;

  // What was asked.
  std::vector<InitCall> initCalls;
  int endCalls = 0;
  std::vector<HistoryCall> pastDataCalls;
  std::vector<HistoryCall> updPastDataCalls;
  std::vector<CodeDataCall> codeDataCalls;
  int codeInfoCalls = 0;
  int codeUnitCalls = 0;
  std::vector<std::string> convertedTexts;  // inputs of CnvStrWtoH
  int clearPastDataCalls = 0;
  int foreignItemsCleared = 0;   // poison or unknown pointers handed to ClearPastData
  int pagesNotFromCodeData = 0;  // page readers called with another page

  // Records handed out and not yet freed.
  size_t LiveRecords() const { return live_.size(); }

 private:
  friend struct FakeTicvaneCalls;
  int32_t AnswerHistory(vcl::TList* list);

  std::set<const PastDataRecord*> live_;
  const vcl::TStrings* lastPage_ = nullptr;
};
