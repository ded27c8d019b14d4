#include "Dm_fcode.h"

#include <QPushButton>
#include <exception>

#include "check_box_images.h"
#include "code_list_model.h"
#include "qt_cp932.h"
#include "ui_Dm_fcode.h"

TFrameCode::TFrameCode(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::TFrameCode>()) {
  ui_->setupUi(this);
}

TFrameCode::~TFrameCode() = default;

void TFrameCode::SetProgramData(ProgramData& data) {
  data_ = &data;
  codeListModel_ = new CodeListModel(data.CodeList(), this);
  ui_->ListViewCode->setModel(codeListModel_);
}

void TFrameCode::SetCheckImages(const CheckBoxImages* images) { checkImages_ = images; }

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
  data_->SaveCodeFile();
  codeListModel_->SetItemCount(0);
  data_->CodeList().ClearCodeData();
  if (settingsError) std::rethrow_exception(settingsError);
}

// The page's section FrameC: the page's layout and its exclusion switch.
void TFrameCode::ReadSections(const vcl::TIniFile&) {}

void TFrameCode::WriteSections(vcl::TIniFile&) {}

void TFrameCode::SetRunLocked(bool locked) {
  ui_->PanelCodeTL->setEnabled(!locked);
  ui_->ListViewPast->setEnabled(!locked);
}

void TFrameCode::SetCodeListCount() { codeListModel_->SetItemCount(data_->CodeList().Count()); }

int TFrameCode::CodeListItemCount() const { return codeListModel_->ItemCount(); }

int TFrameCode::PriceListRowCount() const { return ui_->ListViewPast->topLevelItemCount(); }

std::string TFrameCode::ShownCode() const {
  const auto* button = findChild<const QPushButton*>(QStringLiteral("ButtonCode"));
  return button != nullptr ? Cp932FromQ(button->text()) : std::string("----");
}

std::vector<PriceListRow> TFrameCode::PriceListTexts() const {
  // Column 0 is the hidden one; 1 to 6 are shown.
  std::vector<PriceListRow> rows;
  const int count = ui_->ListViewPast->topLevelItemCount();
  rows.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const QTreeWidgetItem* item = ui_->ListViewPast->topLevelItem(i);
    PriceListRow row;
    for (int column = 0; column < 6; ++column) row[column] = Cp932FromQ(item->text(column + 1));
    rows.push_back(std::move(row));
  }
  return rows;
}
