#include "win32/copy_data_sender.h"

#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <string_view>

#include "win32/copy_data_frame.h"

namespace win32 {

QString CopyDataServerPath(const QString& windowName) {
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + u'/' + windowName +
         QStringLiteral(".sock");
}

CopyDataSender::CopyDataSender(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  connect(timer_, &QTimer::timeout, this, [this] { Finish(std::nullopt); });
}

CopyDataSender::~CopyDataSender() {
  if (socket_ != nullptr) {
    socket_->disconnect(this);
    socket_->abort();
    delete socket_;
  }
}

bool CopyDataSender::Send(const QString& serverPath, const QByteArray& frame, int timeoutMs) {
  if (Busy()) return false;
  frame_ = frame;
  answer_.clear();
  auto* socket = new QLocalSocket(this);
  socket_ = socket;
  // Each handler checks that its socket is still the one waited for: a
  // queued signal of an earlier, finished send must not end this one.
  const uint64_t send = ++sends_;
  auto mine = [this, send] { return socket_ != nullptr && send == sends_; };
  connect(socket, &QLocalSocket::connected, this, [this, mine] {
    if (mine()) socket_->write(frame_);
  });
  connect(socket, &QLocalSocket::readyRead, this, [this, mine] {
    if (!mine()) return;
    answer_ += socket_->readAll();
    const std::optional<int32_t> reply =
        DecodeCopyDataReply(std::string_view(answer_.constData(), answer_.size()));
    if (reply) Finish(reply);
  });
  // A refused or broken connection ends the wait at once; queued, so that
  // finished() never comes from within Send (connectToServer may fail there).
  auto broken = [this, mine] {
    if (mine()) Finish(std::nullopt);
  };
  connect(socket, &QLocalSocket::errorOccurred, this, broken, Qt::QueuedConnection);
  connect(socket, &QLocalSocket::disconnected, this, broken, Qt::QueuedConnection);
  timer_->start(timeoutMs);
  socket->connectToServer(serverPath);
  return true;
}

void CopyDataSender::Finish(std::optional<int32_t> reply) {
  if (socket_ == nullptr) return;  // a late signal of a finished send
  timer_->stop();
  QLocalSocket* socket = socket_;
  socket_ = nullptr;
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
  emit finished(reply);
}

}  // namespace win32
