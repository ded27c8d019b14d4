#pragma once
// The screening page: the code lists and conditions of a run, its start
// button and the result list.

#include <QFrame>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "list_exports.h"
#include "program_data.h"
#include "vcl/inifile.h"

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

  // The program's data, owned by the main window, which hands it over before
  // LoadSettings.
  void SetProgramData(ProgramData& data);
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
  // The texts of the result list as it stands: the captions of its
  // technical result columns and every row in its current order.
  ScreeningResultTexts ResultTexts() const;

  // Disables the start button, the top panel, condition pages A and B and
  // the technical-condition buttons while a screening runs; the end of a run
  // leaves the technical-condition update button disabled.
  void SetRunLocked(bool locked);
  // The re-check box is for online mode only.
  void SetOnLine(bool online);
  // Takes away the selection the focus gave a code box's text.
  void DeselectCodeBoxes();

 signals:
  // The focus entered a code box.
  void codeBoxEntered();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<Ui::TFrameScrn> ui_;
  ProgramData* data_ = nullptr;
  const CheckBoxImages* checkImages_ = nullptr;
};
