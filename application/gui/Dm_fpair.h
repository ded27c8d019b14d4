#pragma once
// The pair-check page: one pair of codes on a chart with its statistics.

#include <QFrame>
#include <cstdint>
#include <memory>
#include <string>

#include "program_data.h"
#include "vcl/inifile.h"

namespace Ui {
class TFramePair;
}

class TFramePair : public QFrame {
  Q_OBJECT
 public:
  // Created without a parent; the main window places it on its page.
  explicit TFramePair(QWidget* parent = nullptr);
  ~TFramePair() override;

  // The program's data, owned by the main window.
  void SetProgramData(ProgramData& data) { data_ = &data; }
  // The whole page is disabled while a screening runs.
  void SetRunLocked(bool locked) { setEnabled(!locked); }

  // Reads the page's sections.
  void LoadSettings(vcl::TIniFile& ini);
  // Writes the page's sections.
  void SaveSettings(vcl::TIniFile& ini);

  // The Tag of ButtonCheck: 1 once a pair has been checked and drawn.
  int32_t ButtonCheckTag = 0;

  // The four statistics of the drawn pair for status panels 1 to 4, code
  // page 932; "-" when none was computed.
  std::string MeanText;
  std::string CorrText = "-";
  std::string RangeText = "-";
  std::string MeanSdText = "-";
  std::string SlopeText = "-";

 private:
  std::unique_ptr<Ui::TFramePair> ui_;
  ProgramData* data_ = nullptr;
};
