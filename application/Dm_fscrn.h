#pragma once
// The screening page: the code lists and conditions of a run, its start
// button and the result list.

#include <QFrame>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "vcl/inifile.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class CheckBoxImages;
namespace Ui {
class TFrameScrn;
}

class TFrameScrn : public QFrame {
  Q_OBJECT
 public:
  // Created without a parent; the main window places it on its page.
  explicit TFrameScrn(QWidget* parent = nullptr);
  ~TFrameScrn() override;

  // The program directory, where "C404.txt" lies. Set by the main window
  // before LoadSettings.
  void SetExeDir(const std::filesystem::path& exeDir);
  // The check-box images of the lists, owned by the main window.
  void SetCheckImages(const CheckBoxImages* images);

  // Reads the page's sections.
  void LoadSettings(vcl::TIniFile& ini);
  // Writes the page's sections.
  void SaveSettings(vcl::TIniFile& ini);

  // The number of pairs formed by the last run.
  int32_t PairCount = 0;

  // The number of rows of the result list.
  int ResultRowCount() const;

  QPushButton* ButtonScr() const;
  QFrame* PanelScrTop() const;
  QTabWidget* PageControlScr() const;
  QWidget* TabSheetScrA() const;
  QWidget* TabSheetScrB() const;
  QCheckBox* CheckBoxReCheck() const;
  QComboBox* ComboBoxCodeA() const;
  QComboBox* ComboBoxCodeB() const;
  QTreeWidget* ListViewScrn() const;

 signals:
  // The focus entered a code box.
  void codeBoxEntered();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<Ui::TFrameScrn> ui_;
  std::filesystem::path exeDir_;
  const CheckBoxImages* checkImages_ = nullptr;
};
