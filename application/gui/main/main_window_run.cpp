// The main window's side of a screening run: starting the worker with what
// it may reach of the window, locking the window while it runs, the cancel
// item and the unlocking when the run or its worker ends.

#include <QTabBar>
#include <QThread>
#include <algorithm>

#include "codes/Dm_fcode.h"
#include "main/Dm_umain.h"
#include "main/status_panel_bar.h"
#include "pair/Dm_fpair.h"
#include "screening/Dm_fscrn.h"
#include "screening/Dm_tscrn.h"
#include "screening/screening_result_list.h"
#include "screening/screening_worker_watch.h"
#include "ui_Dm_umain.h"
#include "widgets/qt_cp932.h"
#include "widgets/screen_cursor.h"

namespace {

constexpr char kCancelAccepted[] =
    " ! \x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B\x82\xF0\x8E\xF3\x82\xAF\x95\x74\x82\xAF\x82\xDC"
    "\x82\xB5\x82\xBD";  // " ! キャンセルを受け付けました"

TScreening::Host WorkerHostOf(TFormMain& window) {
  TFrameScrn& frame = window.FrameScrn();
  TScreening::Host host;
  host.mainThread = &window;
  host.run = &window.Run();
  host.api = &window.Api();
  host.dataDir = window.ExeDir();
  host.latestMarketDate = window.LatestMarketDate();
  host.setStatus = [&window](int panel, std::string_view text) {
    window.SetStatusText(panel, text);
  };
  host.addResultColumns = [&frame](const std::vector<ResultColumn>& columns) {
    frame.ResultList().Model().AddResultColumns(columns);
  };
  host.appendResultRows = [&frame](ResultRowBatch rows) {
    frame.ResultList().Model().AppendRows(std::move(rows));
  };
  host.resultRowCount = [&frame] { return frame.ResultRowCount(); };
  host.setTechnicalCaption = [&frame](int conditionRow, const std::string& caption) {
    frame.SetTechnicalCaption(conditionRow, caption);
  };
  host.clearReCheck = [&frame] { frame.ClearReCheck(); };
  host.endRun = [&window] { window.EndScreeningRun(); };
  host.reportError = [&window](const std::string& message) {
    window.ReportError(QFromCp932(message));
  };
  host.focusCodeList = [&frame](TScreening::CodeListBox box) {
    switch (box) {
      case TScreening::CodeListBox::A:
        frame.FocusCodeA();
        break;
      case TScreening::CodeListBox::B:
        frame.FocusCodeB();
        break;
      case TScreening::CodeListBox::Excluded:
        frame.FocusCodeNG();
        break;
    }
  };
  host.saveTables = [&window](bool excludedToo) {
    window.FrameCode().SetCodeListCount();
    window.SaveDataFiles(excludedToo);
  };
  host.codeTable = [&window]() -> CodeTable& { return window.Data().CodeList(); };
  host.excludedCodes = [&frame]() -> ExcludedCodeList& { return frame.ExcludedCodes(); };
  return host;
}

}  // namespace

bool TFormMain::StartScreening(int evaluationThreads) {
  if (!run_.CanStart()) return false;
  ScreeningConditions conditions = frameScrn_->TakeConditions();
  conditions.online = OnLine();
  conditions.source = SourceIndex();
  conditions.skipMarkedCodes = frameCode_->ExcludeMarkedCodes();
  frameScrn_->ResultList().Model().Clear();
  run_.SetPairCount(0);
  if (!BeginScreeningRun()) return false;
  if (evaluationThreads <= 0) evaluationThreads = std::max(1, QThread::idealThreadCount());
  auto* worker = new TScreening(WorkerHostOf(*this), std::move(conditions), evaluationThreads);
  QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
  if (!AdoptScreeningWorker(worker)) {
    delete worker;
    EndScreeningRun();
    runFailures_.End();
    return false;
  }
  worker->start();
  return true;
}

bool TFormMain::AdoptScreeningWorker(QThread* worker) {
  if (!workerWatch_->Watch(worker)) return false;
  run_.WorkerStarted();
  return true;
}

bool TFormMain::BeginScreeningRun() {
  if (!run_.Begin()) return false;
  runFailures_.Begin();
  SetScreenCursor(Qt::WaitCursor);
  HookRunCursor(true);
  SetConditionsLocked(true);
  SetWorkerUsersLocked(true);
  ui_->MainMenuCancel->setVisible(true);
  statusBar_->SetPanelText(1, QStringLiteral("-"));
  statusBar_->SetPanelText(2, QStringLiteral("-"));
  return true;
}

void TFormMain::EndScreeningRun() {
  if (!run_.End()) return;  // a second cancel press unlocked the window already
  ui_->PageControl->setCurrentWidget(ui_->TabSheetScrn);
  UnlockAfterRun(WorkerUsers::Release);
}

void TFormMain::SetConditionsLocked(bool locked) {
  frameScrn_->SetConditionsLocked(locked);
  frameCode_->SetCodePanelLocked(locked);
}

void TFormMain::SetWorkerUsersLocked(bool locked) {
  frameScrn_->SetTechnicalButtonsLocked(locked);
  frameCode_->SetPriceListLocked(locked);
  framePair_->SetRunLocked(locked);
}

void TFormMain::HookRunCursor(bool on) {
  runCursorHooks_.Clear();
  if (on) {
    runCursorHooks_.Hook(this, [this] { FormMouseMove(); });
    runCursorHooks_.Hook(ui_->PageControl, [this] { PageControlMouseMove(); });
    runCursorHooks_.Hook(ui_->PageControl->tabBar(), [this] { PageControlMouseMove(); });
  }
  frameScrn_->HookRunCursor(on);
  frameCode_->HookRunCursor(on);
}

void TFormMain::MainMenuCancelClick() {
  switch (run_.PressCancel()) {
    case ScreeningRun::CancelPress::Requested:
      SetStatusText(0, kCancelAccepted);
      break;
    case ScreeningRun::CancelPress::Unlocked:
      // The worker has not reacted (it may have ended without its end step):
      // the conditions are unlocked at once without waiting for it. What
      // still meets the worker (the quote library, the price files) stays
      // locked until its thread has ended.
      UnlockAfterRun(run_.WorkerAlive() ? WorkerUsers::StayLocked : WorkerUsers::Release);
      break;
    case ScreeningRun::CancelPress::Ignored:
      break;
  }
}

void TFormMain::UnlockAfterRun(WorkerUsers workerUsers) {
  SetScreenCursor(Qt::ArrowCursor);
  if (workerUsers == WorkerUsers::Release) ReleaseWorkerLocks();
  ui_->MainMenuCancel->setVisible(false);
  SetConditionsLocked(false);
  frameCode_->SetCodeListCount();
  SaveDataFiles();
}

void TFormMain::ReleaseWorkerLocks() {
  HookRunCursor(false);
  SetWorkerUsersLocked(false);
}

void TFormMain::ScreeningWorkerEnded() {
  switch (run_.WorkerFinished()) {
    case ScreeningRun::State::Running:
      // The thread ended without its end step: unlocked as two cancel
      // presses would.
      UnlockAfterRun(WorkerUsers::Release);
      break;
    case ScreeningRun::State::Unlocked:
      ReleaseWorkerLocks();
      break;
    case ScreeningRun::State::Idle:
      break;
  }
  runFailures_.End();
  emit screeningWorkerEnded();
}
