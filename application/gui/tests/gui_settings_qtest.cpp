// The main window's start-up and close: the settings file, the library's
// life, the latest market date and the data files saved at close.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTabWidget>
#include <QtTest>
#include <memory>
#include <set>
#include <string>

#include "codes/Dm_fcode.h"
#include "gui_test_dir.h"
#include "gui_test_program.h"
#include "main/Dm_umain.h"
#include "registry/Dm_upairreg.h"

namespace {

// The settings file that a close writes when it found none.
constexpr char kDefaultSettings[] =
    "[Window]\r\n"
    "Top=50\r\n"
    "Left=100\r\n"
    "Height=600\r\n"
    "Width=800\r\n"
    "State=0\r\n"
    "[Option]\r\n"
    "OnLine=1\r\n"
    "ChartDataUpdate=0\r\n"
    "Ticvane=1\r\n"
    "StayOnTop=0\r\n"
    "[PrintChart]\r\n"
    "MarginLeft=5\r\n"
    "MarginTop=5\r\n"
    "MarginRight=5\r\n"
    "MarginBottom=5\r\n"
    "Orientation=1\r\n"
    "Resolution=0\r\n";

// The settings file without the sections the pages write for themselves.
std::string WindowSections(const std::string& text) {
  static const std::set<std::string> pageSections = {"[FrameC]", "[FrameS]", "[Screening]",
                                                     "[CodeA]",  "[CodeB]",  "[Technical]",
                                                     "[FrameP]", "[Chart]"};
  std::string kept;
  bool skipping = false;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find("\r\n", at);
    end = end == std::string::npos ? text.size() : end + 2;
    const std::string line = text.substr(at, end - at);
    if (line.starts_with("[")) skipping = pageSections.contains(line.substr(0, line.find(']') + 1));
    if (!skipping) kept += line;
    at = end;
  }
  return kept;
}

struct Program : TestProgram {
  // Every history request gets one day, the newest.
  Program() { fake.records = {PastDataRecord{2024, 3, 8, 2510, 2500, 2520, 2490, 123400}}; }
  QAction* Action(const char* name) const { return window->findChild<QAction*>(name); }
  QList<QAction*> SourceItems() const {
    return window->findChild<QMenu*>("MainMenuOptionWeb")->actions();
  }
};

}  // namespace

class MainWindowSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void writesTheDefaultsWhenThereIsNoSettingsFile() {
    Program p;
    p.Start();
    QVERIFY(p.window->close());
    QCOMPARE(WindowSections(p.dir.Read("Dyadmark.ini")), std::string(kDefaultSettings));
    QVERIFY(p.errors.isEmpty());
  }

  void keepsForeignSectionsAndComments() {
    Program p;
    p.dir.Write("Dyadmark.ini",
                "; kept as it is\r\n"
                "[Foreign]\r\n"
                "Key=Value\r\n"
                "[Window]\r\n"
                "Top=60\r\n"
                "; inside a section too\r\n"
                "Left=110\r\n"
                "Height=610\r\n"
                "Width=820\r\n"
                "[Option]\r\n"
                "OnLine=0\r\n"
                "ChartDataUpdate=1\r\n"
                "Ticvane=0\r\n"
                "[PrintChart]\r\n"
                "MarginLeft=7\r\n"
                "Orientation=0\r\n"
                "Resolution=-3\r\n");
    p.Start();
    QVERIFY(p.window->close());
    QCOMPARE(WindowSections(p.dir.Read("Dyadmark.ini")), std::string("; kept as it is\r\n"
                                                                     "[Foreign]\r\n"
                                                                     "Key=Value\r\n"
                                                                     "[Window]\r\n"
                                                                     "Top=60\r\n"
                                                                     "; inside a section too\r\n"
                                                                     "Left=110\r\n"
                                                                     "Height=610\r\n"
                                                                     "Width=820\r\n"
                                                                     "State=0\r\n"
                                                                     "[Option]\r\n"
                                                                     "OnLine=0\r\n"
                                                                     "ChartDataUpdate=1\r\n"
                                                                     "Ticvane=0\r\n"
                                                                     "StayOnTop=0\r\n"
                                                                     "[PrintChart]\r\n"
                                                                     "MarginLeft=7\r\n"
                                                                     "Orientation=0\r\n"
                                                                     "Resolution=-3\r\n"
                                                                     "MarginTop=5\r\n"
                                                                     "MarginRight=5\r\n"
                                                                     "MarginBottom=5\r\n"));
  }

  void restoresTheOptions() {
    Program p;
    p.dir.Write("Dyadmark.ini",
                "[Option]\r\nOnLine=0\r\nChartDataUpdate=1\r\nTicvane=0\r\nStayOnTop=1\r\n");
    p.Start();
    QCOMPARE(p.window->OnLine(), false);
    QCOMPARE(p.Action("MainMenuLine")->text(), QStringLiteral("--"));
    QCOMPARE(p.window->ChartDataUpdate(), true);
    QCOMPARE(p.window->SourceIndex(), 0);
    QVERIFY(p.SourceItems().at(0)->isChecked());
    QVERIFY(p.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }

  void aMaximisedCloseKeepsTheNormalBounds() {
    Program p;
    p.dir.Write("Dyadmark.ini",
                "[Window]\r\nState=2\r\nTop=70\r\nLeft=120\r\nHeight=620\r\nWidth=830\r\n");
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    QVERIFY(p.window->isMaximized());
    QVERIFY(p.window->close());
    const std::string written = p.dir.Read("Dyadmark.ini");
    QVERIFY2(written.find("[Window]\r\nState=2\r\nTop=70\r\nLeft=120\r\nHeight=620\r\n"
                          "Width=830\r\n[Option]") == 0,
             written.c_str());
  }

  void theFirstRestoreOfAMaximisedStartBringsBackTheNormalBounds() {
    Program p;
    p.dir.Write("Dyadmark.ini",
                "[Window]\r\nState=2\r\nTop=70\r\nLeft=120\r\nHeight=620\r\nWidth=830\r\n");
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    QTRY_COMPARE(p.window->PendingIdleTask(), 0);  // the first-show task has run
    p.window->showNormal();
    QTRY_COMPARE(p.window->geometry(), QRect(120, 70, 830, 620));
  }

  void closingAfterAMaximiseWritesTheBoundsFromBeforeIt() {
    Program p;
    p.dir.Write("Dyadmark.ini", "[Window]\r\nTop=70\r\nLeft=120\r\nHeight=620\r\nWidth=830\r\n");
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    QVERIFY(!p.window->isMaximized());
    p.window->showMaximized();
    QTRY_VERIFY(p.window->isMaximized());
    QVERIFY(p.window->close());
    const std::string written = p.dir.Read("Dyadmark.ini");
    QVERIFY2(written.find("[Window]\r\nTop=70\r\nLeft=120\r\nHeight=620\r\nWidth=830\r\n"
                          "State=2\r\n") == 0,
             written.c_str());
  }

  void aNormalWindowWritesItsCurrentBounds() {
    Program p;
    p.dir.Write("Dyadmark.ini",
                "[Window]\r\nState=1\r\nTop=70\r\nLeft=120\r\nHeight=620\r\nWidth=830\r\n");
    p.Start();
    QCOMPARE(p.window->geometry(), QRect(120, 70, 830, 620));
    QVERIFY(!p.window->isMaximized());
    p.window->setGeometry(130, 80, 840, 630);
    QVERIFY(p.window->close());
    const std::string written = p.dir.Read("Dyadmark.ini");
    QVERIFY2(written.find("[Window]\r\nState=0\r\nTop=80\r\nLeft=130\r\nHeight=630\r\n"
                          "Width=840\r\n[Option]") == 0,
             written.c_str());
  }

  void outOfRangeValuesTakeTheirDefaults_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<int>("source");
    QTest::addColumn<QRect>("bounds");
    const QRect defaults(100, 50, 800, 600);
    QTest::newRow("source 2") << QByteArray("[Option]\r\nTicvane=2\r\n") << 5 << 1 << defaults;
    QTest::newRow("source -1") << QByteArray("[Option]\r\nTicvane=-1\r\n") << 5 << 1 << defaults;
    QTest::newRow("source not a number")
        << QByteArray("[Option]\r\nTicvane=A\r\n") << 5 << 1 << defaults;
    QTest::newRow("negative time-out")
        << QByteArray("[HiddenOption]\r\nTimeout=-3\r\n") << 5 << 1 << defaults;
    QTest::newRow("time-out in hexadecimal")
        << QByteArray("[HiddenOption]\r\nTimeout=0x10\r\n") << 16 << 1 << defaults;
    QTest::newRow("bounds beyond every screen")
        << QByteArray("[Window]\r\nTop=5000\r\nLeft=9000\r\nHeight=600\r\nWidth=800\r\n") << 5 << 1
        << defaults;
    QTest::newRow("negative size")
        << QByteArray("[Window]\r\nTop=10\r\nLeft=10\r\nHeight=-600\r\nWidth=800\r\n") << 5 << 1
        << defaults;
    QTest::newRow("bounds partly on the screen")
        << QByteArray("[Window]\r\nTop=-100\r\nLeft=-300\r\nHeight=600\r\nWidth=800\r\n") << 5 << 1
        << QRect(-300, -100, 800, 600);
  }

  void outOfRangeValuesTakeTheirDefaults() {
    QFETCH(QByteArray, settings);
    QFETCH(int, timeout);
    QFETCH(int, source);
    QFETCH(QRect, bounds);
    Program p;
    p.dir.Write("Dyadmark.ini", settings.toStdString());
    p.Start();
    QCOMPARE(p.fake.initCalls.at(0).timeout, timeout);
    QCOMPARE(p.window->TimeoutSeconds(), timeout);
    QCOMPARE(p.window->SourceIndex(), source);
    QVERIFY(p.SourceItems().at(source)->isChecked());
    QCOMPARE(p.fake.pastDataCalls.at(0).source, source);
    QCOMPARE(p.window->geometry(), bounds);
  }

  // The settings file that cannot be written is told once at the close, with
  // its reason, although the pair registry writes its sections there too.
  void aFailedSettingsWriteIsToldOnceAndStillSavesTheCodeFile() {
    Program p;
    p.dir.Write("Code.txt", "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n");
    p.dir.MakeDirectory("Dyadmark.ini");  // no file can be written there
    p.Start();
    CodeTable& table = p.window->FrameCode().CodeList();
    QCOMPARE(table.Count(), 1);
    QCOMPARE(table.SetCodeFields("1301", {.Name = "Kyokuyo2"}), 0);
    {
      TFormPairReg registry(p.window->ExeDir(), p.window.get(),
                            [&p](const QString& message) { p.errors << message; });
      p.window->SetPairRegistry(&registry);
      QVERIFY(p.window->close());
      p.window->SetPairRegistry(nullptr);
    }  // the registry writes its sections as it goes
    QCOMPARE(p.dir.Read("Code.txt"), std::string("1301\tKyokuyo2\tTSE\t1\t100\t5000\t1\t0\r\n"));
    const QString expected = QString::fromStdString(p.dir.Path("Dyadmark.ini")) +
                             QStringLiteral(u" に書き込めません: 同じ名前のフォルダーがあります");
    QCOMPARE(p.errors, QStringList{expected});
  }

  void removesWhatSavesCutShortLeftAtTheStart() {
    Program p;
    // No process ever has an id above the system's largest.
    QFile limit(QStringLiteral("/proc/sys/kernel/pid_max"));
    QVERIFY(limit.open(QIODevice::ReadOnly));
    const std::string gone = std::to_string(limit.readAll().trimmed().toLongLong() + 1);
    const std::string leftovers[] = {"Dyadmark.ini.dyadmark-save-" + gone + "-0-7.tmp",
                                     "1301.txt.dyadmark-save-" + gone + "-3-9.tmp"};
    for (const std::string& name : leftovers) p.dir.Write(name.c_str(), "cut short");
    p.dir.Write("notes.tmp", "someone else's");
    p.Start();
    for (const std::string& name : leftovers)
      QVERIFY(!QFile::exists(QString::fromStdString(p.dir.Path(name.c_str()))));
    QCOMPARE(p.dir.Read("notes.tmp"), std::string("someone else's"));
    QVERIFY(p.window->close());
  }

  void aCodeFileThatCannotBeWrittenIsReported() {
    Program p;
    p.dir.Write("Code.txt", "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n");
    p.Start();
    p.window->FrameCode().CodeList().SetCodeFields("1301", {.Name = "Kyokuyo2"});
    // A directory in the way of the temporary file, then of the file itself.
    QFile::remove(QString::fromStdString(p.dir.Path("Code.txt")));
    p.dir.MakeDirectory("Code.txt");
    QVERIFY(p.window->close());
    QCOMPARE(p.errors.size(), 1);
    QCOMPARE(WindowSections(p.dir.Read("Dyadmark.ini")), std::string(kDefaultSettings));
  }

  void startsAndEndsTheLibrary() {
    Program p;
    p.dir.Write("Dyadmark.ini", "[HiddenOption]\r\nTimeout=12\r\n");
    p.Start();
    QCOMPARE(p.fake.initCalls.size(), size_t{1});
    QCOMPARE(p.fake.initCalls.at(0).pump, 1);
    QCOMPARE(p.fake.initCalls.at(0).dateFormat, 1);
    QCOMPARE(p.fake.initCalls.at(0).timeout, 12);
    QCOMPARE(p.fake.endCalls, 0);
    QVERIFY(p.window->close());
    QCOMPARE(p.fake.endCalls, 0);
    p.window.reset();
    QCOMPARE(p.fake.endCalls, 1);
  }

  void learnsTheLatestMarketDateFromCode1306() {
    Program p;
    p.dir.Write("Dyadmark.ini", "[Option]\r\nTicvane=0\r\n");
    p.Start();
    QCOMPARE(p.window->LatestMarketDate(), std::string("2024/03/08"));
    QCOMPARE(p.fake.pastDataCalls.size(), size_t{1});
    QCOMPARE(p.fake.pastDataCalls.at(0).code, std::string("1306"));
    QCOMPARE(p.fake.pastDataCalls.at(0).maxCount, 1);
    QCOMPARE(p.fake.pastDataCalls.at(0).yearsOffset, -1);
    QCOMPARE(p.fake.pastDataCalls.at(0).source, 0);
    QCOMPARE(p.fake.LiveRecords(), size_t{0});
  }

  void startsWithoutTheInternet() {
    Program p;
    p.fake.historyResult = kTicvaneFailed;
    p.Start();
    QCOMPARE(p.window->LatestMarketDate(), std::string("0000/00/00"));
    QVERIFY(p.errors.isEmpty());
    QVERIFY(p.window->close());
  }

  void buildsOneRadioItemPerSource() {
    Program p;
    p.Start();
    const QList<QAction*> items = p.SourceItems();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0)->text(), QStringLiteral(u"Yahoo!ファイナンス(&Y)"));
    QCOMPARE(items.at(1)->text(), QStringLiteral(u"Infoseek マネー(&I)"));
    QVERIFY(!items.at(0)->isChecked());
    QVERIFY(items.at(1)->isChecked());

    items.at(0)->trigger();
    QCOMPARE(p.window->SourceIndex(), 0);
    QVERIFY(items.at(0)->isChecked());
    QVERIFY(!items.at(1)->isChecked());
    items.at(0)->trigger();  // the checked item again
    QCOMPARE(p.window->SourceIndex(), 0);
    QVERIFY(items.at(0)->isChecked());
  }

  void startsWithoutSources() {
    Program p;
    p.fake.noSources = true;
    p.Start();
    QVERIFY(p.SourceItems().isEmpty());
    QVERIFY(p.window->close());
    QVERIFY(p.dir.Read("Dyadmark.ini").find("Ticvane=1\r\n") != std::string::npos);
  }

  void theSiblingProgramItemFollowsItsFile() {
    for (const bool present : {false, true}) {
      Program p;
      if (present) p.dir.Write("Sentrova.exe", "");
      p.Start();
      p.window->findChild<QTabWidget*>("PageControl")->setCurrentIndex(2);  // where it shows
      QVERIFY(p.Action("MainMenuFileSentrova")->isVisible());
      QCOMPARE(p.Action("MainMenuFileSentrova")->isEnabled(), present);
    }
  }

  void loadsTheCodeFile() {
    Program p;
    p.dir.Write("Code.txt",
                "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"
                "7203\tToyota\tTSE\t17\t100\t-1\t1\t1\r\n");
    p.Start();
    QCOMPARE(p.window->FrameCode().CodeList().Count(), 2);
    QCOMPARE(p.window->FrameCode().CodeListItemCount(), 2);
    QVERIFY(p.window->close());
    // Unchanged, so not rewritten; the table is let go at close.
    QCOMPARE(p.dir.Read("Code.txt"), std::string("1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"
                                                 "7203\tToyota\tTSE\t17\t100\t-1\t1\t1\r\n"));
    QCOMPARE(p.window->FrameCode().CodeList().Count(), 0);
  }
};

QTEST_MAIN(MainWindowSettingsTest)
#include "gui_settings_qtest.moc"
