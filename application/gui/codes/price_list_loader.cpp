#include "codes/price_list_loader.h"

#include <QMetaObject>
#include <system_error>
#include <utility>

#include "codes/price_list_model.h"

PriceListLoader::PriceListLoader(PriceListModel& model, QObject* parent)
    : QObject(parent), model_(model) {}

// The thread goes first: nothing reaches this object once it is gone.
PriceListLoader::~PriceListLoader() { readThread_.reset(); }

PriceFileReadThread& PriceListLoader::ReadThread() {
  if (!readThread_) {
    // The lines come on the reading thread and are shown on this one.
    readThread_ = std::make_unique<PriceFileReadThread>(
        [this](uint64_t ticket, PriceFileReadThread::Lines lines) {
          QMetaObject::invokeMethod(
              this, [this, ticket, lines = std::move(lines)] { Deliver(ticket, lines); },
              Qt::QueuedConnection);
        });
  }
  return *readThread_;
}

bool PriceListLoader::Load(const std::filesystem::path& file) {
  Clear();
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size <= kPriceFileReadAtOnceBytes) {
    std::optional<PriceFileLines> lines = ReadPriceFileLines(file);
    model_.Show(std::make_shared<const PriceFileLines>(std::move(*lines)));
    return true;
  }
  waitedTicket_ = ReadThread().Read(file);
  return false;
}

void PriceListLoader::Clear() {
  if (readThread_) readThread_->Cancel();
  waitedTicket_ = 0;
  model_.Clear();
}

void PriceListLoader::Deliver(uint64_t ticket, PriceFileReadThread::Lines lines) {
  // A Load or a Clear since the read was asked for drops its lines.
  if (ticket != waitedTicket_ || !readThread_ || !readThread_->IsWanted(ticket)) return;
  waitedTicket_ = 0;
  model_.Show(std::move(lines));
  emit loaded(model_.rowCount());
}
