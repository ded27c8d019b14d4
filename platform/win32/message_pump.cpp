#include "win32/message_pump.h"

#include <QCoreApplication>

namespace win32 {

void ProcessPendingMessages() {
  if (QCoreApplication::instance() == nullptr) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace win32
