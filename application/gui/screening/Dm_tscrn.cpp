#include "screening/Dm_tscrn.h"

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include "data/code_table.h"
#include "data/excluded_codes.h"
#include "data/price_files.h"
#include "screening/pair_keys.h"
#include "screening/pair_screening.h"
#include "screening/screening_run.h"
#include "screening/status_throttle.h"
#include "screening/technical_filter.h"
#include "vcl/convert.h"
#include "window/status_count_text.h"

namespace {

constexpr char kPhaseFormingPairs[] =
    "\x96\xc1\x95\xbf\x83y\x83"
    "A\x8d\xec\x90\xac\x92\x86";  // 銘柄ペア作成中
constexpr char kPhaseEvaluating[] =
    "\x83"
    "e\x83N\x83j\x83J\x83\x8b\x95\xaa\x90\xcd\x92\x86";  // テクニカル分析中
constexpr char kCompleted[] =
    " * \x83X\x83N\x83\x8a\x81[\x83j\x83\x93\x83O\x8a\xae\x97\xb9";  // " * スクリーニング完了"
constexpr char kCancelled[] =
    " ! \x83X\x83N\x83\x8a\x81[\x83j\x83\x93\x83O\x82\xf0\x83L\x83\x83\x83\x93\x83Z\x83\x8b\x82"
    "\xb5\x82\xdc\x82\xb5\x82\xbd";  // " ! スクリーニングをキャンセルしました"
constexpr char kCodeListError[] =
    " ! \x96\xc1\x95\xbf\x83R\x81[\x83h\x8ew\x92\xe8\x83G\x83\x89\x81[";  // " !
                                                                          // 銘柄コード指定エラー"
constexpr char kFailed[] =
    " ! \x83X\x83N\x83\x8a\x81[\x83j\x83\x93\x83O\x82\xf0\x92\x86\x92"
    "f\x82\xb5\x82\xdc\x82\xb5\x82"
    "\xbd: ";  // " ! スクリーニングを中断しました: "
constexpr char kDash[] = "-";
// Rows reach the list at most this often, in key order.
constexpr std::chrono::milliseconds kRowInterval(50);

// ---- what the code-list steps reach, on the worker's thread -------------

// The library is the worker's alone during a run; a given-up worker calls it
// no more and writes no price file.
class WorkerPriceSource : public ScreeningPriceSource {
 public:
  WorkerPriceSource(const ScreeningRun& run, const TicvaneApi& api, int32_t source,
                    std::filesystem::path dataDir)
      : run_(run), api_(api), source_(source), dataDir_(std::move(dataDir)) {}

  bool FetchCodeInfo(const std::string& code, TCodeData& info) override {
    StopWhenAbandoned();
    return ::FetchCodeInfo(api_, source_, code, info.Name, info.Market, info.Type, info.Unit,
                           info.Loan);
  }
  bool DownloadPriceFile(const std::string& code, int32_t& averageVolume,
                         std::string& saveError) override {
    StopWhenAbandoned();
    return ::DownloadPriceFile(api_, source_, dataDir_, code, averageVolume, &saveError);
  }
  UpdateResult UpdatePriceFile(const std::string& code, std::string& saveError) override {
    StopWhenAbandoned();
    return ::UpdatePriceFile(api_, source_, dataDir_, code, &saveError);
  }

 private:
  void StopWhenAbandoned() const {
    if (run_.Abandoned()) throw TScreening::Abandoned{};
  }

  const ScreeningRun& run_;
  const TicvaneApi& api_;
  int32_t source_;
  std::filesystem::path dataDir_;
};

class RunStopPoll : public ScreeningStopPoll {
 public:
  explicit RunStopPoll(const ScreeningRun& run) : run_(run) {}
  bool StopRequested() override { return run_.StopRequested(); }

 private:
  const ScreeningRun& run_;
};

}  // namespace

class TScreening::WindowCodeTable : public ScreeningCodeTable {
 public:
  WindowCodeTable(TScreening& worker, const TScreening::Host& host)
      : worker_(worker), host_(host) {}

  std::optional<TCodeData> Find(const std::string& code) override {
    std::optional<TCodeData> data;
    worker_.HandOver([&] {
      if (const TCodeData* found = Table().Find(code)) data = *found;
    });
    return data;
  }
  std::vector<std::optional<TCodeData>> FindEach(const std::vector<std::string>& codes) override {
    std::vector<std::optional<TCodeData>> records;
    records.reserve(codes.size());
    worker_.HandOver([&] {
      for (const std::string& code : codes) {
        const TCodeData* found = Table().Find(code);
        records.push_back(found ? std::optional<TCodeData>(*found) : std::nullopt);
      }
    });
    return records;
  }
  void Store(const std::string& code, const TCodeData& data) override {
    worker_.HandOver([&] { Table().StoreCodeData(code, data); });
  }
  void SetVolume(const std::string& code, int32_t volume) override {
    worker_.HandOver([&] { Table().SetCodeFields(code, {.Vol = volume}); });
  }
  void Delete(const std::string& code) override {
    worker_.HandOver([&] { Table().DeleteCodeData(code); });
  }
  std::vector<std::string> MarkedCodes() override {
    std::vector<std::string> codes;
    worker_.HandOver([&] {
      const CodeTable& table = Table();
      for (int i = 0; i < table.Count(); ++i) {
        if (table.DataAt(i).Ng != 0) codes.push_back(table.CodeAt(i));
      }
    });
    return codes;
  }

 private:
  CodeTable& Table() { return host_.codeTable(); }

  TScreening& worker_;
  const TScreening::Host& host_;
};

class TScreening::WindowExcludedCodes : public ScreeningExcludedCodes {
 public:
  WindowExcludedCodes(TScreening& worker, const TScreening::Host& host)
      : worker_(worker), host_(host) {}

  std::vector<std::string> Codes() override {
    std::vector<std::string> codes;
    worker_.HandOver([&] { codes = host_.excludedCodes().Codes(); });
    return codes;
  }
  void Add(const std::string& code) override {
    worker_.HandOver([&] { host_.excludedCodes().Add(code); });
  }
  void Clear() override {
    worker_.HandOver([&] { host_.excludedCodes().Clear(); });
  }

 private:
  TScreening& worker_;
  const TScreening::Host& host_;
};

class TScreening::WindowStatus : public ScreeningStatus {
 public:
  WindowStatus(TScreening& worker, const TScreening::Host& host) : worker_(worker), host_(host) {}
  void Show(int panel, const std::string& text) override {
    worker_.HandOver([&] { host_.setStatus(panel, text); });
  }

 private:
  TScreening& worker_;
  const TScreening::Host& host_;
};

// ---- the rows of the passing pairs --------------------------------------

// Turns the passing pairs into result rows and hands them to the list in
// batches, the result columns before the first row. A row is its pair's two
// code indexes, its ratio and its shown values; the codes' cells are made once
// for the run. Each batch also carries the value text of the last pair that
// passed each condition, which becomes that condition row's caption.
class TScreening::ResultRows : public PairScreeningSink {
 public:
  ResultRows(TScreening& worker, const TScreening::Host& host, ScreeningStatus& status,
             const PairKeySet& keys, const std::vector<TCodeData>& codeData,
             const ScreeningConditions& conditions, const std::vector<TechnicalTest>& tests)
      : worker_(worker),
        host_(host),
        status_(status),
        keys_(keys),
        tests_(tests),
        total_(vcl::IntToStr(keys.Count())),
        captions_(tests.size()) {
    auto run = std::make_shared<ResultRun>();
    run->rowsAtMost = static_cast<size_t>(keys.Count());
    run->sides.reserve(keys.Codes().size());
    for (size_t i = 0; i < keys.Codes().size(); ++i) {
      run->sides.push_back(ResultSideOf(keys.Codes()[i], codeData[i]));
    }
    // One column per ticked condition that shows its result, in list order.
    for (size_t i = 0; i < conditions.technicals.size(); ++i) {
      const TechnicalCondition& condition = conditions.technicals[i];
      if (condition.check == 0 || !condition.resultShown) continue;
      columns_.push_back({condition.resultCaption, Qt::AlignRight | Qt::AlignVCenter,
                          condition.sortKind,
                          vcl::StrToIntDef(condition.resultWidth, kDefaultResultWidth)});
      int testIndex = -1;
      for (size_t k = 0; k < tests.size(); ++k) {
        if (tests[k].conditionIndex == static_cast<int32_t>(i)) testIndex = static_cast<int>(k);
      }
      shownTests_.push_back(testIndex);
      run->resultKinds.push_back(testIndex < 0 ? std::nullopt
                                               : std::optional(tests[testIndex].kind));
    }
    run_ = std::move(run);
    pending_.run = run_;
  }

  void Evaluated(std::vector<PassedPair>& passed,
                 const std::vector<std::optional<double>>& lastValues, int64_t lastKey,
                 int32_t sell, int32_t buy) override {
    for (size_t k = 0; k < lastValues.size() && k < captions_.size(); ++k) {
      if (lastValues[k]) captions_[k] = TechnicalCaption(tests_[k].kind, *lastValues[k]);
    }
    for (const PassedPair& pair : passed) {
      pending_.rows.push_back(
          {pair.sell, pair.buy, pair.ratio, static_cast<uint32_t>(pending_.values.size())});
      for (int k : shownTests_) {
        pending_.values.push_back(k < 0 ? 0.0 : pair.values[static_cast<size_t>(k)]);
      }
    }
    status_.Show(kPanelItem, Code(sell) + " : " + Code(buy));
    status_.Show(kPanelCount, vcl::IntToStr(lastKey) + " / " + total_);
    const auto now = std::chrono::steady_clock::now();
    if (now - lastSent_ >= kRowInterval) {
      lastSent_ = now;
      Flush();
    }
  }

  void Flush() {
    const bool captions = std::any_of(captions_.begin(), captions_.end(),
                                      [](const auto& caption) { return caption.has_value(); });
    if (pending_.rows.empty() && !captions) return;
    worker_.HandOver([&] {
      if (!pending_.rows.empty()) {
        if (!columnsAdded_) host_.addResultColumns(columns_);
        columnsAdded_ = true;
        host_.appendResultRows(std::move(pending_));
      }
      for (size_t k = 0; k < captions_.size(); ++k) {
        if (captions_[k]) host_.setTechnicalCaption(tests_[k].conditionIndex, *captions_[k]);
      }
    });
    pending_ = ResultRowBatch{run_, {}, {}};
    for (auto& caption : captions_) caption.reset();
  }

 private:
  const std::string& Code(int32_t index) const { return keys_.Codes()[static_cast<size_t>(index)]; }

  TScreening& worker_;
  const TScreening::Host& host_;
  ScreeningStatus& status_;
  const PairKeySet& keys_;
  const std::vector<TechnicalTest>& tests_;
  std::string total_;
  std::vector<ResultColumn> columns_;
  std::vector<int> shownTests_;  // the test of each shown column, -1 for none
  std::shared_ptr<const ResultRun> run_;
  ResultRowBatch pending_;
  // Per test, the caption its condition row takes with the next batch.
  std::vector<std::optional<std::string>> captions_;
  bool columnsAdded_ = false;
  std::chrono::steady_clock::time_point lastSent_{};
};

// ---- the worker -----------------------------------------------------------

template <typename Job>
void TScreening::HandOver(Job&& job) {
  if (run_.Abandoned()) throw Abandoned{};
  std::exception_ptr error;
  bool skipped = false;
  QMetaObject::invokeMethod(
      host_.mainThread,
      [&] {
        if (run_.Abandoned()) {
          skipped = true;
          return;
        }
        try {
          job();
        } catch (...) {
          error = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (error) std::rethrow_exception(error);
  if (skipped) throw Abandoned{};
}

TScreening::TScreening(Host host, ScreeningConditions conditions, int evaluationThreads)
    : host_(std::move(host)),
      run_(*host_.run),
      api_(*host_.api),
      conditions_(std::move(conditions)),
      evaluationThreads_(std::max(evaluationThreads, 1)) {}

void TScreening::run() {
  try {
    Execute();
  } catch (const Abandoned&) {
    // Given up by the user: nothing more is touched.
  } catch (const std::exception& error) {
    Fail(error.what());
  } catch (...) {
    Fail("?");
  }
}

void TScreening::Fail(const std::string& reason) {
  if (run_.Abandoned()) return;
  try {
    EndRun();
  } catch (...) {
    // The end step failed as well; the reason below is still worth showing.
  }
  try {
    WindowStatus(*this, host_).Show(kPanelPhase, kFailed + reason);
  } catch (...) {
    // The run is over either way and there is nowhere else to report to.
  }
}

void TScreening::ShowStatus(int panel, const std::string& text) { status_->Show(panel, text); }

void TScreening::EndRun() {
  if (ended_) return;
  if (status_ != nullptr) {
    // Texts still pending must not keep the end step from the window.
    try {
      status_->Flush();
    } catch (const Abandoned&) {
      throw;
    } catch (...) {
      // A lost progress text matters less than unlocking the window.
    }
  }
  ended_ = true;
  HandOver([&] {
    run_.SetPairCount(static_cast<int32_t>(pairKeyCount_));
    host_.endRun();
  });
}

bool TScreening::CheckNotCancelled() {
  if (!run_.StopRequested()) return true;
  if (run_.Abandoned()) throw Abandoned{};
  EndRun();
  ShowStatus(kPanelPhase, kCancelled);
  ShowStatus(kPanelItem, kDash);
  ShowStatus(kPanelCount, kDash);
  status_->Flush();
  return false;
}

void TScreening::CodeListError(CodeListBox box) {
  ShowStatus(kPanelPhase, kCodeListError);
  EndRun();
  HandOver([&] { host_.focusCodeList(box); });
}

void TScreening::Execute() {
  WindowStatus windowStatus(*this, host_);
  StatusThrottle status(windowStatus);
  status_ = &status;
  struct Forget {
    StatusThrottle*& status;
    ~Forget() { status = nullptr; }
  } forget{status_};
  WindowCodeTable codeTable(*this, host_);
  WindowExcludedCodes excluded(*this, host_);
  WorkerPriceSource prices(run_, api_, conditions_.source, host_.dataDir);
  RunStopPoll stop(run_);
  CodeListSteps steps(CodeStepContext{conditions_, codeTable, excluded, prices, status, stop,
                                      host_.dataDir, host_.latestMarketDate});
  RunSteps(steps, codeTable, excluded);
  ReportSaveFailures(steps.SaveFailures());
}

void TScreening::ReportSaveFailures(const PriceSaveFailures& failures) {
  if (failures.Empty() || !ended_) return;
  const std::string message = failures.Summary();
  HandOver([&] { host_.reportError(message); });
}

void TScreening::RunSteps(CodeListSteps& steps, ScreeningCodeTable& codeTable,
                          ScreeningExcludedCodes& excluded) {
  const bool sideB = !conditions_.group;
  ScreeningCodeList codesA;
  ScreeningCodeList codesB;

  // Runs a step on A and, unless B is A, on B, with a cancel check after each.
  auto bothSides = [&](auto step) {
    step(codesA, 0);
    if (!CheckNotCancelled()) return false;
    if (!sideB) return true;
    step(codesB, 1);
    return CheckNotCancelled();
  };
  // Takes `listed` out of A and, unless B is A, out of B, then checks for a
  // cancel once.
  auto removeFromBothSides = [&](const ScreeningCodeList& listed) {
    steps.RemoveListedCodes(codesA, listed);
    if (sideB) steps.RemoveListedCodes(codesB, listed);
    return CheckNotCancelled();
  };

  if (!steps.ParseCodeList(codesA, conditions_.codesA)) return CodeListError(CodeListBox::A);
  if (sideB && !steps.ParseCodeList(codesB, conditions_.codesB))
    return CodeListError(CodeListBox::B);
  if (!CheckNotCancelled()) return;

  if (conditions_.exclusion == TriState::Checked) {
    ScreeningCodeList listed;
    if (!steps.ParseCodeList(listed, conditions_.excludedCodesText))
      return CodeListError(CodeListBox::Excluded);
    if (!removeFromBothSides(listed)) return;
  } else if (conditions_.exclusion == TriState::Grayed) {
    if (conditions_.reCheckEnabled && conditions_.reCheck == TriState::Checked) excluded.Clear();
    if (!removeFromBothSides(excluded.Codes())) return;
  }
  if (conditions_.skipMarkedCodes && !removeFromBothSides(codeTable.MarkedCodes())) return;

  auto saveTables = [&](bool excludedToo) { HandOver([&] { host_.saveTables(excludedToo); }); };
  if (!bothSides([&](ScreeningCodeList& codes, int) { steps.CheckCodeData(codes); })) return;
  saveTables(true);
  if (!bothSides(
          [&](ScreeningCodeList& codes, int side) { steps.FilterLoanMarketType(codes, side); })) {
    return;
  }
  if (conditions_.online) {
    if (!bothSides([&](ScreeningCodeList& codes, int) { steps.FetchHistory(codes); })) return;
    saveTables(false);
    if (!bothSides([&](ScreeningCodeList& codes, int) { steps.UpdateHistory(codes); })) return;
  }
  if (!bothSides(
          [&](ScreeningCodeList& codes, int side) { steps.FilterCostVolume(codes, side); })) {
    return;
  }

  if (!sideB) codesB = codesA;
  if (!FormAndEvaluatePairs(codesA, codesB)) return;

  ShowStatus(kPanelPhase, kCompleted);
  HandOver([&] {
    host_.setStatus(kPanelItem, CountOrDash(host_.resultRowCount()));
    host_.setStatus(kPanelCount, CountOrDash(pairKeyCount_));
    host_.clearReCheck();
  });
  EndRun();
}

bool TScreening::FormAndEvaluatePairs(const ScreeningCodeList& codesA,
                                      const ScreeningCodeList& codesB) {
  ShowStatus(kPanelPhase, ScreeningPhaseText(kPhaseFormingPairs));
  const PairKeySet keys(codesA, codesB);
  const std::string total =
      vcl::IntToStr(static_cast<int64_t>(codesA.size()) * static_cast<int64_t>(codesB.size()));
  for (size_t i = 0; i < codesA.size(); ++i) {
    ShowStatus(kPanelItem, vcl::IntToStr(keys.KeysBeforeRowsOfA()[i]));
    ShowStatus(kPanelCount, vcl::IntToStr(static_cast<int64_t>(i * codesB.size())) + " / " + total);
    // The keys of this code of A are formed when the cancel is looked at: a
    // run cancelled here ends with the keys formed so far.
    pairKeyCount_ = i + 1 < codesA.size() ? keys.KeysBeforeRowsOfA()[i + 1] : keys.Count();
    if (!CheckNotCancelled()) return false;
  }
  pairKeyCount_ = keys.Count();
  HandOver([&] { run_.SetPairCount(static_cast<int32_t>(pairKeyCount_)); });

  ShowStatus(kPanelPhase, ScreeningPhaseText(kPhaseEvaluating));
  // The code table's records of the run's codes, read once.
  std::vector<TCodeData> codeData(keys.Codes().size());
  HandOver([&] {
    const CodeTable& table = host_.codeTable();
    for (size_t i = 0; i < codeData.size(); ++i) {
      if (const TCodeData* data = table.Find(keys.Codes()[i])) {
        codeData[i] = *data;
      } else {
        codeData[i].Unit = 0;  // gone from the table: its pairs are passed over
      }
    }
  });
  std::vector<int32_t> units;
  for (const TCodeData& data : codeData) units.push_back(data.Unit);
  const std::vector<TechnicalTest> tests = ParseTechnicalTests(conditions_.technicals);
  PairScreening screening(host_.dataDir, keys, std::move(units), tests, evaluationThreads_);
  ResultRows rows(*this, host_, *status_, keys, codeData, conditions_, tests);
  // Stopped or not, the cancel check decides how the run goes on.
  screening.Run([this] { return run_.StopRequested(); }, rows);
  rows.Flush();
  return CheckNotCancelled();
}
