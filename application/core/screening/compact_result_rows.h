#pragma once
// The rows of the screening result list, a few words each. A row of a run
// holds its two sides as indexes into the run's table of the codes' cells,
// its signed unit ratio and where its result values start; every cell's text
// is made when it is asked for, and it is the text (the same code page 932
// bytes) that MakeResultRow gives the pair. Rows given by their texts (from
// outside a run) are kept as they are given. Sorting keeps each column's fixed
// direction and the order of equal rows, on keys made once for the sort.
// Not thread-safe: one owner, one thread at a time.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "screening/screening_result_row.h"
#include "screening/technical_filter.h"

// What the rows of one run share.
struct ResultRun {
  // The cells of the run's codes, as the rows' sides index them.
  std::vector<ResultSide> sides;
  // Per result column, the kind of value it shows; nullopt for a column whose
  // condition is no test, shown empty.
  std::vector<std::optional<TechnicalKind>> resultKinds;
  // No run has more rows than pairs: the room of this many rows is set aside
  // at the first batch (address space only, until rows fill it), so that the
  // list never stops to move millions of rows into a larger array.
  size_t rowsAtMost = 0;
};

struct CompactResultRow {
  int32_t sell = 0;  // the sides' indexes in the run
  int32_t buy = 0;
  int32_t ratio = 1;    // the signed unit ratio, as UnitRatioText takes it
  uint32_t values = 0;  // the first of its resultKinds.size() values
};

// Rows as the worker hands them over: each row's `values` counts from the
// start of the batch's `values`.
struct ResultRowBatch {
  std::shared_ptr<const ResultRun> run;
  std::vector<CompactResultRow> rows;
  std::vector<double> values;
};

class CompactResultRows {
 public:
  size_t Count() const { return rows_.size(); }

  // No rows, no run.
  void Clear();
  // Appends the batch's rows at the end. Every batch between two Clears comes
  // from one run; a batch of another run, a side beyond the run's table or
  // values too few for the rows throw std::invalid_argument and append none.
  void Append(ResultRowBatch batch);
  // Throws as Append would, appending nothing.
  void CheckBatch(const ResultRowBatch& batch) const;
  // Appends rows given by their texts.
  void AppendTexts(std::vector<ScreeningResultRow> rows);

  // The text of sub-item k of a row ("" beyond its results) and the object
  // of that cell (0 for the cells without one), as ScreeningResultRow has them.
  std::string SubItem(size_t row, int k) const;
  int32_t SubItemObject(size_t row, int k) const;
  // Every text of a row.
  ScreeningResultRow Texts(size_t row) const;

  // Removes the rows from `first` up to, not including, `last`.
  void Erase(size_t first, size_t last);

  // The order of the rows sorted by sub-item `subItem` with sort kind `kind`
  // (order[i] is the row that goes to place i), stable: the order of
  // SortedRowOrder over the rows' texts, made from keys.
  std::vector<uint32_t> SortedOrder(int subItem, int32_t kind) const;
  // The same by comparing the rows' texts one pair at a time.
  std::vector<uint32_t> PlainSortedOrder(int subItem, int32_t kind) const;
  // Puts the rows in `order` (a permutation of every row, as SortedOrder gives).
  void Reorder(const std::vector<uint32_t>& order);

 private:
  static constexpr int32_t kTextRow = -1;  // `buy` is then the index of its texts

  const ResultSide& Side(int32_t index) const;
  std::vector<uint32_t> SortedBySide(int subItem, int32_t kind) const;
  std::vector<uint32_t> SortedByRatio(int32_t kind) const;
  std::vector<uint32_t> SortedByResult(size_t column, int32_t kind) const;

  std::shared_ptr<const ResultRun> run_;
  std::vector<CompactResultRow> rows_;
  std::vector<double> values_;
  std::vector<ScreeningResultRow> textRows_;
};
