#include "widgets/edit_exit_filter.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>

namespace {

// The focus goes to another control of the window, not to a menu, a popup or
// another window (from which it comes back to this edit).
bool LeavesForAnotherControl(const QFocusEvent& event) {
  switch (event.reason()) {
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
    case Qt::ActiveWindowFocusReason:
      return false;
    default:
      return true;
  }
}

}  // namespace

EditExitFilter::EditExitFilter(QLineEdit* edit, std::function<void()> onExit,
                               std::function<void()> onEnter)
    : QObject(edit), onExit_(std::move(onExit)), onEnter_(std::move(onEnter)) {
  edit->installEventFilter(this);
}

bool EditExitFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    if (LeavesForAnotherControl(*static_cast<QFocusEvent*>(event))) onExit_();
  } else if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      onEnter_();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void SetTextKeepingModified(QLineEdit* edit, const QString& text) {
  if (edit->text() == text) return;
  const bool modified = edit->isModified();
  edit->setText(text);
  edit->setModified(modified);
}
