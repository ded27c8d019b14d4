#include "edit_exit_filter.h"

#include <QEvent>
#include <QKeyEvent>

EditExitFilter::EditExitFilter(QLineEdit* edit, std::function<void()> onExit,
                               std::function<void()> onEnter)
    : QObject(edit), onExit_(std::move(onExit)), onEnter_(std::move(onEnter)) {
  edit->installEventFilter(this);
}

bool EditExitFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    onExit_();
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
