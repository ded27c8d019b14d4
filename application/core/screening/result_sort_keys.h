#pragma once
// The fast road of the result list's sort. Each row's cell becomes a 64-bit
// key whose unsigned order is its column's comparison (CompareResultCells),
// and one stable radix sort orders the rows by them: a row of a column whose
// cells are few (a code's texts, a unit ratio) takes the rank of its cell
// among those few, a number text its packed characters. Where no key can
// stand for the comparison, the comparison itself sorts the keys it needs.
// Code page 932 bytes; any thread may call these.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The stable order of rows by `keys`, ascending: order[i] is the row that
// goes to place i, and rows of equal keys keep their order.
std::vector<uint32_t> StableOrderOfKeys(const std::vector<uint64_t>& keys);

// A text of at most 16 bytes, each one of "+,-.0123456789", as a key whose
// order is CompareText's (a shorter text before a longer one it begins);
// nullopt for any other text.
std::optional<uint64_t> NumberTextKey(std::string_view text);

// One cell as its column compares it: its text and its object.
struct ComparedCell {
  std::string text;
  int32_t object = 0;
};

// The rank of each of a few cells under the comparison of sort kind `kind`:
// cells that compare equal share a rank, and a lower rank goes first. nullopt
// when the comparison does not order these cells consistently (numbers whose
// hundredths it takes as equal in a chain that it does not), so that no rank
// can stand for it.
std::optional<std::vector<uint64_t>> RanksOf(int32_t kind, const std::vector<ComparedCell>& cells);

// The key of a cell of a text kind (names, correlations, regressions, ratios,
// markets) in a column of many cells; nullopt for another kind or a text that
// NumberTextKey cannot pack.
std::optional<uint64_t> TextCellKey(int32_t kind, std::string_view text, int32_t object);

// The stable order of `count` rows by comparing their cells with `kind`, one
// pair at a time, as the plain sort does: for the comparisons no key can
// stand for. cellOf(i) is the cell of row i; it is called from several
// threads at once.
std::vector<uint32_t> StableOrderByComparison(int32_t kind, size_t count,
                                              const std::function<ComparedCell(size_t)>& cellOf);

// Runs body(first, last) over slices of [0, count), on as many threads as
// there are cores when the slices are large, and returns when all are done.
void ForEachSlice(size_t count, const std::function<void(size_t, size_t)>& body);
