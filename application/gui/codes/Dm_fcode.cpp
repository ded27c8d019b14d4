#include "codes/Dm_fcode.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <exception>
#include <stdexcept>
#include <string>

#include "codes/code_list_model.h"
#include "codes/price_list_loader.h"
#include "codes/price_list_model.h"
#include "data/price_files.h"
#include "data/sector_names.h"
#include "ui_Dm_fcode.h"
#include "vcl/cp932_text.h"
#include "widgets/accessible_names.h"
#include "widgets/accessible_table.h"
#include "widgets/check_box_images.h"
#include "widgets/check_image_delegate.h"
#include "widgets/list_column_width.h"
#include "widgets/qt_cp932.h"
#include "widgets/report_list.h"

namespace {

// Read-only edits take the colour of the panel behind them.
void SetEditable(QLineEdit* edit, bool editable) {
  edit->setReadOnly(!editable);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, editable ? QPalette().color(QPalette::Base)
                                            : QPalette().color(QPalette::Button));
  edit->setPalette(palette);
}

QString VolumeText(int32_t vol) { return vol < 0 ? QStringLiteral("-") : QString::number(vol); }

// The exclusion switch's stored states: 0 unchecked, 1 checked, 2 grayed.
int32_t StoredCodeNG(Qt::CheckState state) {
  switch (state) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    default:
      return 0;
  }
}

Qt::CheckState CodeNGState(int32_t stored) {
  switch (stored) {
    case 1:
      return Qt::Checked;
    case 2:
      return Qt::PartiallyChecked;
    default:
      return Qt::Unchecked;
  }
}

}  // namespace

TFrameCode::TFrameCode(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::TFrameCode>()) {
  ui_->setupUi(this);
  for (QLineEdit* edit :
       {ui_->EditName, ui_->EditMarket, ui_->EditType, ui_->EditUnit, ui_->EditVol}) {
    SetEditable(edit, false);
  }
  priceListModel_ = new PriceListModel(this);
  priceListLoader_ = new PriceListLoader(*priceListModel_, this);
  connect(priceListLoader_, &PriceListLoader::loaded, this, &TFrameCode::priceListLoaded);
  ui_->ListViewPast->setModel(priceListModel_);
  SetUpReportHeader(*ui_->ListViewPast, true);
  AnnounceAsTable(*ui_->ListViewPast);
  AnnounceAsTable(*ui_->ListViewCode);
  ShowGridLines(*ui_->ListViewPast);
  ui_->SplitterCodeT->setStretchFactor(0, 0);
  ui_->SplitterCodeT->setStretchFactor(1, 1);
  ui_->SplitterCodeB->setStretchFactor(0, 0);
  ui_->SplitterCodeB->setStretchFactor(1, 1);
  connect(ui_->SplitterCodeT, &QSplitter::splitterMoved, this,
          [this] { layout_.splitterT = ui_->SplitterCodeT->sizes().value(0, layout_.splitterT); });
  connect(ui_->SplitterCodeB, &QSplitter::splitterMoved, this,
          [this] { layout_.splitterB = ui_->SplitterCodeB->sizes().value(0, layout_.splitterB); });

  connect(ui_->CheckBoxCodeNG, &QCheckBox::stateChanged, this, &TFrameCode::CheckBoxCodeNGClick);
  connect(ui_->CheckBoxUpdate, &QCheckBox::stateChanged, this, &TFrameCode::CheckBoxUpdateClick);
  connect(ui_->ButtonCode, &QPushButton::clicked, this, &TFrameCode::ButtonCodeClick);
  connect(ui_->ListViewCode, &QTreeView::doubleClicked, this, &TFrameCode::ListViewCodeDblClick);
  ui_->ListViewCode->installEventFilter(this);
  ui_->ListViewCode->viewport()->installEventFilter(this);
}

TFrameCode::~TFrameCode() = default;

void TFrameCode::SetProgramData(ProgramData& data) {
  data_ = &data;
  codeListModel_ = new CodeListModel(data.CodeList(), this);
  ui_->ListViewCode->setModel(codeListModel_);
  SetUpReportHeader(*ui_->ListViewCode, false);
  ShowGridLines(*ui_->ListViewCode);
  ui_->ListViewCode->header()->setSectionResizeMode(0, QHeaderView::Fixed);
  ui_->ListViewCode->setColumnWidth(0, 20);
}

void TFrameCode::SetCheckImages(const CheckBoxImages* images) {
  ui_->ListViewCode->setItemDelegateForColumn(
      0, new CheckImageDelegate(images, CodeListModel::kCheckImageRole, this));
}

// ---- settings --------------------------------------------------------------

void TFrameCode::LoadSettings(vcl::TIniFile& ini) {
  ReadSections(ini);
  data_->LoadCodeFile();
  SetCodeListCount();
}

void TFrameCode::SaveSettings(vcl::TIniFile& ini) {
  // The page's own keys go first; a failed write of the settings file must
  // not cost the code table, so it is saved before the error is passed on.
  std::exception_ptr settingsError;
  try {
    WriteSections(ini);
  } catch (const vcl::EIniFileException&) {
    settingsError = std::current_exception();
  }
  std::string codeFileError;
  if (!data_->SaveCodeFile(&codeFileError)) throw std::runtime_error(codeFileError);
  data_->CodeList().ClearCodeData();
  codeListModel_->Refresh();
  if (settingsError) std::rethrow_exception(settingsError);
}

void TFrameCode::ReadSections(const vcl::TIniFile& ini) {
  CodePageLayout defaults;
  int codeColumns = ui_->ListViewCode->columnWidth(0);
  for (size_t i = 0; i < defaults.codeColumns.size(); ++i) {
    defaults.codeColumns[i] = FittedColumnWidth(defaults.codeColumns[i], *ui_->ListViewCode);
    defaults.pastColumns[i] = FittedColumnWidth(defaults.pastColumns[i], *ui_->ListViewPast);
    codeColumns += defaults.codeColumns[i];
  }
  // The code list's pane grows with its columns, so that the default ones
  // show whole; the price list takes what is left and scrolls.
  defaults.splitterB = FittedListWidth(defaults.splitterB, codeColumns, *ui_->ListViewCode);
  layout_ = ReadCodePageLayout(ini, defaults);
  ui_->SplitterCodeT->setSizes({layout_.splitterT, std::max(width() - layout_.splitterT, 1)});
  ui_->SplitterCodeB->setSizes({layout_.splitterB, std::max(width() - layout_.splitterB, 1)});
  for (int i = 0; i < 6; ++i) {
    ui_->ListViewCode->setColumnWidth(i + 1, layout_.codeColumns[static_cast<size_t>(i)]);
    ui_->ListViewPast->setColumnWidth(i + 1, layout_.pastColumns[static_cast<size_t>(i)]);
  }
  // Through the switch's click rule: a stored 1 (checked) comes back
  // unchecked.
  ui_->CheckBoxCodeNG->setCheckState(CodeNGState(layout_.codeNG));
}

void TFrameCode::WriteSections(vcl::TIniFile& ini) {
  for (int i = 0; i < 6; ++i) {
    layout_.codeColumns[static_cast<size_t>(i)] = ui_->ListViewCode->columnWidth(i + 1);
    layout_.pastColumns[static_cast<size_t>(i)] = ui_->ListViewPast->columnWidth(i + 1);
  }
  layout_.codeNG = StoredCodeNG(ui_->CheckBoxCodeNG->checkState());
  WriteCodePageLayout(ini, layout_);
}

// ---- what the main window asks ---------------------------------------------

void TFrameCode::SetCodePanelLocked(bool locked) { ui_->PanelCodeTL->setEnabled(!locked); }

void TFrameCode::SetPriceListLocked(bool locked) { ui_->ListViewPast->setEnabled(!locked); }

void TFrameCode::HookRunCursor(bool on) {
  runCursorHooks_.Clear();
  if (!on) return;
  runCursorHooks_.Hook(this, [this] { FrameMouseMove(); });
  // The pointer meets the list's rows and its header, not the list itself.
  QTreeView* list = ui_->ListViewCode;
  for (QWidget* part : {static_cast<QWidget*>(list), list->viewport(),
                        static_cast<QWidget*>(list->header()), list->header()->viewport()}) {
    runCursorHooks_.Hook(part, [this] { ListViewCodeMouseMove(); });
  }
}

void TFrameCode::FrameMouseMove() { SetScreenCursor(Qt::WaitCursor); }

void TFrameCode::ListViewCodeMouseMove() { SetScreenCursor(Qt::ArrowCursor); }

void TFrameCode::SetCodeListCount() { codeListModel_->Refresh(); }

int TFrameCode::CodeListItemCount() const { return codeListModel_->ItemCount(); }

int TFrameCode::PriceListRowCount() const { return priceListModel_->rowCount(); }

bool TFrameCode::PriceListLoading() const { return priceListLoader_->Loading(); }

std::string TFrameCode::ShownCode() const { return Cp932FromQ(ui_->ButtonCode->text()); }

const PriceFileLines& TFrameCode::PriceListLines() const { return priceListModel_->Lines(); }

bool TFrameCode::ExcludeMarkedCodes() const {
  return ui_->CheckBoxCodeNG->checkState() != Qt::Unchecked;
}

// ---- the code list ---------------------------------------------------------

int TFrameCode::SelectedRow() const {
  const QModelIndexList rows = ui_->ListViewCode->selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  const int row = rows.first().row();
  return row < data_->CodeList().Count() ? row : -1;
}

void TFrameCode::SelectRow(int row) {
  const QModelIndex index = codeListModel_->index(row, 0);
  if (!index.isValid()) return;
  ui_->ListViewCode->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TFrameCode::ListViewCodeMouseDown(const QPoint& pos) {
  if (Busy()) return;
  CodeTable& table = data_->CodeList();
  if (table.Count() == 0) return;
  // The row geometry comes from the list itself: the place of the first
  // row, which moves when the list scrolls, and the height of one row.
  const QRect first = ui_->ListViewCode->visualRect(codeListModel_->index(0, 0));
  if (first.height() <= 0) return;
  const int y = pos.y() - first.top();
  const int x = pos.x() - first.left();
  if (y < 0 || y >= table.Count() * first.height()) return;
  if (x < CheckImageDelegate::kHitLeft || x > CheckImageDelegate::kHitRight) return;
  const int row = y / first.height();
  table.ToggleMark(row);
  codeListModel_->RowChanged(row);
}

void TFrameCode::ListViewCodeDblClick() {
  if (Busy()) return;
  const int row = SelectedRow();
  if (row < 0) return;
  const CodeTable& table = data_->CodeList();
  const std::string code = table.CodeAt(row);
  const TCodeData& r = table.DataAt(row);
  ui_->ButtonCode->setEnabled(true);
  SetCaption(ui_->ButtonCode, QFromCp932(code));
  ui_->EditName->setText(QFromCp932(r.Name));
  ui_->EditMarket->setText(QFromCp932(r.Market));
  ui_->EditType->setText(QFromCp932(TypeName(r.Type)));
  ui_->EditUnit->setText(QString::number(r.Unit));
  ui_->EditVol->setText(VolumeText(r.Vol));
  ui_->CheckBoxLoan->setChecked(r.Loan != 0);
  priceListLoader_->Clear();
  emit statusPanelText(2, QString());
  // A code that is no plain code names no file and shows no rows. A large
  // file's count comes with its rows.
  const auto file = PriceFilePath(data_->ExeDir(), code);
  if (file && !priceListLoader_->Load(*file)) return;
  emit statusPanelText(2, QString::number(PriceListRowCount()));
}

void TFrameCode::ListViewCodeKeyDown(int key) {
  if (key != Qt::Key_Delete || Busy()) return;
  const int row = SelectedRow();
  if (row < 0) return;
  CodeTable& table = data_->CodeList();
  table.DeleteCodeData(std::string(table.CodeAt(row)));
  codeListModel_->Refresh();
  // The row that moved up into the deleted one's place is the selected one,
  // as it was before.
  SelectRow(row < table.Count() ? row : -1);
}

void TFrameCode::CheckBoxCodeNGClick() {
  // Unchecked and grayed take turns; checked is not a state of this switch.
  if (ui_->CheckBoxCodeNG->checkState() == Qt::Checked) {
    ui_->CheckBoxCodeNG->setCheckState(Qt::Unchecked);
  }
}

void TFrameCode::CheckBoxUpdateClick() {
  const bool editable = ui_->CheckBoxUpdate->isChecked();
  for (QLineEdit* edit : {ui_->EditName, ui_->EditUnit, ui_->EditVol}) SetEditable(edit, editable);
  ui_->CheckBoxLoan->setEnabled(editable);
}

void TFrameCode::ButtonCodeClick() {
  if (run_ == nullptr || !run_->CanUseLibrary()) return;
  const LibraryCallScope call(run_->LibraryBusy());
  if (!ui_->CheckBoxUpdate->isChecked()) {
    CloseDetail();
    return;
  }
  CodeTable& table = data_->CodeList();
  const std::string code = Cp932FromQ(ui_->ButtonCode->text());
  if (!table.ExistCode(code)) return;  // deleted meanwhile
  const std::string name = Cp932FromQ(ui_->EditName->text());
  const int32_t unit = StoredUnit(Cp932FromQ(ui_->EditUnit->text()));
  const int32_t vol = StoredVolume(Cp932FromQ(ui_->EditVol->text()));
  const uint8_t loan = ui_->CheckBoxLoan->isChecked() ? 1 : 0;
  const int row = table.SetCodeFields(code, {.Name = name, .Unit = unit, .Vol = vol, .Loan = loan});
  // The edits show what was stored.
  ui_->EditUnit->setText(QString::number(unit));
  ui_->EditVol->setText(VolumeText(vol));
  codeListModel_->RowChanged(row);
  SelectRow(row);
  ui_->ListViewCode->scrollTo(codeListModel_->index(row, 0));
  ui_->ListViewCode->setFocus();
}

void TFrameCode::CloseDetail() {
  ui_->ButtonCode->setEnabled(false);
  SetCaption(ui_->ButtonCode, QStringLiteral("----"));
  for (QLineEdit* edit :
       {ui_->EditName, ui_->EditMarket, ui_->EditType, ui_->EditUnit, ui_->EditVol}) {
    edit->clear();
  }
  ui_->CheckBoxLoan->setChecked(false);
  priceListLoader_->Clear();
  emit statusPanelText(2, QStringLiteral("-"));
}

bool TFrameCode::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->ListViewCode->viewport() &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
    // A double click is a second press too.
    ListViewCodeMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
  } else if (watched == ui_->ListViewCode && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Delete) {
      ListViewCodeKeyDown(key);
      return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}
