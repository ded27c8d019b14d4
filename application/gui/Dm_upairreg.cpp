#include "Dm_upairreg.h"

#include <QActionGroup>
#include <QEvent>
#include <QShowEvent>
#include <QStyle>

#include "accessible_names.h"
#include "ui_Dm_upairreg.h"

TFormPairReg::TFormPairReg(const std::filesystem::path& exeDir, QWidget* mainWindow)
    : QMainWindow(mainWindow),
      ui_(std::make_unique<Ui::TFormPairReg>()),
      exeDir_(exeDir),
      mainWindow_(mainWindow) {
  ui_->setupUi(this);
  // A pop-up with a sizing border but neither caption nor system menu,
  // above the other windows.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint);
  NameControlsForAccessibility(this);
  auto* pages = new QActionGroup(this);
  for (QAction* page :
       {ui_->MainMenuPairRegPage1, ui_->MainMenuPairRegPage2, ui_->MainMenuPairRegPage3,
        ui_->MainMenuPairRegPage4, ui_->MainMenuPairRegPage5}) {
    pages->addAction(page);
  }
  for (QTreeWidget* list : {ui_->ListViewRegist, ui_->ListViewRecent}) {
    list->setColumnWidth(0, 0);
    list->setColumnWidth(1, 235);
    list->setColumnWidth(2, 235);
  }
  // The splitter gives the recent list 85 pixels at the bottom.
  ui_->SplitterPairReg->setSizes({height() - 85, 85});
  connect(ui_->MainMenuPairRegCancel, &QAction::triggered, this, &TFormPairReg::FormDeactivate);
}

TFormPairReg::~TFormPairReg() = default;

QTreeWidget* TFormPairReg::ListViewRegist() const { return ui_->ListViewRegist; }
QTreeWidget* TFormPairReg::ListViewRecent() const { return ui_->ListViewRecent; }

void TFormPairReg::FormDeactivate() { hide(); }

void TFormPairReg::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TFormPairReg::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) {
    FormDeactivate();
  }
}

void TFormPairReg::FormShow() {
  if (mainWindow_ == nullptr) return;
  const QRect frame = mainWindow_->frameGeometry();
  const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight);
  move(frame.left() + 3, frame.top() + caption + 3);
}
