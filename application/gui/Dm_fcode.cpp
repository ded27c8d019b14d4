#include "Dm_fcode.h"

#include <exception>
#include <stdexcept>
#include <string>

#include "check_box_images.h"
#include "code_list_model.h"
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
  std::string codeFileError;
  if (!data_->SaveCodeFile(&codeFileError)) throw std::runtime_error(codeFileError);
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
