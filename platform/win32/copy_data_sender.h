#pragma once
// Hands a data message to another program that stands for a named window:
// the program listens on a local socket named after its window in the
// user's runtime directory (CopyDataServerPath), reads one message
// (copy_data_frame.h) per connection and answers with one int32. The send
// never blocks the calling thread: the answer, or its absence, comes back
// as a signal. GUI or main thread only; one message at a time per sender.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

class QLocalSocket;
class QTimer;

namespace win32 {

// The socket path of the window named `windowName`: the user's runtime
// directory ($XDG_RUNTIME_DIR, else Qt's private fallback) + "/" +
// windowName + ".sock".
QString CopyDataServerPath(const QString& windowName);

class CopyDataSender : public QObject {
  Q_OBJECT
 public:
  explicit CopyDataSender(QObject* parent = nullptr);
  ~CopyDataSender() override;

  // Connects to `serverPath`, writes `frame` and waits at most `timeoutMs`
  // milliseconds in all for the answer. False, and nothing sent, while an
  // earlier message is still waiting.
  bool Send(const QString& serverPath, const QByteArray& frame, int timeoutMs);
  bool Busy() const { return socket_ != nullptr; }

 signals:
  // The answer, or nullopt when no program listens, the connection broke or
  // the time ran out. Emitted once per accepted Send, never from within Send.
  void finished(std::optional<int32_t> reply);

 private:
  void Finish(std::optional<int32_t> reply);

  QLocalSocket* socket_ = nullptr;
  QTimer* timer_ = nullptr;
  QByteArray frame_;
  QByteArray answer_;
  uint64_t sends_ = 0;  // numbers the sends, so a late signal finds its own
};

}  // namespace win32
