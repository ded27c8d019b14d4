#include "registry/edge_resizer.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

EdgeResizer::EdgeResizer(QWidget* window, int border)
    : QObject(window), window_(window), border_(border) {
  window->setMouseTracking(true);
  window->installEventFilter(this);
}

Qt::Edges EdgeResizer::EdgesAt(const QPoint& pos) const {
  Qt::Edges edges;
  if (pos.x() < border_) edges |= Qt::LeftEdge;
  if (pos.x() >= window_->width() - border_) edges |= Qt::RightEdge;
  if (pos.y() < border_) edges |= Qt::TopEdge;
  if (pos.y() >= window_->height() - border_) edges |= Qt::BottomEdge;
  return edges;
}

bool EdgeResizer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_) return false;
  if (event->type() == QEvent::MouseMove) {
    const Qt::Edges edges = EdgesAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
      const bool falling =
          edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
      window_->setCursor(falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
    } else if (horizontal) {
      window_->setCursor(Qt::SizeHorCursor);
    } else if (vertical) {
      window_->setCursor(Qt::SizeVerCursor);
    } else {
      window_->unsetCursor();
    }
  } else if (event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const Qt::Edges edges = EdgesAt(mouse->position().toPoint());
    if (mouse->button() == Qt::LeftButton && edges && window_->windowHandle() != nullptr) {
      window_->windowHandle()->startSystemResize(edges);
      return true;
    }
  }
  return false;
}
