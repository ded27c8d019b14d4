#include "widgets/screen_cursor.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>

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

void RunCursorHooks::Hook(QWidget* widget, std::function<void()> handler) {
  hooks_.push_back(std::make_unique<MouseMoveHook>(widget, std::move(handler)));
}

bool MouseMoveHook::eventFilter(QObject* watched, QEvent* event) {
  // A move over a child reaches the widget too when the child ignores it;
  // only the widget's own area counts.
  if (watched == widget_ && event->type() == QEvent::MouseMove) {
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (widget_->childAt(at) == nullptr) handler_();
  }
  return QObject::eventFilter(watched, event);
}
