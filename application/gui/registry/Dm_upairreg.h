#pragma once
// The pair registry: a frameless, resizable, stay-on-top window with the
// registered pairs of the current page (1 to 5) and the recently checked
// pairs. Shown from the pair-check page; it hides itself when it loses
// activation, on Esc and after opening a pair. It reads its sections of
// "Dyadmark.ini" when created and writes them when destroyed. Main thread
// only.

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <QWindow>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "data/code_table.h"
#include "pair/pair_item.h"
#include "screening/screening_run.h"
#include "window/failure_occasion.h"

class QTreeWidget;

namespace Ui {
class TFormPairReg;
}

// What the registry needs of the pair-check page and the program.
struct PairPageLink {
  // The pair the pair-check page shows now.
  std::function<PairOnPage()> current;
  // Fills the page with the pair and checks it as it stands.
  std::function<void(const PairToOpen&)> open;
  // Opening waits while a screening or another library call is under way.
  const ScreeningRun* run = nullptr;
  // Names of codes the user edited since the page last showed their names.
  const CodeTable* codes = nullptr;
  // The failures the program's close told already: the registry's own save
  // at its end does not tell them again.
  FailureOccasion* failures = nullptr;
};

class TFormPairReg : public QMainWindow {
  Q_OBJECT
 public:
  // Shows one error message to the user.
  using ErrorReporter = std::function<void(const QString& message)>;

  // Reads the window's sections from "Dyadmark.ini" in `exeDir`, converting
  // the older ones. `mainWindow` is the window it is placed against; it
  // outlives this one. An empty `reporter` shows message boxes.
  TFormPairReg(const std::filesystem::path& exeDir, QWidget* mainWindow,
               ErrorReporter reporter = {});
  // Writes the window's sections.
  ~TFormPairReg() override;

  void SetPairPage(PairPageLink link);

  // After a pair check: puts the pair at the top of the recent list, unless
  // it is registered on the page now shown (the caller skips this while the
  // first-show idle task is pending).
  void AddRecent(const PairToOpen& pair);

  // The page shown, 1 to 5.
  int32_t CurrentPage() const { return page_; }

  // Writes the layout, and the page and recent list when they changed.
  // Errors are reported; what could not be written stays marked as changed.
  void SaveSettings();

  // Handlers.
  void MainMenuPairRegPageClick(int32_t page);
  void MainMenuPairRegAddClick();
  void MainMenuPairRegDelClick();
  // A drop at `pos` (viewport coordinates of the registered list) moves its
  // selected rows there.
  void ListViewRegistDragDrop(const QPoint& pos);
  void ListViewRDblClick(QTreeWidget* list);
  void FormDeactivate();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  // Just under the main window's caption, 3 pixels in.
  void FormShow();
  void FocusWindowChanged(QWindow* window);
  std::filesystem::path SettingsFile() const { return exeDir_ / "Dyadmark.ini"; }
  // Writes the page shown when it changed; false (reported) on failure.
  bool SaveRegistPage();
  void CheckPageItem(int32_t page);
  void SetCommandsEnabled(bool enabled);
  // The pair of the page with names that match its codes; false when an
  // edited code is not in the code table.
  bool PairOnPageNow(PairToOpen& pair) const;
  void ReportError(const QString& message);

  std::unique_ptr<Ui::TFormPairReg> ui_;
  std::filesystem::path exeDir_;
  QWidget* mainWindow_;
  ErrorReporter reporter_;
  PairPageLink link_;
  int32_t page_ = 1;
  int32_t recentHeight_ = 85;
  // The lists differ from what the settings file holds for them.
  bool registChanged_ = false;
  bool recentChanged_ = false;
  // The delete confirmation is open: losing activation to it is no reason
  // to hide.
  bool confirming_ = false;
  // Runs for a moment after the confirmation closed: the window manager then
  // hands the activation to another window of the program, and the registry
  // takes it back instead of hiding.
  QTimer takingActivationBack_;
};
