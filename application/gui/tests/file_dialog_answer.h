#pragma once
// Answers the file dialog that the next command opens, as a user would:
// records what it proposes, types `path` into its name box and presses its
// button (or cancels it when `path` is empty), and confirms the replacement
// of an existing file.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

class FileDialogAnswer : public QObject {
 public:
  explicit FileDialogAnswer(QString path) : path_(std::move(path)) {
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
    connect(&confirm_, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        confirmed = true;
        box->button(QMessageBox::Yes)->click();
      }
    });
    poll_.start(10);
  }

  QString dialogName;
  QString proposed;
  QString suffix;
  QStringList filters;
  bool confirmed = false;
  // The dialog's controls that have no accessible name.
  QStringList unnamed;

 private:
  void Poll() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    poll_.stop();
    dialogName = dialog->objectName();
    auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    proposed = nameBox->text();
    suffix = dialog->defaultSuffix();
    filters = dialog->nameFilters();
    for (QWidget* widget : dialog->findChildren<QWidget*>()) {
      const bool control = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                           qobject_cast<QComboBox*>(widget) != nullptr ||
                           (qobject_cast<QAbstractItemView*>(widget) != nullptr &&
                            qobject_cast<QHeaderView*>(widget) == nullptr) ||
                           qobject_cast<QLineEdit*>(widget) != nullptr;
      const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
      if (control && widget->isVisible() &&
          (accessible == nullptr || accessible->text(QAccessible::Name).isEmpty())) {
        unnamed << widget->objectName() + u':' + widget->metaObject()->className();
      }
    }
    if (path_.isEmpty()) {
      dialog->reject();
      return;
    }
    // Typed and pressed at once, so that nothing the dialog does meanwhile
    // (loading its folder) changes the name; a confirmation is answered
    // from its own loop.
    nameBox->setText(path_);
    confirm_.start(10);
    static_cast<QDialog*>(dialog)->accept();
    confirm_.stop();
  }

  QString path_;
  QTimer poll_;
  QTimer confirm_;
};
