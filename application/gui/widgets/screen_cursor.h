#pragma once
// The screen cursor: one shape that overrides the cursor of every widget of
// the application, or none (each widget shows its own). A run in the
// background shows the hourglass; mouse-move hooks switch it back and forth
// over chosen controls.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

// Sets the screen cursor; Qt::ArrowCursor means the default (no override).
void SetScreenCursor(Qt::CursorShape shape);
// The current screen cursor; Qt::ArrowCursor when there is none.
Qt::CursorShape ScreenCursor();

// Calls `handler` on every mouse move over `widget` itself (not over its
// children) while the hook lives. The widget gets mouse tracking for that
// time. The hook belongs to its creator, not to the widget.
class MouseMoveHook : public QObject {
  Q_OBJECT
 public:
  MouseMoveHook(QWidget* widget, std::function<void()> handler);
  ~MouseMoveHook() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> widget_;
  bool hadTracking_;
  std::function<void()> handler_;
};

// The mouse-move hooks a screening run sets on a page's controls, which set
// the hourglass or the arrow while the pointer moves over them.
class RunCursorHooks {
 public:
  void Hook(QWidget* widget, std::function<void()> handler);
  void Clear() { hooks_.clear(); }

 private:
  std::vector<std::unique_ptr<MouseMoveHook>> hooks_;
};
