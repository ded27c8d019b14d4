#include "main/Dm_umain.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QUrl>
#include <QVBoxLayout>
#include <system_error>

#include "about/Dm_uabout.h"
#include "codes/Dm_fcode.h"
#include "data/price_files.h"
#include "main/hint_router.h"
#include "main/idle_task.h"
#include "main/list_row_geometry.h"
#include "main/status_panel_bar.h"
#include "output/sibling_handover.h"
#include "pair/Dm_fpair.h"
#include "registry/Dm_upairreg.h"
#include "screening/Dm_fscrn.h"
#include "screening/screening_result_list.h"
#include "screening/screening_worker_watch.h"
#include "ui_Dm_umain.h"
#include "vcl/replace_file.h"
#include "widgets/accessible_names.h"
#include "widgets/check_box_images.h"
#include "widgets/guarded_application.h"
#include "widgets/qt_cp932.h"
#include "widgets/screen_cursor.h"
#include "window/main_pages.h"
#include "window/main_settings.h"
#include "window/page_menu_table.h"
#include "window/status_count_text.h"
#include "window/window_bounds.h"

namespace {

constexpr char kSettingsFileName[] = "Dyadmark.ini";
constexpr char kHelpFileName[] = "Dyadmark.hlp";
constexpr char kSiblingProgram[] = "Sentrova.exe";

constexpr char kOnLineCaption[] = "\x81\xCC";  // "⇔"
constexpr char kOffLineCaption[] = "--";
constexpr char kOnLineMessage[] =
    " * \x83\x49\x83\x93\x83\x89\x83\x43\x83\x93\x83\x82\x81\x5B\x83\x68";  // " * オンラインモード"
constexpr char kOffLineMessage[] =
    " * \x83\x49\x83\x74\x83\x89\x83\x43\x83\x93\x83\x82\x81\x5B\x83\x68";  // " * オフラインモード"
// " が見つかりません"
constexpr char kNotFound[] = " \x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";

QRect QRectOf(const WindowRect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }

std::vector<WindowRect> ScreenRects() {
  std::vector<WindowRect> rects;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect g = screen->geometry();
    rects.push_back({g.left(), g.top(), g.width(), g.height()});
  }
  return rects;
}

}  // namespace

TFormMain::TFormMain(Frames frames, const TicvaneApi& api, const QString& exeDir,
                     ErrorReporter reporter)
    : ui_(std::make_unique<Ui::TFormMain>()),
      api_(api),
      reporter_(reporter ? std::move(reporter) : ErrorReporter(&GuardedApplication::ShowErrorBox)),
      exeDirText_(exeDir.endsWith(u'/') ? exeDir : exeDir + u'/'),
      normalBounds_(QRectOf(kDefaultMainWindowBounds)) {
  ui_->setupUi(this);
  statusBar_ = new StatusPanelBar(ui_->ClientArea);
  ui_->ClientLayout->addWidget(statusBar_);
  hintRouter_ = new HintRouter(this);
  idleTask_ = new IdleTaskSlot(this);
  workerWatch_ = new ScreeningWorkerWatch(this);
  imageListCheckBox_ = std::make_unique<CheckBoxImages>();
  presetItems_ = {ui_->MainMenuChartPresetF5,  ui_->MainMenuChartPresetF6,
                  ui_->MainMenuChartPresetF7,  ui_->MainMenuChartPresetF8,
                  ui_->MainMenuChartPresetF9,  ui_->MainMenuChartPresetF10,
                  ui_->MainMenuChartPresetF11, ui_->MainMenuChartPresetF12};
  for (int i = 0; i < kChartPresetCount; ++i) presetItems_[i]->setData(kFirstChartPresetTag + i);
  // The print page holds the print chart; its tab is never shown. A hidden
  // tab is still announced to screen readers, so the page leaves the tab bar
  // and stays a hidden part of the window.
  ui_->PageControl->removeTab(ui_->PageControl->indexOf(ui_->TabSheetPrint));
  ui_->TabSheetPrint->setParent(ui_->ClientArea);
  ui_->TabSheetPrint->hide();
  // The form starts in the state of the screening page, without running the
  // page handler.
  for (QMenu* menu : {ui_->MainMenuFileCode, ui_->MainMenuFilePast, ui_->MainMenuFilePair,
                      ui_->MainMenuChartPreset}) {
    menu->menuAction()->setVisible(false);
  }
  ShapeStatusPanels(kPageScreening, PageMenuStateFor(kPageScreening)->panelWidths);

  data_ = std::make_unique<ProgramData>(
      std::filesystem::path(QFile::encodeName(exeDirText_).toStdString()));
  PlaceFrames(std::move(frames));
  siblingHandOver_ = new SiblingHandOver(data_->ExeDir(), this);
  NameControlsForAccessibility(this);
  MeasureListRows();
  ConnectHandlers();
  Guard([this] { FormCreate(); });
}

TFormMain::~TFormMain() {
  runCursorHooks_.Clear();
  // Closing a shown window moves the focus, and the moves fire the pages' and
  // the helpers' signals: let that happen while the window is whole, then cut
  // every signal into it, and take the pages down while the program data and
  // the run they point at still live (QWidget would delete them only after
  // this object's members are gone).
  hide();
  for (QObject* child : findChildren<QObject*>())
    QObject::disconnect(child, nullptr, this, nullptr);
  delete framePair_;
  delete frameScrn_;
  delete frameCode_;
  framePair_ = nullptr;
  frameScrn_ = nullptr;
  frameCode_ = nullptr;
  if (libraryStarted_) api_.End();
}

QString TFormMain::DefaultExeDir() { return QCoreApplication::applicationDirPath() + u'/'; }

bool TFormMain::OnLine() const { return ui_->MainMenuLine->isChecked(); }

bool TFormMain::ChartDataUpdate() const { return ui_->MainMenuChartDataUpdate->isChecked(); }

void TFormMain::SetStatusText(int panel, std::string_view text) {
  statusBar_->SetPanelText(panel, QFromCp932(text));
}

void TFormMain::ArmIdleTask(int32_t code) { idleTask_->Arm(code); }

int32_t TFormMain::PendingIdleTask() const { return idleTask_->Pending(); }

// ---- construction -------------------------------------------------------

void TFormMain::PlaceFrames(Frames frames) {
  if (!frames.code) frames.code = std::make_unique<TFrameCode>();
  if (!frames.scrn) frames.scrn = std::make_unique<TFrameScrn>();
  if (!frames.pair) frames.pair = std::make_unique<TFramePair>();
  auto place = [](QWidget* frame, QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(frame);  // the page owns the frame from here on
  };
  frameCode_ = frames.code.release();
  place(frameCode_, ui_->TabSheetCode);
  frameScrn_ = frames.scrn.release();
  place(frameScrn_, ui_->TabSheetScrn);
  framePair_ = frames.pair.release();
  place(framePair_, ui_->TabSheetPair);

  frameCode_->SetProgramData(*data_);
  frameScrn_->SetProgramData(*data_);
  frameScrn_->SetScreeningRun(&run_);
  framePair_->SetProgramData(*data_);
  WirePairPage();
  frameCode_->SetCheckImages(imageListCheckBox_.get());
  frameCode_->SetScreeningRun(run_);
  connect(frameCode_, &TFrameCode::statusPanelText, this,
          [this](int panel, const QString& text) { statusBar_->SetPanelText(panel, text); });
  // The panels belong to the page shown, and during a run to the run.
  connect(frameCode_, &TFrameCode::priceListLoaded, this, [this](int rows) {
    if (ui_->PageControl->currentIndex() == kPageCodeData && !ScreeningBusy()) {
      statusBar_->SetPanelText(2, QString::number(rows));
    }
  });
  frameScrn_->SetCheckImages(imageListCheckBox_.get());
}

void TFormMain::WirePairPage() {
  TFramePair::Host host;
  host.api = &api_;
  host.run = &run_;
  host.onLine = [this] { return OnLine(); };
  host.chartDataUpdate = [this] { return ChartDataUpdate(); };
  host.source = [this] { return sourceIndex_; };
  host.firstShowPending = [this] { return PendingIdleTask() == kIdleTaskFirstShow; };
  host.setStatus = [this](int panel, std::string_view text) { SetStatusText(panel, text); };
  host.reportError = [this](const QString& message) { ReportError(message); };
  host.presetItem = [this](int index) -> QAction* {
    return index >= 0 && index < static_cast<int>(presetItems_.size())
               ? presetItems_[static_cast<size_t>(index)]
               : nullptr;
  };
  host.addRecent = [this](const PairToOpen& pair) {
    if (pairRegistry_ != nullptr) pairRegistry_->AddRecent(pair);
  };
  framePair_->SetHost(std::move(host));
}

void TFormMain::MeasureListRows() {
  const ListRowGeometry rows = MeasureReportListRows(frameScrn_->font());
  listRowTop_ = rows.top;
  listRowHeight_ = rows.height;
}

void TFormMain::ConnectHandlers() {
  const std::pair<QAction*, void (TFormMain::*)()> items[] = {
      {ui_->MainMenuOptionTop, &TFormMain::MainMenuOptionTopClick},
      {ui_->MainMenuPairReg, &TFormMain::MainMenuPairRegClick},
      {ui_->MainMenuHelpTopic, &TFormMain::MainMenuHelpTopicClick},
      {ui_->MainMenuHelpAbout, &TFormMain::MainMenuHelpAboutClick},
      {ui_->MainMenuCancel, &TFormMain::MainMenuCancelClick},
      {ui_->MainMenuFileCodeCopy, &TFormMain::MainMenuFileCodeCopyClick},
      {ui_->MainMenuFileCodeOut, &TFormMain::MainMenuFileCodeOutClick},
      {ui_->MainMenuFilePastCopy, &TFormMain::MainMenuFilePastCopyClick},
      {ui_->MainMenuFilePastOut, &TFormMain::MainMenuFilePastOutClick},
      {ui_->MainMenuFileScrnCopy, &TFormMain::MainMenuFileScrnCopyClick},
      {ui_->MainMenuFileScrnOut, &TFormMain::MainMenuFileScrnOutClick},
      {ui_->MainMenuFilePairCopy, &TFormMain::MainMenuFilePairCopyClick},
      {ui_->MainMenuFilePairOut, &TFormMain::MainMenuFilePairOutClick},
      {ui_->MainMenuFilePairPrint, &TFormMain::MainMenuFilePairPrintClick},
      {ui_->MainMenuFileSentrova, &TFormMain::MainMenuFileSentrovaClick},
  };
  for (const auto& [item, handler] : items) {
    connect(item, &QAction::triggered, this, Guarded(handler));
  }
  // Only a click tells the new mode in the status bar, not the mode read at
  // the start.
  connect(ui_->MainMenuLine, &QAction::triggered, this,
          Guarded([this] { MainMenuLineClick(true); }));
  for (QAction* item : presetItems_) {
    connect(item, &QAction::triggered, this,
            Guarded([this, item] { MainMenuChartPresetClick(item->data().toInt()); }));
  }
  // F1 opens the help of the active page (its help context).
  auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(helpKey, &QShortcut::activated, this, Guarded(&TFormMain::MainMenuHelpTopicClick));

  connect(ui_->PageControl, &QTabWidget::currentChanged, this,
          Guarded(&TFormMain::PageControlChange));
  connect(statusBar_, &StatusPanelBar::mouseMoved, this, Guarded(&TFormMain::StatusBarMouseMove));
  connect(hintRouter_, &HintRouter::hintChanged, this, Guarded(&TFormMain::ApplicationEventsHint));
  connect(idleTask_, &IdleTaskSlot::run, this, Guarded(&TFormMain::ApplicationEventsIdle));
  connect(frameScrn_, &TFrameScrn::codeBoxEntered, this,
          [this] { ArmIdleTask(kIdleTaskCodeBoxFocus); });
  connect(workerWatch_, &ScreeningWorkerWatch::ended, this,
          Guarded(&TFormMain::ScreeningWorkerEnded));
  connect(frameScrn_, &TFrameScrn::screeningRequested, this, Guarded([this] { StartScreening(); }));
  ScreeningResultList& results = frameScrn_->ResultList();
  results.SetRunActive([this] { return !run_.CanUseLibrary(); });
  connect(&results, &ScreeningResultList::rowsDeleted, this,
          [this](int remaining) { SetStatusText(1, CountOrDash(remaining)); });
  connect(&results, &ScreeningResultList::pairOpenRequested, this,
          Guarded(&TFormMain::OpenPairFromScreening));
}

void TFormMain::FormCreate() {
  // A save cut short (a kill, a power cut) leaves its temporary file behind.
  vcl::RemoveLeftoverTemporaryFiles(data_->ExeDir());
  {
    vcl::TIniFile ini(SettingsFile());
    const MainWindowSettings settings = ReadMainWindowSettings(ini);
    timeoutSeconds_ = settings.timeoutSeconds;

    const char* const* captions = nullptr;
    {
      LibraryCallScope call(run_.LibraryBusy());
      captions = api_.Init(1, 1, timeoutSeconds_);
    }
    libraryStarted_ = true;
    BuildSourceItems(captions);

    startMaximized_ = settings.state == 2;
    const WindowRect stored{settings.left, settings.top, settings.width, settings.height};
    const WindowRect bounds = BoundsOnScreens(stored, ScreenRects(), kDefaultMainWindowBounds);
    normalBounds_ = QRectOf(bounds);
    // Maximised, the window keeps these as the bounds it restores to.
    setGeometry(normalBounds_);
    if (startMaximized_) setWindowState(windowState() | Qt::WindowMaximized);

    ui_->MainMenuLine->setChecked(settings.onLine);
    MainMenuLineClick(false);

    const auto presets = ReadChartPresetCaptions(ini);
    for (size_t i = 0; i < presets.size(); ++i) {
      presetItems_[i]->setVisible(presets[i].has_value());
      presetItems_[i]->setText(presets[i] ? QFromCp932(*presets[i]) : QString());
    }

    ui_->MainMenuChartDataUpdate->setChecked(settings.chartDataUpdate);

    sourceIndex_ =
        ValidSourceIndex(settings.sourceIndex, static_cast<int32_t>(sourceItems_.size()));
    if (sourceIndex_ < static_cast<int32_t>(sourceItems_.size())) {
      sourceItems_[static_cast<size_t>(sourceIndex_)]->setChecked(true);
    }

    ui_->MainMenuOptionTop->setChecked(settings.stayOnTop);
    MainMenuOptionTopClick();

    printSettings_ = {settings.printMargins, settings.orientation, settings.resolution};

    frameCode_->LoadSettings(ini);
    frameScrn_->LoadSettings(ini);
    framePair_->LoadSettings(ini);
  }
  {
    LibraryCallScope call(run_.LibraryBusy());
    data_->SetLatestMarketDate(GetLatestMarketDate(api_, sourceIndex_));
  }
  std::error_code error;
  ui_->MainMenuFileSentrova->setEnabled(
      std::filesystem::is_regular_file(data_->FileInExeDir(kSiblingProgram), error));
}

void TFormMain::BuildSourceItems(const char* const* captions) {
  sourceGroup_ = new QActionGroup(this);
  sourceGroup_->setExclusive(true);
  if (captions == nullptr) return;
  for (int32_t i = 0; captions[i] != nullptr && captions[i][0] != '\0'; ++i) {
    auto* item = new QAction(QFromCp932(captions[i]), ui_->MainMenuOptionWeb);
    item->setCheckable(true);
    item->setData(i);
    sourceGroup_->addAction(item);
    ui_->MainMenuOptionWeb->addAction(item);
    connect(item, &QAction::triggered, this,
            Guarded([this, item] { MainMenuOptionWebClick(item); }));
    sourceItems_.push_back(item);
  }
}

// ---- window life --------------------------------------------------------

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) Guard([this] { FormShow(); });
}

void TFormMain::FormShow() {
  ArmIdleTask(kIdleTaskFirstShow);
  activateWindow();
}

// Not while a run or its worker lives, nor in the middle of a library call on
// this thread (a download pumping events), which would find its data gone
// when it returns.
bool TFormMain::FormCloseQuery() const { return run_.CanClose(); }

void TFormMain::closeEvent(QCloseEvent* event) {
  // A refused close changes nothing; the settings are written and the pages
  // let go of their data only once the close is certain, and only once.
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  if (!closed_) {
    closed_ = true;
    Guard([this] { FormClose(); });
  }
  event->accept();
}

void TFormMain::FormClose() {
  MainWindowSettings settings;
  const Qt::WindowStates state = windowState();
  const QRect bounds = (state & Qt::WindowMaximized) ? normalBounds_ : geometry();
  settings.top = bounds.top();
  settings.left = bounds.left();
  settings.height = bounds.height();
  settings.width = bounds.width();
  settings.state = (state & Qt::WindowMinimized) ? 1 : (state & Qt::WindowMaximized) ? 2 : 0;
  settings.onLine = OnLine();
  settings.chartDataUpdate = ChartDataUpdate();
  settings.sourceIndex = sourceIndex_;
  settings.stayOnTop = ui_->MainMenuOptionTop->isChecked();
  settings.printMargins = printSettings_.margins;
  settings.orientation = printSettings_.orientation;
  settings.resolution = printSettings_.resolution;

  // Every step runs even when an earlier one failed, so that a settings file
  // that cannot be written costs no data file; the user hears of each
  // different failure once, also when the pair registry's save at its end
  // meets it again.
  closeFailures_.Begin();
  QStringList errors;
  auto step = [this, &errors](const std::function<void()>& save) {
    try {
      save();
    } catch (...) {
      const QString message = CurrentErrorMessage();
      if (closeFailures_.FirstTime(message.toStdU16String())) errors << message;
    }
  };
  // The pages' keys are gathered in memory and the file is replaced once, so
  // a close cut short leaves the old settings or the new ones, never a mix.
  vcl::TIniFile ini(SettingsFile());
  vcl::TIniFileUpdate update(ini);
  step([&] { WriteMainWindowSettings(ini, settings); });
  step([&] { frameCode_->SaveSettings(ini); });
  step([&] { frameScrn_->SaveSettings(ini); });
  step([&] { framePair_->SaveSettings(ini); });
  step([&] { update.Commit(); });
  if (!errors.isEmpty()) ReportError(errors.join(u'\n'));
}

void TFormMain::MainMenuLineClick(bool fromClick) {
  const bool online = ui_->MainMenuLine->isChecked();
  ui_->MainMenuLine->setText(QFromCp932(online ? kOnLineCaption : kOffLineCaption));
  frameScrn_->SetOnLine(online);
  if (fromClick) SetStatusText(0, online ? kOnLineMessage : kOffLineMessage);
}

void TFormMain::MainMenuOptionWebClick(QAction* item) {
  item->setChecked(true);
  sourceIndex_ = item->data().toInt();
}

void TFormMain::MainMenuOptionTopClick() {
  const bool top = ui_->MainMenuOptionTop->isChecked();
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == top) return;
  // Changing a shown window's flags hides it; it comes back where it was.
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, top);
  if (shown) show();
}

void TFormMain::SetPairRegistry(TFormPairReg* window) {
  pairRegistry_ = window;
  if (window == nullptr) return;
  PairPageLink link;
  link.current = [this] { return PairOnCheckPage(); };
  link.open = [this](const PairToOpen& pair) { OpenPair(pair); };
  link.run = &run_;
  link.codes = &data_->CodeList();
  link.failures = &closeFailures_;
  window->SetPairPage(std::move(link));
}

void TFormMain::OpenPair(const PairToOpen& pair) {
  if (!CanUseLibrary()) return;
  ui_->PageControl->setCurrentWidget(ui_->TabSheetPair);
  framePair_->OpenPair(pair);
}

PairOnPage TFormMain::PairOnCheckPage() const { return framePair_->CurrentPair(); }

bool TFormMain::OnPairCheckPage() const {
  return ui_->PageControl->currentIndex() == kPagePairCheck;
}

void TFormMain::MainMenuPairRegClick() {
  if (!OnPairCheckPage() || pairRegistry_ == nullptr) return;
  pairRegistry_->show();
  pairRegistry_->raise();
  pairRegistry_->activateWindow();
}

void TFormMain::MainMenuHelpTopicClick() {
  const std::filesystem::path file = data_->FileInExeDir(kHelpFileName);
  const QString name = exeDirText_ + QString::fromLatin1(kHelpFileName);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    ReportError(name + QFromCp932(kNotFound));
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(name));
}

void TFormMain::MainMenuHelpAboutClick() {
  TFormAbout about(this);
  about.exec();
}

// ---- idle task, run cursor ---------------------------------------------

void TFormMain::ApplicationEventsIdle(int32_t code) {
  switch (code) {
    case kIdleTaskFirstShow:
      if (startMaximized_) {
        startMaximized_ = false;
        restoreBoundsOnResize_ = true;
      }
      break;
    case kIdleTaskCodeBoxFocus:
      frameScrn_->DeselectCodeBoxes();
      break;
    default:
      break;
  }
}

void TFormMain::FormMouseMove() { SetScreenCursor(Qt::WaitCursor); }

void TFormMain::PageControlMouseMove() { SetScreenCursor(Qt::ArrowCursor); }

// A result row's pair on the pair-check page; refused while a run or its
// worker lives, since the check calls the quote library.
void TFormMain::OpenPairFromScreening(const PairOpening& opening) {
  if (!run_.CanUseLibrary()) return;
  const PairCheckFields fields = PairCheckFieldsOf(opening, data_->CodeList());
  ui_->PageControl->setCurrentWidget(ui_->TabSheetPair);
  emit pairOpenedFromScreening(fields);
  // The adjustment stays as the page holds it.
  framePair_->OpenPair(PairToOpen{.codeA = fields.codeA,
                                  .lotsA = fields.lotA,
                                  .codeB = fields.codeB,
                                  .lotsB = fields.lotB,
                                  .adjust = {},
                                  .nameA = fields.captionA,
                                  .nameB = fields.captionB},
                       TFramePair::AdjustmentOnOpen::kKeptOnPage);
}

// ---- helpers --------------------------------------------------------------

std::filesystem::path TFormMain::SettingsFile() const {
  return data_->FileInExeDir(kSettingsFileName);
}

void TFormMain::SaveDataFiles(bool excludedToo) {
  std::string error;
  if (!data_->SaveCodeFile(&error)) ReportRunFailure(QFromCp932(error));
  if (!excludedToo) return;
  try {
    frameScrn_->SaveExcludedCodes();
  } catch (...) {
    ReportRunFailure(CurrentErrorMessage());
  }
}

void TFormMain::ReportRunFailure(const QString& message) {
  if (runFailures_.FirstTime(message.toStdU16String())) ReportError(message);
}

void TFormMain::ReportError(const QString& message) {
  try {
    reporter_(message);
  } catch (...) {
    // The reporter itself failed: the message has nowhere else to go, and
    // the handler that raised it must not be cut short by it.
  }
}

void TFormMain::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    ReportError(CurrentErrorMessage());
  }
}
