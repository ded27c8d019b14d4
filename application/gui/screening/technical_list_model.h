#pragma once
// The rows of the technical-condition list: a check, the kind, the period,
// the range and the result column (caption and width) of each condition.

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

#include "screening/screening_conditions.h"

class CheckBoxImages;

class TechnicalListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Columns: the check, "種別", "    期間", "        指定値", "  結果表示", "幅".
  static constexpr int kColumnCount = 6;

  explicit TechnicalListModel(QObject* parent = nullptr);

  // Whether the user may tick rows now (not during a run).
  void SetEditGuard(std::function<bool()> mayEdit) { mayEdit_ = std::move(mayEdit); }
  // The images of the result column's box, owned by the main window.
  void SetCheckImages(const CheckBoxImages* images) { images_ = images; }

  const std::vector<TechnicalCondition>& Rows() const { return rows_; }
  void SetRows(std::vector<TechnicalCondition> rows);
  // Appends a row; its index.
  int Append(const TechnicalCondition& row);
  // Rewrites the kind, period, range and result of row `index`; its check
  // stays, and so does its sort kind when it shows no result.
  void Update(int index, const TechnicalCondition& row);
  void Remove(int index);
  // The caption of row `index`, shown in the check column; no row, no change.
  void SetCaption(int index, const std::string& caption);
  // Moves row `from` to stand where row `target` stood: before it when
  // moving up, after it when moving down; the moved row loses its caption
  // until a run writes it again. False when nothing moved.
  bool MoveRow(int from, int target);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  bool MayEdit() const { return !mayEdit_ || mayEdit_(); }

  std::vector<TechnicalCondition> rows_;
  std::function<bool()> mayEdit_;
  const CheckBoxImages* images_ = nullptr;
};
