#include "screening/compact_result_rows.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <unordered_map>

#include "screening/result_sort.h"
#include "screening/result_sort_keys.h"

namespace {

constexpr int kSideCells = 6;
constexpr int kSpacerSubItem = 13;

int32_t SideObject(const ResultSide& side, int cell) {
  if (cell == 1) return side.marketKey;
  if (cell == 2) return side.sectorItem;
  return 0;
}

std::vector<uint32_t> IdentityOrder(size_t count) {
  std::vector<uint32_t> order(count);
  std::iota(order.begin(), order.end(), uint32_t{0});
  return order;
}

}  // namespace

void CompactResultRows::Clear() {
  // Swapped out rather than cleared, so that the room of millions of rows goes too.
  run_.reset();
  std::vector<CompactResultRow>().swap(rows_);
  std::vector<double>().swap(values_);
  std::vector<ScreeningResultRow>().swap(textRows_);
}

void CompactResultRows::Append(ResultRowBatch batch) {
  CheckBatch(batch);
  if (run_ != batch.run) {
    constexpr size_t kMostRowsSetAside = size_t{1} << 28;
    const size_t rows = std::min(batch.run->rowsAtMost, kMostRowsSetAside);
    rows_.reserve(rows_.size() + rows);
    values_.reserve(values_.size() +
                    std::min(rows * batch.run->resultKinds.size(),
                             size_t{std::numeric_limits<uint32_t>::max()} - values_.size()));
  }
  run_ = std::move(batch.run);
  const auto base = static_cast<uint32_t>(values_.size());
  values_.insert(values_.end(), batch.values.begin(), batch.values.end());
  // No reserve of the exact size: batch after batch, that would copy every
  // row each time.
  for (CompactResultRow& row : batch.rows) {
    row.values += base;
    rows_.push_back(row);
  }
}

void CompactResultRows::CheckBatch(const ResultRowBatch& batch) const {
  if (!batch.run) throw std::invalid_argument("result rows without their run");
  if (run_ && run_ != batch.run &&
      std::any_of(rows_.begin(), rows_.end(),
                  [](const CompactResultRow& row) { return row.sell != kTextRow; })) {
    throw std::invalid_argument("result rows of two runs in one list");
  }
  const size_t sides = batch.run->sides.size();
  const size_t width = batch.run->resultKinds.size();
  for (const CompactResultRow& row : batch.rows) {
    if (row.sell < 0 || static_cast<size_t>(row.sell) >= sides || row.buy < 0 ||
        static_cast<size_t>(row.buy) >= sides || size_t{row.values} + width > batch.values.size()) {
      throw std::invalid_argument("a result row beyond its run");
    }
  }
  if (values_.size() + batch.values.size() > std::numeric_limits<uint32_t>::max()) {
    throw std::length_error("too many result values");
  }
}

void CompactResultRows::AppendTexts(std::vector<ScreeningResultRow> rows) {
  for (ScreeningResultRow& row : rows) {
    rows_.push_back({kTextRow, static_cast<int32_t>(textRows_.size()), 1, 0});
    textRows_.push_back(std::move(row));
  }
}

const ResultSide& CompactResultRows::Side(int32_t index) const {
  return run_->sides[static_cast<size_t>(index)];
}

std::string CompactResultRows::SubItem(size_t row, int k) const {
  const CompactResultRow& r = rows_[row];
  if (r.sell == kTextRow) return textRows_[static_cast<size_t>(r.buy)].SubItem(k);
  if (k < 0) return {};
  if (k < kSideCells) return Side(r.sell).cells[static_cast<size_t>(k)];
  if (k < 2 * kSideCells) return Side(r.buy).cells[static_cast<size_t>(k - kSideCells)];
  if (k == kResultRatioSubItem) return UnitRatioText(r.ratio);
  if (k == kSpacerSubItem) return {};
  const size_t column = static_cast<size_t>(k - kResultFixedSubItems);
  if (column >= run_->resultKinds.size() || !run_->resultKinds[column]) return {};
  return TechnicalCaption(*run_->resultKinds[column], values_[r.values + column]);
}

int32_t CompactResultRows::SubItemObject(size_t row, int k) const {
  const CompactResultRow& r = rows_[row];
  if (r.sell == kTextRow) return textRows_[static_cast<size_t>(r.buy)].SubItemObject(k);
  if (k < 0 || k >= 2 * kSideCells) return 0;
  return SideObject(Side(k < kSideCells ? r.sell : r.buy), k % kSideCells);
}

ScreeningResultRow CompactResultRows::Texts(size_t row) const {
  const CompactResultRow& r = rows_[row];
  if (r.sell == kTextRow) return textRows_[static_cast<size_t>(r.buy)];
  ScreeningResultRow texts;
  for (int k = 0; k < kResultFixedSubItems; ++k)
    texts.cells[static_cast<size_t>(k)] = SubItem(row, k);
  for (size_t column = 0; column < run_->resultKinds.size(); ++column) {
    texts.results.push_back(SubItem(row, kResultFixedSubItems + static_cast<int>(column)));
  }
  texts.marketKeys = {Side(r.sell).marketKey, Side(r.buy).marketKey};
  texts.sectorItems = {Side(r.sell).sectorItem, Side(r.buy).sectorItem};
  return texts;
}

void CompactResultRows::Erase(size_t first, size_t last) {
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(first),
              rows_.begin() + static_cast<std::ptrdiff_t>(last));
}

void CompactResultRows::Reorder(const std::vector<uint32_t>& order) {
  if (order.size() != rows_.size()) throw std::invalid_argument("an order of other rows");
  std::vector<CompactResultRow> sorted;
  sorted.reserve(rows_.size());
  for (const uint32_t from : order) sorted.push_back(rows_[from]);
  rows_.swap(sorted);
}

std::vector<uint32_t> CompactResultRows::PlainSortedOrder(int subItem, int32_t kind) const {
  std::vector<size_t> order(rows_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return CompareResultCells(kind, SubItem(a, subItem), SubItemObject(a, subItem),
                              SubItem(b, subItem), SubItemObject(b, subItem)) < 0;
  });
  return std::vector<uint32_t>(order.begin(), order.end());
}

std::vector<uint32_t> CompactResultRows::SortedOrder(int subItem, int32_t kind) const {
  const bool textRows = std::any_of(
      rows_.begin(), rows_.end(), [](const CompactResultRow& row) { return row.sell == kTextRow; });
  if (textRows || !run_) return PlainSortedOrder(subItem, kind);
  if (subItem >= 0 && subItem < 2 * kSideCells) return SortedBySide(subItem, kind);
  if (subItem == kResultRatioSubItem) return SortedByRatio(kind);
  const int column = subItem - kResultFixedSubItems;
  if (column >= 0 && static_cast<size_t>(column) < run_->resultKinds.size() &&
      run_->resultKinds[static_cast<size_t>(column)]) {
    return SortedByResult(static_cast<size_t>(column), kind);
  }
  // Every row shows the same empty cell there: equal rows keep their order.
  return IdentityOrder(rows_.size());
}

std::vector<uint32_t> CompactResultRows::SortedBySide(int subItem, int32_t kind) const {
  const int cell = subItem % kSideCells;
  const bool sell = subItem < kSideCells;
  std::vector<ComparedCell> cells;
  cells.reserve(run_->sides.size());
  for (const ResultSide& side : run_->sides) {
    cells.push_back({side.cells[static_cast<size_t>(cell)], SideObject(side, cell)});
  }
  const std::optional<std::vector<uint64_t>> ranks = RanksOf(kind, cells);
  if (!ranks) {
    return StableOrderByComparison(kind, rows_.size(), [&](size_t row) {
      return cells[static_cast<size_t>(sell ? rows_[row].sell : rows_[row].buy)];
    });
  }
  std::vector<uint64_t> keys(rows_.size());
  for (size_t row = 0; row < rows_.size(); ++row) {
    keys[row] = (*ranks)[static_cast<size_t>(sell ? rows_[row].sell : rows_[row].buy)];
  }
  return StableOrderOfKeys(keys);
}

std::vector<uint32_t> CompactResultRows::SortedByRatio(int32_t kind) const {
  // A run has few ratios; each is ranked once.
  std::unordered_map<int32_t, size_t> entryOf;
  std::vector<ComparedCell> cells;
  std::vector<size_t> entries(rows_.size());
  for (size_t row = 0; row < rows_.size(); ++row) {
    const auto [at, added] = entryOf.try_emplace(rows_[row].ratio, cells.size());
    if (added) cells.push_back({UnitRatioText(rows_[row].ratio), 0});
    entries[row] = at->second;
  }
  const std::optional<std::vector<uint64_t>> ranks = RanksOf(kind, cells);
  if (!ranks) {
    return StableOrderByComparison(kind, rows_.size(),
                                   [&](size_t row) { return cells[entries[row]]; });
  }
  std::vector<uint64_t> keys(rows_.size());
  for (size_t row = 0; row < rows_.size(); ++row) keys[row] = (*ranks)[entries[row]];
  return StableOrderOfKeys(keys);
}

std::vector<uint32_t> CompactResultRows::SortedByResult(size_t column, int32_t kind) const {
  auto cellOf = [this, column](size_t row) {
    return ComparedCell{SubItem(row, kResultFixedSubItems + static_cast<int>(column)), 0};
  };
  if (IsTextSortKind(kind)) {
    std::vector<uint64_t> keys(rows_.size());
    std::vector<char> packed(rows_.size());
    ForEachSlice(rows_.size(), [&](size_t first, size_t last) {
      for (size_t row = first; row < last; ++row) {
        const std::optional<uint64_t> key = TextCellKey(kind, cellOf(row).text, 0);
        packed[row] = key.has_value();
        keys[row] = key.value_or(0);
      }
    });
    if (std::all_of(packed.begin(), packed.end(), [](char p) { return p != 0; })) {
      return StableOrderOfKeys(keys);
    }
  }
  return StableOrderByComparison(kind, rows_.size(), cellOf);
}
