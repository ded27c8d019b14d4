// Printing the pair chart: the preview in the stored orientation, the
// print chart's size and header, the status text while previewing, the
// settings kept afterwards, and a print into a PDF file.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "drawn_pair_program.h"
#include "file_dialog_answer.h"
#include "main/status_panel_bar.h"
#include "output/chart_print_preview.h"
#include "pair/Dm_fpair.h"

namespace {

// Runs `inspect` on the print preview once it is open, then closes it with
// its close button (unless `inspect` ended it).
class PreviewVisit : public QObject {
 public:
  explicit PreviewVisit(std::function<void(TChartPrintPreview&)> inspect)
      : inspect_(std::move(inspect)) {
    connect(&poll_, &QTimer::timeout, this, [this] {
      auto* preview = qobject_cast<TChartPrintPreview*>(QApplication::activeModalWidget());
      if (preview == nullptr || visited) return;
      visited = true;
      poll_.stop();
      inspect_(*preview);
      if (preview->isVisible()) Control<QPushButton>(*preview, "CloseButton")->click();
    });
    poll_.start(10);
  }
  bool visited = false;

 private:
  std::function<void(TChartPrintPreview&)> inspect_;
  QTimer poll_;
};

const ChartPrintJob::Page& LastPage(TChartPrintPreview& preview) {
  return preview.Job().LastPage();
}

struct Program : DrawnPairProgram {
  void Print() const { Control<QAction>(*window, "MainMenuFilePairPrint")->trigger(); }
  QString Panel(int i) const { return window->StatusBar().PanelText(i); }
};

}  // namespace

class PrintTest : public QObject {
  Q_OBJECT

 private slots:
  void aFirstPrintOpensInLandscapeWithTheHeaderOnOneLine() {
    Program p;
    p.StartWithDrawnPair();
    QVERIFY(p.window->FramePair().PairDrawn());
    const size_t series = p.window->FramePair().ChartPairModel().series.size();
    PreviewVisit visit([&p](TChartPrintPreview& preview) {
      QCOMPARE(preview.windowTitle(), QStringLiteral(u"Dyadmark チャート印刷プレビュー"));
      QVERIFY(Control<QRadioButton>(preview, "LandscapeButton")->isChecked());
      QTRY_COMPARE(LastPage(preview).orientation, 1);
      const ChartPrintJob::Page& page = LastPage(preview);
      QCOMPARE(page.chartSize, QSize(1448, 1024));
      QCOMPARE(page.lineA.top(), page.plot.top() - 18);
      QCOMPARE(page.lineA.left(), page.plot.left() + 5);
      QCOMPARE(page.lineB.top(), page.lineA.top());
      QCOMPARE(page.lineB.left(), page.lineA.left() + page.lineA.width());
      QCOMPARE(page.statistics.left() + page.statistics.width(), page.plot.right() - 1);
      QCOMPARE(page.statistics.top(), page.lineB.top() + 2);
      QCOMPARE(p.Panel(0), QStringLiteral(u"印刷 - 方向: 横   解像度: 0"));
    });
    p.Print();
    QVERIFY(visit.visited);
    QCOMPARE(p.Panel(0), QString());
    QCOMPARE(p.window->PrintSettings().orientation, 1);
    // The pair page's chart is as it was: the print worked on a copy.
    QCOMPARE(p.window->FramePair().ChartPairModel().series.size(), series);
  }

  // The orientation chosen in the preview resizes the print chart at once
  // and stays for the next print and for the settings file.
  void theChosenOrientationStays() {
    Program p;
    p.StartWithDrawnPair();
    PreviewVisit toPortrait([&p](TChartPrintPreview& preview) {
      QTRY_COMPARE(LastPage(preview).orientation, 1);
      Control<QRadioButton>(preview, "PortraitButton")->click();
      QTRY_COMPARE(LastPage(preview).orientation, 0);
      const ChartPrintJob::Page& page = LastPage(preview);
      QCOMPARE(page.chartSize, QSize(1024, 1448));
      QCOMPARE(page.lineA.top(), page.plot.top() - 34);
      QCOMPARE(page.lineB.top(), page.plot.top() - 18);
      QCOMPARE(page.lineB.left(), page.plot.left() + 4);
      QCOMPARE(p.Panel(0), QStringLiteral(u"印刷 - 方向: 縦   解像度: 0"));
      Control<QSpinBox>(preview, "ResolutionEdit")->setValue(30);
      QTRY_COMPARE(LastPage(preview).chartSize, QSize(1331, 1882));
      QCOMPARE(p.Panel(0), QStringLiteral(u"印刷 - 方向: 縦   解像度: 30"));
      Control<QSpinBox>(preview, "MarginLeftEdit")->setValue(12);
    });
    p.Print();
    QVERIFY(toPortrait.visited);
    QCOMPARE(p.window->PrintSettings().orientation, 0);
    QCOMPARE(p.window->PrintSettings().resolution, -30);
    QCOMPARE(p.window->PrintSettings().margins[0], 12);

    PreviewVisit again([](TChartPrintPreview& preview) {
      QVERIFY(Control<QRadioButton>(preview, "PortraitButton")->isChecked());
      QTRY_COMPARE(LastPage(preview).orientation, 0);
      QCOMPARE(Control<QSpinBox>(preview, "ResolutionEdit")->value(), 30);
      QCOMPARE(Control<QSpinBox>(preview, "MarginLeftEdit")->value(), 12);
    });
    p.Print();
    QVERIFY(again.visited);

    p.window->close();
    const std::string ini = p.dir.Read("Dyadmark.ini");
    QVERIFY(ini.find("Orientation=0\r\n") != std::string::npos);
    QVERIFY(ini.find("Resolution=-30\r\n") != std::string::npos);
    QVERIFY(ini.find("MarginLeft=12\r\n") != std::string::npos);
  }

  void settingsOutOfRangeTakeTheirDefaults() {
    Program p;
    p.dir.Write("Dyadmark.ini",
                "[PrintChart]\r\nMarginLeft=60\r\nMarginTop=5\r\nMarginRight=50\r\n"
                "MarginBottom=-2\r\nOrientation=3\r\nResolution=-500\r\n");
    p.StartWithDrawnPair();
    PreviewVisit visit([](TChartPrintPreview& preview) {
      QVERIFY(Control<QRadioButton>(preview, "LandscapeButton")->isChecked());
      for (const char* name :
           {"MarginLeftEdit", "MarginTopEdit", "MarginRightEdit", "MarginBottomEdit"}) {
        QCOMPARE(Control<QSpinBox>(preview, name)->value(), 5);
      }
      QCOMPARE(Control<QSpinBox>(preview, "ResolutionEdit")->value(), 0);
      QTRY_COMPARE(LastPage(preview).chartSize, QSize(1448, 1024));
    });
    p.Print();
    QVERIFY(visit.visited);
  }

  void withoutADrawnPairOrOnAnotherPageNothingOpens() {
    PreviewVisit visit([](TChartPrintPreview&) {});
    {
      Program p;
      p.StartWithUncheckedPair();
      p.Print();
    }
    Program p;
    p.StartWithDrawnPair();
    Control<QTabWidget>(*p.window, "PageControl")->setCurrentIndex(1);
    p.Print();
    QCoreApplication::processEvents();
    QVERIFY(!visit.visited);
  }

  // Without a printer the page goes into a PDF file named after the pair.
  void printsIntoAPdfFile() {
    Program p;
    p.StartWithDrawnPair();
    const QString pdf = p.dir.ExeDir() + QStringLiteral("chart.pdf");
    std::unique_ptr<FileDialogAnswer> answer;
    PreviewVisit visit([&](TChartPrintPreview& preview) {
      QTRY_COMPARE(LastPage(preview).orientation, 1);
      answer = std::make_unique<FileDialogAnswer>(pdf);
      Control<QPushButton>(preview, "PrintButton")->click();
    });
    p.Print();
    QVERIFY(visit.visited);
    QCOMPARE(answer->dialogName, QStringLiteral("PdfSaveDialog"));
    QCOMPARE(answer->proposed, QStringLiteral("1301-1332.pdf"));
    QVERIFY2(answer->unnamed.isEmpty(), qPrintable(answer->unnamed.join(u' ')));
    const std::string bytes = p.dir.Read("chart.pdf");
    QVERIFY2(bytes.starts_with("%PDF-"), bytes.substr(0, 20).c_str());
    QVERIFY(bytes.size() > 2000);
    QCOMPARE(p.Panel(0), QString());
  }

  // A file that cannot be written is reported, and the preview stays open
  // for another try.
  void aFailedPrintIsReportedAndThePreviewStays() {
    Program p;
    p.StartWithDrawnPair();
    std::unique_ptr<FileDialogAnswer> answer;
    QString warning;
    bool stillOpen = false;
    PreviewVisit visit([&](TChartPrintPreview& preview) {
      QTRY_COMPARE(LastPage(preview).orientation, 1);
      answer = std::make_unique<FileDialogAnswer>(QStringLiteral("/proc/dyadmark-chart.pdf"));
      QTimer boxWatch;
      connect(&boxWatch, &QTimer::timeout, [&warning] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          warning = box->text();
          box->accept();
        }
      });
      boxWatch.start(10);
      Control<QPushButton>(preview, "PrintButton")->click();
      stillOpen = preview.isVisible();
    });
    p.Print();
    QVERIFY(visit.visited);
    QVERIFY(stillOpen);
    QVERIFY2(warning.contains(QStringLiteral("/proc/dyadmark-chart.pdf")), qPrintable(warning));
    QCOMPARE(p.Panel(0), QString());
  }

  void everyControlOfThePreviewIsNamed() {
    Program p;
    p.StartWithDrawnPair();
    QStringList names;
    PreviewVisit visit([&names](TChartPrintPreview& preview) {
      for (const char* name : {"PortraitButton", "LandscapeButton", "MarginLeftEdit",
                               "MarginTopEdit", "MarginRightEdit", "MarginBottomEdit",
                               "ResolutionEdit", "PrintButton", "CloseButton"}) {
        names << Control<QWidget>(preview, name)->accessibleName();
      }
    });
    p.Print();
    QCOMPARE(names,
             (QStringList{QStringLiteral(u"縦"), QStringLiteral(u"横"), QStringLiteral(u"左"),
                          QStringLiteral(u"上"), QStringLiteral(u"右"), QStringLiteral(u"下"),
                          QStringLiteral(u"細かさ"), QStringLiteral(u"印刷"),
                          QStringLiteral(u"閉じる")}));
  }
};

QTEST_MAIN(PrintTest)
#include "gui_print_qtest.moc"
