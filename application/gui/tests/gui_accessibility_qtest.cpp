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
#include <QMultiHash>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "about/Dm_uabout.h"
#include "gui_test_program.h"
#include "main/Dm_umain.h"
#include "main/status_panel_bar.h"
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

// The roles of what a user or a script looks a control up by.
bool IsControlRole(QAccessible::Role role) {
  switch (role) {
    case QAccessible::Window:
    case QAccessible::Dialog:
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::PageTab:
      return true;
    default:
      return false;
  }
}

// What the accessibility tree below `node` announces: every name, and by
// name where the windows, controls, page tabs and status panels that carry
// it are. Parts that Qt builds inside its own widgets (a combo box's list, a
// tab bar's scroll buttons) are left out, as above.
struct Announced {
  QStringList allNames;
  QMultiHash<QString, QString> controls;
};

void Collect(QAccessibleInterface* node, const QString& path, Announced& out) {
  if (node == nullptr) return;
  const QString name = node->text(QAccessible::Name);
  out.allNames << name;
  const QObject* object = node->object();
  const QString component = object != nullptr ? object->objectName() : QString();
  const bool qtPart = object != nullptr && (component.isEmpty() || component.startsWith(u"qt_") ||
                                            qobject_cast<const QTabBar*>(object->parent()));
  const bool statusPanel = component.startsWith(u"StatusPanel");
  const QString here = path + u'/' + (component.isEmpty() ? name : component);
  if (!name.isEmpty() && !qtPart && (IsControlRole(node->role()) || statusPanel)) {
    out.controls.insert(name, here);
  }
  for (int i = 0; i < node->childCount(); ++i) Collect(node->child(i), here, out);
}

Announced AnnouncedBy(const QList<QWidget*>& windows) {
  Announced out;
  for (QWidget* window : windows) {
    Collect(QAccessible::queryAccessibleInterface(window), QString(), out);
  }
  return out;
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

  // Across the main window and the pair registry, as the accessibility tree
  // reports them: no name is announced twice, the hidden print page is not
  // announced at all, and the registry window and each panel of the status
  // bar say what they are.
  void theAccessibilityTreeAnnouncesEachNameOnce() {
    TestProgram p;
    p.Start();
    TFormPairReg registry(p.window->ExeDir(), p.window.get());
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    for (int page : {0, 2, 1}) {
      p.window->findChild<QTabWidget*>("PageControl")->setCurrentIndex(page);
      const Announced announced = AnnouncedBy({p.window.get(), &registry});
      for (const QString& name : announced.controls.uniqueKeys()) {
        const QStringList owners = announced.controls.values(name);
        QVERIFY2(owners.size() == 1,
                 qPrintable(name + QStringLiteral(" is announced by ") + owners.join(u", ")));
      }
      for (const QString& name : announced.allNames) {
        QVERIFY2(!name.contains(u"TabSheetPrint"), qPrintable(name));
      }
      QAccessibleInterface* bar =
          QAccessible::queryAccessibleInterface(Control<QWidget>(*p.window, "StatusBar"));
      QVERIFY(!bar->text(QAccessible::Name).isEmpty());
      for (int panel = 0; panel < StatusPanelBar::kPanelCount; ++panel) {
        const QString component = QStringLiteral("StatusPanel%1").arg(panel);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(
            Control<QWidget>(*p.window, qPrintable(component)));
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(),
                 qPrintable(component + QStringLiteral(" has no name on page ") +
                            QString::number(page)));
      }
    }
    // The three pages the user turns to, and no tab beside them.
    QAccessibleInterface* tabs = QAccessible::queryAccessibleInterface(
        p.window->findChild<QTabWidget*>("PageControl")->tabBar());
    int pageTabs = 0;
    for (int i = 0; i < tabs->childCount(); ++i) {
      if (tabs->child(i)->role() == QAccessible::PageTab) ++pageTabs;
    }
    QCOMPARE(pageTabs, 3);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&registry);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral(u"ペア登録"));
  }

  // A panel's name says what it holds on the page shown, and a count shown
  // in it does not take the name's place.
  void theStatusPanelsAreNamedByWhatTheyHold() {
    TestProgram p;
    p.Start();
    const auto nameOf = [&](int panel) {
      return QAccessible::queryAccessibleInterface(
                 Control<QWidget>(*p.window,
                                  qPrintable(QStringLiteral("StatusPanel%1").arg(panel))))
          ->text(QAccessible::Name);
    };
    QCOMPARE(nameOf(1), QStringLiteral(u"テクニカル分析結果件数"));
    QCOMPARE(nameOf(2), QStringLiteral(u"スクリーニング銘柄ペア件数"));
    p.window->findChild<QTabWidget*>("PageControl")->setCurrentIndex(0);
    QCOMPARE(nameOf(1), QStringLiteral(u"銘柄データ件数"));
    QCOMPARE(nameOf(2), QStringLiteral(u"時系列データ件数"));
    p.window->findChild<QTabWidget*>("PageControl")->setCurrentIndex(2);
    QCOMPARE(nameOf(1), QStringLiteral(u"銘柄ペア 相関係数"));
    QCOMPARE(nameOf(4), QStringLiteral(u"乖離率 回帰係数（切片）"));
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
