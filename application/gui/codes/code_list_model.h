#pragma once
// The rows of the code-data page's code list: one row per entry of the code
// table, read straight from the table. The screening worker changes the
// table while the list shows it; the model always reports the table's size,
// and when it finds the table's size changed behind its back it tells its
// views at the next turn of the event loop. Main thread only.

#include <QAbstractTableModel>

#include "data/code_table.h"

class CodeListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Columns: the check image, "銘柄", "取引所", "業種", "単元", "平均出来高", "貸".
  static constexpr int kColumnCount = 7;
  // The index (0 or 2) of the check image of a row's exclusion mark.
  static constexpr int kCheckImageRole = Qt::UserRole + 1;

  explicit CodeListModel(const CodeTable& table, QObject* parent = nullptr);

  // Tells the views that the table changed as a whole.
  void Refresh();
  // Tells the views that one row's record changed.
  void RowChanged(int row);
  // The number of rows, the table's size.
  int ItemCount() const { return table_.Count(); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  // Schedules a Refresh when the views were told another size.
  void NoticeSizeChange() const;

  const CodeTable& table_;
  int toldCount_ = 0;
  mutable bool refreshPending_ = false;
};
