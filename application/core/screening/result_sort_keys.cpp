#include "screening/result_sort_keys.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <thread>

#include "screening/result_sort.h"

namespace {

constexpr int kDigitBits = 16;
constexpr size_t kBuckets = size_t{1} << kDigitBits;

// The bytes NumberTextKey packs, in byte order; a byte's code is its place
// here plus one, 0 standing for "the text has ended".
constexpr std::string_view kNumberBytes = "+,-.0123456789";
constexpr size_t kMostPackedBytes = 16;  // four bits a byte

std::vector<uint32_t> Identity(size_t count) {
  std::vector<uint32_t> order(count);
  std::iota(order.begin(), order.end(), uint32_t{0});
  return order;
}

// A stable sort of the rows by `less` on their keys, through an array of
// (key, place) pairs, so that each comparison reads neighbouring memory. The
// library's stable sort takes its steps from the number of elements and the
// answers of `less` alone, so it answers as a sort of the rows' places by the
// same comparison would, also for a comparison that is no strict weak order.
template <typename Key, typename Less>
std::vector<uint32_t> StableOrderByKey(std::vector<Key> keys, Less less) {
  std::vector<std::pair<Key, uint32_t>> pairs;
  pairs.reserve(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) pairs.emplace_back(std::move(keys[i]), uint32_t(i));
  keys = {};
  std::stable_sort(pairs.begin(), pairs.end(),
                   [&less](const auto& a, const auto& b) { return less(a.first, b.first); });
  std::vector<uint32_t> order(pairs.size());
  for (size_t i = 0; i < pairs.size(); ++i) order[i] = pairs[i].second;
  return order;
}

bool IsNumberKind(int32_t kind) { return kind == kSortNumber || kind == kSortNumberDescending; }

// Ranks of cells already in the order of their comparison, when equal cells
// stand together: a rank goes up at each cell that compares after the one
// before it. `compare` compares two cells by their places.
template <typename Compare>
std::optional<std::vector<uint64_t>> RanksInOrder(const std::vector<uint32_t>& order,
                                                  Compare compare, size_t count) {
  std::vector<uint64_t> ranks(count);
  uint64_t rank = 0;
  size_t groupStart = 0;
  for (size_t i = 1; i < order.size(); ++i) {
    const int toGroup = compare(order[groupStart], order[i]);
    const int toPrevious = compare(order[i - 1], order[i]);
    // A cell equal to the one before it but not to the first of their group
    // (or the other way round) breaks the chain of equals: no rank stands for
    // that.
    if ((toGroup == 0) != (toPrevious == 0) || toGroup > 0) return std::nullopt;
    if (toGroup != 0) {
      ++rank;
      groupStart = i;
    }
    ranks[order[i]] = rank;
  }
  if (!order.empty()) ranks[order[0]] = 0;
  return ranks;
}

}  // namespace

std::vector<uint32_t> StableOrderOfKeys(const std::vector<uint64_t>& keys) {
  const size_t count = keys.size();
  uint64_t varying = 0;
  for (const uint64_t key : keys) varying |= key ^ keys[0];
  std::vector<uint32_t> order = Identity(count);
  std::vector<uint32_t> nextOrder(count);
  std::vector<uint64_t> sorted(keys);
  std::vector<uint64_t> nextSorted(count);
  std::vector<size_t> starts(kBuckets);
  // Least significant digit first: each pass is stable, so the later passes
  // keep the order of the earlier ones among their equal digits.
  for (int shift = 0; shift < 64; shift += kDigitBits) {
    if (((varying >> shift) & (kBuckets - 1)) == 0) continue;
    std::fill(starts.begin(), starts.end(), 0);
    for (const uint64_t key : sorted) ++starts[(key >> shift) & (kBuckets - 1)];
    size_t start = 0;
    for (size_t& bucket : starts) start += std::exchange(bucket, start);
    for (size_t i = 0; i < count; ++i) {
      const size_t to = starts[(sorted[i] >> shift) & (kBuckets - 1)]++;
      nextSorted[to] = sorted[i];
      nextOrder[to] = order[i];
    }
    sorted.swap(nextSorted);
    order.swap(nextOrder);
  }
  return order;
}

std::optional<uint64_t> NumberTextKey(std::string_view text) {
  if (text.size() > kMostPackedBytes) return std::nullopt;
  uint64_t key = 0;
  for (size_t i = 0; i < kMostPackedBytes; ++i) {
    uint64_t code = 0;
    if (i < text.size()) {
      const size_t at = kNumberBytes.find(text[i]);
      if (at == std::string_view::npos) return std::nullopt;
      code = at + 1;
    }
    key = (key << 4) | code;
  }
  return key;
}

std::optional<std::vector<uint64_t>> RanksOf(int32_t kind, const std::vector<ComparedCell>& cells) {
  const size_t count = cells.size();
  std::vector<uint32_t> order = Identity(count);
  if (IsNumberKind(kind)) {
    // The comparison grows with the first number and falls with the second,
    // so the cells in the order of their numbers are in its order; whether
    // it ties them in consistent groups is what RanksInOrder tells.
    std::vector<double> numbers;
    for (const ComparedCell& cell : cells) numbers.push_back(SortNumberOf(cell.text));
    const double sign = kind == kSortNumber ? 1.0 : -1.0;
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return sign * numbers[a] < sign * numbers[b]; });
    return RanksInOrder(
        order,
        [&](uint32_t a, uint32_t b) {
          return kind == kSortNumber ? CompareHundredths(numbers[a], numbers[b])
                                     : CompareHundredths(numbers[b], numbers[a]);
        },
        count);
  }
  // The other comparisons are orders of texts or numbers: sorted by them,
  // equal cells stand together.
  std::vector<std::string> texts;
  if (IsTextSortKind(kind)) {
    for (const ComparedCell& cell : cells) {
      texts.push_back(ComparedText(kind, cell.text, cell.object));
    }
  }
  auto compare = [&](uint32_t a, uint32_t b) {
    if (IsTextSortKind(kind)) {
      const int byText = CompareText(texts[a], texts[b]);
      return kind == kSortTextDescending ? -byText : byText;
    }
    return CompareResultCells(kind, cells[a].text, cells[a].object, cells[b].text, cells[b].object);
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return compare(a, b) < 0; });
  return RanksInOrder(order, compare, count);
}

std::optional<uint64_t> TextCellKey(int32_t kind, std::string_view text, int32_t object) {
  if (!IsTextSortKind(kind)) return std::nullopt;
  const std::optional<uint64_t> key = NumberTextKey(ComparedText(kind, text, object));
  if (!key) return std::nullopt;
  return kind == kSortTextDescending ? ~*key : *key;
}

std::vector<uint32_t> StableOrderByComparison(int32_t kind, size_t count,
                                              const std::function<ComparedCell(size_t)>& cellOf) {
  if (IsNumberKind(kind)) {
    std::vector<double> numbers(count);
    ForEachSlice(count, [&](size_t first, size_t last) {
      for (size_t i = first; i < last; ++i) numbers[i] = SortNumberOf(cellOf(i).text);
    });
    if (kind == kSortNumber) {
      return StableOrderByKey(std::move(numbers),
                              [](double a, double b) { return CompareHundredths(a, b) < 0; });
    }
    return StableOrderByKey(std::move(numbers),
                            [](double a, double b) { return CompareHundredths(b, a) < 0; });
  }
  std::vector<ComparedCell> cells(count);
  ForEachSlice(count, [&](size_t first, size_t last) {
    for (size_t i = first; i < last; ++i) cells[i] = cellOf(i);
  });
  return StableOrderByKey(std::move(cells), [kind](const ComparedCell& a, const ComparedCell& b) {
    return CompareResultCells(kind, a.text, a.object, b.text, b.object) < 0;
  });
}

void ForEachSlice(size_t count, const std::function<void(size_t, size_t)>& body) {
  constexpr size_t kLeastSlice = size_t{1} << 16;
  const size_t threads =
      std::clamp<size_t>(count / kLeastSlice, 1, std::max(1u, std::thread::hardware_concurrency()));
  if (threads == 1) {
    body(0, count);
    return;
  }
  const size_t slice = (count + threads - 1) / threads;
  std::vector<std::exception_ptr> errors(threads);
  std::vector<std::thread> workers;
  for (size_t t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      try {
        body(t * slice, std::min(count, (t + 1) * slice));
      } catch (...) {
        errors[t] = std::current_exception();
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  for (const std::exception_ptr& error : errors) {
    if (error) std::rethrow_exception(error);
  }
}
