#pragma once
// The main window of one test, on a fresh program directory and the fake
// quote library, with the errors it reports collected instead of shown.

#include <QCoreApplication>
#include <QMouseEvent>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "fake_ticvane.h"
#include "gui_test_dir.h"
#include "main/Dm_umain.h"

struct TestProgram {
  GuiTestDir dir;
  FakeTicvane fake;
  QStringList errors;
  std::unique_ptr<TFormMain> window;

  void Start() {
    window = std::make_unique<TFormMain>(TFormMain::Frames{}, fake.Api(), dir.ExeDir(),
                                         [this](const QString& message) { errors << message; });
  }
};

// A control of a window or page by its component name (tests reach widgets the
// way scripts from outside do, not through accessors of the pages).
template <class Widget>
Widget* Control(const QWidget& root, const char* name) {
  auto* widget = root.findChild<Widget*>(QString::fromLatin1(name));
  if (widget == nullptr) qFatal("no control %s", name);
  return widget;
}

// Moves the pointer (no button) over a spot of `widget` that no child covers,
// as a hook on the widget's own mouse moves sees it. False when every spot
// is covered.
inline bool MoveOverOwnArea(QWidget& widget) {
  for (int y = 1; y < widget.height(); y += 3) {
    for (int x = 1; x < widget.width(); x += 3) {
      const QPoint at(x, y);
      if (widget.childAt(at) != nullptr) continue;
      QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QCoreApplication::sendEvent(&widget, &move);
      return true;
    }
  }
  return false;
}
