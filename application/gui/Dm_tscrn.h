#pragma once
// The screening worker: one background run from the two code lists to the
// result rows. It reads a copy of the conditions taken before it starts and
// reaches the window, the code table and the exclusion list only through
// blocking hand-overs to the main thread. It frees itself when it ends.
//
// A run ends in exactly one of three ways, each handing the end step over
// once: completed, cancelled, or a code list that did not parse; an error
// ends it with the end step too. A worker given up by a second press of the
// cancel item stops at its next poll and touches no widget and no file again.

#include <QThread>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "code_list_steps.h"
#include "screening_conditions.h"
#include "screening_result_row.h"

class TFormMain;
class ScreeningRun;
struct TicvaneApi;
class StatusThrottle;

class TScreening : public QThread {
  Q_OBJECT
 public:
  // `conditions` are the run's own copy; `evaluationThreads` evaluate pairs.
  TScreening(TFormMain& window, ScreeningConditions conditions, int evaluationThreads);

  // Runs `job` on the main thread while the worker waits; what it throws is
  // thrown here. Nothing runs once the worker was given up.
  template <typename Job>
  void HandOver(Job&& job);

  // The worker was given up: it unwinds without touching anything.
  struct Abandoned {};

 protected:
  void run() override;

 private:
  void Execute();
  // False, after the end step and the cancel message, when a cancel is pending.
  bool CheckNotCancelled();
  // The end step, handed over once.
  void EndRun();
  // An error ended the run: the end step and the reason in panel 0.
  void Fail(const std::string& reason);
  void ShowStatus(int panel, const std::string& text);
  // The code list error: its message, the end step and the focus (0 list A,
  // 1 list B, 2 the exclusion list).
  void CodeListError(int which);
  // False when the run ended there (a cancel).
  bool FormAndEvaluatePairs(const ScreeningCodeList& codesA, const ScreeningCodeList& codesB);

  TFormMain& window_;
  const ScreeningRun& run_;
  const TicvaneApi& api_;
  ScreeningConditions conditions_;
  std::filesystem::path dataDir_;
  std::string latestMarketDate_;
  int evaluationThreads_ = 1;
  bool ended_ = false;
  StatusThrottle* status_ = nullptr;  // the run's, while Execute runs
  int64_t pairKeyCount_ = 0;
};

// The screening button's road: takes the conditions, empties the result
// list, locks the window and starts a worker. False, nothing changed, while
// an earlier run or its worker lives or a library call is under way.
bool StartScreening(TFormMain& window, int evaluationThreads = 0);
