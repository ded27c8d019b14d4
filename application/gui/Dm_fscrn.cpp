#include "Dm_fscrn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

#include "check_box_images.h"
#include "qt_cp932.h"
#include "tri_state_box.h"
#include "ui_Dm_fscrn.h"

TFrameScrn::TFrameScrn(QWidget* parent) : QFrame(parent), ui_(std::make_unique<Ui::TFrameScrn>()) {
  ui_->setupUi(this);
  ui_->ComboBoxCodeA->installEventFilter(this);
  ui_->ComboBoxCodeB->installEventFilter(this);
}

TFrameScrn::~TFrameScrn() = default;

void TFrameScrn::SetProgramData(ProgramData& data) { data_ = &data; }

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

void TFrameScrn::SetRunLocked(bool locked) {
  ui_->ButtonScr->setEnabled(!locked);
  ui_->PanelScrTop->setEnabled(!locked);
  ui_->TabSheetScrA->setEnabled(!locked);
  ui_->TabSheetScrB->setEnabled(!locked);
}

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
  c.reCheck = TriStateFromQt(ui_->CheckBoxReCheck->checkState());
  c.reCheckEnabled = ui_->CheckBoxReCheck->isEnabled();
  return c;
}
