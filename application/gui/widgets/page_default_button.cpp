#include "widgets/page_default_button.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>

namespace {

bool IsEnter(const QKeyEvent& key) {
  return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// An open drop-down picks its item on Enter. It has to claim the key before
// the page's shortcut sees it, or the shortcut would press the default button
// as well.
class DropDownKeepsEnter : public QObject {
 public:
  // Watches the drop-down list of `box`; owned by that list.
  explicit DropDownKeepsEnter(QComboBox& box) : QObject(box.view()), list_(box.view()) {
    list_->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == list_ && event->type() == QEvent::ShortcutOverride && list_->isVisible() &&
        IsEnter(*static_cast<QKeyEvent*>(event))) {
      event->accept();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QAbstractItemView* list_;
};

// The button Enter presses now: a push button of the page that has the focus
// (the page's shortcut takes the key before the button sees it), else the
// page's default.
QPushButton& PressedByEnter(const QWidget& page, QPushButton& defaultButton) {
  auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
  return focused != nullptr && page.isAncestorOf(focused) ? *focused : defaultButton;
}

}  // namespace

void MakePageDefaultButton(QWidget& page, QPushButton& button) {
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
    auto* shortcut = new QShortcut(key, &page);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &button,
                     [&page, &button] { PressedByEnter(page, button).click(); });
  }
  for (QComboBox* box : page.findChildren<QComboBox*>()) new DropDownKeepsEnter(*box);
}
