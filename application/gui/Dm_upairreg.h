#pragma once
// The pair registry: a borderless stay-on-top window with the registered
// pairs of the current page and the recently checked pairs. Shown from the
// pair-check page; it hides itself when it loses activation or on Esc.

#include <QMainWindow>
#include <filesystem>
#include <memory>

class QTreeWidget;
namespace Ui {
class TFormPairReg;
}

class TFormPairReg : public QMainWindow {
  Q_OBJECT
 public:
  // `mainWindow` is the window it is placed against; it is created after the
  // main window and lives while the program runs.
  TFormPairReg(const std::filesystem::path& exeDir, QWidget* mainWindow);
  ~TFormPairReg() override;

  QTreeWidget* ListViewRegist() const;
  QTreeWidget* ListViewRecent() const;

  // Hides the window (deactivation and "キャンセル(&C)").
  void FormDeactivate();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Just under the main window's caption, 3 pixels in.
  void FormShow();

  std::unique_ptr<Ui::TFormPairReg> ui_;
  std::filesystem::path exeDir_;
  QWidget* mainWindow_;
};
