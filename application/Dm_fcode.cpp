#include "Dm_fcode.h"

#include <exception>

#include "check_box_images.h"
#include "code_file.h"
#include "code_list_model.h"
#include "ui_Dm_fcode.h"

TFrameCode::TFrameCode(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::TFrameCode>()) {
  ui_->setupUi(this);
  codeListModel_ = new CodeListModel(codeList_, this);
  ui_->ListViewCode->setModel(codeListModel_);
}

TFrameCode::~TFrameCode() = default;

void TFrameCode::SetExeDir(const std::filesystem::path& exeDir) { exeDir_ = exeDir; }

void TFrameCode::SetCheckImages(const CheckBoxImages* images) { checkImages_ = images; }

void TFrameCode::LoadSettings(vcl::TIniFile& ini) {
  ReadSections(ini);
  LoadCodeFile(codeList_, exeDir_);
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
  SaveCodeFile();
  codeListModel_->SetItemCount(0);
  codeList_.ClearCodeData();
  if (settingsError) std::rethrow_exception(settingsError);
}

// The page's section FrameC: the page's layout and its exclusion switch.
void TFrameCode::ReadSections(const vcl::TIniFile&) {}

void TFrameCode::WriteSections(vcl::TIniFile&) {}

void TFrameCode::SaveCodeFile() { ::SaveCodeFile(codeList_, exeDir_); }

void TFrameCode::SetCodeListCount() { codeListModel_->SetItemCount(codeList_.Count()); }

int TFrameCode::CodeListItemCount() const { return codeListModel_->ItemCount(); }

int TFrameCode::PriceListRowCount() const { return ui_->ListViewPast->topLevelItemCount(); }

QFrame* TFrameCode::PanelCodeTL() const { return ui_->PanelCodeTL; }

QTreeView* TFrameCode::ListViewCode() const { return ui_->ListViewCode; }

QTreeWidget* TFrameCode::ListViewPast() const { return ui_->ListViewPast; }
