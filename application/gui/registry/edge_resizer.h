#pragma once
// A window without a frame keeps a sizing border: a press within a few
// pixels of its edges starts the window system's resize from that edge, and
// the pointer shows the resize shape there.

#include <QObject>

class QWidget;

class EdgeResizer : public QObject {
 public:
  // Watches `window` (a top-level widget), which must leave `border` pixels
  // of its own around its contents (for instance through its contents
  // margins). The resizer belongs to the window.
  EdgeResizer(QWidget* window, int border);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Qt::Edges EdgesAt(const QPoint& pos) const;

  QWidget* window_;
  int border_;
};
