#pragma once
// Hands a pair to the sibling watching program "Sentrova": to a running
// instance as a data message (tag -1, the text with its zero byte; the
// instance answers non-zero when it took the pair), else by starting
// "Sentrova.exe" from the program directory with the text as its one
// argument. A running instance is the program listening on
// win32::CopyDataServerPath("Sentrova"); one that does not answer within
// the reply time counts as none. Nothing here blocks the window. Main thread
// only.

#include <QObject>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace win32 {
class CopyDataSender;
}

class SiblingHandOver : public QObject {
  Q_OBJECT
 public:
  enum class Route {
    kMessage,      // a running instance took the pair
    kStarted,      // "Sentrova.exe" was started with the pair
    kStartFailed,  // none took it and the program could not be started
  };

  static constexpr std::chrono::milliseconds kReplyTime{2000};

  // `exeDir` is the program directory, where "Sentrova.exe" lies.
  SiblingHandOver(std::filesystem::path exeDir, QObject* parent = nullptr);
  ~SiblingHandOver() override;

  // Hands over `text` (code page 932). False, and nothing done, while an
  // earlier hand-over still waits for its answer.
  bool HandOver(const std::string& text);
  bool Waiting() const;

 signals:
  // The end of an accepted hand-over.
  void finished(SiblingHandOver::Route route);

 private:
  void Answered(std::optional<int32_t> reply);

  std::filesystem::path exeDir_;
  win32::CopyDataSender* sender_ = nullptr;
  std::string pending_;
};
