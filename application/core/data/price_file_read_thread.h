#pragma once
// Reads price files for a list on a thread of its own, one at a time, so that
// the thread that shows the list goes on answering while a large file is read
// and indexed. A newer Read supersedes an older one, which stops at its next
// poll and is not delivered. Read, Cancel, IsWanted and the destructor may be
// called from any one thread; the delivery runs on the reading thread.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "data/price_file_lines.h"

class PriceFileReadThread {
 public:
  using Lines = std::shared_ptr<const PriceFileLines>;
  // Gets the lines of the read with that ticket, on the reading thread. A
  // ticket that is no longer wanted when the call's work reaches the caller's
  // thread is to be dropped there (IsWanted).
  using Delivery = std::function<void(uint64_t ticket, Lines lines)>;
  // How a file is read; ReadPriceFileLines unless a test puts in its own.
  using Reader = std::function<std::optional<PriceFileLines>(const std::filesystem::path&,
                                                             const PriceFileLines::StopPoll&)>;

  explicit PriceFileReadThread(Delivery deliver, Reader read = ReadPriceFileLines);
  // Stops the read under way and waits for its thread; nothing is delivered
  // after it returns.
  ~PriceFileReadThread();
  PriceFileReadThread(const PriceFileReadThread&) = delete;
  PriceFileReadThread& operator=(const PriceFileReadThread&) = delete;

  // Reads `file` after the read under way has stopped; the ticket names it.
  // The thread starts with the first call.
  uint64_t Read(std::filesystem::path file);
  // No read is wanted any more.
  void Cancel();
  // True while `ticket` names the newest read and nothing cancelled it.
  bool IsWanted(uint64_t ticket) const { return wanted_.load() == ticket; }

 private:
  void Run();

  const Delivery deliver_;
  const Reader read_;
  std::mutex mutex_;
  std::condition_variable wake_;
  // The read waiting for the thread (guarded by mutex_).
  struct Job {
    uint64_t ticket;
    std::filesystem::path file;
  };
  std::optional<Job> pending_;
  bool stopping_ = false;
  uint64_t lastTicket_ = 0;
  // The ticket of the read still wanted, 0 for none; polled by the read.
  std::atomic<uint64_t> wanted_{0};
  std::thread thread_;
};
