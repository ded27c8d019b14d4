// The pair registry window: registering, deleting, reordering and opening
// pairs, its pages and recent list, hiding, and its settings.

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <memory>
#include <optional>

#include "data/library_busy.h"
#include "gui_test_program.h"
#include "registry/Dm_upairreg.h"
#include "vcl/inifile.h"
#include "widgets/qt_cp932.h"

namespace {

#define SP "\x81\x40"               // "　"
#define TOSHO "\x93\x8C\x8F\xD8"    // "東証"
#define KYOKUYO "\x8B\xC9\x97\x6D"  // "極洋"
#define NISSUI "\x93\xFA\x90\x85"   // "日水"

constexpr char kCodeFile[] = "1301\t" KYOKUYO "\t" TOSHO
                             "\t1\t100\t-1\t1\t0\r\n"
                             "1332\t" NISSUI "\t" TOSHO "\t1\t100\t-1\t1\t0\r\n";
constexpr char kTwoPairs[] =
    "[PairRegist1]\r\nCount=2\r\n"
    "Data0=1301,100,1332,200,0|1301" SP TOSHO " : " KYOKUYO "|1332" SP TOSHO " : " NISSUI
    "\r\n"
    "Data1=7203,100,7267,100,0|7203" SP "T|7267" SP "H\r\n";

PairToOpen Fields(const char* codeA, const char* codeB, const char* lots = "100") {
  return PairToOpen{.codeA = codeA,
                    .lotsA = lots,
                    .codeB = codeB,
                    .lotsB = lots,
                    .adjust = "0",
                    .nameA = "nameA",
                    .nameB = "nameB"};
}

// Whether the focus changes that `focus` recorded went to `from` and later
// to `to`.
bool FocusReturnedFrom(const QSignalSpy& focus, const QWidget& from, const QWidget& to) {
  qsizetype toFrom = -1, toTo = -1;
  for (qsizetype i = 0; i < focus.size(); ++i) {
    const QWindow* window = focus.at(i).at(0).value<QWindow*>();
    if (window == from.windowHandle()) toFrom = i;
    if (window == to.windowHandle()) toTo = i;
  }
  return toFrom >= 0 && toTo > toFrom;
}

struct Registry : TestProgram {
  std::unique_ptr<TFormPairReg> reg;
  PairOnPage page;                   // what the pair-check page shows
  std::optional<PairToOpen> opened;  // what the registry opened

  void Open(const std::string& settings = "") {
    dir.Write("Dyadmark.ini", settings);
    if (!window) Start();
    reg = std::make_unique<TFormPairReg>(window->ExeDir(), window.get(),
                                         [this](const QString& message) { errors << message; });
    window->SetPairRegistry(reg.get());
    PairPageLink link;
    link.current = [this] { return page; };
    link.open = [this](const PairToOpen& pair) { opened = pair; };
    link.run = &window->Run();
    link.codes = &window->Data().CodeList();
    reg->SetPairPage(std::move(link));
  }
  // Destroys the registry, which writes its sections.
  void Close() {
    window->SetPairRegistry(nullptr);
    reg.reset();
  }
  QTreeWidget* Regist() const { return Control<QTreeWidget>(*reg, "ListViewRegist"); }
  QTreeWidget* Recent() const { return Control<QTreeWidget>(*reg, "ListViewRecent"); }
  void Trigger(const char* item) const { Control<QAction>(*reg, item)->trigger(); }
  std::string Ini(const char* section, const char* key) const {
    return vcl::TIniFile(dir.Path("Dyadmark.ini")).ReadString(section, key, "<none>");
  }
  void ShowActive() const {
    reg->show();
    reg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(reg.get()));
  }
  void DoubleClick(QTreeWidget* list, int row) const {
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  }
};

QString Row(const QTreeWidget* list, int row) {
  const QTreeWidgetItem* item = list->topLevelItem(row);
  return item == nullptr ? QStringLiteral("<none>") : item->text(1) + u'/' + item->text(2);
}

// Answers the next message box with `button` after checking it with `check`.
void AnswerNextBox(QMessageBox::StandardButton button,
                   std::function<void(QMessageBox&)> check = {}) {
  QTimer::singleShot(0, [button, check] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) qFatal("no message box");
    if (check) check(*box);
    box->button(button)->click();
  });
}

}  // namespace

class PairRegistryTest : public QObject {
  Q_OBJECT

 private slots:
  void addPutsThePairOnTopOnce() {
    Registry r;
    r.Open(kTwoPairs);
    QCOMPARE(r.Regist()->topLevelItemCount(), 2);
    r.page.fields = PairToOpen{.codeA = "7203",
                               .lotsA = "300",
                               .codeB = "7267",
                               .lotsB = "400",
                               .adjust = "5",
                               .nameA = "T",
                               .nameB = "H"};
    r.Trigger("MainMenuPairRegAdd");
    QCOMPARE(r.Regist()->topLevelItemCount(), 2);
    QCOMPARE(Row(r.Regist(), 0), QFromCp932("7203" SP "T/7267" SP "H"));
    QVERIFY(r.Regist()->topLevelItem(0)->isSelected());

    r.page.fields = Fields("9984", "9433");
    r.Trigger("MainMenuPairRegAdd");
    QCOMPARE(r.Regist()->topLevelItemCount(), 3);
    // An empty code edit adds nothing.
    r.page.fields = Fields("", "9433");
    r.Trigger("MainMenuPairRegAdd");
    QCOMPARE(r.Regist()->topLevelItemCount(), 3);

    r.Close();
    QCOMPARE(r.Ini("PairRegist1", "Count"), std::string("3"));
    QCOMPARE(r.Ini("PairRegist1", "Data0"),
             std::string("9984,100,9433,100,0|9984" SP "nameA|9433" SP "nameB"));
    QCOMPARE(r.Ini("PairRegist1", "Data1"),
             std::string("7203,300,7267,400,5|7203" SP "T|7267" SP "H"));
    QVERIFY(r.errors.isEmpty());
  }

  void addNamesEditedCodesFromTheCodeTable() {
    Registry r;
    r.dir.Write("Code.txt", kCodeFile);
    r.Open();
    // The name panels still show the pair checked before the codes changed.
    r.page.fields = PairToOpen{.codeA = "1301",
                               .lotsA = "100",
                               .codeB = "1332",
                               .lotsB = "100",
                               .adjust = "0",
                               .nameA = "stale A",
                               .nameB = "stale B"};
    r.page.codeAEdited = true;
    r.Trigger("MainMenuPairRegAdd");
    QCOMPARE(Row(r.Regist(), 0), QFromCp932("1301" SP TOSHO " : " KYOKUYO "/1332" SP "stale B"));
    // An edited code the table does not know is not registered.
    r.page.fields.codeB = "9999";
    r.page.codeBEdited = true;
    r.Trigger("MainMenuPairRegAdd");
    QCOMPARE(r.Regist()->topLevelItemCount(), 1);
  }

  void deleteAsksAtItsPlaceAndStaysShown() {
    Registry r;
    r.Open(kTwoPairs);
    r.ShowActive();
    r.Regist()->topLevelItem(1)->setSelected(true);
    const QPoint expected(r.reg->x() + r.reg->width() / 2 - 125,
                          r.reg->y() + r.reg->height() / 2 - 50);
    bool shownMeanwhile = false;
    AnswerNextBox(QMessageBox::Cancel, [&](QMessageBox& box) {
      QCOMPARE(box.text(), QStringLiteral(u"選択した銘柄ペアを削除しますか?"));
      QCOMPARE(box.pos(), expected);
      shownMeanwhile = r.reg->isVisible();
    });
    r.Trigger("MainMenuPairRegDel");
    QVERIFY(shownMeanwhile);
    QCOMPARE(r.Regist()->topLevelItemCount(), 2);

    AnswerNextBox(QMessageBox::Ok);
    r.Trigger("MainMenuPairRegDel");
    QCOMPARE(r.Regist()->topLevelItemCount(), 1);
    QCOMPARE(Row(r.Regist(), 0),
             QFromCp932("1301" SP TOSHO " : " KYOKUYO "/1332" SP TOSHO " : " NISSUI));
    QVERIFY(r.reg->isVisible());
    r.Close();
    QCOMPARE(r.Ini("PairRegist1", "Count"), std::string("1"));
    QCOMPARE(r.Ini("PairRegist1", "Data1"), std::string("<none>"));
  }

  // When the confirmation closes, the window manager hands the activation to
  // the main window; the registry takes it back and stays shown, whatever the
  // answer. A later switch to the main window still hides it.
  void afterTheConfirmationTheRegistryIsActiveAgain() {
    for (const auto answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
      Registry r;
      r.Open(kTwoPairs);
      r.window->show();
      r.window->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(r.window.get()));
      r.ShowActive();
      QVERIFY(r.reg->isVisible());
      r.Regist()->topLevelItem(0)->setSelected(true);
      QSignalSpy focus(qApp, &QGuiApplication::focusWindowChanged);
      QTimer::singleShot(0, [&r, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) qFatal("no message box");
        box->button(answer)->click();
        // What the window manager does once the box has gone.
        QTimer::singleShot(0, r.window.get(), [&r] { r.window->activateWindow(); });
      });
      r.Trigger("MainMenuPairRegDel");
      // The focus went to the main window and, after that, back to the
      // registry: the hand-over has run its course.
      QTRY_VERIFY(FocusReturnedFrom(focus, *r.window, *r.reg));
      QTRY_COMPARE(QApplication::activeWindow(), r.reg.get());
      QVERIFY(r.reg->isVisible());
      QCOMPARE(r.Regist()->topLevelItemCount(), answer == QMessageBox::Ok ? 1 : 2);

      // Once the moment for taking it back has passed, a switch to the main
      // window hides the registry; until then each switch is taken back.
      const auto switchToMain = [&r] {
        r.window->activateWindow();
        return !r.reg->isVisible();
      };
      QTRY_VERIFY(switchToMain());
    }
  }

  void aDropMovesTheSelectedPair() {
    Registry r;
    r.Open("[PairRegist1]\r\nCount=3\r\nData0=c|a|a\r\nData1=c|b|b\r\nData2=c|c|c\r\n");
    QTreeWidget* list = r.Regist();
    list->topLevelItem(2)->setSelected(true);
    r.reg->ListViewRegistDragDrop(list->visualItemRect(list->topLevelItem(0)).center());
    QCOMPARE(Row(list, 0), u"c/c");
    QCOMPARE(Row(list, 1), u"a/a");
    QVERIFY(list->topLevelItem(0)->isSelected());
    // Onto the selected row itself, or below the last row: nothing.
    r.reg->ListViewRegistDragDrop(list->visualItemRect(list->topLevelItem(0)).center());
    r.reg->ListViewRegistDragDrop(QPoint(5, list->viewport()->height() - 2));
    QCOMPARE(Row(list, 0), u"c/c");

    // A drag from outside the two lists is not taken.
    QMimeData mime;
    mime.setText(QStringLiteral("x"));
    QDropEvent drop(QPointF(list->visualItemRect(list->topLevelItem(2)).center()), Qt::CopyAction,
                    &mime, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &drop);
    QCOMPARE(Row(list, 0), u"c/c");
    QVERIFY(!drop.isAccepted());

    r.Close();
    QCOMPARE(r.Ini("PairRegist1", "Data0"), std::string("c|c|c"));
  }

  void doubleClickOpensThePairUnlessRefused() {
    Registry r;
    r.Open(kTwoPairs + std::string("[PairRecent]\r\nCount=2\r\nData0=9984,1,9433,2,3|9984" SP
                                   "S|9433" SP "K\r\nData1=13a1,1,1332,1,0|13a1" SP "x|1332" SP
                                   "y\r\n"));
    r.ShowActive();
    r.DoubleClick(r.Recent(), 0);
    QVERIFY(r.opened.has_value());
    QCOMPARE(r.opened->codeA, std::string("9984"));
    QCOMPARE(r.opened->lotsB, std::string("2"));
    QCOMPARE(r.opened->adjust, std::string("3"));
    QCOMPARE(r.opened->nameA, std::string("S"));
    QVERIFY(!r.reg->isVisible());

    // A code that is not four digits.
    r.opened.reset();
    r.ShowActive();
    r.DoubleClick(r.Recent(), 1);
    QVERIFY(!r.opened.has_value());
    // A screening run.
    QVERIFY(r.window->BeginScreeningRun());
    r.DoubleClick(r.Regist(), 0);
    QVERIFY(!r.opened.has_value());
    r.window->EndScreeningRun();
    {
      // A library call under way (a check downloading).
      LibraryCallScope call(r.window->Run().LibraryBusy());
      r.DoubleClick(r.Regist(), 0);
      QVERIFY(!r.opened.has_value());
    }
    r.DoubleClick(r.Regist(), 0);
    QVERIFY(r.opened.has_value());
    QCOMPARE(r.opened->codeB, std::string("1332"));
  }

  void pagesAreWrittenWhenLeft() {
    Registry r;
    r.Open(kTwoPairs + std::string("[PairRegist2]\r\nCount=1\r\nData0=p|2a|2b\r\n"));
    r.page.fields = Fields("9984", "9433");
    r.Trigger("MainMenuPairRegAdd");
    r.Trigger("MainMenuPairRegPage2");
    QCOMPARE(r.reg->CurrentPage(), 2);
    QCOMPARE(r.Ini("PairRegist1", "Count"), std::string("3"));
    QCOMPARE(Row(r.Regist(), 0), u"2a/2b");
    QCOMPARE(r.Regist()->topLevelItemCount(), 1);
    // The page shown again: nothing read or written.
    r.dir.Write("Dyadmark.ini", "");
    r.Trigger("MainMenuPairRegPage2");
    QVERIFY(Control<QAction>(*r.reg, "MainMenuPairRegPage2")->isChecked());
    QCOMPARE(r.Regist()->topLevelItemCount(), 1);
    QCOMPARE(r.dir.Read("Dyadmark.ini"), std::string());
  }

  void aPageThatCannotBeWrittenIsNotLeft() {
    Registry r;
    r.Open(kTwoPairs);
    r.page.fields = Fields("9984", "9433");
    r.Trigger("MainMenuPairRegAdd");
    // A directory in the settings file's place cannot be replaced.
    r.dir.Write("Dyadmark.ini", "");
    QFile::remove(QString::fromStdString(r.dir.Path("Dyadmark.ini")));
    r.dir.MakeDirectory("Dyadmark.ini");
    r.Trigger("MainMenuPairRegPage3");
    QCOMPARE(r.reg->CurrentPage(), 1);
    QVERIFY(Control<QAction>(*r.reg, "MainMenuPairRegPage1")->isChecked());
    QCOMPARE(r.Regist()->topLevelItemCount(), 3);
    QVERIFY(!r.errors.isEmpty());
  }

  void recentListFollowsChecks() {
    Registry r;
    r.Open(kTwoPairs + std::string("[PairRecent]\r\nCount=2\r\nData0=c|1" SP "A|2" SP "B\r\n"
                                   "Data1=c|3" SP "C|4" SP "D\r\n"));
    // A registered pair leaves the list alone.
    r.reg->AddRecent(PairToOpen{.codeA = "7203",
                                .lotsA = "1",
                                .codeB = "7267",
                                .lotsB = "1",
                                .adjust = "0",
                                .nameA = "T",
                                .nameB = "H"});
    QCOMPARE(r.Recent()->topLevelItemCount(), 2);
    // A pair in the list comes to the top with the new lots.
    r.reg->AddRecent(PairToOpen{.codeA = "3",
                                .lotsA = "7",
                                .codeB = "4",
                                .lotsB = "7",
                                .adjust = "0",
                                .nameA = "C",
                                .nameB = "D"});
    QCOMPARE(Row(r.Recent(), 0), QFromCp932("3" SP "C/4" SP "D"));
    QCOMPARE(r.Recent()->topLevelItemCount(), 2);
    for (int i = 0; i < 25; ++i) {
      r.reg->AddRecent(Fields(QByteArray::number(1000 + i).constData(), "9433"));
    }
    QCOMPARE(r.Recent()->topLevelItemCount(), 20);
    r.Close();
    QCOMPARE(r.Ini("PairRecent", "Count"), std::string("20"));
    QCOMPARE(r.Ini("PairRecent", "Data0"),
             std::string("1024,100,9433,100,0|1024" SP "nameA|9433" SP "nameB"));
  }

  void escAndDeactivationHideTheWindow() {
    Registry r;
    r.Open();
    r.ShowActive();
    QTest::keyClick(r.reg.get(), Qt::Key_Escape);

    QVERIFY(!r.reg->isVisible());
    r.ShowActive();
    r.window->show();
    r.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(r.window.get()));
    QTRY_VERIFY(!r.reg->isVisible());

    // Its own page menu keeps it shown.
    r.ShowActive();
    QMenu* pages = Control<QMenu>(*r.reg, "MainMenuPairRegPage");
    pages->popup(r.reg->mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(pages));
    // The menu has taken the focus, which the registry has seen.
    QTRY_COMPARE(QGuiApplication::focusWindow(), pages->windowHandle());
    QVERIFY(r.reg->isVisible());
    pages->close();
  }

  void addAndDeleteFollowTheFocusedList() {
    Registry r;
    r.Open(kTwoPairs);
    r.ShowActive();
    QAction* add = Control<QAction>(*r.reg, "MainMenuPairRegAdd");
    QAction* del = Control<QAction>(*r.reg, "MainMenuPairRegDel");
    r.Recent()->setFocus();
    QTRY_VERIFY(!add->isEnabled());
    QVERIFY(!del->isEnabled());
    r.Regist()->setFocus();
    QTRY_VERIFY(add->isEnabled());
    QVERIFY(del->isEnabled());
  }

  void layoutAndPageComeBack() {
    Registry r;
    r.Open(
        "[PairReg]\r\nHeight=250\r\nWidth=600\r\nRegist1=100\r\nRegist2=110\r\n"
        "Recent1=120\r\nRecent2=130\r\nSplitter=70\r\nPage=4\r\n"
        "[PairRegist4]\r\nCount=1\r\nData0=c|x|y\r\n");
    QCOMPARE(r.reg->size(), QSize(600, 250));
    QCOMPARE(r.reg->CurrentPage(), 4);
    QVERIFY(Control<QAction>(*r.reg, "MainMenuPairRegPage4")->isChecked());
    QCOMPARE(Row(r.Regist(), 0), u"x/y");
    QCOMPARE(r.Regist()->columnWidth(1), 100);
    QCOMPARE(r.Recent()->columnWidth(2), 130);
    QVERIFY(r.Regist()->isColumnHidden(0));
    QCOMPARE(r.Recent()->header()->sectionPosition(1), 0);
    r.Close();
    for (auto [key, value] : {std::pair{"Height", "250"},
                              {"Width", "600"},
                              {"Regist1", "100"},
                              {"Regist2", "110"},
                              {"Recent1", "120"},
                              {"Recent2", "130"},
                              {"Splitter", "70"},
                              {"Page", "4"}}) {
      QCOMPARE(r.Ini("PairReg", key), std::string(value));
    }
    // Unchanged lists are not written.
    QCOMPARE(r.Ini("PairRecent", "Count"), std::string("<none>"));
  }

  void olderSectionsAreConvertedAtStart() {
    Registry r;
    r.Open(
        "[PairReg]\r\nPage=2\r\n"
        "[ChartRegist]\r\nCount=1\r\nData0=1301,100,1332,200,0|A" SP "\x81\xCC" SP
        "B\r\n"
        "[ChartRecent]\r\nCount=1\r\nData0=9984,1,9433,1,0|S" SP "\x81\xCC" SP "K\r\n");
    QCOMPARE(r.reg->CurrentPage(), 1);
    QCOMPARE(Row(r.Regist(), 0), QFromCp932("1301" SP "A/1332" SP "B"));
    QCOMPARE(Row(r.Recent(), 0), QFromCp932("9984" SP "S/9433" SP "K"));
    QCOMPARE(r.Ini("ChartRegist", "Count"), std::string("<none>"));
    QCOMPARE(r.Ini("ChartRecent", "Count"), std::string("<none>"));
    QCOMPARE(r.Ini("PairRegist1", "Data0"),
             std::string("1301,100,1332,200,0|1301" SP "A|1332" SP "B"));
    QCOMPARE(r.Ini("PairRecent", "Count"), std::string("1"));
  }
};

QTEST_MAIN(PairRegistryTest)
#include "gui_pairreg_qtest.moc"
