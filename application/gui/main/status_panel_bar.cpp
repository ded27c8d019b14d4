#include "main/status_panel_bar.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QSizeGrip>
#include <QStatusTipEvent>

StatusPanelBar::StatusPanelBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("StatusBar"));
  setAccessibleName(QStringLiteral(u"ステータスバー"));
  setMouseTracking(true);
  const QString initialTexts[kPanelCount] = {QString(), QStringLiteral("-"), QStringLiteral("-"),
                                             QString(), QString(),           QString()};
  for (int i = 0; i < kPanelCount; ++i) {
    auto* label = new QLabel(initialTexts[i], this);
    label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    label->setAlignment((i == 0 || i == 5 ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter);
    if (i != 5) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setMouseTracking(true);
    // Moves over a panel count as moves over the bar.
    label->installEventFilter(this);
    labels_[i] = label;
  }
  labels_[0]->setAccessibleName(QStringLiteral(u"メッセージ"));
  labels_[5]->setAccessibleName(QStringLiteral(u"サイズ変更グリップ"));
  grip_ = new QSizeGrip(this);
  setFixedHeight(fontMetrics().height() + 7);
  LayOut();
}

QString StatusPanelBar::PanelText(int panel) const { return labels_[panel]->text(); }

void StatusPanelBar::SetPanelText(int panel, const QString& text) { labels_[panel]->setText(text); }

void StatusPanelBar::SetPanelName(int panel, const QString& name) {
  labels_[panel]->setAccessibleName(name);
}

void StatusPanelBar::SetPanelWidth(int panel, int32_t width) {
  widths_[panel] = width < 0 ? 0 : width;
  LayOut();
}

void StatusPanelBar::ApplyPanel0WidthRule() {
  const int32_t rest = widths_[1] + widths_[2] + widths_[3] + widths_[4] + 18;
  const int32_t w0 = width() - rest;
  widths_[0] = w0 < 0 ? 0 : w0;
  LayOut();
}

std::array<int32_t, 5> StatusPanelBar::HintWidths() const {
  return {widths_[0], widths_[1], widths_[2], widths_[3], widths_[4]};
}

void StatusPanelBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyPanel0WidthRule();
}

void StatusPanelBar::mouseMoveEvent(QMouseEvent* event) {
  emit mouseMoved(static_cast<int32_t>(event->position().x()));
  QWidget::mouseMoveEvent(event);
}

void StatusPanelBar::leaveEvent(QEvent* event) {
  QStatusTipEvent tip{QString()};
  QCoreApplication::sendEvent(this, &tip);
  QWidget::leaveEvent(event);
}

bool StatusPanelBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label != nullptr) {
      const auto* move = static_cast<QMouseEvent*>(event);
      emit mouseMoved(static_cast<int32_t>(label->x() + move->position().x()));
    }
  }
  return QWidget::eventFilter(watched, event);
}

void StatusPanelBar::LayOut() {
  int x = 0;
  for (int i = 0; i < kPanelCount; ++i) {
    QLabel* label = labels_[i];
    label->setGeometry(x, 0, widths_[i], height());
    label->setVisible(widths_[i] > 0);
    x += widths_[i];
  }
  const QSize grip = grip_->sizeHint();
  grip_->setGeometry(width() - grip.width(), height() - grip.height(), grip.width(), grip.height());
  grip_->raise();
}
