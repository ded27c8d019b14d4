// The screening page's conditions: settings and the auto-exclusion file,
// the editors' corrections, the technical-condition list and the run lock.

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "data/file_io.h"
#include "gui_test_dir.h"
#include "gui_test_program.h"
#include "screening/Dm_fscrn.h"
#include "screening/screening_run.h"
#include "screening/technical_list_view.h"
#include "widgets/check_list_box.h"

namespace {

struct Page {
  GuiTestDir dir;
  ProgramData data{std::filesystem::path(dir.ExeDir().toStdString())};
  ScreeningRun run;
  std::unique_ptr<TFrameScrn> frame;

  Page() {
    frame = std::make_unique<TFrameScrn>();
    frame->SetProgramData(data);
    frame->SetScreeningRun(&run);
  }
  vcl::TIniFile Ini() const { return vcl::TIniFile(dir.Path("Dyadmark.ini")); }
  void Load() {
    vcl::TIniFile ini = Ini();
    frame->LoadSettings(ini);
  }
  void Save() {
    vcl::TIniFile ini = Ini();
    frame->SaveSettings(ini);
  }
  std::string Key(const char* section, const char* key) const {
    return Ini().ReadString(section, key, "<none>");
  }
  template <class W>
  W* Get(const char* name) const {
    return Control<W>(*frame, name);
  }
  QLineEdit* Edit(const char* name) const { return Get<QLineEdit>(name); }
  // The edit loses the focus after `text` was typed.
  void Type(const char* name, const QString& text) const {
    QLineEdit* edit = Edit(name);
    edit->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &out);
  }
  QTreeView* Tech() const { return Get<QTreeView>("ListViewTech"); }
  QString Cell(int row, int column) const {
    return Tech()->model()->index(row, column).data().toString();
  }
  void SelectRow(int row) const {
    Tech()->selectionModel()->setCurrentIndex(
        Tech()->model()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  void Click(const char* button) const { Get<QPushButton>(button)->click(); }
  // The focus to `name`, with the condition page that holds it shown.
  void Focus(const char* name) const {
    QWidget* widget = Get<QWidget>(name);
    auto* pages = Get<QTabWidget>("PageControlScr");
    for (int i = 0; i < pages->count(); ++i) {
      if (pages->widget(i)->isAncestorOf(widget)) pages->setCurrentIndex(i);
    }
    widget->setFocus();
  }
};

const QString kSep = QStringLiteral(u" ～ ");

}  // namespace

class ScreeningPageTest : public QObject {
  Q_OBJECT

 private slots:
  void defaultsWithoutASettingsFile() {
    Page p;
    p.Load();
    QCOMPARE(p.Get<QCheckBox>("CheckBoxCodeNG")->checkState(), Qt::PartiallyChecked);
    QCOMPARE(p.Get<QCheckBox>("CheckBoxCodeNG")->text(), QStringLiteral(u"自動除外"));
    QVERIFY(!p.Edit("EditCodeNG")->isEnabled());
    QVERIFY(p.Get<QCheckBox>("CheckBoxLoan")->isChecked());
    QVERIFY(!p.Get<QTabWidget>("PageControlScr")->isHidden());
    QVERIFY(!p.Get<CheckListBox>("CheckListBoxMarketA")->isEnabled());
    QVERIFY(!p.Get<QPushButton>("ButtonTechUpdate")->isEnabled());
    QCOMPARE(p.Tech()->model()->rowCount(), 0);
    const ScreeningConditions c = p.frame->TakeConditions();
    QCOMPARE(c.exclusion, TriState::Grayed);
    QVERIFY(c.loanOnly);
  }

  void settingsRoundTrip() {
    Page p;
    p.dir.Write("Dyadmark.ini",
                "[Screening]\r\nChkPrm=0\r\nGroup=1\r\nCodeA=1301-1305\r\nChkNG=1\r\n"
                "CodeNG=1302\r\nMarketAC=1\r\nMarketA=101\r\nTypeBC=1\r\n"
                "TypeB=000000000000000000000000000000000110000\r\nCostAC=1\r\nCostA=500000\r\n"
                "[CodeA]\r\nCount=2\r\nList1=1301-1305\r\nList2=7203\r\n"
                "[CodeB]\r\nCount=1\r\nList1=9984\r\n"
                "[Technical]\r\nCount=1\r\nCheck0=0\r\nKind0=\x95\x57\x8F\x80\x95\xCE\x8D\xB7\r\n"
                "FromTo0=/  25 \x81\x60 100/\r\nValues0=/      0.5 \x81\x60 /\r\nResultC0=1\r\n"
                "Result0=SD\r\nResultW0=70\r\n"
                "[FrameS]\r\nTecClm2=99\r\n");
    p.dir.Write("C404.txt", "1309\r\n1305\r\n");
    p.Load();

    QVERIFY(p.Get<QTabWidget>("PageControlScr")->isHidden());
    QVERIFY(!p.Get<QComboBox>("ComboBoxCodeB")->isEnabled());
    QComboBox* codeA = p.Get<QComboBox>("ComboBoxCodeA");
    QCOMPARE(codeA->currentText(), QStringLiteral("1301-1305"));
    QCOMPARE(codeA->count(), 2);
    QCOMPARE(codeA->itemText(1), QStringLiteral("7203"));
    QCOMPARE(p.Get<QCheckBox>("CheckBoxCodeNG")->text(), QStringLiteral(u"除外指定"));
    QVERIFY(p.Edit("EditCodeNG")->isEnabled());
    auto* marketA = p.Get<CheckListBox>("CheckListBoxMarketA");
    QVERIFY(marketA->isEnabled());
    QVERIFY(marketA->Ticked(0) && !marketA->Ticked(1) && marketA->Ticked(2) && !marketA->Ticked(3));
    auto* typeB = p.Get<CheckListBox>("CheckListBoxTypeB");
    QVERIFY(typeB->Ticked(33) && typeB->Ticked(34) && !typeB->Ticked(32));
    QVERIFY(p.Edit("EditCostA")->isEnabled());
    QCOMPARE(p.Tech()->header()->sectionSize(2), 99);
    QCOMPARE(p.Cell(0, 1), QStringLiteral(u"標準偏差"));
    QCOMPARE(p.Cell(0, 2), QStringLiteral("  25") + kSep + "100");
    QCOMPARE(p.Tech()->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    const ScreeningConditions c = p.frame->TakeConditions();
    QVERIFY(c.group);
    QCOMPARE(c.exclusion, TriState::Checked);
    QCOMPARE(c.excludedCodesText, std::string("1302"));
    QVERIFY(c.sides[0].marketOn && c.sides[0].markets[2] && !c.sides[0].markets[1]);
    QCOMPARE(c.sides[0].costLimit, std::string("500000"));
    QCOMPARE(c.technicals.size(), size_t{1});
    QCOMPARE(c.technicals[0].range, std::string("      0.5 \x81\x60 "));
    QCOMPARE(c.technicals[0].sortKind, 4);
    QVERIFY(p.frame->ExcludedCodes().Contains("1305"));

    // Nothing changed the exclusion list and no run started: neither the
    // file nor the histories are written.
    p.Get<QComboBox>("ComboBoxCodeB")->addItem("1111");
    p.Save();
    QCOMPARE(p.dir.Read("C404.txt"), std::string("1309\r\n1305\r\n"));
    QCOMPARE(p.Key("CodeB", "Count"), std::string("1"));
    QCOMPARE(p.Key("Screening", "MarketA"), std::string("1010000000"));
    QCOMPARE(p.Key("Screening", "TypeB"), std::string("00000000000000000000000000000000011"));
    QCOMPARE(p.Key("Screening", "ChkNG"), std::string("1"));
    QCOMPARE(p.Key("Technical", "FromTo0"), std::string("/  25 \x81\x60 100/"));
    QCOMPARE(p.Key("Technical", "ResultC0"), std::string("1"));
    QCOMPARE(p.Key("FrameS", "TecClm2"), std::string("99"));

    // A run started: the histories get the texts; a changed list is written.
    codeA->setEditText("1332");
    p.Get<QCheckBox>("CheckBoxGroup")->setChecked(false);
    QSignalSpy requested(p.frame.get(), &TFrameScrn::screeningRequested);
    // Enter in a code box presses the screening button.
    p.frame->show();
    QVERIFY(QTest::qWaitForWindowActive(p.frame.get()));
    codeA->setFocus();
    QTest::keyClick(codeA, Qt::Key_Return);
    QCOMPARE(requested.count(), 1);
    p.frame->ExcludedCodes().Add("1301");
    p.Save();
    QCOMPARE(p.Key("CodeA", "Count"), std::string("3"));
    QCOMPARE(p.Key("CodeA", "List1"), std::string("1332"));
    QCOMPARE(p.Key("CodeB", "Count"), std::string("3"));
    QCOMPARE(p.dir.Read("C404.txt"), std::string("1301\r\n1305\r\n1309\r\n"));

    Page back;
    back.dir.Write("Dyadmark.ini", p.dir.Read("Dyadmark.ini"));
    back.Load();
    QCOMPARE(back.frame->TakeConditions().codesA, std::string("1332"));
    QCOMPARE(back.Get<QComboBox>("ComboBoxCodeA")->count(), 3);
  }

  void anUnwritableExclusionFileCostsNoSettings() {
    Page p;
    p.Load();
    p.Click("ButtonTechAdd");
    p.frame->ExcludedCodes().Add("1301");
    p.dir.MakeDirectory("C404.txt");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, p.Save());
    QCOMPARE(p.Key("Technical", "Count"), std::string("1"));
    QCOMPARE(p.Key("Screening", "VolB"), std::string(""));
    QVERIFY(p.frame->ExcludedCodes().Contains("1301"));
  }

  void exclusionBoxCyclesThroughItsThreeStates() {
    Page p;
    p.Load();
    auto* box = p.Get<QCheckBox>("CheckBoxCodeNG");
    const struct {
      Qt::CheckState state;
      const char16_t* caption;
      bool editEnabled;
    } steps[] = {{Qt::Checked, u"除外指定", true},
                 {Qt::Unchecked, u"除外なし", false},
                 {Qt::PartiallyChecked, u"自動除外", false}};
    for (const auto& step : steps) {
      box->click();
      QCOMPARE(box->checkState(), step.state);
      QCOMPARE(box->text(), QString::fromUtf16(step.caption));
      QCOMPARE(p.Edit("EditCodeNG")->isEnabled(), step.editEnabled);
    }
    p.Get<QCheckBox>("CheckBoxReCheck")->setCheckState(Qt::PartiallyChecked);
    QCOMPARE(p.frame->TakeConditions().reCheck, TriState::Grayed);
    p.frame->ClearReCheck();
    QCOMPARE(p.frame->TakeConditions().reCheck, TriState::Unchecked);
  }

  void editorsCorrectTheirTextWhenLeft() {
    Page p;
    p.Load();
    const struct {
      const char* edit;
      QString typed;
      QString corrected;
    } periods[] = {{"EditTechFrom", "0", "1"},     {"EditTechFrom", "abc", "1"},
                   {"EditTechFrom", "0001", "1"},  {"EditTechFrom", "", ""},
                   {"EditTechTo", "1500", "1200"}, {"EditTechTo", "-5", "1200"},
                   {"EditTechTo", "250", "250"}};
    for (const auto& c : periods) {
      p.Type(c.edit, c.typed);
      QCOMPARE(p.Edit(c.edit)->text(), c.corrected);
    }
    auto* kind = p.Get<QComboBox>("ComboBoxTech");
    const struct {
      int kind;
      QString typed;
      QString corrected;
    } bounds[] = {{0, "1.5", "1.000000"},    {0, "0.85", "0.850000"}, {1, "x", "0.001000"},
                  {1, "-0.02", "-0.020000"}, {2, "-2", ""},           {2, "1.5", "1.50"}};
    for (const auto& c : bounds) {
      kind->setCurrentIndex(c.kind);
      p.Type("EditTechValue2", c.typed);
      QCOMPARE(p.Edit("EditTechValue2")->text(), c.corrected);
    }
    kind->setCurrentIndex(0);
    p.Type("EditTechValue1", "0.900000");
    p.Type("EditTechValue2", "1.000000");
    kind->setCurrentIndex(2);
    QCOMPARE(p.Edit("EditTechValue1")->text(), QStringLiteral("0.90"));
    QCOMPARE(p.Edit("EditTechValue2")->text(), QStringLiteral("1.00"));
  }

  void technicalListAddsUpdatesAndReorders() {
    Page p;
    p.Load();
    p.frame->resize(800, 600);
    p.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.frame.get()));
    p.Type("EditTechFrom", "1");
    p.Type("EditTechTo", "1200");
    p.Type("EditTechValue1", "0.900000");
    p.Type("EditTechValue2", "1.000000");
    p.Click("ButtonTechAdd");
    QCOMPARE(p.Cell(0, 1), QStringLiteral(u"相関係数"));
    QCOMPARE(p.Cell(0, 2), QStringLiteral("   1") + kSep + "1200");
    QCOMPARE(p.Cell(0, 3), QStringLiteral(" 0.900000") + kSep + "1.000000");
    QCOMPARE(p.Cell(0, 4), QString());
    QVERIFY(p.Get<QPushButton>("ButtonTechUpdate")->isEnabled());
    p.Save();
    QCOMPARE(p.Key("Technical", "FromTo0"), std::string("/   1 \x81\x60 1200/"));
    QCOMPARE(p.Key("Technical", "Values0"), std::string("/ 0.900000 \x81\x60 1.000000/"));

    // Update rewrites the row and keeps its check.
    p.Tech()->model()->setData(p.Tech()->model()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    p.Get<QComboBox>("ComboBoxTech")->setCurrentIndex(1);
    p.Get<QCheckBox>("CheckBoxTechResult")->setChecked(true);
    p.Edit("EditTechResult")->setText("Slope");
    p.Edit("EditTechResultW")->setText("80");
    p.Click("ButtonTechUpdate");
    QCOMPARE(p.Tech()->model()->rowCount(), 1);
    QCOMPARE(p.Cell(0, 1), QStringLiteral(u"回帰係数"));
    QCOMPARE(p.Cell(0, 4), QStringLiteral("Slope"));
    QCOMPARE(p.Cell(0, 5), QStringLiteral("80"));
    QCOMPARE(p.frame->TakeConditions().technicals[0].check, 0);
    QCOMPARE(p.frame->TakeConditions().technicals[0].sortKind, 5);

    // Two more rows, told apart by their period.
    p.Get<QCheckBox>("CheckBoxTechResult")->setChecked(false);
    for (const char* from : {"2", "3"}) {
      p.Type("EditTechFrom", from);
      p.Click("ButtonTechAdd");
    }
    auto firstDays = [&] {
      QStringList days;
      for (int r = 0; r < 3; ++r) days << p.Cell(r, 2).section(kSep, 0, 0).trimmed();
      return days;
    };
    QCOMPARE(firstDays(), (QStringList{"1", "2", "3"}));

    // A drag of the selected row that ends on row `onto`.
    auto drop = [&](int from, int onto) {
      p.SelectRow(from);
      emit static_cast<TechnicalListView*>(p.Tech())->rowDropped(from, onto);
    };
    drop(0, 2);  // down: after the target
    QCOMPARE(firstDays(), (QStringList{"2", "3", "1"}));
    drop(2, 0);  // up: before the target
    QCOMPARE(firstDays(), (QStringList{"1", "2", "3"}));
    drop(1, 1);  // onto itself
    QCOMPARE(firstDays(), (QStringList{"1", "2", "3"}));

    // A double click loads the row back into the editors.
    p.SelectRow(0);
    emit p.Tech()->doubleClicked(p.Tech()->model()->index(0, 1));
    QCOMPARE(p.Get<QComboBox>("ComboBoxTech")->currentIndex(), 1);
    QCOMPARE(p.Edit("EditTechFrom")->text(), QStringLiteral("1"));
    QCOMPARE(p.Edit("EditTechValue1")->text(), QStringLiteral("0.900000"));
    QVERIFY(p.Get<QCheckBox>("CheckBoxTechResult")->isChecked());
    QCOMPARE(p.Edit("EditTechResult")->text(), QStringLiteral("Slope"));

    // Delete removes the selected row and disables the update button.
    p.SelectRow(1);
    QTest::keyClick(p.Tech(), Qt::Key_Delete);
    QCOMPARE(firstDays().mid(0, 2), (QStringList{"1", "3"}));
    QVERIFY(!p.Get<QPushButton>("ButtonTechUpdate")->isEnabled());
  }

  // The idle task that takes away the text selection is armed when a code
  // box gets the focus and whenever its drop-down closes, chosen or not.
  void aCodeBoxArmsTheIdleTaskOnFocusAndOnClosingItsDropDown() {
    Page p;
    p.Load();
    p.frame->resize(800, 600);
    p.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.frame.get()));
    QSignalSpy entered(p.frame.get(), &TFrameScrn::codeBoxEntered);
    for (const char* name : {"ComboBoxCodeA", "ComboBoxCodeB"}) {
      QComboBox* box = p.Get<QComboBox>(name);
      box->addItem("1301");
      p.Edit("EditTechFrom")->setFocus();
      entered.clear();
      box->showPopup();
      QTRY_VERIFY(box->view()->isVisible());
      entered.clear();
      QTest::keyClick(box->view(), Qt::Key_Escape);  // closed without choosing
      QTRY_VERIFY(!box->view()->isVisible());
      QVERIFY2(entered.count() >= 1, name);

      entered.clear();
      QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
      QCoreApplication::sendEvent(box, &in);
      QCOMPARE(entered.count(), 1);
    }
  }

  // Enter presses the push button that has the focus; from every other
  // control it presses the screening button, the page's default, once. An
  // open drop-down takes it to pick its item.
  void enterPressesTheFocusedButtonElseTheScreeningButton() {
    Page p;
    p.Load();
    p.frame->resize(800, 600);
    p.frame->show();
    QVERIFY(QTest::qWaitForWindowActive(p.frame.get()));
    QSignalSpy requested(p.frame.get(), &TFrameScrn::screeningRequested);
    const struct {
      const char* focus;
      Qt::Key key;
      const char* from;  // the period start the editor holds
      int rows;
      int runs;
    } presses[] = {
        {"ButtonTechAdd", Qt::Key_Return, "1", 1, 0},
        {"ButtonTechAdd", Qt::Key_Enter, "2", 2, 0},
        {"ButtonTechUpdate", Qt::Key_Return, "7", 2, 0},
        {"ButtonScr", Qt::Key_Return, "8", 2, 1},
        {"EditTechFrom", Qt::Key_Return, "8", 2, 2},
        {"ListViewTech", Qt::Key_Enter, "8", 2, 3},
        {"CheckBoxLoan", Qt::Key_Return, "8", 2, 4},
    };
    for (const auto& press : presses) {
      p.Edit("EditTechFrom")->setText(press.from);
      p.Focus(press.focus);
      QTRY_VERIFY2(p.Get<QWidget>(press.focus)->hasFocus(), press.focus);
      QTest::keyClick(QApplication::focusWidget(), press.key);
      QVERIFY2(p.Tech()->model()->rowCount() == press.rows, press.focus);
      QVERIFY2(requested.count() == press.runs, press.focus);
    }
    QVERIFY(p.Cell(0, 2).startsWith(QStringLiteral("   1")));
    QVERIFY(p.Cell(1, 2).startsWith(QStringLiteral("   7")));

    requested.clear();
    QComboBox* codeA = p.Get<QComboBox>("ComboBoxCodeA");
    codeA->addItem("7203");
    codeA->setEditText("1301");
    p.Focus("ComboBoxCodeA");
    codeA->showPopup();
    QTRY_VERIFY(codeA->view()->isVisible());
    codeA->view()->setCurrentIndex(codeA->model()->index(codeA->count() - 1, 0));
    QTest::keyClick(codeA->view(), Qt::Key_Return);
    QTRY_VERIFY(!codeA->view()->isVisible());
    QCOMPARE(codeA->currentText(), QStringLiteral("7203"));
    QCOMPARE(requested.count(), 0);
  }

  void aRunLocksThePageAndItsList() {
    Page p;
    p.Load();
    for (const char* from : {"5", "6"}) {
      p.Type("EditTechFrom", from);
      p.Click("ButtonTechAdd");
    }
    QVERIFY(p.run.Begin());
    p.frame->SetConditionsLocked(true);
    p.frame->SetTechnicalButtonsLocked(true);
    for (const char* name : {"ButtonScr", "ButtonTechAdd", "ButtonTechUpdate"}) {
      QVERIFY2(!p.Get<QPushButton>(name)->isEnabled(), name);
    }
    QSignalSpy requested(p.frame.get(), &TFrameScrn::screeningRequested);
    p.frame->findChild<QPushButton*>("ButtonScr")->setEnabled(true);
    p.Click("ButtonScr");  // refused while the run lives
    QCOMPARE(requested.count(), 0);

    p.SelectRow(0);
    QTest::keyClick(p.Tech(), Qt::Key_Delete);
    QCOMPARE(p.Tech()->model()->rowCount(), 2);
    QVERIFY(!p.Tech()->model()->setData(p.Tech()->model()->index(0, 0), Qt::Unchecked,
                                        Qt::CheckStateRole));
    emit static_cast<TechnicalListView*>(p.Tech())->rowDropped(0, 1);
    QVERIFY(p.Cell(0, 2).startsWith(QStringLiteral("   5")));
    p.Edit("EditTechFrom")->setText("77");
    emit p.Tech()->doubleClicked(p.Tech()->model()->index(0, 1));
    QCOMPARE(p.Edit("EditTechFrom")->text(), QStringLiteral("77"));

    QVERIFY(p.run.End());
    p.frame->SetConditionsLocked(false);
    p.frame->SetTechnicalButtonsLocked(false);
    QVERIFY(p.Get<QPushButton>("ButtonTechAdd")->isEnabled());
    QVERIFY(!p.Get<QPushButton>("ButtonTechUpdate")->isEnabled());
  }
};

QTEST_MAIN(ScreeningPageTest)
#include "gui_screening_page_qtest.moc"
