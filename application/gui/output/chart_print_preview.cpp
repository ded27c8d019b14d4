#include "output/chart_print_preview.h"

#include <QButtonGroup>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "output/save_file_dialog.h"
#include "widgets/accessible_names.h"
#include "widgets/qt_cp932.h"

namespace {

QSpinBox* NumberBox(const char* name, int low, int high, const QString& suffix, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(low, high);
  box->setSuffix(suffix);
  return box;
}

// Undoes what a print command leaves behind, however the preview ends.
class PrintCleanUp {
 public:
  PrintCleanUp(PrintChartSettings& settings, const ChartPrintJob& job, const QPrinter& printer,
               const TChartPrintPreview::StatusSink& status)
      : settings_(settings), job_(job), printer_(printer), status_(status) {}
  ~PrintCleanUp() {
    settings_.margins = job_.Settings().margins;
    settings_.resolution = job_.Settings().resolution;
    settings_.orientation = printer_.pageLayout().orientation() == QPageLayout::Landscape
                                ? kPrintLandscape
                                : kPrintPortrait;
    if (status_) status_("");
  }
  PrintCleanUp(const PrintCleanUp&) = delete;
  PrintCleanUp& operator=(const PrintCleanUp&) = delete;

 private:
  PrintChartSettings& settings_;
  const ChartPrintJob& job_;
  const QPrinter& printer_;
  const TChartPrintPreview::StatusSink& status_;
};

}  // namespace

TChartPrintPreview::TChartPrintPreview(ChartPrintJob& job, QPrinter& printer, StatusSink status,
                                       std::string pdfName, QWidget* owner)
    : QDialog(owner),
      job_(job),
      printer_(printer),
      status_(std::move(status)),
      pdfName_(std::move(pdfName)) {
  setObjectName(QStringLiteral("ChartPrintPreview"));
  setWindowTitle(QStringLiteral(u"Dyadmark チャート印刷プレビュー"));
  setSizeGripEnabled(true);
  resize(900, 700);

  auto* orientation = new QGroupBox(QStringLiteral(u"方向"), this);
  portrait_ = new QRadioButton(QStringLiteral(u"縦(&O)"), orientation);
  portrait_->setObjectName(QStringLiteral("PortraitButton"));
  landscape_ = new QRadioButton(QStringLiteral(u"横(&L)"), orientation);
  landscape_->setObjectName(QStringLiteral("LandscapeButton"));
  auto* orientationLayout = new QHBoxLayout(orientation);
  orientationLayout->addWidget(portrait_);
  orientationLayout->addWidget(landscape_);
  auto* orientationGroup = new QButtonGroup(this);
  orientationGroup->addButton(portrait_);
  orientationGroup->addButton(landscape_);

  auto* marginBox = new QGroupBox(QStringLiteral(u"余白"), this);
  auto* marginLayout = new QFormLayout(marginBox);
  const char* const marginNames[] = {"MarginLeftEdit", "MarginTopEdit", "MarginRightEdit",
                                     "MarginBottomEdit"};
  const QString marginLabels[] = {QStringLiteral(u"左"), QStringLiteral(u"上"),
                                  QStringLiteral(u"右"), QStringLiteral(u"下")};
  for (size_t i = 0; i < margins_.size(); ++i) {
    // Margins that leave no paper are refused by the job.
    margins_[i] = NumberBox(marginNames[i], 0, 99, QStringLiteral(" %"), marginBox);
    margins_[i]->setValue(job_.Settings().margins[i]);
    marginLayout->addRow(marginLabels[i], margins_[i]);
  }

  auto* resolutionBox = new QGroupBox(QStringLiteral(u"解像度"), this);
  auto* resolutionLayout = new QFormLayout(resolutionBox);
  resolution_ = NumberBox("ResolutionEdit", 0, 100, QString(), resolutionBox);
  resolution_->setValue(-job_.Settings().resolution);
  resolutionLayout->addRow(QStringLiteral(u"細かさ"), resolution_);

  print_ = new QPushButton(QStringLiteral(u"印刷(&P)"), this);
  print_->setObjectName(QStringLiteral("PrintButton"));
  close_ = new QPushButton(QStringLiteral(u"閉じる(&C)"), this);
  close_->setObjectName(QStringLiteral("CloseButton"));

  auto* controls = new QVBoxLayout;
  controls->addWidget(orientation);
  controls->addWidget(marginBox);
  controls->addWidget(resolutionBox);
  controls->addStretch();
  controls->addWidget(print_);
  controls->addWidget(close_);

  preview_ = new QPrintPreviewWidget(&printer_, this);
  preview_->setObjectName(QStringLiteral("PreviewPage"));
  preview_->fitInView();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(preview_, 1);
  layout->addLayout(controls);

  const bool landscape = printer_.pageLayout().orientation() == QPageLayout::Landscape;
  (landscape ? landscape_ : portrait_)->setChecked(true);

  connect(preview_, &QPrintPreviewWidget::paintRequested, this,
          &TChartPrintPreview::PaintRequested);
  connect(portrait_, &QRadioButton::clicked, this, &TChartPrintPreview::OrientationClicked);
  connect(landscape_, &QRadioButton::clicked, this, &TChartPrintPreview::OrientationClicked);
  for (QSpinBox* box : margins_) {
    connect(box, &QSpinBox::valueChanged, this, &TChartPrintPreview::SettingsChanged);
  }
  connect(resolution_, &QSpinBox::valueChanged, this, &TChartPrintPreview::SettingsChanged);
  connect(print_, &QPushButton::clicked, this, &TChartPrintPreview::PrintClick);
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  NameControlsForAccessibility(this);
}

TChartPrintPreview::~TChartPrintPreview() = default;

void TChartPrintPreview::PaintRequested(QPrinter* printer) {
  if (status_) {
    const bool landscape = printer->pageLayout().orientation() == QPageLayout::Landscape;
    status_(PrintStatusText(landscape, job_.Settings().resolution));
  }
  lastPaintDone_ = job_.Paint(*printer);
}

void TChartPrintPreview::OrientationClicked() {
  if (portrait_->isChecked()) {
    preview_->setPortraitOrientation();
  } else {
    preview_->setLandscapeOrientation();
  }
}

void TChartPrintPreview::SettingsChanged() {
  std::array<int32_t, 4> margins{};
  for (size_t i = 0; i < margins.size(); ++i) margins[i] = margins_[i]->value();
  job_.SetMargins(margins);
  job_.SetResolution(-resolution_->value());
  preview_->updatePreview();
}

void TChartPrintPreview::PrintClick() {
  // Without a printer the page goes into a PDF file.
  if (QPrinterInfo::availablePrinterNames().isEmpty() ||
      printer_.outputFormat() == QPrinter::PdfFormat) {
    if (!ChoosePdfFile()) return;
  } else {
    QPrintDialog dialog(&printer_, this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    NameControlsForAccessibility(&dialog);
    if (dialog.exec() != QDialog::Accepted) return;
  }
  preview_->print();
  if (!lastPaintDone_) {
    // "印刷できませんでした。" and where to.
    QString target = printer_.outputFileName();
    if (target.isEmpty()) target = printer_.printerName();
    QMessageBox::warning(this, QStringLiteral("Dyadmark"),
                         QStringLiteral(u"印刷できませんでした。\n") + target);
    return;
  }
  accept();
}

bool TChartPrintPreview::ChoosePdfFile() {
  const std::optional<QString> chosen = AskSaveFileName(
      this, {"PdfSaveDialog",
             QStringLiteral("pdf"),
             {QStringLiteral("PDF (*.pdf)"), QStringLiteral(u"全てのファイル(*.*)")},
             QFromCp932(pdfName_)});
  if (!chosen) return false;
  printer_.setOutputFormat(QPrinter::PdfFormat);
  printer_.setOutputFileName(*chosen);
  return true;
}

void PrintPairChart(QWidget* owner, const chart::Chart& pairChart, PrintHeaderTexts header,
                    PrintChartSettings& settings, const TChartPrintPreview::StatusSink& status,
                    std::string pdfName) {
  const PrintChartSettings valid = ValidPrintChartSettings(settings);
  QPrinter printer(QPrinter::HighResolution);
  // The margins are the chart's own, per cent of the paper.
  printer.setFullPage(true);
  printer.setPageOrientation(valid.orientation == kPrintLandscape ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
  ChartPrintJob job(pairChart, std::move(header), valid);
  const PrintCleanUp cleanUp(settings, job, printer, status);
  TChartPrintPreview preview(job, printer, status, std::move(pdfName), owner);
  preview.exec();
}
