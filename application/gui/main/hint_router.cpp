#include "main/hint_router.h"

#include <QApplication>
#include <QEvent>
#include <QStatusTipEvent>

HintRouter::HintRouter(QObject* parent) : QObject(parent) {
  pendingEmpty_.setSingleShot(true);
  pendingEmpty_.setInterval(0);
  connect(&pendingEmpty_, &QTimer::timeout, this, [this] { SetHint(QString()); });
  if (qApp != nullptr) qApp->installEventFilter(this);
}

HintRouter::~HintRouter() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

void HintRouter::SetHint(const QString& text) {
  if (!text.isEmpty()) pendingEmpty_.stop();
  if (text == hint_) return;
  hint_ = text;
  emit hintChanged(hint_);
}

bool HintRouter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::StatusTip) return QObject::eventFilter(watched, event);
  // The event climbs the widget tree and passes this filter at every level:
  // taking it at the first one makes it count once.
  const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
  if (tip.isEmpty()) {
    if (!hint_.isEmpty()) pendingEmpty_.start();
  } else {
    SetHint(tip);
  }
  return true;
}
