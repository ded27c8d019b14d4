#pragma once
// The application object. An error that escapes an event handler is shown in
// a message box titled "Dyadmark" and the program goes on; the message of a
// std::exception is code page 932 text, anything else shows an empty message.

#include <QApplication>
#include <QString>
#include <functional>

class GuardedApplication : public QApplication {
  Q_OBJECT
 public:
  // Shows one error message to the user.
  using ErrorReporter = std::function<void(const QString& message)>;

  GuardedApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Replaces the message box (tests record the messages instead).
  void SetErrorReporter(ErrorReporter reporter);

  // The message box of an error: title "Dyadmark", the message, OK.
  static void ShowErrorBox(const QString& message);

 private:
  void Report(const QString& message);

  ErrorReporter reporter_;
  bool reporting_ = false;
};

// The text of the error being handled (call only inside a catch block): the
// code page 932 message of a std::exception, else "".
QString CurrentErrorMessage();
