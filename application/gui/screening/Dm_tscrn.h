#pragma once
// The screening worker: one background run from the two code lists to the
// result rows. It reads a copy of the conditions taken before it starts and
// reaches the program only through its Host, filled by the main window, and
// only inside blocking hand-overs to the main thread. It frees itself when
// it ends.
//
// A run ends in exactly one of three ways, each handing the end step over
// once: completed, cancelled, or a code list that did not parse; an error
// ends it with the end step too. A worker given up by a second press of the
// cancel item stops at its next poll and touches no widget and no file again.

#include <QThread>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "screening/code_list_steps.h"
#include "screening/compact_result_rows.h"
#include "screening/screening_conditions.h"
#include "screening/screening_result_model.h"

class CodeTable;
class ExcludedCodeList;
class QObject;
class ScreeningRun;
struct TicvaneApi;
class StatusThrottle;

class TScreening : public QThread {
  Q_OBJECT
 public:
  // The three code lists of the conditions, for the focus after a list that
  // did not parse.
  enum class CodeListBox { A, B, Excluded };

  // What the worker reaches of the program. The pointers must outlive the
  // worker's thread; every function runs on the main thread, in a hand-over.
  struct Host {
    // The main thread's object the hand-overs are queued to.
    QObject* mainThread = nullptr;
    // The run's state; the worker polls its cancel request and keeps the
    // number of pairs it formed there.
    ScreeningRun* run = nullptr;
    // The quote library, the worker's alone during a run.
    const TicvaneApi* api = nullptr;
    // The program directory, where the price files live.
    std::filesystem::path dataDir;
    // "yyyy/mm/dd" of the newest trading day.
    std::string latestMarketDate;
    // A status panel's text, code page 932.
    std::function<void(int panel, std::string_view text)> setStatus;
    // The result columns, added before the first batch of rows.
    std::function<void(const std::vector<ResultColumn>& columns)> addResultColumns;
    std::function<void(ResultRowBatch rows)> appendResultRows;
    std::function<int()> resultRowCount;
    // A technical-condition row's caption: the value of the last pair that
    // passed it.
    std::function<void(int conditionRow, const std::string& caption)> setTechnicalCaption;
    // A completed run leaves the re-check box unchecked.
    std::function<void()> clearReCheck;
    // The window's end step of the run.
    std::function<void()> endRun;
    std::function<void(CodeListBox box)> focusCodeList;
    // An error message box (code page 932), shown after the end step.
    std::function<void(const std::string& message)> reportError;
    // The code-data page learns the new number of codes; "Code.txt" and,
    // with `excludedToo`, "C404.txt" are written when they changed.
    std::function<void(bool excludedToo)> saveTables;
    std::function<CodeTable&()> codeTable;
    std::function<ExcludedCodeList&()> excludedCodes;
  };

  // `conditions` are the run's own copy; `evaluationThreads` evaluate pairs.
  TScreening(Host host, ScreeningConditions conditions, int evaluationThreads);

  // The worker was given up: it unwinds without touching anything.
  struct Abandoned {};

 protected:
  void run() override;

 private:
  // What the steps reach of the program, each through HandOver.
  class WindowCodeTable;
  class WindowExcludedCodes;
  class WindowStatus;
  class ResultRows;

  // Runs `job` on the main thread while the worker waits; what it throws is
  // thrown here. Nothing runs once the worker was given up.
  template <typename Job>
  void HandOver(Job&& job);

  void Execute();
  // The steps of the run, from the code lists to the end step; they return
  // wherever the run ends.
  void RunSteps(CodeListSteps& steps, ScreeningCodeTable& codeTable,
                ScreeningExcludedCodes& excluded);
  // After the end step: one message of the price files the run could not
  // save, whose status texts the next ones soon replaced.
  void ReportSaveFailures(const PriceSaveFailures& failures);
  // False, after the end step and the cancel message, when a cancel is pending.
  bool CheckNotCancelled();
  // The end step, handed over once.
  void EndRun();
  // An error ended the run: the end step and the reason in panel 0.
  void Fail(const std::string& reason);
  void ShowStatus(int panel, const std::string& text);
  // The code list that did not parse: its message, the end step and the
  // focus on the list.
  void CodeListError(CodeListBox box);
  // False when the run ended there (a cancel).
  bool FormAndEvaluatePairs(const ScreeningCodeList& codesA, const ScreeningCodeList& codesB);

  Host host_;
  ScreeningRun& run_;
  const TicvaneApi& api_;
  ScreeningConditions conditions_;
  int evaluationThreads_ = 1;
  bool ended_ = false;
  StatusThrottle* status_ = nullptr;  // the run's, while Execute runs
  int64_t pairKeyCount_ = 0;
};
