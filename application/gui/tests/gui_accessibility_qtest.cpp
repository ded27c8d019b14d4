// Every control of the program's windows carries an accessible name of its
// own, so that screen readers and scripts from outside can find it.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "about/Dm_uabout.h"
#include "gui_test_program.h"
#include "main/Dm_umain.h"
#include "registry/Dm_upairreg.h"
#include "screening/Dm_fscrn.h"
#include "widgets/accessible_names.h"

namespace {

// Names of the controls below `root`; an empty name is reported as such, a
// name held twice fails the test.
void ExpectNamed(const QWidget& root) {
  QHash<QString, QString> owners;
  for (const QWidget* widget : root.findChildren<QWidget*>()) {
    const bool control = qobject_cast<const QAbstractButton*>(widget) != nullptr ||
                         qobject_cast<const QComboBox*>(widget) != nullptr ||
                         qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
                         qobject_cast<const QAbstractSlider*>(widget) != nullptr ||
                         qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
                         (qobject_cast<const QLineEdit*>(widget) != nullptr &&
                          qobject_cast<const QComboBox*>(widget->parentWidget()) == nullptr);
    // Buttons Qt makes inside other widgets (tab scrollers, header sections)
    // have no component name and are not the program's controls.
    if (!control || widget->objectName().isEmpty() || widget->objectName().startsWith(u"qt_"))
      continue;
    if (qobject_cast<const QTabBar*>(widget->parentWidget()) != nullptr) continue;
    const QString name = widget->accessibleName();
    QVERIFY2(!name.isEmpty(),
             qPrintable(widget->objectName() + QStringLiteral(" has no accessible name")));
    // A component name says nothing to a user.
    QVERIFY2(!name.contains(widget->objectName()),
             qPrintable(widget->objectName() + QStringLiteral(" is announced as ") + name));
    QVERIFY2(!owners.contains(name),
             qPrintable(name + QStringLiteral(" is shared by ") + owners.value(name) +
                        QStringLiteral(" and ") + widget->objectName()));
    owners.insert(name, widget->objectName());
  }
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void theMainWindowsControlsAreNamedOnce() {
    TestProgram p;
    p.Start();
    ExpectNamed(*p.window);
    // The two code boxes of the screening page go by their labels.
    QCOMPARE(Control<QComboBox>(p.window->FrameScrn(), "ComboBoxCodeA")->accessibleName(), u"A");
    QCOMPARE(Control<QComboBox>(p.window->FrameScrn(), "ComboBoxCodeB")->accessibleName(), u"B");
  }

  // The names are the visible labels, what a control shows where it has no
  // label, and they follow a caption that changes.
  void namesSayWhatTheUserSees() {
    TestProgram p;
    p.Start();
    TFrameScrn& page = p.window->FrameScrn();
    const struct {
      const char* component;
      QString name;
    } named[] = {
        {"EditCodeNG", QStringLiteral(u"除外する銘柄コード")},
        {"EditTechTo", QStringLiteral(u"期間の終わり")},
        {"CheckBoxReCheck", QStringLiteral(u"銘柄データを再チェック")},
        {"CheckBoxCostA", QStringLiteral(u"抽出条件A 必要投資額")},
        {"CheckBoxCostB", QStringLiteral(u"抽出条件B 必要投資額")},
        {"ListViewScrn", QStringLiteral(u"スクリーニング結果")},
    };
    for (const auto& n : named) {
      QCOMPARE(Control<QWidget>(page, n.component)->accessibleName(), n.name);
    }

    auto* exclusion = Control<QCheckBox>(page, "CheckBoxCodeNG");
    for (const Qt::CheckState state : {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked}) {
      exclusion->setCheckState(state);
      QCOMPARE(exclusion->accessibleName(), exclusion->text());
      const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(exclusion);
      QVERIFY(accessible != nullptr);
      QCOMPARE(accessible->text(QAccessible::Name), exclusion->text());
    }
    QCOMPARE(exclusion->accessibleName(), QStringLiteral(u"自動除外"));
    exclusion->setCheckState(Qt::Unchecked);
    QCOMPARE(exclusion->accessibleName(), QStringLiteral(u"除外なし"));
  }

  void aCaptionSetApartByItsPageKeepsThePage() {
    QTabWidget tabs;
    for (const char* page : {"P1", "P2"}) {
      auto* sheet = new QWidget;
      auto* box = new QCheckBox(QStringLiteral("&Same"), sheet);
      box->setObjectName(QStringLiteral("Box") + QLatin1String(page));
      tabs.addTab(sheet, QLatin1String(page));
    }
    NameControlsForAccessibility(&tabs);
    auto* second = tabs.findChild<QCheckBox*>(QStringLiteral("BoxP2"));
    QCOMPARE(second->accessibleName(), u"P2 Same");
    SetCaption(second, QStringLiteral("&Other"));
    QCOMPARE(second->accessibleName(), u"P2 Other");
    QCOMPARE(tabs.findChild<QCheckBox*>(QStringLiteral("BoxP1"))->accessibleName(), u"P1 Same");
  }

  void thePairRegistryAndTheAboutBoxAreNamed() {
    TestProgram p;
    p.Start();
    TFormPairReg registry(p.window->ExeDir(), p.window.get());
    ExpectNamed(registry);
    TFormAbout about(p.window.get());
    ExpectNamed(about);
  }

  void aSharedLabelTakesTheComponentName() {
    QWidget root;
    auto* first = new QLineEdit(&root);
    first->setObjectName(QStringLiteral("EditFirst"));
    auto* second = new QLineEdit(&root);
    second->setObjectName(QStringLiteral("EditSecond"));
    for (QLineEdit* edit : {first, second}) {
      auto* label = new QLabel(QStringLiteral("&Code"), &root);
      label->setBuddy(edit);
    }
    NameControlsForAccessibility(&root);
    QCOMPARE(first->accessibleName(), u"Code");
    QCOMPARE(second->accessibleName(), u"Code (EditSecond)");
  }
};

QTEST_MAIN(AccessibilityTest)
#include "gui_accessibility_qtest.moc"
