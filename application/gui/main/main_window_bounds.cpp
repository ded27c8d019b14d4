// The main window's normal bounds: kept while the window is neither
// maximised nor minimised, and brought back on the first restore of a window
// that started maximised.

#include <QMoveEvent>
#include <QResizeEvent>
#include <QWindowStateChangeEvent>

#include "main/Dm_umain.h"

void TFormMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const Qt::WindowStates old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
  const Qt::WindowStates now = windowState();
  // Just before a maximise the normal bounds are the ones to keep.
  if (!(old & Qt::WindowMaximized) && (now & Qt::WindowMaximized)) {
    const QRect normal = normalGeometry();
    if (normal.isValid() && !restoreBoundsOnResize_) normalBounds_ = normal;
  }
  if (restoreBoundsOnResize_ && !(now & (Qt::WindowMaximized | Qt::WindowMinimized))) {
    Guard([this] { FormResize(); });
  }
}

void TFormMain::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  RememberNormalBounds();
}

void TFormMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (restoreBoundsOnResize_) {
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) {
      Guard([this] { FormResize(); });
    }
    return;
  }
  RememberNormalBounds();
}

void TFormMain::RememberNormalBounds() {
  if (!isVisible() || restoreBoundsOnResize_) return;
  if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;
  normalBounds_ = geometry();
}

void TFormMain::FormResize() {
  // The first restore of a window that started maximised brings back the
  // stored bounds.
  restoreBoundsOnResize_ = false;
  setGeometry(normalBounds_);
}
