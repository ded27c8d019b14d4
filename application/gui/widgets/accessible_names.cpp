#include "widgets/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QVariant>
#include <QWidget>

namespace {

// Marks a control whose name is its own caption; the prefix that set it apart
// from a control of the same caption.
constexpr char kNameFromCaption[] = "accessibleNameFromCaption";
constexpr char kNamePrefix[] = "accessibleNamePrefix";

// The controls that show no label of their own, by component, with what
// they are.
struct UnlabelledControl {
  const char* component;
  const char16_t* name;
};
constexpr UnlabelledControl kUnlabelled[] = {
    // The screening page.
    {"CheckBoxReCheck", u"銘柄データを再チェック"},
    {"EditCodeNG", u"除外する銘柄コード"},
    {"CheckListBoxMarketA", u"抽出条件A 取引所の一覧"},
    {"CheckListBoxMarketB", u"抽出条件B 取引所の一覧"},
    {"CheckListBoxTypeA", u"抽出条件A 業種の一覧"},
    {"CheckListBoxTypeB", u"抽出条件B 業種の一覧"},
    {"EditCostA", u"抽出条件A 必要投資額の上限"},
    {"EditCostB", u"抽出条件B 必要投資額の上限"},
    {"EditVolA", u"抽出条件A 平均出来高の下限"},
    {"EditVolB", u"抽出条件B 平均出来高の下限"},
    {"ComboBoxTech", u"テクニカル条件の種別"},
    {"EditTechTo", u"期間の終わり"},
    {"EditTechValue2", u"指定値の上限"},
    {"EditTechResult", u"結果表示の列見出し"},
    {"EditTechResultW", u"結果表示の列幅"},
    {"ListViewTech", u"テクニカル条件の一覧"},
    // The code-data page.
    {"CheckBoxUpdate", u"銘柄データの更新有効"},
    {"EditName", u"銘柄名"},
    {"EditMarket", u"取引所"},
    {"EditType", u"業種"},
    {"EditUnit", u"単元数"},
    {"EditVol", u"平均出来高"},
    {"ListViewCode", u"銘柄の一覧"},
    {"ListViewPast", u"時系列データの一覧"},
    // The pair registry.
    {"ListViewRegist", u"登録した銘柄ペア"},
    {"ListViewRecent", u"最近チェックした銘柄ペア"},
};

QString UnlabelledName(const QWidget* widget) {
  const QString component = widget->objectName();
  for (const UnlabelledControl& control : kUnlabelled) {
    if (component == QLatin1String(control.component)) return QString::fromUtf16(control.name);
  }
  return {};
}

// The caption of the tab page that holds `widget`, nearest first.
QString TabCaptionOf(const QWidget* widget) {
  for (const QWidget* page = widget; page != nullptr; page = page->parentWidget()) {
    const QWidget* stack = page->parentWidget();
    const auto* tabs =
        stack != nullptr ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs == nullptr) continue;
    const int index = tabs->indexOf(const_cast<QWidget*>(page));
    if (index >= 0) return tabs->tabText(index);
  }
  return {};
}

bool IsControl(const QWidget* widget) {
  // Parts that Qt builds inside its own widgets (tab scrollers, scroll bars
  // of lists) are named by Qt, not by the program.
  const QString component = widget->objectName();
  if (component.isEmpty() || component.startsWith(QStringLiteral("qt_"))) return false;
  if (qobject_cast<const QTabBar*>(widget->parentWidget()) != nullptr) return false;
  // A combo box's own line edit and a spin box's are named through their box.
  if (qobject_cast<const QLineEdit*>(widget) != nullptr) {
    const QWidget* parent = widget->parentWidget();
    return qobject_cast<const QComboBox*>(parent) == nullptr &&
           qobject_cast<const QAbstractSpinBox*>(parent) == nullptr;
  }
  return qobject_cast<const QAbstractButton*>(widget) != nullptr ||
         qobject_cast<const QComboBox*>(widget) != nullptr ||
         qobject_cast<const QAbstractItemView*>(widget) != nullptr ||
         qobject_cast<const QAbstractSlider*>(widget) != nullptr ||
         qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

}  // namespace

QString PlainCaption(QString text) {
  text.remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
  text.remove(u'&');
  return text.trimmed();
}

namespace {

QString Plain(const QString& text) { return PlainCaption(text); }

QString FormLabelOf(const QWidget* widget) {
  const QWidget* parent = widget->parentWidget();
  if (parent == nullptr) return {};
  for (const QFormLayout* form : parent->findChildren<QFormLayout*>()) {
    int row = -1;
    QFormLayout::ItemRole role{};
    form->getWidgetPosition(const_cast<QWidget*>(widget), &row, &role);
    if (row < 0 || role != QFormLayout::FieldRole) continue;
    if (const QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole)) {
      if (const auto* label = qobject_cast<const QLabel*>(item->widget()))
        return Plain(label->text());
    }
  }
  return {};
}

QString LabelTextOf(const QWidget* root, const QWidget* widget) {
  for (const QLabel* label : root->findChildren<QLabel*>()) {
    if (label->buddy() == widget && !Plain(label->text()).isEmpty()) return Plain(label->text());
  }
  return FormLabelOf(widget);
}

// The visible label of `widget`, its own caption (then marked so that the
// name follows it), or what it is when it shows neither.
QString NameFor(const QWidget* root, QWidget* widget) {
  QString name = LabelTextOf(root, widget);
  if (name.isEmpty()) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
      name = Plain(button->text());
      if (!name.isEmpty()) widget->setProperty(kNameFromCaption, true);
    }
  }
  if (name.isEmpty()) name = UnlabelledName(widget);
  if (name.isEmpty()) name = widget->objectName();
  return name;
}

// A page tab is announced by its caption, unless a control already goes by
// it (the screening button on the page "スクリーニング"): that tab is
// announced as the page it is.
void NamePageTabs(QWidget* root, QSet<QString>& taken) {
  QList<QTabWidget*> tabWidgets = root->findChildren<QTabWidget*>();
  if (auto* tabs = qobject_cast<QTabWidget*>(root)) tabWidgets.prepend(tabs);
  for (QTabWidget* tabs : tabWidgets) {
    QTabBar* bar = tabs->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
      if (!bar->accessibleTabName(i).isEmpty()) continue;
      const QString caption = Plain(bar->tabText(i));
      if (!taken.contains(caption)) {
        taken.insert(caption);
        continue;
      }
      const QString name = caption + QStringLiteral(u" ページ");
      bar->setAccessibleTabName(i, name);
      taken.insert(name);
    }
  }
}

}  // namespace

void NameControlsForAccessibility(QWidget* root) {
  if (root == nullptr) return;
  QList<QWidget*> controls;
  QHash<QString, int> uses;
  for (QWidget* widget : root->findChildren<QWidget*>()) {
    if (!IsControl(widget)) continue;
    if (widget->accessibleName().isEmpty()) {
      controls << widget;
    } else {
      ++uses[widget->accessibleName()];
    }
  }
  QList<QString> names;
  for (QWidget* widget : controls) {
    names << NameFor(root, widget);
    ++uses[names.back()];
  }
  QSet<QString> taken;
  for (QWidget* widget : root->findChildren<QWidget*>()) {
    if (!widget->accessibleName().isEmpty()) taken.insert(widget->accessibleName());
  }
  for (qsizetype i = 0; i < controls.size(); ++i) {
    QWidget* widget = controls[i];
    QString name = names[i];
    // Controls of one caption on different pages go by their page's caption.
    if (uses.value(name) > 1) {
      const QString page = Plain(TabCaptionOf(widget));
      const QString paged = page + u' ' + name;
      if (!page.isEmpty() && !taken.contains(paged)) {
        widget->setProperty(kNamePrefix, page + u' ');
        name = paged;
      }
    }
    if (taken.contains(name)) {
      widget->setProperty(kNameFromCaption, QVariant());
      name += QStringLiteral(" (") + widget->objectName() + u')';
    }
    widget->setAccessibleName(name);
    taken.insert(name);
  }
  NamePageTabs(root, taken);
}

void SetCaption(QAbstractButton* button, const QString& caption) {
  button->setText(caption);
  if (button->property(kNameFromCaption).toBool()) {
    button->setAccessibleName(button->property(kNamePrefix).toString() + PlainCaption(caption));
  }
}
