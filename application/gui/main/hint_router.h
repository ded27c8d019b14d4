#pragma once
// The application's one hint path. Every status tip that Qt raises (a widget
// with a status tip entered or left, a menu item hovered) and every hint that
// the program sets itself (the status bar's panel hints) becomes the
// application's current hint; each change of it is reported once through
// hintChanged, which the main window turns into panel 0 by the hint rule.
//
// Leaving one control and entering the next raises an empty tip and then the
// next control's tip; the empty tip is held back until the events of that
// move are handled, so the move counts as one change, as it does for the
// user.

#include <QObject>
#include <QString>
#include <QTimer>

class HintRouter : public QObject {
  Q_OBJECT
 public:
  explicit HintRouter(QObject* parent = nullptr);
  ~HintRouter() override;

  // Makes `text` the application's hint; reports it when it differs from the
  // current one.
  void SetHint(const QString& text);

 signals:
  void hintChanged(const QString& hint);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString hint_;
  QTimer pendingEmpty_;
};
