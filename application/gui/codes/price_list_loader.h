#pragma once
// Fills the code-data page's price list from a price file. A file of a price
// file's normal size is read at once; a larger one (a damaged or foreign
// file) is read and indexed on a thread of its own while the window goes on
// answering, and its rows come with `loaded`. A newer Load or a Clear drops a
// load under way. Main thread only.

#include <QObject>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "data/price_file_read_thread.h"

class PriceListModel;

class PriceListLoader : public QObject {
  Q_OBJECT
 public:
  // `model` outlives the loader.
  explicit PriceListLoader(PriceListModel& model, QObject* parent = nullptr);
  ~PriceListLoader() override;

  // Empties the list and shows the lines of `file` (none when it is missing
  // or cannot be read). True when they are shown already; false when they
  // come later.
  bool Load(const std::filesystem::path& file);
  // Empties the list; a load under way is dropped.
  void Clear();
  // True while a Load waits for its rows.
  bool Loading() const { return waitedTicket_ != 0; }

 signals:
  // The rows of the last Load are shown, `rows` of them.
  void loaded(int rows);

 private:
  void Deliver(uint64_t ticket, PriceFileReadThread::Lines lines);
  PriceFileReadThread& ReadThread();

  PriceListModel& model_;
  uint64_t waitedTicket_ = 0;
  // Made by the first large file; joined before the loader goes.
  std::unique_ptr<PriceFileReadThread> readThread_;
};
