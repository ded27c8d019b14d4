#include "registry/Dm_upairreg.h"

#include <QActionGroup>
#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEvent>
#include <QHeaderView>
#include <QMessageBox>
#include <QShowEvent>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "data/write_failure_reason.h"
#include "registry/edge_resizer.h"
#include "registry/pair_list_items.h"
#include "registry/pair_lists.h"
#include "registry/pair_registry_settings.h"
#include "ui_Dm_upairreg.h"
#include "vcl/inifile.h"
#include "widgets/accessible_names.h"
#include "widgets/accessible_table.h"
#include "widgets/guarded_application.h"
#include "widgets/qt_cp932.h"
#include "widgets/report_list.h"

namespace {

constexpr char kRecentSection[] = "PairRecent";
// How long after the delete confirmation closed the registry answers an
// activation of another window of the program by taking it back.
constexpr int kTakeActivationBackMs = 300;
// The sizing border of the frameless window.
constexpr int kBorder = 4;

std::vector<PairRow> RowsOf(const std::vector<PairItem>& pairs) {
  std::vector<PairRow> rows;
  rows.reserve(pairs.size());
  for (const PairItem& pair : pairs) rows.push_back(PairRow{pair, false, false});
  return rows;
}

std::vector<PairItem> PairsOf(const QTreeWidget& list) {
  std::vector<PairItem> pairs;
  for (PairRow& row : ListRows(list)) pairs.push_back(std::move(row.item));
  return pairs;
}

}  // namespace

TFormPairReg::TFormPairReg(const std::filesystem::path& exeDir, QWidget* mainWindow,
                           ErrorReporter reporter)
    : QMainWindow(mainWindow),
      ui_(std::make_unique<Ui::TFormPairReg>()),
      exeDir_(exeDir),
      mainWindow_(mainWindow),
      reporter_(reporter ? std::move(reporter) : ErrorReporter(&GuardedApplication::ShowErrorBox)) {
  ui_->setupUi(this);
  // A pop-up without caption or system menu, above the other windows, with
  // a sizing border of its own.
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setContentsMargins(kBorder, kBorder, kBorder, kBorder);
  new EdgeResizer(this, kBorder);
  NameControlsForAccessibility(this);

  auto* pages = new QActionGroup(this);
  const QList<QAction*> pageItems{ui_->MainMenuPairRegPage1, ui_->MainMenuPairRegPage2,
                                  ui_->MainMenuPairRegPage3, ui_->MainMenuPairRegPage4,
                                  ui_->MainMenuPairRegPage5};
  for (int i = 0; i < pageItems.size(); ++i) {
    pageItems[i]->setData(i + 1);
    pages->addAction(pageItems[i]);
  }
  connect(pages, &QActionGroup::triggered, this,
          [this](QAction* item) { MainMenuPairRegPageClick(item->data().toInt()); });
  connect(ui_->MainMenuPairRegAdd, &QAction::triggered, this,
          &TFormPairReg::MainMenuPairRegAddClick);
  connect(ui_->MainMenuPairRegDel, &QAction::triggered, this,
          &TFormPairReg::MainMenuPairRegDelClick);
  connect(ui_->MainMenuPairRegCancel, &QAction::triggered, this, &TFormPairReg::FormDeactivate);
  // Esc works wherever the focus is in the window.
  addAction(ui_->MainMenuPairRegCancel);

  for (QTreeWidget* list : {ui_->ListViewRegist, ui_->ListViewRecent}) {
    SetUpReportHeader(*list, true);
    AnnounceAsTable(*list);
    ShowGridLines(*list);
    list->installEventFilter(this);
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this, list] { ListViewRDblClick(list); });
  }
  // The registered list takes drops from both lists; nothing leaves either.
  ui_->ListViewRegist->setAcceptDrops(true);
  ui_->ListViewRegist->viewport()->setAcceptDrops(true);
  ui_->ListViewRegist->viewport()->installEventFilter(this);

  // The recent list keeps its height when the window is resized.
  ui_->SplitterPairReg->setStretchFactor(0, 1);
  ui_->SplitterPairReg->setStretchFactor(1, 0);
  connect(ui_->SplitterPairReg, &QSplitter::splitterMoved, this,
          [this] { recentHeight_ = ui_->SplitterPairReg->sizes().value(1, recentHeight_); });

  // A tool window counts as active while its parent is, so the loss of
  // activation is read from the window that takes the focus.
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &TFormPairReg::FocusWindowChanged);
  takingActivationBack_.setSingleShot(true);
  takingActivationBack_.setInterval(kTakeActivationBackMs);

  FormCreate();
}

TFormPairReg::~TFormPairReg() { SaveSettings(); }

void TFormPairReg::SetPairPage(PairPageLink link) { link_ = std::move(link); }

void TFormPairReg::ReportError(const QString& message) {
  if (link_.failures != nullptr && !link_.failures->FirstTime(message.toStdU16String())) return;
  reporter_(message);
}

// ---- settings --------------------------------------------------------------

void TFormPairReg::FormCreate() {
  vcl::TIniFile ini(SettingsFile());
  const PairRegLayout layout = ReadPairRegLayout(ini);
  resize(layout.width, layout.height);
  ui_->ListViewRegist->setColumnWidth(1, layout.regist1);
  ui_->ListViewRegist->setColumnWidth(2, layout.regist2);
  ui_->ListViewRecent->setColumnWidth(1, layout.recent1);
  ui_->ListViewRecent->setColumnWidth(2, layout.recent2);
  recentHeight_ = std::max(layout.splitter, 1);
  ui_->SplitterPairReg->setSizes({std::max(height() - recentHeight_, 1), recentHeight_});

  const PairRegistryStart start = LoadPairRegistry(ini);
  if (!start.conversionError.empty()) ReportError(QFromCp932(start.conversionError));
  page_ = start.page;
  CheckPageItem(page_);
  ShowRows(*ui_->ListViewRegist, RowsOf(start.regist));
  ShowRows(*ui_->ListViewRecent, RowsOf(start.recent));
  registChanged_ = start.registChanged;
  recentChanged_ = start.recentChanged;
}

void TFormPairReg::SaveSettings() {
  PairRegLayout layout;
  layout.height = height();
  layout.width = width();
  layout.regist1 = ui_->ListViewRegist->columnWidth(1);
  layout.regist2 = ui_->ListViewRegist->columnWidth(2);
  layout.recent1 = ui_->ListViewRecent->columnWidth(1);
  layout.recent2 = ui_->ListViewRecent->columnWidth(2);
  layout.splitter = recentHeight_;
  layout.page = page_;
  // The layout and both lists go into the file in one replacement, so a
  // close cut short leaves the old sections or the new ones, never a mix.
  try {
    vcl::TIniFile ini(SettingsFile());
    vcl::TIniFileUpdate update(ini);
    WritePairRegLayout(ini, layout);
    if (registChanged_)
      WritePairSection(ini, PairPageSection(page_), PairsOf(*ui_->ListViewRegist));
    if (recentChanged_) WritePairSection(ini, kRecentSection, PairsOf(*ui_->ListViewRecent));
    update.Commit();
    registChanged_ = false;
    recentChanged_ = false;
  } catch (const vcl::EIniFileException& e) {
    ReportError(QFromCp932(SettingsWriteMessage(e)));
  }
}

bool TFormPairReg::SaveRegistPage() {
  if (!registChanged_) return true;
  try {
    vcl::TIniFile ini(SettingsFile());
    WritePairSection(ini, PairPageSection(page_), PairsOf(*ui_->ListViewRegist));
  } catch (const vcl::EIniFileException& e) {
    ReportError(QFromCp932(SettingsWriteMessage(e)));
    return false;
  }
  registChanged_ = false;
  return true;
}

// ---- menu commands ---------------------------------------------------------

void TFormPairReg::CheckPageItem(int32_t page) {
  const QList<QAction*> items = ui_->MainMenuPairRegPage->actions();
  for (QAction* item : items) {
    if (item->data().toInt() == page) item->setChecked(true);
  }
}

void TFormPairReg::MainMenuPairRegPageClick(int32_t page) {
  if (page == page_ || page < 1 || page > kPairPageCount) {
    CheckPageItem(page_);
    return;
  }
  // The page left must be on file first, or its changes would be lost.
  if (!SaveRegistPage()) {
    CheckPageItem(page_);
    return;
  }
  page_ = page;
  CheckPageItem(page_);
  const vcl::TIniFile ini(SettingsFile());
  ShowRows(*ui_->ListViewRegist, RowsOf(ReadPairSection(ini, PairPageSection(page_))));
}

bool TFormPairReg::PairOnPageNow(PairToOpen& pair) const {
  if (!link_.current) return false;
  const PairOnPage page = link_.current();
  pair = page.fields;
  if (pair.codeA.empty() || pair.codeB.empty()) return false;
  // A code typed after the last check still shows the name of the code
  // before it; the code table knows the name that belongs to it.
  auto nameOf = [this](const std::string& code, std::string& name) {
    const TCodeData* data = link_.codes != nullptr ? link_.codes->Find(code) : nullptr;
    if (data == nullptr) return false;
    name = NamePanelText(data->Market, data->Name);
    return true;
  };
  if (page.codeAEdited && !nameOf(pair.codeA, pair.nameA)) return false;
  if (page.codeBEdited && !nameOf(pair.codeB, pair.nameB)) return false;
  return true;
}

void TFormPairReg::MainMenuPairRegAddClick() {
  PairToOpen pair;
  if (!PairOnPageNow(pair)) return;
  std::vector<PairRow> rows = ListRows(*ui_->ListViewRegist);
  RegisterPair(rows, PairItemOf(pair));
  ShowRows(*ui_->ListViewRegist, rows);
  ui_->ListViewRegist->scrollToTop();
  ui_->ListViewRegist->setFocus();
  registChanged_ = true;
}

void TFormPairReg::MainMenuPairRegDelClick() {
  QTreeWidget& list = *ui_->ListViewRegist;
  if (list.selectedItems().isEmpty()) return;
  QMessageBox box(QMessageBox::Question, QStringLiteral(u"確認"),
                  QStringLiteral(u"選択した銘柄ペアを削除しますか?"),
                  QMessageBox::Ok | QMessageBox::Cancel, this);
  box.move(x() + width() / 2 - 125, y() + height() / 2 - 50);
  confirming_ = true;
  const int answer = box.exec();
  confirming_ = false;
  takingActivationBack_.start();
  raise();
  activateWindow();
  if (answer != QMessageBox::Ok) return;
  for (int i = 0; i < list.topLevelItemCount(); ++i) {
    if (list.topLevelItem(i)->isSelected()) {
      delete list.takeTopLevelItem(i);
      registChanged_ = true;
      return;
    }
  }
}

void TFormPairReg::SetCommandsEnabled(bool enabled) {
  ui_->MainMenuPairRegAdd->setEnabled(enabled);
  ui_->MainMenuPairRegDel->setEnabled(enabled);
}

// ---- lists -----------------------------------------------------------------

void TFormPairReg::ListViewRegistDragDrop(const QPoint& pos) {
  QTreeWidget& list = *ui_->ListViewRegist;
  QTreeWidgetItem* target = list.itemAt(pos);
  if (target == nullptr) return;
  std::vector<PairRow> rows = ListRows(list);
  if (!MoveSelectedPairs(rows, list.indexOfTopLevelItem(target))) return;
  ShowRows(list, rows);
  registChanged_ = true;
}

void TFormPairReg::ListViewRDblClick(QTreeWidget* list) {
  const QList<QTreeWidgetItem*> selected = list->selectedItems();
  if (selected.isEmpty()) return;
  // The check downloads through the quote library, which a screening or a
  // check under way is using.
  const bool libraryFree = link_.run != nullptr && link_.run->CanUseLibrary();
  const PairToOpen pair = PairToOpenOf(ItemPair(*selected.first()));
  if (!link_.open || !libraryFree || !IsStockCode(pair.codeA) || !IsStockCode(pair.codeB)) {
    QApplication::beep();
    return;
  }
  hide();
  link_.open(pair);
}

void TFormPairReg::AddRecent(const PairToOpen& pair) {
  std::vector<PairRow> recent = ListRows(*ui_->ListViewRecent);
  if (!AddRecentPair(ListRows(*ui_->ListViewRegist), recent, PairItemOf(pair))) return;
  ShowRows(*ui_->ListViewRecent, recent);
  ui_->ListViewRecent->scrollToTop();
  recentChanged_ = true;
}

bool TFormPairReg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (watched == ui_->ListViewRegist) SetCommandsEnabled(true);
    if (watched == ui_->ListViewRecent) SetCommandsEnabled(false);
    return false;
  }
  if (watched != ui_->ListViewRegist->viewport()) return false;
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QObject* source = drop->source();
      if (source != ui_->ListViewRegist && source != ui_->ListViewRecent) {
        drop->ignore();
        return true;
      }
      if (event->type() == QEvent::Drop) ListViewRegistDragDrop(drop->position().toPoint());
      // A copy, so that the list the drag came from removes nothing.
      drop->setDropAction(Qt::CopyAction);
      drop->accept();
      return true;
    }
    default:
      return false;
  }
}

// ---- showing and hiding -----------------------------------------------------

void TFormPairReg::FormDeactivate() {
  if (!confirming_) hide();
}

void TFormPairReg::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TFormPairReg::FocusWindowChanged(QWindow* window) {
  // Another window of the program took the activation; leaving for another
  // program keeps the stay-on-top window where it is, and so do its own
  // menus and dialogs.
  if (window == nullptr || !isVisible() || window->type() == Qt::Popup) return;
  for (const QWindow* own = window; own != nullptr; own = own->transientParent()) {
    if (own == windowHandle()) return;
  }
  if (takingActivationBack_.isActive()) {
    // Once the hand-over has run its course, not inside it.
    QMetaObject::invokeMethod(
        this,
        [this] {
          raise();
          activateWindow();
        },
        Qt::QueuedConnection);
    return;
  }
  FormDeactivate();
}

void TFormPairReg::FormShow() {
  if (mainWindow_ == nullptr) return;
  const QRect frame = mainWindow_->frameGeometry();
  const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight);
  move(frame.left() + 3, frame.top() + caption + 3);
}
