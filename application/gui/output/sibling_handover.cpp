#include "output/sibling_handover.h"

#include "widgets/qt_cp932.h"
#include "win32/copy_data_frame.h"
#include "win32/copy_data_sender.h"
#include "win32/start_program.h"

namespace {

constexpr char kSiblingWindow[] = "Sentrova";
constexpr char kSiblingProgram[] = "Sentrova.exe";
constexpr int32_t kPairMessageTag = -1;

}  // namespace

SiblingHandOver::SiblingHandOver(std::filesystem::path exeDir, QObject* parent)
    : QObject(parent), exeDir_(std::move(exeDir)), sender_(new win32::CopyDataSender(this)) {
  connect(sender_, &win32::CopyDataSender::finished, this, &SiblingHandOver::Answered);
}

SiblingHandOver::~SiblingHandOver() = default;

bool SiblingHandOver::Waiting() const { return sender_->Busy(); }

bool SiblingHandOver::HandOver(const std::string& text) {
  if (Waiting()) return false;
  std::string data = text;
  data += '\0';  // the receiver counts the terminating zero byte
  const std::string frame = win32::EncodeCopyDataFrame(kPairMessageTag, data);
  pending_ = text;
  return sender_->Send(win32::CopyDataServerPath(QString::fromLatin1(kSiblingWindow)),
                       QByteArray::fromStdString(frame), static_cast<int>(kReplyTime.count()));
}

void SiblingHandOver::Answered(std::optional<int32_t> reply) {
  const std::string text = std::move(pending_);
  pending_.clear();
  if (reply && *reply != 0) {
    emit finished(Route::kMessage);
    return;
  }
  // No instance, a refusal (0) or no answer in time: a new instance takes
  // the pair. A failed start is silent, as the menu item offered the program
  // only because it was there at start-up.
  const bool started = win32::StartProgram(exeDir_ / kSiblingProgram, QFromCp932(text));
  emit finished(started ? Route::kStarted : Route::kStartFailed);
}
