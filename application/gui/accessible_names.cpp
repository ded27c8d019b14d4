#include "accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QWidget>

namespace {

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

QString Plain(QString text) {
  text.remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
  text.remove(u'&');
  return text.trimmed();
}

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

QString NameFor(const QWidget* root, const QWidget* widget) {
  QString name = LabelTextOf(root, widget);
  if (name.isEmpty()) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
      name = Plain(button->text());
    }
  }
  if (name.isEmpty()) name = widget->objectName();
  return name;
}

}  // namespace

void NameControlsForAccessibility(QWidget* root) {
  if (root == nullptr) return;
  QList<QWidget*> controls;
  QSet<QString> taken;
  for (QWidget* widget : root->findChildren<QWidget*>()) {
    if (!IsControl(widget)) continue;
    if (widget->accessibleName().isEmpty()) {
      controls << widget;
    } else {
      taken.insert(widget->accessibleName());
    }
  }
  for (QWidget* widget : controls) {
    QString name = NameFor(root, widget);
    if (name.isEmpty() || taken.contains(name)) {
      const QString component = widget->objectName();
      name = name.isEmpty() ? component : name + QStringLiteral(" (") + component + u')';
    }
    widget->setAccessibleName(name);
    taken.insert(name);
  }
}
