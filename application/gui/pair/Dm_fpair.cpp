#include "pair/Dm_fpair.h"

#include <QAction>
#include <QInputDialog>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "data/library_busy.h"
#include "data/ticvane_api.h"
#include "data/write_failure_reason.h"
#include "pair/pair_chart_view.h"
#include "pair/pair_chart_window.h"
#include "pair/pair_day_figures.h"
#include "pair/pair_inputs.h"
#include "pair/pair_item.h"
#include "pair/pair_price_refresh.h"
#include "pair/pair_series.h"
#include "screening/screening_run.h"
#include "ui_Dm_fpair.h"
#include "vcl/convert.h"
#include "widgets/accessible_names.h"
#include "widgets/edit_exit_filter.h"
#include "widgets/qt_cp932.h"
#include "window/main_settings.h"
#include "window/recent_list.h"

namespace {

constexpr char kInputError[] = " ! \x93\xFC\x97\xCD\x83\x47\x83\x89\x81\x5B";  // " ! 入力エラー"
constexpr char kSettingsFileName[] = "Dyadmark.ini";

// The fallbacks of the number fields (the value a text that is no whole
// number stands for).
constexpr int32_t kLotsFallback = -1;
constexpr int32_t kAdjustFallback = 0;
constexpr int32_t kFromFallback = 1;
constexpr int32_t kToFallback = kPeriodMostDays;
// Fewest days shown once a pair has more.
constexpr int32_t kFewestDaysShown = 20;

std::string Cp932(const QLineEdit* edit) { return Cp932FromQ(edit->text()); }

int32_t IntegerOf(const QLineEdit* edit, int32_t fallback) {
  return vcl::StrToIntDef(Cp932(edit), fallback);
}

// The value of an option up-down changes by its arrows (buttons or keys)
// only: its text cannot be typed over. The box's own read-only switch would
// stop the arrows too.
void LetOnlyTheArrowsChange(QSpinBox* upDown) {
  if (auto* text = upDown->findChild<QLineEdit*>()) text->setReadOnly(true);
}

}  // namespace

TFramePair::TFramePair(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::TFramePair>()) {
  ui_->setupUi(this);
  for (QSpinBox* upDown : {ui_->UpDownLineWidth, ui_->UpDownBarWidth, ui_->UpDownGridL,
                           ui_->UpDownGridM, ui_->UpDownGridD}) {
    LetOnlyTheArrowsChange(upDown);
  }
  BuildChartArea();
  ConnectHandlers();
}

TFramePair::~TFramePair() = default;

void TFramePair::BuildChartArea() {
  auto* layout = new QVBoxLayout(ui_->PanelChart);
  layout->setContentsMargins(0, 0, 0, 0);
  chartView_ = new PairChartView(ui_->PanelChart);
  chartView_->setObjectName(QStringLiteral("PairChartView"));
  layout->addWidget(chartView_);
  scrollBar_ = chartView_->ScrollBar();
  connect(chartView_, &PairChartView::dayShown, this, [this](int32_t index) { ShowDay(index); });
  connect(chartView_, &PairChartView::statusText, this,
          [this](const std::string& text) { SetStatus(0, text); });
}

void TFramePair::ConnectHandlers() {
  QPushButton* check = ui_->ButtonCheck;
  connect(check, &QPushButton::clicked, this, [this, check] { ButtonCheckClick(check); });

  // Each field's exit rule also runs on Enter, which then checks the pair
  // with the field as sender.
  const auto watch = [this](QLineEdit* edit, const std::function<void()>& exitRule) {
    new EditExitFilter(edit, exitRule, [this, edit, exitRule] {
      exitRule();
      ButtonCheckClick(edit);
    });
  };
  watch(ui_->LabeledEditStockCodeA, [this] { CodeExit(ui_->LabeledEditStockCodeA); });
  watch(ui_->LabeledEditStockCodeB, [this] { CodeExit(ui_->LabeledEditStockCodeB); });
  watch(ui_->EditMagnA, [this] { NumberExit(ui_->EditMagnA, kLotsFallback); });
  watch(ui_->EditMagnB, [this] { NumberExit(ui_->EditMagnB, kLotsFallback); });
  watch(ui_->EditAdjust, [this] { NumberExit(ui_->EditAdjust, kAdjustFallback); });
  watch(ui_->EditChartFrom, [this] { PeriodExit(ui_->EditChartFrom, kFromFallback); });
  watch(ui_->EditChartTo, [this] { PeriodExit(ui_->EditChartTo, kToFallback); });

  connect(ui_->CheckBoxOption, &QCheckBox::toggled, this, [this] { CheckBoxOptionClick(); });
  connect(ui_->UpDownLineWidth, &QSpinBox::valueChanged, this, [this] { EditLineWidthChange(); });
  connect(ui_->UpDownBarWidth, &QSpinBox::valueChanged, this, [this] { EditBarWidthChange(); });
  connect(ui_->ComboBoxBarLabel, &QComboBox::currentIndexChanged, this,
          [this] { ComboBoxBarLabelChange(true); });
  for (QCheckBox* box : {ui_->CheckBoxLA1, ui_->CheckBoxLA2, ui_->CheckBoxLA3, ui_->CheckBoxLB1,
                         ui_->CheckBoxLB2, ui_->CheckBoxLB3}) {
    connect(box, &QCheckBox::toggled, this, [this] { CheckBoxLABClick(); });
  }
  for (QCheckBox* box : {ui_->CheckBoxLCM, ui_->CheckBoxLC05, ui_->CheckBoxLC25}) {
    connect(box, &QCheckBox::toggled, this, [this] { CheckBoxLCClick(); });
  }
  connect(ui_->UpDownGridL, &QSpinBox::valueChanged, this, [this] { EditGridChange(); });
  connect(ui_->UpDownGridD, &QSpinBox::valueChanged, this, [this] { EditGridChange(); });
  connect(ui_->CheckBoxLCSD, &QCheckBox::toggled, this, [this] { ReViewChart(); });
  connect(ui_->UpDownGridM, &QSpinBox::valueChanged, this, [this] { ReViewChart(); });
  connect(ui_->ComboBoxYMDLabel, &QComboBox::currentIndexChanged, this, [this] { ReViewChart(); });
  connect(ui_->TrackBarChartRenge, &QSlider::valueChanged, this,
          [this] { TrackBarChartRengeChange(true); });
  connect(ui_->TrackBarChartSplit, &QSlider::valueChanged, this,
          [this] { TrackBarChartSplitChange(); });
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) { DrawChart(value); });
  connect(ui_->ComboBoxRegFKey, &QComboBox::activated, this, [this] { ComboBoxRegFKeyChange(); });
  connect(ui_->ButtonRegFKey, &QPushButton::clicked, this, [this] { ButtonRegFKeyClick(); });
}

// ---- settings -------------------------------------------------------------

void TFramePair::LoadSettings(vcl::TIniFile& ini) {
  ui_->CheckBoxOption->setChecked(ini.ReadBool(kPairFrameSection, "ChkOption", false));
  CheckBoxOptionClick();
  ApplyChartSettings(ReadPairChartSettings(ini, kPairChartSection, PairChartSettings{}), false);
}

void TFramePair::SaveSettings(vcl::TIniFile& ini) {
  ini.WriteBool(kPairFrameSection, "ChkOption", ui_->CheckBoxOption->isChecked());
  WritePairChartSettings(ini, kPairChartSection, CurrentChartSettings());
}

PairChartSettings TFramePair::CurrentChartSettings() const {
  PairChartSettings s;
  s.LineWidth = ui_->UpDownLineWidth->value();
  s.BarWidth = ui_->UpDownBarWidth->value();
  s.BarLabel = ui_->ComboBoxBarLabel->currentIndex();
  s.YMDLabel = ui_->ComboBoxYMDLabel->currentIndex();
  const QCheckBox* ab[] = {ui_->CheckBoxLA1, ui_->CheckBoxLA2, ui_->CheckBoxLA3,
                           ui_->CheckBoxLB1, ui_->CheckBoxLB2, ui_->CheckBoxLB3};
  for (size_t i = 0; i < s.LinesAB.size(); ++i) s.LinesAB[i] = ab[i]->isChecked();
  const QCheckBox* c[] = {ui_->CheckBoxLCM, ui_->CheckBoxLCSD, ui_->CheckBoxLC05,
                          ui_->CheckBoxLC25};
  for (size_t i = 0; i < s.LinesC.size(); ++i) s.LinesC[i] = c[i]->isChecked();
  s.Grid = {ui_->UpDownGridL->value(), ui_->UpDownGridM->value(), ui_->UpDownGridD->value()};
  s.From = Cp932(ui_->EditChartFrom);
  s.To = Cp932(ui_->EditChartTo);
  s.Renge = ui_->TrackBarChartRenge->value();
  s.Split = ui_->TrackBarChartSplit->value();
  return s;
}

// The controls take the values with their own handlers held back; the
// handlers then run once each, as the settings are applied in order.
void TFramePair::ApplyChartSettings(const PairChartSettings& s, bool preset) {
  {
    const QSignalBlocker block(ui_->UpDownLineWidth);
    ui_->UpDownLineWidth->setValue(s.LineWidth);
  }
  EditLineWidthChange();
  {
    const QSignalBlocker block(ui_->UpDownBarWidth);
    ui_->UpDownBarWidth->setValue(s.BarWidth);
  }
  EditBarWidthChange();
  {
    const QSignalBlocker block(ui_->ComboBoxBarLabel);
    ui_->ComboBoxBarLabel->setCurrentIndex(s.BarLabel);
  }
  ComboBoxBarLabelChange(false);
  {
    const QSignalBlocker block(ui_->ComboBoxYMDLabel);
    ui_->ComboBoxYMDLabel->setCurrentIndex(s.YMDLabel);
  }
  QCheckBox* ab[] = {ui_->CheckBoxLA1, ui_->CheckBoxLA2, ui_->CheckBoxLA3,
                     ui_->CheckBoxLB1, ui_->CheckBoxLB2, ui_->CheckBoxLB3};
  for (size_t i = 0; i < s.LinesAB.size(); ++i) {
    const QSignalBlocker block(ab[i]);
    ab[i]->setChecked(s.LinesAB[i]);
  }
  CheckBoxLABClick();
  QCheckBox* c[] = {ui_->CheckBoxLCM, ui_->CheckBoxLCSD, ui_->CheckBoxLC05, ui_->CheckBoxLC25};
  for (size_t i = 0; i < s.LinesC.size(); ++i) {
    const QSignalBlocker block(c[i]);
    c[i]->setChecked(s.LinesC[i]);
  }
  CheckBoxLCClick();
  QSpinBox* grid[] = {ui_->UpDownGridL, ui_->UpDownGridM, ui_->UpDownGridD};
  for (size_t i = 0; i < s.Grid.size(); ++i) {
    const QSignalBlocker block(grid[i]);
    grid[i]->setValue(s.Grid[i]);
  }
  EditGridChange();
  ui_->EditChartFrom->setText(QFromCp932(s.From));
  ui_->EditChartTo->setText(QFromCp932(s.To));
  if (preset) {
    const QSignalBlocker block(ui_->TrackBarChartRenge);
    ui_->TrackBarChartRenge->setMinimum(-kPeriodMostDays);
    ui_->TrackBarChartRenge->setValue(s.Renge);
  } else {
    ui_->TrackBarChartRenge->setValue(s.Renge);
    TrackBarChartRengeChange(true);
  }
  {
    const QSignalBlocker block(ui_->TrackBarChartSplit);
    ui_->TrackBarChartSplit->setValue(s.Split);
  }
  TrackBarChartSplitChange();
}

// ---- input fields -----------------------------------------------------------

void TFramePair::CodeExit(QLineEdit* edit) {
  SetTextKeepingModified(edit, QFromCp932(NormalizeCodeText(Cp932(edit))));
}

void TFramePair::NumberExit(QLineEdit* edit, int32_t fallback) {
  SetTextKeepingModified(edit, QFromCp932(NormalizeNumberText(Cp932(edit), fallback)));
}

void TFramePair::PeriodExit(QLineEdit* edit, int32_t fallback) {
  SetTextKeepingModified(edit, QFromCp932(NormalizePeriodText(Cp932(edit), fallback)));
}

void TFramePair::SetNamePanel(QLabel* panel, const std::string& caption, bool error) {
  (panel == ui_->PanelStockNameA ? nameCaptionA_ : nameCaptionB_) = caption;
  panel->setText(QFromCp932(SingleAmpersands(caption)));
  QPalette palette = panel->palette();
  palette.setColor(QPalette::WindowText,
                   error ? QColor(Qt::red) : QApplication::palette().color(QPalette::WindowText));
  panel->setPalette(palette);
}

bool TFramePair::CheckCodeInput(QLineEdit* codeEdit, QLabel* namePanel, QLineEdit* lotEdit) {
  const std::string code = Cp932(codeEdit);
  if (code.empty()) return false;
  if (!codeEdit->isModified() && !lotEdit->text().isEmpty()) return true;
  codeEdit->setModified(false);
  std::string name;
  std::string market;
  int32_t unit = 0;
  if (data_ == nullptr ||
      data_->CodeList().GetCodeFields(code, &name, &market, nullptr, &unit, nullptr, nullptr) < 0) {
    SetNamePanel(namePanel, std::string(), true);
    namePanel->setText(QStringLiteral(u"不正な銘柄コード"));
    SetStatus(0, kInputError);
    codeEdit->setFocus();
    return false;
  }
  SetNamePanel(namePanel, NamePanelText(market, name), false);
  if (lotEdit->text().isEmpty()) lotEdit->setText(QString::number(unit));
  return true;
}

// ---- the check --------------------------------------------------------------

bool TFramePair::OpenPair(const PairToOpen& pair, AdjustmentOnOpen adjustment) {
  if (!CanCheck()) return false;
  ui_->LabeledEditStockCodeA->setText(QFromCp932(pair.codeA));
  ui_->LabeledEditStockCodeA->setModified(false);
  ui_->LabeledEditStockCodeB->setText(QFromCp932(pair.codeB));
  ui_->LabeledEditStockCodeB->setModified(false);
  SetNamePanel(ui_->PanelStockNameA, pair.nameA, false);
  SetNamePanel(ui_->PanelStockNameB, pair.nameB, false);
  ui_->EditMagnA->setText(QFromCp932(pair.lotsA));
  ui_->EditMagnB->setText(QFromCp932(pair.lotsB));
  if (adjustment == AdjustmentOnOpen::kFromPair) ui_->EditAdjust->setText(QFromCp932(pair.adjust));
  ButtonCheckClick(nullptr);
  return true;
}

bool TFramePair::CanCheck() const {
  return host_.run != nullptr && host_.run->CanUseLibrary() && data_ != nullptr;
}

bool TFramePair::ButtonCheckClick(QObject* sender) {
  // A screening, or a check still downloading, owns the library and the
  // price files.
  if (!CanCheck()) return false;
  if (sender != nullptr) {
    if (!CheckCodeInput(ui_->LabeledEditStockCodeA, ui_->PanelStockNameA, ui_->EditMagnA)) {
      return false;
    }
    if (!CheckCodeInput(ui_->LabeledEditStockCodeB, ui_->PanelStockNameB, ui_->EditMagnB)) {
      return false;
    }
  }
  const std::string codeA = Cp932(ui_->LabeledEditStockCodeA);
  const std::string codeB = Cp932(ui_->LabeledEditStockCodeB);
  const int32_t lotsA = IntegerOf(ui_->EditMagnA, 1);
  const int32_t adjust = IntegerOf(ui_->EditAdjust, 0);
  const int32_t lotsB = IntegerOf(ui_->EditMagnB, 1);

  std::string saveError;
  if (host_.api != nullptr && host_.onLine && host_.onLine() && host_.chartDataUpdate &&
      host_.chartDataUpdate()) {
    const LibraryCallScope call(host_.run->LibraryBusy());
    const int32_t source = host_.source ? host_.source() : 1;
    for (const std::string& code : {codeA, codeB}) {
      if (RefreshPairPriceFile(*host_.api, source, data_->ExeDir(), code, data_->LatestMarketDate(),
                               data_->CodeList(), &saveError) == PairRefresh::kSaveFailed) {
        break;
      }
    }
  }
  // A price file that cannot be saved stops the check at that code; the page
  // keeps what the last good check showed.
  if (!saveError.empty()) {
    ReportError(QFromCp932(saveError));
    return false;
  }

  std::vector<CodeDayRecord> seriesA;
  std::vector<CodeDayRecord> seriesB;
  for (auto [code, lots, adjustment, series] :
       {std::tuple{codeA, lotsA, adjust, &seriesA}, std::tuple{codeB, lotsB, 0, &seriesB}}) {
    if (const auto error = ReadPairPriceFile(data_->ExeDir(), code, lots, adjustment, *series)) {
      // The page keeps what the last good check showed.
      if (error->kind == SeriesError::Kind::kNotInteger) {
        ReportError(QFromCp932(error->message));
      } else {
        SetStatus(0, kInputError);
      }
      return false;
    }
  }

  std::vector<PairDayRecord> days = MergeSeries(seriesA, seriesB);
  PairStatistics stats = ComputePairStatistics(days, IntegerOf(ui_->EditChartFrom, 1),
                                               IntegerOf(ui_->EditChartTo, kPeriodMostDays));
  FinishCheck(std::move(days), std::move(stats), lotsA, adjust, lotsB);
  return true;
}

void TFramePair::FinishCheck(std::vector<PairDayRecord> days, PairStatistics stats, int32_t lotsA,
                             int32_t adjust, int32_t lotsB) {
  pairDrawn_ = true;
  days_ = std::move(days);
  scale_ = PairCheckScale{lotsA, lotsB, adjust};
  statistics_ = std::move(stats);
  ui_->EditMargin->setStatusTip(QStringLiteral(u"乖離率算出基準値: ") +
                                QString::number(statistics_.Basis));
  SetStatus(1, statistics_.CorrText);
  SetStatus(2, statistics_.RangeText);
  SetStatus(3, statistics_.MeanSdText);
  SetStatus(4, statistics_.SlopeText);

  chartView_->SetPair(&days_, scale_, statistics_.MeanRate, statistics_.TwoSigma,
                      statistics_.MeanText);
  SetUpRange();
  DrawChart(scrollBar_->maximum());
  ShowDay(0);
  PutRecentPair();
  SetStatus(0, "");
  ui_->ButtonCheck->setFocus();
}

// The user can show between min(Count, 20) and Count days; the newest days
// are shown.
void TFramePair::SetUpRange() {
  const int32_t count = static_cast<int32_t>(days_.size());
  QSlider* renge = ui_->TrackBarChartRenge;
  {
    const QSignalBlocker block(renge);
    renge->setRange(-count, count <= kFewestDaysShown ? -count : -kFewestDaysShown);
  }
  {
    const QSignalBlocker block(scrollBar_);
    // The whole range, not just the maximum: a minimum left below 0 would
    // stay a dead stretch for the scroll bar and the wheel.
    scrollBar_->setRange(0, NewestScrollPosition(count, -renge->value()));
    scrollBar_->setValue(scrollBar_->maximum());
  }
  TrackBarChartRengeChange(false);
}

void TFramePair::PutRecentPair() {
  if (host_.firstShowPending && host_.firstShowPending()) return;
  if (host_.addRecent) host_.addRecent(CurrentPair().fields);
}

PairOnPage TFramePair::CurrentPair() const {
  return PairOnPage{
      .fields = PairToOpen{.codeA = Cp932(ui_->LabeledEditStockCodeA),
                           .lotsA = Cp932(ui_->EditMagnA),
                           .codeB = Cp932(ui_->LabeledEditStockCodeB),
                           .lotsB = Cp932(ui_->EditMagnB),
                           .adjust = Cp932(ui_->EditAdjust),
                           .nameA = nameCaptionA_,
                           .nameB = nameCaptionB_},
      .codeAEdited = ui_->LabeledEditStockCodeA->isModified(),
      .codeBEdited = ui_->LabeledEditStockCodeB->isModified(),
  };
}

// ---- options ----------------------------------------------------------------

void TFramePair::CheckBoxOptionClick() {
  ui_->PanelOption->setVisible(ui_->CheckBoxOption->isChecked());
}

void TFramePair::EditLineWidthChange() { PushOptionsToChart(); }

void TFramePair::EditBarWidthChange() { PushOptionsToChart(); }

void TFramePair::ComboBoxBarLabelChange(bool fromUser) {
  PushOptionsToChart();
  if (fromUser) DrawChart(scrollBar_->value());
}

void TFramePair::CheckBoxLABClick() { PushOptionsToChart(); }

void TFramePair::CheckBoxLCClick() { PushOptionsToChart(); }

void TFramePair::EditGridChange() { PushOptionsToChart(); }

void TFramePair::ReViewChart() {
  PushOptionsToChart();
  DrawChart(scrollBar_->value());
}

void TFramePair::TrackBarChartRengeChange(bool fromUser) {
  const int32_t days = -ui_->TrackBarChartRenge->value();
  ui_->PanelRenge->setText(QString::number(days));
  if (!pairDrawn_) return;
  chartView_->SetRange(days);
  if (!fromUser) {
    daysShown_ = days;
    return;
  }
  const int32_t count = static_cast<int32_t>(days_.size());
  const int32_t old = daysShown_;
  {
    // The newest day shown stays where it is; days come and go at the older
    // end.
    const QSignalBlocker block(scrollBar_);
    const int32_t newest = NewestScrollPosition(count, days);
    if (days >= old) {
      scrollBar_->setValue(scrollBar_->value() - (days - old));
      scrollBar_->setRange(0, newest);
    } else {
      scrollBar_->setRange(0, newest);
      scrollBar_->setValue(scrollBar_->value() + (old - days));
    }
  }
  daysShown_ = days;
  DrawChart(scrollBar_->value());
}

void TFramePair::TrackBarChartSplitChange() {
  ui_->PanelChartSplit->setText(QString::number(ui_->TrackBarChartSplit->value()));
  PushOptionsToChart();
}

void TFramePair::PushOptionsToChart() { chartView_->SetOptions(CurrentChartSettings()); }

void TFramePair::DrawChart(int32_t position) {
  if (!pairDrawn_) return;
  chartView_->DrawChart(position);
}

void TFramePair::ShowDay(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(days_.size())) return;
  const PairDayFigures figures = DayFigures(days_[static_cast<size_t>(index)], scale_);
  ui_->PanelChartDT->setText(QFromCp932(figures.date));
  ui_->EditPriceA->setText(QFromCp932(figures.priceA));
  ui_->EditPriceB->setText(QFromCp932(figures.priceB));
  ui_->EditChartA->setText(QFromCp932(figures.chartA));
  ui_->EditChartB->setText(QFromCp932(figures.chartB));
  ui_->EditMargin->setText(QFromCp932(figures.margin));
  QPalette palette = ui_->EditMargin->palette();
  palette.setColor(QPalette::Text, figures.marginColour == MarginColour::kRed ? QColor(Qt::red)
                                   : figures.marginColour == MarginColour::kBlue
                                       ? QColor(Qt::blue)
                                       : QColor(Qt::black));
  ui_->EditMargin->setPalette(palette);
  ui_->PanelArbitrage->setText(QFromCp932(figures.arbitrage));
}

// ---- chart presets ------------------------------------------------------------

void TFramePair::ComboBoxRegFKeyChange() {
  if (ui_->ComboBoxRegFKey->currentIndex() < 0) return;
  ArmPresetButton(PresetButtonMode::kRegister);
}

QString TFramePair::PresetButtonCaption(PresetButtonMode mode) {
  return mode == PresetButtonMode::kUpdate ? QStringLiteral(u"更新") : QStringLiteral(u"登録");
}

void TFramePair::ArmPresetButton(PresetButtonMode mode) {
  presetButtonMode_ = mode;
  SetCaption(ui_->ButtonRegFKey, PresetButtonCaption(mode));
  ui_->ButtonRegFKey->setEnabled(true);
}

void TFramePair::ButtonRegFKeyClick() {
  const int index = ui_->ComboBoxRegFKey->currentIndex();
  if (index < 0 || data_ == nullptr) return;
  QAction* item = host_.presetItem ? host_.presetItem(index) : nullptr;
  const bool update = presetButtonMode_ == PresetButtonMode::kUpdate;
  const QString proposal = update && item != nullptr ? item->text() : QString();
  bool ok = false;
  const QString name =
      QInputDialog::getText(this, PresetButtonCaption(presetButtonMode_),
                            QStringLiteral(u"登録名を指定（省略可）\nハイフン '-' で登録削除"),
                            QLineEdit::Normal, proposal, &ok);
  if (!ok) return;
  vcl::TIniFile ini(data_->FileInExeDir(kSettingsFileName));
  const std::string cp932Name = Cp932FromQ(name);
  try {
    RegisterChartPreset(ini, kFirstChartPresetTag + index, cp932Name, CurrentChartSettings());
  } catch (const vcl::EIniFileException& error) {
    // Nothing registered: the key and the button stay for another try.
    ReportError(QFromCp932(SettingsWriteMessage(error)));
    return;
  }
  if (item != nullptr) {
    const bool erased = cp932Name == kDeletePresetName;
    item->setText(erased ? QString() : QFromCp932(PresetCaption(cp932Name)));
    item->setVisible(!erased);
  }
  ui_->ComboBoxRegFKey->setCurrentIndex(-1);
  ui_->ButtonRegFKey->setEnabled(false);
}

void TFramePair::ApplyChartPreset(const PairChartSettings& settings, int32_t tag) {
  // Only a check fits the preset's range to the pair's days; one that stops
  // gives the bar back as it was, else a range wider than the days shown
  // would reach the scroll bar on the bar's next move.
  QSlider* renge = ui_->TrackBarChartRenge;
  const int rengeMinimum = renge->minimum();
  const int rengeMaximum = renge->maximum();
  const int rengeValue = renge->value();
  ApplyChartSettings(settings, true);
  ui_->ComboBoxRegFKey->setCurrentIndex(tag - kFirstChartPresetTag);
  ArmPresetButton(PresetButtonMode::kUpdate);
  if (!ButtonCheckClick(nullptr)) {
    const QSignalBlocker block(renge);
    renge->setRange(rengeMinimum, rengeMaximum);
    renge->setValue(rengeValue);
  }
}

// ---- helpers --------------------------------------------------------------------

void TFramePair::SetStatus(int panel, std::string_view text) {
  if (host_.setStatus) host_.setStatus(panel, text);
}

void TFramePair::ReportError(const QString& message) {
  if (host_.reportError) host_.reportError(message);
}

const chart::Chart& TFramePair::ChartPairModel() const { return chartView_->ChartPair().Model(); }
