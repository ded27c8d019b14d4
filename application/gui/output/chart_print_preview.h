#pragma once
// The print preview of the pair chart: the page as it will print, with the
// choice of orientation, margins and resolution, and the print command
// (through the print dialog, or into a PDF file when the system has no
// printer). A print that fails is reported and leaves the preview open.
// Main thread only.

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "output/chart_print_job.h"

class QPrinter;
class QPrintPreviewWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TChartPrintPreview : public QDialog {
  Q_OBJECT
 public:
  // Shows status panel 0's text (code page 932).
  using StatusSink = std::function<void(std::string_view text)>;

  // Previews `job` on `printer`, both owned by the caller and outliving the
  // dialog. `pdfName` (code page 932) is the file name proposed when the
  // page goes into a PDF file.
  TChartPrintPreview(ChartPrintJob& job, QPrinter& printer, StatusSink status, std::string pdfName,
                     QWidget* owner);
  ~TChartPrintPreview() override;

  ChartPrintJob& Job() { return job_; }

 private:
  void PaintRequested(QPrinter* printer);
  void OrientationClicked();
  void SettingsChanged();
  void PrintClick();
  bool ChoosePdfFile();

  ChartPrintJob& job_;
  QPrinter& printer_;
  StatusSink status_;
  std::string pdfName_;
  QPrintPreviewWidget* preview_ = nullptr;
  QRadioButton* portrait_ = nullptr;
  QRadioButton* landscape_ = nullptr;
  std::array<QSpinBox*, 4> margins_{};
  QSpinBox* resolution_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* close_ = nullptr;
  bool lastPaintDone_ = false;  // the last page was drawn on its printer
};

// The print command on a drawn pair chart: a new job on a copy of
// `pairChart`, previewed in the orientation and with the margins and
// resolution of `settings`; when the preview closes, whatever happened in
// it, `settings` hold the orientation, margins and resolution last chosen and
// status panel 0 is emptied.
void PrintPairChart(QWidget* owner, const chart::Chart& pairChart, PrintHeaderTexts header,
                    PrintChartSettings& settings, const TChartPrintPreview::StatusSink& status,
                    std::string pdfName);
