#pragma once
// The main window: the three tab pages, the menus, the settings file of the
// whole program, the status bar, the idle task and the cancel of a screening
// run. Everything here runs on the main thread.
//
// Dm_umain.cpp builds the window and keeps its settings; the other parts live
// in units of their own: main_window_run.cpp (a screening run and its
// cancel), main_window_pages.cpp (the page-dependent menus and panels, the
// chart presets), main_window_exports.cpp (the file menu),
// main_window_status.cpp (the status-bar hints) and main_window_bounds.cpp
// (the normal bounds).

#include <QMainWindow>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "codes/Dm_fcode.h"
#include "data/program_data.h"
#include "data/ticvane_api.h"
#include "output/chart_print_layout.h"
#include "output/list_export_commands.h"
#include "pair/Dm_fpair.h"
#include "pair/pair_item.h"
#include "screening/Dm_fscrn.h"
#include "screening/screening_result_row.h"
#include "screening/screening_run.h"
#include "window/failure_occasion.h"
#include "window/hint_rule.h"
#include "window/main_settings.h"
#include "window/page_menu_table.h"

class QAction;
class QActionGroup;
class QThread;
class CheckBoxImages;
class HintRouter;
class IdleTaskSlot;
class ScreeningWorkerWatch;
class SiblingHandOver;
class StatusPanelBar;
class TFormPairReg;
namespace Ui {
class TFormMain;
}

class TFormMain : public QMainWindow {
  Q_OBJECT
 public:
  // The three pages, created before the window and without a parent; the
  // window takes them over. A page left empty is created here.
  struct Frames {
    std::unique_ptr<TFrameCode> code;
    std::unique_ptr<TFrameScrn> scrn;
    std::unique_ptr<TFramePair> pair;
  };
  // Shows one error message to the user (a message box titled "Dyadmark").
  using ErrorReporter = std::function<void(const QString& message)>;

  // Places the pages, then opens "Dyadmark.ini" in `exeDir` (the program
  // directory with a trailing "/"), starts the quote library through `api`,
  // restores the window and lets each page read its settings, and learns
  // the latest market date. `api` must outlive the window. An empty
  // `reporter` shows message boxes.
  explicit TFormMain(Frames frames, const TicvaneApi& api = RealTicvaneApi(),
                     const QString& exeDir = DefaultExeDir(), ErrorReporter reporter = {});
  // Shuts the quote library down.
  ~TFormMain() override;

  // The program's directory with a trailing "/".
  static QString DefaultExeDir();

  // Program-wide values.
  const std::filesystem::path& ExeDir() const { return data_->ExeDir(); }
  // "yyyy/mm/dd" of the newest trading day, "0000/00/00" when unknown.
  const std::string& LatestMarketDate() const { return data_->LatestMarketDate(); }
  // The top of the first row (in the list's viewport) and the height of one
  // row of a report list in the program's font, in pixels.
  int32_t ListRowTop() const { return listRowTop_; }
  int32_t ListRowHeight() const { return listRowHeight_; }
  int32_t TimeoutSeconds() const { return timeoutSeconds_; }
  const TicvaneApi& Api() const { return api_; }
  // The selected quote source (the index of the checked source item).
  int32_t SourceIndex() const { return sourceIndex_; }
  // Online mode: the "⇔" item checked.
  bool OnLine() const;
  // "最新データ自動更新(&N)" checked.
  bool ChartDataUpdate() const;
  int32_t HelpContext() const { return helpContext_; }
  // The pair chart's print settings: the margins (left, top, right, bottom,
  // per cent), and the orientation and resolution kept between previews.
  const PrintChartSettings& PrintSettings() const { return printSettings_; }

  TFrameCode& FrameCode() { return *frameCode_; }
  TFrameScrn& FrameScrn() { return *frameScrn_; }
  TFramePair& FramePair() { return *framePair_; }
  // The pair registry window, created after this window; it is linked to
  // the pair-check page through OpenPair and PairOnCheckPage.
  // A pair check records the pair with its AddRecent.
  void SetPairRegistry(TFormPairReg* window);
  // Fills the pair-check page with `pair` (the code edits marked as not
  // edited) and checks it as it stands, without looking the codes up.
  void OpenPair(const PairToOpen& pair);
  // The pair the pair-check page shows now.
  PairOnPage PairOnCheckPage() const;

  // Status bar.
  StatusPanelBar& StatusBar() { return *statusBar_; }
  // Sets a panel's text from code page 932 bytes.
  void SetStatusText(int panel, std::string_view text);

  // The one-shot idle task (codes 1 and 21).
  void ArmIdleTask(int32_t code);
  int32_t PendingIdleTask() const;

  // The program's data (program directory, code table, latest market date),
  // owned here and handed to the pages.
  ProgramData& Data() { return *data_; }
  const ProgramData& Data() const { return *data_; }

  // The screening run (its state, cancel request and the library-busy flag).
  ScreeningRun& Run() { return run_; }
  const ScreeningRun& Run() const { return run_; }
  // Starts a run: locks the window (the controls of every page that a run
  // must not meet, the hourglass, the cancel item shown with its counter at
  // 0, status panels 1 and 2 "-"). False, nothing changed, while a run or
  // its worker lives or a library call is under way.
  bool BeginScreeningRun();
  // Watches the run's worker thread until it has finished (call it right
  // after BeginScreeningRun, before the thread starts). False while an
  // earlier worker is alive.
  bool AdoptScreeningWorker(QThread* worker);
  // The worker's end step: the screening page shown, the window unlocked
  // (unless a second cancel press did so already) and the code table saved
  // when it changed.
  void EndScreeningRun();
  // The window is locked for a run.
  bool ScreeningBusy() const { return run_.Busy(); }
  bool ScreeningWorkerAlive() const { return run_.WorkerAlive(); }
  const CancelRequest& CancelCounter() const { return run_.Cancel(); }
  LibraryBusyFlag& LibraryBusy() { return run_.LibraryBusy(); }
  // A pair check, a chart preset or a screening may call the library now.
  bool CanUseLibrary() const { return run_.CanUseLibrary(); }

  // Handlers.
  void PageControlChange();
  void MainMenuLineClick(bool fromClick);
  void MainMenuOptionWebClick(QAction* item);
  void MainMenuOptionTopClick();
  void MainMenuPairRegClick();
  void MainMenuHelpTopicClick();
  void MainMenuHelpAboutClick();
  // The list exports: each to the clipboard (Copy) or to a chosen file (Out).
  void MainMenuFileCodeCopyClick();
  void MainMenuFileCodeOutClick();
  void MainMenuFilePastCopyClick();
  void MainMenuFilePastOutClick();
  void MainMenuFileScrnCopyClick();
  void MainMenuFileScrnOutClick();
  void MainMenuFilePairCopyClick();
  void MainMenuFilePairOutClick();
  // Prints the drawn pair chart through the print preview.
  void MainMenuFilePairPrintClick();
  // Hands the drawn pair to the sibling program.
  void MainMenuFileSentrovaClick();
  // A preset key (Tag 5 to 12): when the pair page is active, a pair is
  // drawn, the key's item is shown, the library is free and the preset's
  // section is present, the preset goes into the pair page's options and
  // the pair is checked again. True when the preset was applied.
  bool MainMenuChartPresetClick(int32_t tag);
  void MainMenuCancelClick();
  void StatusBarMouseMove(int32_t x);
  void ApplicationEventsHint(const QString& hint);
  void ApplicationEventsIdle(int32_t code);
  void FormMouseMove();
  void PageControlMouseMove();
  // A double click on a screening result row: turns to the pair-check page
  // and hands the row's codes, name captions and lots on (nothing during a
  // run).
  void OpenPairFromScreening(const PairOpening& opening);

  // Writes "Code.txt" and, with `excludedToo`, "C404.txt" when they changed;
  // a failure is shown to the user, not thrown, and once a screening run,
  // which saves them more than once.
  void SaveDataFiles(bool excludedToo = false);
  // Shows one error message to the user.
  void ReportError(const QString& message);

 signals:
  // The watched worker's thread has finished (after its end step, or
  // without one).
  void screeningWorkerEnded();
  // A screening result row was opened: the pair page fills its code, name
  // and lot fields with these and checks the pair without looking the codes
  // up again.
  void pairOpenedFromScreening(const PairCheckFields& fields);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceFrames(Frames frames);
  // Hands the pair page what it needs of this window.
  void WirePairPage();
  void MeasureListRows();
  void ConnectHandlers();
  void FormCreate();
  void BuildSourceItems(const char* const* captions);
  void FormShow();
  bool FormCloseQuery() const;
  void FormClose();
  void FormResize();
  void RememberNormalBounds();
  // What a run locks, in two parts: the conditions, which a second cancel
  // press gives back at once, and what meets the run's worker (the
  // technical-condition buttons, the price list, the pair page), which waits
  // until the worker's thread has ended.
  void SetConditionsLocked(bool locked);
  void SetWorkerUsersLocked(bool locked);
  // The cursor hooks of the window and of both frames.
  void HookRunCursor(bool on);
  // Who waits for the worker's thread before it is unlocked.
  enum class WorkerUsers { StayLocked, Release };
  // The one unlock step of a run's end, a second cancel press and a worker
  // that ended without its end step: the cursor, the cancel item and the
  // conditions come back and the code table is saved when it changed; what
  // meets the worker only with WorkerUsers::Release.
  void UnlockAfterRun(WorkerUsers workerUsers);
  void ReleaseWorkerLocks();
  void ScreeningWorkerEnded();
  // The screening button's road: takes the conditions, empties the result
  // list, locks the window and starts a worker. False, nothing changed,
  // while an earlier run or its worker lives or a library call is under way.
  bool StartScreening(int evaluationThreads = 0);
  void ShowPageMenus(const PageMenus& menus);
  // Gives status panels 1 to 4 the widths of `page` (`widths`) and names
  // them by what they hold there.
  void ShapeStatusPanels(int page, const std::array<int32_t, 4>& widths);
  bool OnPairCheckPage() const;
  std::filesystem::path SettingsFile() const;
  // Writes an export to the file the user picks; a failed write is reported.
  void SaveExport(const std::vector<std::string>& lines, const std::string& fileName);
  void SaveExport(const ExportLineSource& lines, const std::string& fileName);
  // Runs a handler; an error it raises is reported and goes no further.
  void Guard(const std::function<void()>& handler);
  // A slot that runs `handler` under Guard, with the signal's arguments when
  // it is one of the window's member functions.
  template <typename Result, typename... Args>
  auto Guarded(Result (TFormMain::*handler)(Args...)) {
    return [this, handler](Args... args) { Guard([&] { (this->*handler)(args...); }); };
  }
  auto Guarded(std::function<void()> handler) {
    return [this, handler = std::move(handler)] { Guard(handler); };
  }
  // A failure of the run under way: told unless it was told on this run.
  void ReportRunFailure(const QString& message);

  std::unique_ptr<Ui::TFormMain> ui_;
  const TicvaneApi& api_;
  ErrorReporter reporter_;
  QString exeDirText_;
  std::unique_ptr<ProgramData> data_;

  TFrameCode* frameCode_ = nullptr;
  TFrameScrn* frameScrn_ = nullptr;
  TFramePair* framePair_ = nullptr;
  TFormPairReg* pairRegistry_ = nullptr;
  StatusPanelBar* statusBar_ = nullptr;
  HintRouter* hintRouter_ = nullptr;
  IdleTaskSlot* idleTask_ = nullptr;
  ScreeningWorkerWatch* workerWatch_ = nullptr;
  SiblingHandOver* siblingHandOver_ = nullptr;
  QActionGroup* sourceGroup_ = nullptr;
  std::vector<QAction*> sourceItems_;
  std::array<QAction*, kChartPresetCount> presetItems_{};
  std::unique_ptr<CheckBoxImages> imageListCheckBox_;
  RunCursorHooks runCursorHooks_;

  HintRule hintRule_;
  QString statusBarHint_;
  ScreeningRun run_;
  // A screening run, from its start until its worker's thread has ended.
  FailureOccasion runFailures_;
  // The close, the pair registry's save at its end included.
  FailureOccasion closeFailures_;

  // Own fields of the window.
  bool startMaximized_ = false;
  // The bounds the window has when it is neither maximised nor minimised
  // (the default bounds until the stored ones are read).
  QRect normalBounds_;
  int32_t timeoutSeconds_ = 5;

  PrintChartSettings printSettings_;
  int32_t sourceIndex_ = 1;
  int32_t helpContext_ = 100;
  int32_t listRowTop_ = 0;
  int32_t listRowHeight_ = 0;
  bool libraryStarted_ = false;
  bool restoreBoundsOnResize_ = false;
  bool closed_ = false;
};
