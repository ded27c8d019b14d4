#include "data/price_file_read_thread.h"

#include <utility>

PriceFileReadThread::PriceFileReadThread(Delivery deliver, Reader read)
    : deliver_(std::move(deliver)), read_(std::move(read)) {}

PriceFileReadThread::~PriceFileReadThread() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    pending_.reset();
    wanted_ = 0;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

uint64_t PriceFileReadThread::Read(std::filesystem::path file) {
  uint64_t ticket = 0;
  {
    const std::lock_guard lock(mutex_);
    ticket = ++lastTicket_;
    pending_ = Job{ticket, std::move(file)};
    wanted_ = ticket;
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  wake_.notify_one();
  return ticket;
}

void PriceFileReadThread::Cancel() {
  const std::lock_guard lock(mutex_);
  pending_.reset();
  wanted_ = 0;
}

void PriceFileReadThread::Run() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
      if (stopping_) return;
      job = std::move(*pending_);
      pending_.reset();
    }
    const uint64_t ticket = job.ticket;
    const auto stopped = [this, ticket] { return !IsWanted(ticket); };
    // Memory running out, or anything else the read throws, must not end the
    // program from this thread: the list then shows no rows.
    Lines lines;
    try {
      std::optional<PriceFileLines> read = read_(job.file, stopped);
      if (!read) continue;
      lines = std::make_shared<const PriceFileLines>(std::move(*read));
    } catch (...) {
      lines = std::make_shared<const PriceFileLines>();
    }
    if (!stopped()) deliver_(ticket, std::move(lines));
  }
}
