#pragma once
// The rows of the code-data page's price list: one row per line of the shown
// price file, in file order, the texts cut from the file's bytes when a view
// asks for them (PriceFileLines). Column 0 is the hidden one; 1 to 6 show the
// date, close, open, high, low and volume. Main thread only.

#include <QAbstractTableModel>
#include <memory>

#include "data/price_file_lines.h"

class PriceListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kColumnCount = 7;

  explicit PriceListModel(QObject* parent = nullptr);

  // Shows `lines` in place of what the list showed.
  void Show(std::shared_ptr<const PriceFileLines> lines);
  // Shows no rows.
  void Clear();
  // The shown lines (none when the list is empty).
  const PriceFileLines& Lines() const { return *lines_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::shared_ptr<const PriceFileLines> lines_;
};
