#include "widgets/guarded_application.h"

#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "data/write_failure_reason.h"
#include "vcl/inifile.h"
#include "widgets/qt_cp932.h"

GuardedApplication::GuardedApplication(int& argc, char** argv)
    : QApplication(argc, argv), reporter_(&GuardedApplication::ShowErrorBox) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    Report(CurrentErrorMessage());
  }
  return false;
}

void GuardedApplication::SetErrorReporter(ErrorReporter reporter) {
  reporter_ = std::move(reporter);
}

void GuardedApplication::ShowErrorBox(const QString& message) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Dyadmark"), message, QMessageBox::Ok);
  box.exec();
}

void GuardedApplication::Report(const QString& message) {
  // An error raised while its box is open (a paint handler that keeps
  // failing) must not stack boxes without end.
  if (reporting_) {
    std::fprintf(stderr, "Dyadmark: %s\n", message.toLocal8Bit().constData());
    return;
  }
  reporting_ = true;
  try {
    reporter_(message);
  } catch (...) {
    // A reporter that fails has no one left to tell; the event loop goes on.
  }
  reporting_ = false;
}

QString CurrentErrorMessage() {
  try {
    throw;
  } catch (const vcl::EIniFileException& e) {
    return QFromCp932(SettingsWriteMessage(e));
  } catch (const std::exception& e) {
    return QFromCp932(e.what());
  } catch (...) {
    return QString();
  }
}
