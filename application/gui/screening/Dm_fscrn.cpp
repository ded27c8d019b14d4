#include "screening/Dm_fscrn.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>
#include <QTabBar>
#include <exception>

#include "data/file_io.h"
#include "screening/screening_result_list.h"
#include "screening/screening_run.h"
#include "screening/screening_settings.h"
#include "screening/technical_conditions.h"
#include "screening/technical_list_model.h"
#include "ui_Dm_fscrn.h"
#include "widgets/accessible_names.h"
#include "widgets/check_box_images.h"
#include "widgets/check_list_box.h"
#include "widgets/list_column_width.h"
#include "widgets/page_default_button.h"
#include "widgets/qt_cp932.h"
#include "widgets/recent_combo.h"
#include "widgets/tri_state_box.h"

namespace {

constexpr char kScreening[] = "Screening";
constexpr char kFrameS[] = "FrameS";
constexpr char kExcludedCodesFile[] = "C404.txt";
constexpr int kMarketColumns = 10;
constexpr int kSectorColumns = 7;
constexpr int kPeriodFirstDay = 1;
constexpr int kPeriodLastDay = 1200;
constexpr std::array<int, 13> kScrColumnDefaults = {135, 55, 55, 36, 50, 2, 135,
                                                    55,  55, 36, 50, 2,  50};
constexpr std::array<int, 5> kTecColumnDefaults = {80, 88, 148, 150, 0};
constexpr int kTecCheckColumnWidth = 20;

QStringList MarketItems() {
  return {u"東証(1部)"_qs,  u"東証2部"_qs, u"マザーズ"_qs, u"大証(1部)"_qs, u"大証2部"_qs,
          u"ヘラクレス"_qs, u"JASDAQ"_qs,  u"名証"_qs,     u"札証"_qs,      u"福証"_qs};
}

// Sectors 1..33 as items 0..32, then sector 0 and the exclusion switch.
QStringList SectorItems() {
  return {u"水産・農林業"_qs,   u"鉱業"_qs,          u"建設業"_qs,         u"食料品"_qs,
          u"繊維製品"_qs,       u"パルプ・紙"_qs,    u"化学"_qs,           u"医薬品"_qs,
          u"石油・石炭製品"_qs, u"ゴム製品"_qs,      u"ガラス土石製品"_qs, u"鉄鋼"_qs,
          u"非鉄金属"_qs,       u"金属製品"_qs,      u"機械"_qs,           u"電気機器"_qs,
          u"輸送用機器"_qs,     u"精密機器"_qs,      u"その他製品"_qs,     u"電気・ガス業"_qs,
          u"陸運業"_qs,         u"海運業"_qs,        u"空運業"_qs,         u"倉庫運輸関連"_qs,
          u"情報・通信業"_qs,   u"卸売業"_qs,        u"小売業"_qs,         u"銀行業"_qs,
          u"証券商品先物"_qs,   u"保険業"_qs,        u"その他金融業"_qs,   u"不動産業"_qs,
          u"サービス業"_qs,     u"その他(ETF等)"_qs, u"- 除外指定 -"_qs};
}

std::string SideKey(const char* name, int side, const char* suffix = "") {
  return std::string(name) + (side == 0 ? "A" : "B") + suffix;
}

std::string TextOf(const QLineEdit* edit) { return Cp932FromQ(edit->text()); }

// The window of a combo box's drop-down: it hides whenever the drop-down
// closes, with an item chosen or not.
QWidget* DropDownOf(const QComboBox* box) { return box->view()->parentWidget(); }

}  // namespace

TFrameScrn::TFrameScrn(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::TFrameScrn>()) {
  ui_->setupUi(this);
  resultList_ = new ScreeningResultList(ui_->ListViewScrn);
  for (QComboBox* box : {ui_->ComboBoxCodeA, ui_->ComboBoxCodeB}) {
    box->installEventFilter(this);
    DropDownOf(box)->installEventFilter(this);
    box->setCompleter(nullptr);
  }
  for (QLineEdit* edit :
       {ui_->EditTechFrom, ui_->EditTechTo, ui_->EditTechValue1, ui_->EditTechValue2}) {
    edit->installEventFilter(this);
  }
  scrColumnWidths_ = kScrColumnDefaults;
  BuildSides();
  BuildTechnicalList();

  connect(ui_->CheckBoxScrPrm, &QCheckBox::toggled, this, [this] { CheckBoxScrPrmClick(); });
  connect(ui_->CheckBoxGroup, &QCheckBox::toggled, this, [this] { CheckBoxGroupClick(); });
  connect(ui_->CheckBoxCodeNG, &QCheckBox::stateChanged, this, [this] { CheckBoxCodeNGClick(); });
  connect(ui_->CheckBoxTechResult, &QCheckBox::toggled, this,
          [this] { CheckBoxTechResultClick(); });
  connect(ui_->ComboBoxTech, &QComboBox::currentIndexChanged, this,
          [this] { ComboBoxTechChange(); });
  connect(ui_->ButtonTechAdd, &QPushButton::clicked, this, [this] { ButtonTechAddClick(); });
  connect(ui_->ButtonTechUpdate, &QPushButton::clicked, this, [this] { ButtonTechUpdateClick(); });
  connect(ui_->ButtonScr, &QPushButton::clicked, this, [this] { ButtonScrClick(); });
  // Enter starts a run from anywhere on the page, except on a focused button
  // of the technical conditions, which it presses instead, and in an open
  // drop-down, which picks its item with it.
  MakePageDefaultButton(*this, *ui_->ButtonScr);

  ui_->CheckBoxScrPrm->setChecked(true);
  ui_->CheckBoxCodeNG->setCheckState(Qt::PartiallyChecked);
  CheckBoxCodeNGClick();
  CheckBoxGroupClick();
  CheckBoxTechResultClick();
}

TFrameScrn::~TFrameScrn() {
  // Hiding a shown page lays its lists out again and moves the focus, which
  // asks the hooks below; QWidget would do it once this page is no longer
  // whole. So hide it now, and unhook everything that calls back into it.
  hide();
  techModel_->SetEditGuard({});
  for (QComboBox* box : {ui_->ComboBoxCodeA, ui_->ComboBoxCodeB}) {
    box->removeEventFilter(this);
    DropDownOf(box)->removeEventFilter(this);
  }
  for (QLineEdit* edit :
       {ui_->EditTechFrom, ui_->EditTechTo, ui_->EditTechValue1, ui_->EditTechValue2}) {
    edit->removeEventFilter(this);
  }
  for (QObject* child : findChildren<QObject*>())
    QObject::disconnect(child, nullptr, this, nullptr);
}

void TFrameScrn::SetProgramData(ProgramData& data) { data_ = &data; }

void TFrameScrn::SetCheckImages(const CheckBoxImages* images) {
  checkImages_ = images;
  techModel_->SetCheckImages(images);
}

bool TFrameScrn::RunBusy() const { return run_ != nullptr && run_->Busy(); }

void TFrameScrn::BuildSides() {
  sides_[0] = {ui_->CheckBoxMarketA, ui_->PanelMarketA, ui_->CheckListBoxMarketA,
               ui_->CheckBoxTypeA,   ui_->PanelTypeA,   ui_->CheckListBoxTypeA,
               ui_->CheckBoxCostA,   ui_->EditCostA,    ui_->CheckBoxVolA,
               ui_->EditVolA};
  sides_[1] = {ui_->CheckBoxMarketB, ui_->PanelMarketB, ui_->CheckListBoxMarketB,
               ui_->CheckBoxTypeB,   ui_->PanelTypeB,   ui_->CheckListBoxTypeB,
               ui_->CheckBoxCostB,   ui_->EditCostB,    ui_->CheckBoxVolB,
               ui_->EditVolB};
  for (int side = 0; side < 2; ++side) {
    const SideControls& s = sides_[side];
    s.marketList->SetItems(MarketItems(), kMarketColumns);
    s.typeList->SetItems(SectorItems(), kSectorColumns);
    connect(s.market, &QCheckBox::toggled, this, [this, side] { CheckBoxMarketClick(side); });
    connect(s.type, &QCheckBox::toggled, this, [this, side] { CheckBoxTypeClick(side); });
    connect(s.cost, &QCheckBox::toggled, this, [this, side] { CheckBoxCostClick(side); });
    connect(s.vol, &QCheckBox::toggled, this, [this, side] { CheckBoxVolClick(side); });
    CheckBoxMarketClick(side);
    CheckBoxTypeClick(side);
    CheckBoxCostClick(side);
    CheckBoxVolClick(side);
  }
}

void TFrameScrn::BuildTechnicalList() {
  techModel_ = new TechnicalListModel(this);
  techModel_->SetEditGuard([this] { return !RunBusy(); });
  TechnicalListView* view = ui_->ListViewTech;
  view->setModel(techModel_);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPixelSize(12);
  view->setFont(font);
  QHeaderView* header = view->header();
  header->setSectionResizeMode(0, QHeaderView::Fixed);
  header->resizeSection(0, kTecCheckColumnWidth);
  for (int i = 0; i < 5; ++i) header->resizeSection(i + 1, kTecColumnDefaults[i]);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  connect(view, &QAbstractItemView::doubleClicked, this, [this] { ListViewTechDblClick(); });
  connect(view, &TechnicalListView::rowDropped, this,
          [this](int from, int target) { ListViewTechDragDrop(from, target); });
  connect(view, &TechnicalListView::deletePressed, this, [this] { ListViewTechKeyDown(); });
}

ScreeningResultSource TFrameScrn::ResultTexts() const {
  // The bytes the rows and captions were made of, never the texts shown: a
  // character with two codes would come back from the display in the other.
  // The rows go in the order the list shows them, one at a time.
  const ScreeningResultModel& model = resultList_->Model();
  ScreeningResultSource result;
  const std::vector<ResultColumn>& columns = model.Columns();
  for (size_t column = ScreeningResultModel::kFixedColumns; column < columns.size(); ++column) {
    result.technicalCaptions.push_back(columns[column].caption);
  }
  result.rowCount = static_cast<size_t>(model.rowCount());
  result.rowAt = [&model](size_t row) { return ResultRowTexts(model.Row(static_cast<int>(row))); };
  return result;
}

// --- Settings -----------------------------------------------------------------

std::filesystem::path TFrameScrn::ExcludedCodesFile() const {
  return data_ != nullptr ? data_->FileInExeDir(kExcludedCodesFile)
                          : std::filesystem::path(kExcludedCodesFile);
}

void TFrameScrn::ReadColumnWidths(const vcl::TIniFile& ini) {
  QHeaderView* scr = ui_->ListViewScrn->header();
  for (int i = 0; i < 13; ++i) {
    const std::string key = (i < 9 ? "ScrClm0" : "ScrClm") + std::to_string(i + 1);
    scrColumnWidths_[i] =
        ini.ReadInteger(kFrameS, key, FittedColumnWidth(kScrColumnDefaults[i], *ui_->ListViewScrn));
    if (i + 1 < scr->count()) scr->resizeSection(i + 1, scrColumnWidths_[i]);
  }
  QHeaderView* tec = ui_->ListViewTech->header();
  for (int i = 0; i < 5; ++i) {
    tec->resizeSection(
        i + 1, ini.ReadInteger(kFrameS, "TecClm" + std::to_string(i + 1),
                               FittedColumnWidth(kTecColumnDefaults[i], *ui_->ListViewTech)));
  }
}

void TFrameScrn::WriteColumnWidths(vcl::TIniFile& ini) {
  const QHeaderView* scr = ui_->ListViewScrn->header();
  for (int i = 0; i < 13; ++i) {
    const std::string key = (i < 9 ? "ScrClm0" : "ScrClm") + std::to_string(i + 1);
    const int width = i + 1 < scr->count() ? scr->sectionSize(i + 1) : scrColumnWidths_[i];
    ini.WriteInteger(kFrameS, key, width);
  }
  const QHeaderView* tec = ui_->ListViewTech->header();
  for (int i = 0; i < 5; ++i) {
    ini.WriteInteger(kFrameS, "TecClm" + std::to_string(i + 1), tec->sectionSize(i + 1));
  }
}

void TFrameScrn::ReadSide(const vcl::TIniFile& ini, int side) {
  const SideControls& s = sides_[side];
  SideConditions ticks;
  s.marketList->GetTicks(ticks.markets);
  s.typeList->GetTicks(ticks.types);
  s.market->setChecked(ini.ReadBool(kScreening, SideKey("Market", side, "C"), false));
  ApplyTickText(ini.ReadString(kScreening, SideKey("Market", side), "0000000000"), ticks.markets);
  s.marketList->SetTicks(ticks.markets);
  s.type->setChecked(ini.ReadBool(kScreening, SideKey("Type", side, "C"), false));
  ApplyTickText(ini.ReadString(kScreening, SideKey("Type", side), std::string(35, '0')),
                ticks.types);
  s.typeList->SetTicks(ticks.types);
  s.cost->setChecked(ini.ReadBool(kScreening, SideKey("Cost", side, "C"), false));
  s.costEdit->setText(QFromCp932(ini.ReadString(kScreening, SideKey("Cost", side), "")));
  s.vol->setChecked(ini.ReadBool(kScreening, SideKey("Vol", side, "C"), false));
  s.volEdit->setText(QFromCp932(ini.ReadString(kScreening, SideKey("Vol", side), "")));
}

void TFrameScrn::WriteSide(vcl::TIniFile& ini, int side) {
  const SideControls& s = sides_[side];
  SideConditions ticks;
  s.marketList->GetTicks(ticks.markets);
  s.typeList->GetTicks(ticks.types);
  ini.WriteBool(kScreening, SideKey("Market", side, "C"), s.market->isChecked());
  ini.WriteString(kScreening, SideKey("Market", side), TickText(ticks.markets));
  ini.WriteBool(kScreening, SideKey("Type", side, "C"), s.type->isChecked());
  ini.WriteString(kScreening, SideKey("Type", side), TickText(ticks.types));
  ini.WriteBool(kScreening, SideKey("Cost", side, "C"), s.cost->isChecked());
  ini.WriteString(kScreening, SideKey("Cost", side), TextOf(s.costEdit));
  ini.WriteBool(kScreening, SideKey("Vol", side, "C"), s.vol->isChecked());
  ini.WriteString(kScreening, SideKey("Vol", side), TextOf(s.volEdit));
}

void TFrameScrn::LoadSettings(vcl::TIniFile& ini) {
  ReadColumnWidths(ini);
  ui_->CheckBoxScrPrm->setChecked(ini.ReadBool(kScreening, "ChkPrm", true));
  ui_->CheckBoxGroup->setChecked(ini.ReadBool(kScreening, "Group", false));
  const std::array<QComboBox*, 2> boxes = {ui_->ComboBoxCodeA, ui_->ComboBoxCodeB};
  const std::array<const char*, 2> sections = {"CodeA", "CodeB"};
  for (size_t i = 0; i < boxes.size(); ++i) {
    boxes[i]->setEditText(QFromCp932(ini.ReadString(kScreening, sections[i], "")));
    const QString text = boxes[i]->currentText();
    for (const std::string& item : ReadHistorySection(ini, sections[i])) {
      boxes[i]->addItem(QFromCp932(item));
    }
    boxes[i]->setEditText(text);
  }
  ui_->CheckBoxLoan->setChecked(ini.ReadBool(kScreening, "ChkLoan", true));
  ui_->CheckBoxCodeNG->setCheckState(
      QtFromTriState(TriStateFromStored(ini.ReadInteger(kScreening, "ChkNG", 2))));
  ui_->EditCodeNG->setText(QFromCp932(ini.ReadString(kScreening, "CodeNG", "")));
  excludedCodes_.Load(ExcludedCodesFile());
  ReadSide(ini, 0);
  ReadSide(ini, 1);
  techModel_->SetRows(ReadTechnicalSection(ini));
}

void TFrameScrn::SaveSettings(vcl::TIniFile& ini) {
  WriteColumnWidths(ini);
  ini.WriteBool(kScreening, "ChkPrm", ui_->CheckBoxScrPrm->isChecked());
  ini.WriteBool(kScreening, "Group", ui_->CheckBoxGroup->isChecked());
  const std::array<QComboBox*, 2> boxes = {ui_->ComboBoxCodeA, ui_->ComboBoxCodeB};
  const std::array<const char*, 2> sections = {"CodeA", "CodeB"};
  for (size_t i = 0; i < boxes.size(); ++i) {
    ini.WriteString(kScreening, sections[i], Cp932FromQ(boxes[i]->currentText()));
    // A history is written only once a run was started since the start.
    if (codeHistoryTag_[i] == 0) continue;
    std::vector<std::string> items;
    for (int k = 0; k < boxes[i]->count(); ++k) items.push_back(Cp932FromQ(boxes[i]->itemText(k)));
    WriteHistorySection(ini, sections[i], items);
  }
  ini.WriteBool(kScreening, "ChkLoan", ui_->CheckBoxLoan->isChecked());
  ini.WriteInteger(kScreening, "ChkNG",
                   static_cast<int32_t>(TriStateFromQt(ui_->CheckBoxCodeNG->checkState())));
  ini.WriteString(kScreening, "CodeNG", TextOf(ui_->EditCodeNG));
  // A failed exclusion file must not cost the settings that follow it: its
  // error is passed on once they are written.
  std::exception_ptr excludedCodesError;
  try {
    SaveExcludedCodes();
  } catch (const std::runtime_error&) {
    excludedCodesError = std::current_exception();
  }
  WriteSide(ini, 0);
  WriteSide(ini, 1);
  WriteTechnicalSection(ini, techModel_->Rows());
  if (excludedCodesError) std::rethrow_exception(excludedCodesError);
}

void TFrameScrn::SaveExcludedCodes() {
  std::string error;
  if (!excludedCodes_.Save(ExcludedCodesFile(), &error)) throw std::runtime_error(error);
}

// --- Run ----------------------------------------------------------------------------

int TFrameScrn::ResultRowCount() const {
  const QAbstractItemModel* model = ui_->ListViewScrn->model();
  return model != nullptr ? model->rowCount() : 0;
}

void TFrameScrn::SetConditionsLocked(bool locked) {
  ui_->ButtonScr->setEnabled(!locked);
  ui_->PanelScrTop->setEnabled(!locked);
  ui_->TabSheetScrA->setEnabled(!locked);
  ui_->TabSheetScrB->setEnabled(!locked);
}

void TFrameScrn::SetTechnicalButtonsLocked(bool locked) {
  ui_->ButtonTechAdd->setEnabled(!locked);
  // After a run the update button waits until a row is picked again.
  ui_->ButtonTechUpdate->setEnabled(false);
}

void TFrameScrn::HookRunCursor(bool on) {
  runCursorHooks_.Clear();
  if (!on) return;
  runCursorHooks_.Hook(this, [this] { FrameMouseMove(); });
  runCursorHooks_.Hook(ui_->PageControlScr, [this] { PageControlScrMouseMove(); });
  runCursorHooks_.Hook(ui_->PageControlScr->tabBar(), [this] { PageControlScrMouseMove(); });
}

void TFrameScrn::FrameMouseMove() { SetScreenCursor(Qt::WaitCursor); }

void TFrameScrn::PageControlScrMouseMove() { SetScreenCursor(Qt::ArrowCursor); }

void TFrameScrn::SetOnLine(bool online) { ui_->CheckBoxReCheck->setEnabled(online); }

void TFrameScrn::DeselectCodeBoxes() {
  for (QComboBox* box : {ui_->ComboBoxCodeA, ui_->ComboBoxCodeB}) {
    if (box->lineEdit() != nullptr) box->lineEdit()->deselect();
  }
}

ScreeningConditions TFrameScrn::TakeConditions() const {
  ScreeningConditions c;
  c.codesA = Cp932FromQ(ui_->ComboBoxCodeA->currentText());
  c.codesB = Cp932FromQ(ui_->ComboBoxCodeB->currentText());
  c.group = ui_->CheckBoxGroup->isChecked();
  c.loanOnly = ui_->CheckBoxLoan->isChecked();
  c.exclusion = TriStateFromQt(ui_->CheckBoxCodeNG->checkState());
  c.excludedCodesText = TextOf(ui_->EditCodeNG);
  c.reCheck = TriStateFromQt(ui_->CheckBoxReCheck->checkState());
  c.reCheckEnabled = ui_->CheckBoxReCheck->isEnabled();
  for (int side = 0; side < 2; ++side) {
    const SideControls& s = sides_[side];
    SideConditions& out = c.sides[side];
    out.marketOn = s.market->isChecked();
    s.marketList->GetTicks(out.markets);
    out.typeOn = s.type->isChecked();
    s.typeList->GetTicks(out.types);
    out.costOn = s.cost->isChecked();
    out.costLimit = TextOf(s.costEdit);
    out.volOn = s.vol->isChecked();
    out.volMinimum = TextOf(s.volEdit);
  }
  c.technicals = techModel_->Rows();
  return c;
}

void TFrameScrn::ClearReCheck() { ui_->CheckBoxReCheck->setCheckState(Qt::Unchecked); }

void TFrameScrn::FocusCodeA() { ui_->ComboBoxCodeA->setFocus(); }
void TFrameScrn::FocusCodeB() { ui_->ComboBoxCodeB->setFocus(); }
void TFrameScrn::FocusCodeNG() { ui_->EditCodeNG->setFocus(); }

void TFrameScrn::ButtonScrClick() {
  if (run_ != nullptr && !run_->CanStart()) return;
  emit screeningRequested();
  AddRecentToCombo(*ui_->ComboBoxCodeA, codeHistoryTag_[0]);
  AddRecentToCombo(*ui_->ComboBoxCodeB, codeHistoryTag_[1]);
}

bool TFrameScrn::eventFilter(QObject* watched, QEvent* event) {
  const bool codeBox = watched == ui_->ComboBoxCodeA || watched == ui_->ComboBoxCodeB;
  if (codeBox && event->type() == QEvent::FocusIn) emit codeBoxEntered();
  const bool codeDropDown =
      watched == DropDownOf(ui_->ComboBoxCodeA) || watched == DropDownOf(ui_->ComboBoxCodeB);
  if (codeDropDown && event->type() == QEvent::Hide) emit codeBoxEntered();
  if (event->type() == QEvent::FocusOut) {
    if (watched == ui_->EditTechFrom || watched == ui_->EditTechTo) {
      EditTechFromToExit(static_cast<QLineEdit*>(watched));
    } else if (watched == ui_->EditTechValue1 || watched == ui_->EditTechValue2) {
      EditTechValueExit(static_cast<QLineEdit*>(watched));
    }
  }
  return QFrame::eventFilter(watched, event);
}

// --- Condition switches ------------------------------------------------------------

void TFrameScrn::CheckBoxScrPrmClick() {
  ui_->PageControlScr->setVisible(ui_->CheckBoxScrPrm->isChecked());
}

void TFrameScrn::CheckBoxGroupClick() {
  ui_->ComboBoxCodeB->setEnabled(!ui_->CheckBoxGroup->isChecked());
}

void TFrameScrn::CheckBoxCodeNGClick() {
  const Qt::CheckState state = ui_->CheckBoxCodeNG->checkState();
  ui_->EditCodeNG->setEnabled(state == Qt::Checked);
  switch (state) {
    case Qt::Checked:
      SetCaption(ui_->CheckBoxCodeNG, u"除外指定"_qs);
      break;
    case Qt::PartiallyChecked:
      SetCaption(ui_->CheckBoxCodeNG, u"自動除外"_qs);
      break;
    case Qt::Unchecked:
      SetCaption(ui_->CheckBoxCodeNG, u"除外なし"_qs);
      break;
  }
}

void TFrameScrn::CheckBoxMarketClick(int side) {
  const SideControls& s = sides_[side];
  s.marketList->setEnabled(s.market->isChecked());
  s.marketPanel->setEnabled(s.market->isChecked());
}

void TFrameScrn::CheckBoxTypeClick(int side) {
  const SideControls& s = sides_[side];
  s.typeList->setEnabled(s.type->isChecked());
  s.typePanel->setEnabled(s.type->isChecked());
}

void TFrameScrn::CheckBoxCostClick(int side) {
  sides_[side].costEdit->setEnabled(sides_[side].cost->isChecked());
}

void TFrameScrn::CheckBoxVolClick(int side) {
  sides_[side].volEdit->setEnabled(sides_[side].vol->isChecked());
}

// --- Technical conditions -----------------------------------------------------------

namespace {

TechnicalKind KindOfIndex(int index) {
  return index == 1   ? TechnicalKind::Regression
         : index == 2 ? TechnicalKind::StdDeviation
                      : TechnicalKind::Correlation;
}

}  // namespace

void TFrameScrn::EditTechFromToExit(QLineEdit* edit) {
  const int replacement = edit == ui_->EditTechTo ? kPeriodLastDay : kPeriodFirstDay;
  edit->setText(QFromCp932(CorrectPeriodText(TextOf(edit), replacement)));
}

void TFrameScrn::EditTechValueExit(QLineEdit* edit) {
  const RangeBound bound = edit == ui_->EditTechValue1 ? RangeBound::Lower : RangeBound::Upper;
  const TechnicalKind kind = KindOfIndex(ui_->ComboBoxTech->currentIndex());
  edit->setText(QFromCp932(CorrectBoundText(TextOf(edit), kind, bound)));
}

void TFrameScrn::ComboBoxTechChange() {
  EditTechValueExit(ui_->EditTechValue1);
  EditTechValueExit(ui_->EditTechValue2);
}

void TFrameScrn::CheckBoxTechResultClick() {
  const bool shown = ui_->CheckBoxTechResult->isChecked();
  ui_->EditTechResult->setEnabled(shown);
  ui_->EditTechResultW->setEnabled(shown);
}

TechnicalCondition TFrameScrn::EditedCondition() const {
  TechnicalCondition row;
  row.check = 1;
  row.kind = Cp932FromQ(ui_->ComboBoxTech->currentText());
  row.period = JoinRangeText(TextOf(ui_->EditTechFrom), 4, TextOf(ui_->EditTechTo));
  row.range = JoinRangeText(TextOf(ui_->EditTechValue1), 9, TextOf(ui_->EditTechValue2));
  if (ui_->CheckBoxTechResult->isChecked()) {
    row.resultShown = true;
    row.resultCaption = TextOf(ui_->EditTechResult);
    row.sortKind = ResultSortKind(KindOfIndex(ui_->ComboBoxTech->currentIndex()));
    row.resultWidth = TextOf(ui_->EditTechResultW);
  }
  return row;
}

void TFrameScrn::SelectTechnicalRow(int row) {
  TechnicalListView* view = ui_->ListViewTech;
  const QModelIndex index = techModel_->index(row, 0);
  view->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  view->scrollTo(index);
  view->setFocus();
}

void TFrameScrn::ButtonTechAddClick() {
  const int row = techModel_->Append(EditedCondition());
  techUpdateRow_ = row;
  ui_->ButtonTechUpdate->setEnabled(true);
  SelectTechnicalRow(row);
}

void TFrameScrn::ButtonTechUpdateClick() {
  if (techUpdateRow_ < 0 || techUpdateRow_ >= techModel_->rowCount()) return;
  techModel_->Update(techUpdateRow_, EditedCondition());
  SelectTechnicalRow(techUpdateRow_);
}

void TFrameScrn::ListViewTechDblClick() {
  if (RunBusy()) return;
  const QModelIndexList selected = ui_->ListViewTech->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  const int rowIndex = selected.first().row();
  const TechnicalCondition& row = techModel_->Rows()[static_cast<size_t>(rowIndex)];
  {
    // Picking the kind here leaves the bounds as the row holds them.
    const QSignalBlocker quiet(ui_->ComboBoxTech);
    ui_->ComboBoxTech->setCurrentIndex(ui_->ComboBoxTech->findText(QFromCp932(row.kind)));
  }
  const auto [from, to] = SplitRangeText(row.period);
  ui_->EditTechFrom->setText(QFromCp932(from));
  ui_->EditTechTo->setText(QFromCp932(to));
  const auto [lower, upper] = SplitRangeText(row.range);
  ui_->EditTechValue1->setText(QFromCp932(lower));
  ui_->EditTechValue2->setText(QFromCp932(upper));
  ui_->EditTechResult->setText(QFromCp932(row.resultCaption));
  ui_->CheckBoxTechResult->setChecked(row.resultShown);
  ui_->EditTechResultW->setText(QFromCp932(row.resultWidth));
  techUpdateRow_ = rowIndex;
  ui_->ButtonTechUpdate->setEnabled(true);
}

void TFrameScrn::SetTechnicalCaption(int row, const std::string& caption) {
  techModel_->SetCaption(row, caption);
}

void TFrameScrn::ListViewTechDragDrop(int from, int target) {
  if (RunBusy()) return;
  if (techModel_->MoveRow(from, target)) SelectTechnicalRow(target);
}

void TFrameScrn::ListViewTechKeyDown() {
  if (RunBusy()) return;
  const QModelIndexList selected = ui_->ListViewTech->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  techModel_->Remove(selected.first().row());
  ui_->ButtonTechUpdate->setEnabled(false);
}
