#include "Dm_fscrn.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

#include "check_box_images.h"
#include "qt_cp932.h"
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

ScreeningResultTexts TFrameScrn::ResultTexts() const {
  // Columns 0 and 14 are hidden, 1 to 13 the fixed ones shown; the
  // technical results follow from column 15 on. The rows are read in the
  // order the list shows them.
  constexpr int kFirstTechnical = 15;
  const QAbstractItemModel* model = ui_->ListViewScrn->model();
  const auto text = [model](int row, int column) {
    return Cp932FromQ(model->index(row, column).data(Qt::DisplayRole).toString());
  };
  ScreeningResultTexts result;
  const int columns = model->columnCount();
  for (int column = kFirstTechnical; column < columns; ++column) {
    result.technicalCaptions.push_back(
        Cp932FromQ(model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()));
  }
  const int count = model->rowCount();
  result.rows.reserve(static_cast<size_t>(count));
  for (int row = 0; row < count; ++row) {
    ScreeningResultTexts::Row texts;
    for (int column = 0; column < 13; ++column) texts.fixed[column] = text(row, column + 1);
    for (int column = kFirstTechnical; column < columns; ++column) {
      texts.technical.push_back(text(row, column));
    }
    result.rows.push_back(std::move(texts));
  }
  return result;
}

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
