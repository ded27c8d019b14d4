#pragma once
// The rows of the code-data page's code list: a virtual list over the code
// table. Like a list that is told its item count, it shows as many rows as it
// was last told, so that rows appear only when the owner says the table is
// ready (after loading, after a deletion, at the end of a screening run).

#include <QAbstractTableModel>

#include "code_table.h"

class CodeListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Columns: the check image, "銘柄", "取引所", "業種", "単元", "平均出来高", "貸".
  static constexpr int kColumnCount = 7;

  explicit CodeListModel(const CodeTable& table, QObject* parent = nullptr);

  // The number of rows shown; a count beyond the table's shows the table's.
  void SetItemCount(int count);
  int ItemCount() const { return itemCount_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const CodeTable& table_;
  int itemCount_ = 0;
};
