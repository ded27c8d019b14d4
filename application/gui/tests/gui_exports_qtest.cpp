// The list exports of the main window: to the clipboard and, through the
// save dialog, to a file written whole or not at all.

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>
#include <functional>

#include "drawn_pair_program.h"
#include "file_dialog_answer.h"
#include "gui_test_program.h"
#include "screening/screening_result_model.h"
#include "screening/screening_result_row.h"
#include "vcl/cp932_text.h"
#include "vcl/testing/file_size_limit.h"
#include "widgets/qt_cp932.h"

namespace {

// "Code.txt" of two codes: 7203 eligible for loans and excluded, 1301 not
// measured yet.
constexpr char kCodeFile[] =
    "1301\tKyokuyo\tJQ\t1\t1000\t-1\t0\t0\r\n"
    "7203\t\x83\x67\x83\x88\x83\x5E\tT1\t16\t100\t5000\t1\t1\r\n";

// The code information export of that table.
constexpr char kCodeExport[] =
    "\x96\xC1\x95\xBF\t\x8E\xE6\x88\xF8\x8F\x8A\t\x8B\xC6\x8E\xED\t\x92\x50\x8C\xB3\t"
    "\x95\xBD\x8B\xCF\x8F\x6F\x97\x88\x8D\x82\t\x91\xDD\x8E\xD8\r\n"
    "1301 Kyokuyo\tJQ\t\x90\x85\x8E\x59\x81\x45\x94\x5F\x97\xD1\x8B\xC6\t1000\t-\t\r\n"
    "7203 \x83\x67\x83\x88\x83\x5E\tT1\t\x93\x64\x8B\x43\x8B\x40\x8A\xED\t100\t5000\t\x81\x9B\r\n";

// The header lines of the code information, the prices and the fixed part
// of the screening result.
constexpr char kCodeHeader[] =
    "\x96\xC1\x95\xBF\t\x8E\xE6\x88\xF8\x8F\x8A\t\x8B\xC6\x8E\xED\t\x92\x50\x8C\xB3\t"
    "\x95\xBD\x8B\xCF\x8F\x6F\x97\x88\x8D\x82\t\x91\xDD\x8E\xD8";
constexpr char kPastHeader[] =
    "      \x93\xFA\x95\x74\t\x8F\x49\x92\x6C\t\x8E\x6E\x92\x6C\t"
    "\x8D\x82\x92\x6C\t\x88\xC0\x92\x6C\t\x8F\x6F\x97\x88\x8D\x82";
constexpr char kScrnHeader[] =
    "\x96\xC1\x95\xBF\x81\x69\x94\x84\x81\x6A\t\x8E\xE6\x88\xF8\x8F\x8A\t\x8B\xC6\x8E\xED\t"
    "\x92\x50\x8C\xB3\t\x8F\x6F\x97\x88\x8D\x82\t\x91\xDD\x8E\xD8\t"
    "\x96\xC1\x95\xBF\x81\x69\x94\x83\x81\x6A\t\x8E\xE6\x88\xF8\x8F\x8A\t\x8B\xC6\x8E\xED\t"
    "\x92\x50\x8C\xB3\t\x8F\x6F\x97\x88\x8D\x82\t\x91\xDD\x8E\xD8\t\x92\x50\x8C\xB3\x94\xE4";

struct Program : DrawnPairProgram {
  void Run(const char* item) const { Control<QAction>(*window, item)->trigger(); }
  QString Out(const char* name) const { return dir.ExeDir() + QString::fromUtf8(name); }
  QStringList Files() const { return QDir(dir.ExeDir()).entryList(QDir::Files, QDir::Name); }
  // Double-clicks the code list's row on the shown window, as a user opens a
  // code's prices.
  void OpenCodeRow(int row) const {
    Control<QTabWidget>(*window, "PageControl")->setCurrentIndex(0);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* list = Control<QTreeView>(*window, "ListViewCode");
    const QPoint at = list->visualRect(list->model()->index(row, 1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  }
};

}  // namespace

class ExportsTest : public QObject {
  Q_OBJECT

 private slots:
  void copyPutsTheLinesOnTheClipboardEachEndedByCrLf() {
    Program p;
    p.dir.Write("Code.txt", kCodeFile);
    p.Start();
    p.Run("MainMenuFileCodeCopy");
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral(u"銘柄\t取引所\t業種\t単元\t平均出来高\t貸借\r\n"
                            u"1301 Kyokuyo\tJQ\t水産・農林業\t1000\t-\t\r\n"
                            u"7203 トヨタ\tT1\t電気機器\t100\t5000\t○\r\n"));
  }

  void outWritesCodePage932WithCrLfAndNoByteOrderMark() {
    Program p;
    p.dir.Write("Code.txt", kCodeFile);
    p.Start();
    FileDialogAnswer answer(p.Out("codes"));
    p.Run("MainMenuFileCodeOut");
    QCOMPARE(answer.dialogName, QStringLiteral("SaveDialog"));
    QCOMPARE(answer.proposed, QStringLiteral("Code.csv"));
    QCOMPARE(answer.suffix, QStringLiteral("csv"));
    QVERIFY2(answer.unnamed.isEmpty(), qPrintable(answer.unnamed.join(u' ')));
    QCOMPARE(answer.filters, (QStringList{QStringLiteral(u"データファイル(*.csv)"),
                                          QStringLiteral(u"全てのファイル(*.*)")}));
    QCOMPARE(p.dir.Read("codes.csv"), std::string(kCodeExport));
    QVERIFY(p.errors.isEmpty());
  }

  void cancellingWritesNothing() {
    Program p;
    p.Start();
    const QStringList before = p.Files();
    FileDialogAnswer answer{QString()};
    p.Run("MainMenuFileCodeOut");
    QCOMPARE(answer.proposed, QStringLiteral("Code.csv"));
    QCOMPARE(p.Files(), before);
    QVERIFY(p.errors.isEmpty());
  }

  void replacingAnExistingFileAsksFirst() {
    Program p;
    p.dir.Write("Code.txt", kCodeFile);
    p.dir.Write("Code.csv", "old");
    p.Start();
    FileDialogAnswer answer(p.Out("Code.csv"));
    p.Run("MainMenuFileCodeOut");
    QVERIFY(answer.confirmed);
    QCOMPARE(p.dir.Read("Code.csv"), std::string(kCodeExport));
  }

  // A write that stops part-way (a full disk) is reported and leaves the old
  // file whole, with no temporary file beside it.
  void aFailedSaveKeepsTheOldFile() {
    Program p;
    p.dir.Write("Code.txt", kCodeFile);
    const std::string old(40, 'o');
    p.dir.Write("Code.csv", old);
    p.Start();
    const QStringList before = p.Files();
    {
      FileDialogAnswer answer(p.Out("Code.csv"));
      FileSizeLimit limit(old.size());
      p.Run("MainMenuFileCodeOut");
    }
    QCOMPARE(p.dir.Read("Code.csv"), old);
    QCOMPARE(p.Files(), before);
    QCOMPARE(p.errors.size(), 1);
    QVERIFY2(p.errors.first().contains(QStringLiteral("Code.csv")), qPrintable(p.errors.first()));
  }

  // The message of a failed save is the program's own Japanese throughout,
  // the reason included, and names the file.
  void aFailedSaveIsReportedInJapanese() {
    const struct {
      const char* what;
      std::function<void(Program&)> prepare;
      QString reason;
    } cases[] = {
        {"a full disk", [](Program&) {}, QStringLiteral(u"ファイルが大きすぎます")},
        {"a read-only file",
         [](Program& p) {
           p.dir.Write("Code.csv", "old");
           QFile::setPermissions(p.Out("Code.csv"), QFile::ReadOwner);
         },
         QStringLiteral(u"書き込みが許可されていません")},
    };
    for (const auto& c : cases) {
      Program p;
      p.dir.Write("Code.txt", kCodeFile);
      c.prepare(p);
      p.Start();
      {
        FileDialogAnswer answer(p.Out("Code.csv"));
        FileSizeLimit limit(10);
        p.Run("MainMenuFileCodeOut");
      }
      QCOMPARE(p.errors.size(), 1);
      QCOMPARE(p.errors.first(), QStringLiteral(u"ファイル \"") + p.Out("Code.csv") +
                                     QStringLiteral(u"\" を保存できません: ") + c.reason);
    }
  }

  void withoutAShownCodeThePricesOfferDashesAndHoldTheHeaderAlone() {
    Program p;
    p.Start();
    FileDialogAnswer answer(p.Out("prices.csv"));
    p.Run("MainMenuFilePastOut");
    QCOMPARE(answer.proposed, QStringLiteral("----.csv"));
    QCOMPARE(p.dir.Read("prices.csv"),
             std::string("      \x93\xFA\x95\x74\t\x8F\x49\x92\x6C\t\x8E\x6E\x92\x6C\t"
                         "\x8D\x82\x92\x6C\t\x88\xC0\x92\x6C\t\x8F\x6F\x97\x88\x8D\x82\r\n"));
  }

  void theShownCodesPricesGoAsTheListShowsThem() {
    Program p;
    p.dir.Write("Code.txt", kCodeFile);
    const std::vector<std::string> days = vcl::SplitLines(Program::Prices(2500));
    p.dir.Write("7203.txt", vcl::JoinLinesCrlf({days[0], days[1]}));
    p.Start();
    p.OpenCodeRow(1);
    const QAbstractItemModel* prices = Control<QTreeView>(*p.window, "ListViewPast")->model();
    QTRY_COMPARE(prices->rowCount(), 2);

    p.Run("MainMenuFilePastCopy");
    QStringList expected{QStringLiteral(u"      日付\t終値\t始値\t高値\t安値\t出来高")};
    for (int row = 0; row < 2; ++row) {
      QStringList texts;
      for (int column = 1; column <= 6; ++column)
        texts << prices->index(row, column).data().toString();
      expected << texts.join(u'\t');
    }
    QCOMPARE(QGuiApplication::clipboard()->text(),
             expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QVERIFY(expected[1].startsWith(QStringLiteral("2024/06/28\t2500\t")));

    FileDialogAnswer answer(p.Out("prices.csv"));
    p.Run("MainMenuFilePastOut");
    QCOMPARE(answer.proposed, QStringLiteral("7203.csv"));
  }

  void thePairDataGoNewestFirstUnderTheCodesName() {
    Program p;
    p.StartWithDrawnPair();
    Control<QAction>(*p.window, "MainMenuFilePairCopy")->trigger();
    const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 62);  // the header, sixty days and the end of the last line
    QCOMPARE(lines[0], QStringLiteral(u"      日付\tA終値\tB終値\t乖離率"));
    QVERIFY2(lines[1].startsWith(QStringLiteral("2024/06/28\t50000\t60000\t-")),
             qPrintable(lines[1]));
    QVERIFY(lines[60].startsWith(QStringLiteral("2024/04/25\t")));
    QCOMPARE(lines[61], QString());

    FileDialogAnswer answer(p.Out("pair.csv"));
    Control<QAction>(*p.window, "MainMenuFilePairOut")->trigger();
    QCOMPARE(answer.proposed, QStringLiteral("1301-1332.csv"));
    QCOMPARE(QFromCp932(p.dir.Read("pair.csv")), lines.join(QStringLiteral("\r\n")));
  }

  void theScreeningResultSkipsTheHiddenColumns() {
    Program p;
    p.Start();
    auto* model =
        qobject_cast<ScreeningResultModel*>(Control<QTreeView>(*p.window, "ListViewScrn")->model());
    QVERIFY(model != nullptr);
    // "相関係数", "回帰係数"
    model->AddResultColumns(
        {{"\x91\x8A\x8A\xD6\x8C\x57\x90\x94"}, {"\x89\xF1\x8B\x41\x8C\x57\x90\x94"}});
    std::vector<ScreeningResultRow> rows(2);
    for (int k = 0; k < kResultFixedSubItems; ++k) rows[0].cells[k] = std::to_string(k + 1);
    rows[0].cells[13] = "hidden";
    rows[0].results = {"0.95", "1.02"};
    rows[1].cells = rows[0].cells;
    rows[1].cells[0] = "second";
    rows[1].results = {"0.80"};
    model->AppendRows(std::move(rows));
    FileDialogAnswer answer(p.Out("result.csv"));
    p.Run("MainMenuFileScrnOut");
    QCOMPARE(answer.proposed, QStringLiteral("Pair.csv"));
    const std::vector<std::string> lines = vcl::SplitLines(p.dir.Read("result.csv"));
    QCOMPARE(lines.size(), size_t{3});
    // "...単元比\t相関係数\t回帰係数"
    QVERIFY(
        lines[0].ends_with("\t\x92\x50\x8C\xB3\x94\xE4\t\x91\x8A\x8A\xD6\x8C\x57\x90\x94"
                           "\t\x89\xF1\x8B\x41\x8C\x57\x90\x94"));
    QCOMPARE(lines[1], std::string("1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t 13\t0.95\t1.02"));
    QCOMPARE(lines[2], std::string("second\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t 13\t0.80\t"));
  }

  // Every export writes the bytes the program stored, never those of the
  // text shown: a character that code page 932 holds under two codes keeps
  // the code it came with. Each text below is in the form that a trip
  // through Unicode gives up: "髙" EE E0 (FB FC), "Ⅰ" FA 4A (87 54), "∵"
  // 87 9A (81 E6), "￢" EE F9 (81 CA), "ⅰ" EE EF (FA 40), "￤" EE FA (FA 55).
  // The pair chart data hold dates and numbers alone.
  void everyExportKeepsTheStoredBytesOfTwoCodeCharacters() {
    const std::string nameA = "\xEE\xE0\x8B\xB4\xFA\x4A";  // 髙橋Ⅰ
    const std::string nameB = "\x87\x9A\xEE\xF9";          // ∵￢
    const std::string caption = "\xEE\xEF\xEE\xFA";        // ⅰ￤
    const std::string codeFile =
        vcl::JoinLinesCrlf({"1301\t" + nameA + "\tT1\t1\t1000\t-1\t0\t0",
                            "7203\t" + nameB + "\tT1\t16\t100\t5000\t1\t0"});
    // A hand-edited price file of 7203 whose first volume is a note in "髙".
    const std::vector<std::string> prices = {"2024/06/28\t2500\t2490\t2510\t2480\t\xEE\xE0",
                                             "2024/06/27\t2490\t2490\t2500\t2470\t900"};
    const std::string sector1 = "\x90\x85\x8E\x59\x81\x45\x94\x5F\x97\xD1\x8B\xC6";  // 水産・農林業
    const std::string sector16 = "\x93\x64\x8B\x43\x8B\x40\x8A\xED";                 // 電気機器
    const std::string loanMark = "\x81\x9B";                                         // ○
    const std::string side1301 = "1301 " + nameA + "\tT1\t" + sector1 + "\t1000\t0\t";
    const std::string side7203 = "7203 " + nameB + "\tT1\t" + sector16 + "\t100\t50\t" + loanMark;

    const struct {
      const char* what;
      const char* item;
      std::function<void(Program&)> show;
      std::vector<std::string> lines;
    } cases[] = {
        {"code information",
         "MainMenuFileCodeOut",
         [](Program&) {},
         {kCodeHeader, "1301 " + nameA + "\tT1\t" + sector1 + "\t1000\t-\t",
          "7203 " + nameB + "\tT1\t" + sector16 + "\t100\t5000\t" + loanMark}},
        {"prices of the shown code",
         "MainMenuFilePastOut",
         [](Program& p) {
           p.OpenCodeRow(1);
           QTRY_COMPARE(Control<QTreeView>(*p.window, "ListViewPast")->model()->rowCount(), 2);
         },
         {kPastHeader, prices[0], prices[1]}},
        // Appended with 1301 selling first; sorted by the sell side's volume,
        // 7203 leads.
        {"screening result",
         "MainMenuFileScrnOut",
         [&](Program& p) {
           auto* model = qobject_cast<ScreeningResultModel*>(
               Control<QTreeView>(*p.window, "ListViewScrn")->model());
           QVERIFY(model != nullptr);
           const TCodeData a{0, nameA, "T1", 1, 1000, -1, 0};
           const TCodeData b{0, nameB, "T1", 16, 100, 5000, 1};
           model->AddResultColumns({{caption}});
           std::vector<ScreeningResultRow> rows;
           rows.push_back(MakeResultRow("1301", a, "7203", b, -2, {"0.95"}));
           rows.push_back(MakeResultRow("7203", b, "1301", a, 2, {caption}));
           model->AppendRows(std::move(rows));
           QVERIFY(model->SortByColumn(5));
         },
         {std::string(kScrnHeader) + "\t" + caption,
          side7203 + "\t" + side1301 + "\t 2 : 1\t" + caption,
          side1301 + "\t" + side7203 + "\t 1 : 2\t0.95"}},
    };
    QStringList changed;
    for (const auto& c : cases) {
      Program p;
      p.dir.Write("Code.txt", codeFile);
      p.dir.Write("7203.txt", vcl::JoinLinesCrlf(prices));
      p.Start();
      c.show(p);
      FileDialogAnswer answer(p.Out("export.csv"));
      p.Run(c.item);
      const std::string written = p.dir.Read("export.csv");
      if (written != vcl::JoinLinesCrlf(c.lines)) {
        changed << QString::fromLatin1(c.what) + QStringLiteral(": ") +
                       QString::fromLatin1(QByteArray::fromStdString(written).toHex(' '));
      }
    }
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join(u'\n')));
  }
};

QTEST_MAIN(ExportsTest)
#include "gui_exports_qtest.moc"
