#pragma once
// The exit and Enter rules of a line edit: a handler when the focus leaves it
// for another control of its window (not when a context menu, the menu bar or
// another window takes the focus for a while) and another when Enter or Return
// is pressed in it (the key goes no further). Other keys pass.

#include <QLineEdit>
#include <QObject>
#include <QString>
#include <functional>

class EditExitFilter : public QObject {
  Q_OBJECT
 public:
  // Watches `edit`; owned by it.
  EditExitFilter(QLineEdit* edit, std::function<void()> onExit, std::function<void()> onEnter);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> onExit_;
  std::function<void()> onEnter_;
};

// Replaces the edit's text without clearing its modified mark (setText alone
// clears it, and the pair check reads the mark to know whether the user typed
// a code).
void SetTextKeepingModified(QLineEdit* edit, const QString& text);
