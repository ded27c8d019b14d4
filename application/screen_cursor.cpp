#include "screen_cursor.h"

#include <QEvent>
#include <QGuiApplication>

void SetScreenCursor(Qt::CursorShape shape) {
  if (shape == Qt::ArrowCursor) {
    while (QGuiApplication::overrideCursor() != nullptr) QGuiApplication::restoreOverrideCursor();
    return;
  }
  if (QGuiApplication::overrideCursor() != nullptr) {
    QGuiApplication::changeOverrideCursor(QCursor(shape));
  } else {
    QGuiApplication::setOverrideCursor(QCursor(shape));
  }
}

Qt::CursorShape ScreenCursor() {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor == nullptr ? Qt::ArrowCursor : cursor->shape();
}

MouseMoveHook::MouseMoveHook(QWidget* widget, std::function<void()> handler)
    : widget_(widget), hadTracking_(widget->hasMouseTracking()), handler_(std::move(handler)) {
  widget_->setMouseTracking(true);
  widget_->installEventFilter(this);
}

MouseMoveHook::~MouseMoveHook() {
  if (widget_.isNull()) return;
  widget_->removeEventFilter(this);
  widget_->setMouseTracking(hadTracking_);
}

bool MouseMoveHook::eventFilter(QObject* watched, QEvent* event) {
  if (watched == widget_ && event->type() == QEvent::MouseMove) handler_();
  return QObject::eventFilter(watched, event);
}
