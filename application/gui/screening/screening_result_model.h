#pragma once
// The rows of the screening result list: the 15 fixed columns (column k shows
// sub-item k - 1; column 0, the hidden caption, is empty), then one column
// per technical result of the last run. Sorting keeps each column's fixed
// direction and the order of equal rows; rows a run adds later are appended
// unsorted. Main thread only.

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "screening/compact_result_rows.h"
#include "screening/screening_result_row.h"

// One column of the list.
struct ResultColumn {
  std::string caption;  // code page 932 bytes, as the settings file holds them
  Qt::Alignment alignment = Qt::AlignLeft;
  int32_t sortKind = 0;  // 0: the column does not sort
  int width = 65;
};

class ScreeningResultModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kFixedColumns = 15;
  static constexpr int kSpacerColumn = 14;

  explicit ScreeningResultModel(QObject* parent = nullptr);

  // The fixed columns with their default widths.
  static std::vector<ResultColumn> FixedColumns();

  // Without the base's checks through the virtual counts: the view asks for
  // the index of every row each time it lays out millions of them.
  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  // The flags of a flat list (no row has children), also without the base's
  // checks through the virtual counts: the view asks for them row by row.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  const std::vector<ResultColumn>& Columns() const { return columns_; }
  // Every text of a row, made when asked for.
  ScreeningResultRow Row(int row) const { return rows_.Texts(static_cast<size_t>(row)); }
  // The text of sub-item k of a row (code page 932).
  std::string SubItem(int row, int k) const { return rows_.SubItem(static_cast<size_t>(row), k); }

  // Empties the list and takes the result columns away.
  void Clear();
  // Appends result columns after the fixed ones.
  void AddResultColumns(const std::vector<ResultColumn>& columns);
  // Appends a run's rows at the end, whatever the sort order; their texts
  // are made when they are shown.
  void AppendRows(ResultRowBatch batch);
  // Appends rows given by their texts.
  void AppendRows(std::vector<ScreeningResultRow> rows);
  // Removes the rows at these indexes.
  void RemoveRows(std::vector<int> rows);
  // Sorts every row by `column` in its fixed direction; remembers the column.
  // A column that does not sort changes nothing. False then.
  bool SortByColumn(int column);
  // The column last sorted by (0 at the start).
  int SortColumn() const { return sortColumn_; }

 private:
  std::vector<ResultColumn> columns_;
  CompactResultRows rows_;
  int sortColumn_ = 0;
};
