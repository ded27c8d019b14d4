#include "widgets/hidden_column_grip.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <algorithm>
#include <cstdlib>

HiddenColumnGrip::HiddenColumnGrip(QHeaderView* header, int section)
    : QObject(header), header_(header), viewport_(header->viewport()), section_(section) {
  viewport_->installEventFilter(this);
}

bool HiddenColumnGrip::OnLeftEdge(int x) const {
  if (header_->sectionSize(section_) > 0 || header_->isSectionHidden(section_)) return false;
  const int margin = header_->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header_);
  return std::abs(x - header_->sectionViewportPosition(section_)) <= margin;
}

bool HiddenColumnGrip::eventFilter(QObject* watched, QEvent* event) {
  if (watched != viewport_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* press = static_cast<QMouseEvent*>(event);
      if (press->button() != Qt::LeftButton || !OnLeftEdge(press->position().toPoint().x())) {
        return false;
      }
      dragging_ = true;
      dragStart_ = header_->sectionViewportPosition(section_);
      header_->setCursor(Qt::SplitHCursor);
      return true;
    }
    case QEvent::MouseMove: {
      const int x = static_cast<QMouseEvent*>(event)->position().toPoint().x();
      if (dragging_) {
        header_->resizeSection(section_, std::max(0, x - dragStart_));
        return true;
      }
      // The header shows the split cursor only on the side of the section
      // before: on this grip's whole band it is this one's. Elsewhere the
      // header puts its own cursor back.
      if (!OnLeftEdge(x)) return false;
      header_->setCursor(Qt::SplitHCursor);
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (!dragging_) return false;
      dragging_ = false;
      return true;
    default:
      return false;
  }
}
