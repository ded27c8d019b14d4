#include "Dm_fscrn.h"

#include <QEvent>

#include "check_box_images.h"
#include "ui_Dm_fscrn.h"

TFrameScrn::TFrameScrn(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::TFrameScrn>()) {
  ui_->setupUi(this);
  ui_->ComboBoxCodeA->installEventFilter(this);
  ui_->ComboBoxCodeB->installEventFilter(this);
}

TFrameScrn::~TFrameScrn() = default;

void TFrameScrn::SetExeDir(const std::filesystem::path& exeDir) { exeDir_ = exeDir; }

void TFrameScrn::SetCheckImages(const CheckBoxImages* images) { checkImages_ = images; }

// The page's sections FrameS, Screening, CodeA, CodeB and Technical, and the
// auto-exclusion list.
void TFrameScrn::LoadSettings(vcl::TIniFile&) {}

void TFrameScrn::SaveSettings(vcl::TIniFile&) {}

int TFrameScrn::ResultRowCount() const { return ui_->ListViewScrn->topLevelItemCount(); }

bool TFrameScrn::eventFilter(QObject* watched, QEvent* event) {
  const bool codeBox = watched == ui_->ComboBoxCodeA || watched == ui_->ComboBoxCodeB;
  if (codeBox && event->type() == QEvent::FocusIn) emit codeBoxEntered();
  return QFrame::eventFilter(watched, event);
}

QPushButton* TFrameScrn::ButtonScr() const { return ui_->ButtonScr; }
QFrame* TFrameScrn::PanelScrTop() const { return ui_->PanelScrTop; }
QTabWidget* TFrameScrn::PageControlScr() const { return ui_->PageControlScr; }
QWidget* TFrameScrn::TabSheetScrA() const { return ui_->TabSheetScrA; }
QWidget* TFrameScrn::TabSheetScrB() const { return ui_->TabSheetScrB; }
QCheckBox* TFrameScrn::CheckBoxReCheck() const { return ui_->CheckBoxReCheck; }
QComboBox* TFrameScrn::ComboBoxCodeA() const { return ui_->ComboBoxCodeA; }
QComboBox* TFrameScrn::ComboBoxCodeB() const { return ui_->ComboBoxCodeB; }
QTreeWidget* TFrameScrn::ListViewScrn() const { return ui_->ListViewScrn; }
