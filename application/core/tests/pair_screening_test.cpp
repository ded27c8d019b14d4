// The pair evaluation of a whole run against the plain composition of its
// steps: each pair's merge, unit ratio and technical tests on their own.

#include "screening/pair_screening.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "data/statistics.h"
#include "scratch_dir.h"
#include "screening/pair_keys.h"
#include "screening/screening_series.h"
#include "screening/technical_filter.h"
#include "screening_fixtures.h"

namespace {

class Collect : public PairScreeningSink {
 public:
  void Evaluated(std::vector<PassedPair>& passed,
                 const std::vector<std::optional<double>>& batchValues, int64_t lastKey,
                 int32_t sell, int32_t buy) override {
    for (PassedPair& pair : passed) rows.push_back(pair);
    lastValues.resize(batchValues.size());
    for (size_t t = 0; t < batchValues.size(); ++t) {
      if (batchValues[t]) lastValues[t] = batchValues[t];
    }
    last = {lastKey, sell, buy};
    batchEnds.push_back(last);
  }
  std::vector<PassedPair> rows;
  // Per test, the value of the last pair of the run that passed it.
  std::vector<std::optional<double>> lastValues;
  std::tuple<int64_t, int32_t, int32_t> last{-1, 0, 0};
  // The same of every batch.
  std::vector<std::tuple<int64_t, int32_t, int32_t>> batchEnds;
};

bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// The codes 1300, 1301, ... of `codes` that a run puts on its calendar,
// placed as a run places them: the pairs of two such codes take the fast
// path, the others the merge.
int CodesOnCalendar(const ScratchDir& dir, int codes) {
  std::vector<CodePrices> prices;
  for (int c = 0; c < codes; ++c) {
    prices.push_back(ReadCodePrices(dir.path() / (std::to_string(1300 + c) + ".txt")));
  }
  const std::vector<int32_t> calendar = CalendarOf(prices);
  int placed = 0;
  for (CodePrices& code : prices) {
    PlaceOnCalendar(code, calendar);
    if (code.onCalendar) ++placed;
  }
  return placed;
}

// Price files of varied shapes: shared days, a missing day, a zero close,
// short histories, a missing file and a malformed one. Every code goes on
// the calendar but the one without a file, the malformed one and those with
// a close of 0.
void WritePrices(const ScratchDir& dir, int codes, std::mt19937& random) {
  int offCalendar = 0;
  for (int c = 0; c < codes; ++c) {
    const std::string code = std::to_string(1300 + c);
    if (c == 5) {  // no file
      ++offCalendar;
      continue;
    }
    std::string text;
    const int days = c % 7 == 3 ? 40 + c : 1225;
    int64_t price = 50 + static_cast<int64_t>(random() % 3000);
    for (int d = 0; d < days; ++d) {
      price += static_cast<int>(random() % 21) - 10;
      if (price < 1) price = 1;
      if (c % 11 == 4 && d == 30) continue;
      const int64_t close = (c % 13 == 6 && d == 12) ? 0 : price;
      text += PriceLine(d, close);
    }
    if (c == 9) text += "2000/01/01\tbad\r\n";
    if (c == 9 || c % 13 == 6) ++offCalendar;
    dir.Write(code + ".txt", text);
  }
  EXPECT_EQ(CodesOnCalendar(dir, codes), codes - offCalendar);
}

// The rows of the steps one by one for every key: merge, unit ratio and
// technical tests of each pair on its own. `lastValues` receives, per test,
// the value of the last pair that passed it.
std::vector<PassedPair> OneByOne(const ScratchDir& dir, const PairKeySet& keys,
                                 const std::vector<int32_t>& units,
                                 const std::vector<TechnicalTest>& tests,
                                 std::vector<std::optional<double>>& lastValues) {
  std::vector<PassedPair> expected;
  lastValues.assign(tests.size(), std::nullopt);
  for (int32_t i = 0; i < keys.CodeCount(); ++i) {
    for (int32_t j = i + 1; j < keys.CodeCount(); ++j) {
      if (!keys.IsKey(i, j)) continue;
      PriceSeries s1, s2;
      const SeriesLoad l1 = LoadPriceSeries(dir.path() / (keys.Codes()[i] + ".txt"), s1);
      const SeriesLoad l2 = LoadPriceSeries(dir.path() / (keys.Codes()[j] + ".txt"), s2);
      if (l1 == SeriesLoad::kMalformed || l2 == SeriesLoad::kMalformed) continue;
      std::vector<MergedDay> rows;
      MergePairSeries(s1, s2, rows);
      const UnitRatio ratio = ComputeUnitRatio(rows, units[i], units[j]);
      if (ratio.ratio == 0) continue;
      std::vector<double> values;
      const bool passed = CheckTechnicals(rows, tests, values);
      for (size_t t = 0; t < values.size(); ++t) lastValues[t] = values[t];
      if (!passed) continue;
      expected.push_back({ratio.exchanged ? j : i, ratio.exchanged ? i : j, ratio.ratio, values});
    }
  }
  return expected;
}

// The same values bit for bit, and the same tests without one.
void ExpectSameLastValues(const std::vector<std::optional<double>>& values,
                          const std::vector<std::optional<double>>& expected,
                          const std::string& what) {
  ASSERT_EQ(values.size(), expected.size()) << what;
  for (size_t t = 0; t < expected.size(); ++t) {
    ASSERT_EQ(values[t].has_value(), expected[t].has_value()) << what << " test " << t;
    if (expected[t]) {
      EXPECT_TRUE(SameValues({*values[t]}, {*expected[t]})) << what << " test " << t;
    }
  }
}

std::string PathName(VectorPath path) {
  switch (path) {
    case VectorPath::kPlain:
      return "plain";
    case VectorPath::kAvx2:
      return "AVX2";
  }
  return "unknown";
}

// A whole run on one build of the correlation lanes and a number of threads.
struct RunShape {
  VectorPath path;
  int threads;
  std::string name;
};

// Every build of the lanes that the processor has, each on every count of
// threads.
std::vector<RunShape> EveryBuildOn(std::initializer_list<int> threadCounts) {
  std::vector<RunShape> shapes;
  for (const VectorPath path : AvailableVectorPaths()) {
    for (const int threads : threadCounts) {
      shapes.push_back(
          {path, threads, PathName(path) + " lanes, " + std::to_string(threads) + " threads"});
    }
  }
  return shapes;
}

void ExpectSameRows(const std::vector<PassedPair>& rows, const std::vector<PassedPair>& expected,
                    const std::string& what) {
  ASSERT_EQ(rows.size(), expected.size()) << what;
  for (size_t r = 0; r < expected.size(); ++r) {
    EXPECT_EQ(rows[r].sell, expected[r].sell) << what << " row " << r;
    EXPECT_EQ(rows[r].buy, expected[r].buy) << what << " row " << r;
    EXPECT_EQ(rows[r].ratio, expected[r].ratio) << what << " row " << r;
    EXPECT_TRUE(SameValues(rows[r].values, expected[r].values)) << what << " row " << r;
  }
}

// Whole runs on every build of the lanes and each count of threads give the
// rows and the last values of the steps one by one; `check` looks further
// at each run's sink.
void ExpectEveryBuildGives(
    const ScratchDir& dir, const PairKeySet& keys, const std::vector<int32_t>& units,
    const std::vector<TechnicalTest>& tests, std::initializer_list<int> threadCounts,
    const std::vector<PassedPair>& expected, const std::vector<std::optional<double>>& expectedLast,
    const std::string& what,
    const std::function<void(const Collect&, const std::string&)>& check = nullptr,
    int32_t pairsPerUnit = PairScreening::kPairsPerUnit) {
  for (const RunShape& shape : EveryBuildOn(threadCounts)) {
    const std::string run = what + ", " + shape.name;
    PairScreening screening(dir.path(), keys, units, tests, shape.threads, pairsPerUnit);
    screening.UseVectorPath(shape.path);
    Collect sink;
    ASSERT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted) << run;
    ExpectSameRows(sink.rows, expected, run);
    ExpectSameLastValues(sink.lastValues, expectedLast, run);
    if (check) check(sink, run);
  }
}

}  // namespace

TEST(PairScreeningTest, EqualsTheStepsOneByOneOnAnyNumberOfThreads) {
  ScratchDir dir;
  std::mt19937 random(3);
  const int codes = 40;
  WritePrices(dir, codes, random);
  std::vector<std::string> a, b;
  for (int c = 0; c < codes; ++c) (c < 30 ? a : b).push_back(std::to_string(1300 + c));
  b.insert(b.begin(), "1310");  // in both lists
  const PairKeySet keys(a, b);
  std::vector<int32_t> units;
  for (int32_t i = 0; i < keys.CodeCount(); ++i)
    units.push_back(i % 4 == 0 ? 1000 : (i == 7 ? 0 : 100));
  const std::vector<TechnicalTest> tests =
      ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + "1200", ""),
                           Condition(kRegression, "   5" + kSeparator + " 300", ""),
                           Condition(kStdDev, "   1" + kSeparator + "  60", kSeparator + "50")});

  std::vector<std::optional<double>> expectedLast;
  const std::vector<PassedPair> expected = OneByOne(dir, keys, units, tests, expectedLast);
  ASSERT_GT(expected.size(), 50u);

  for (const RunShape& shape : EveryBuildOn({1, 3})) {
    PairScreening screening(dir.path(), keys, units, tests, shape.threads);
    screening.UseVectorPath(shape.path);
    Collect sink;
    ASSERT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted);
    ExpectSameRows(sink.rows, expected, shape.name);
    ExpectSameLastValues(sink.lastValues, expectedLast, shape.name);
    ExpectSameLastValues(screening.LastPassedValues(), expectedLast, shape.name);
    EXPECT_EQ(std::get<0>(sink.last), keys.Count() - 1) << shape.name;
    EXPECT_EQ(screening.MalformedCodes(), std::vector<std::string>{"1309"}) << shape.name;
  }
}

namespace {

// A directory on one market calendar of random shape: codes that lack random
// days (now and then the same day), start late, end early, repeat another
// code's file, hold prices near the limits of 32 bits or of one yen, or have
// days out of order, twice, or at a close of 0.
void WriteRandomPrices(const ScratchDir& dir, int codes, std::mt19937& random, bool disordered) {
  const int calendarDays = 1300;
  auto pick = [&](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
  std::vector<std::string> files;
  for (int c = 0; c < codes; ++c) {
    const int shape = pick(disordered ? 12 : 6);
    if (shape == 0 && !files.empty()) {  // a twin of an earlier code
      files.push_back(files[pick(static_cast<int>(files.size()))]);
      continue;
    }
    std::vector<bool> lacking(calendarDays, false);
    const int gaps = pick(4) == 0 ? 0 : 1 + pick(8);
    for (int g = 0; g < gaps; ++g) lacking[pick(pick(3) == 0 ? 40 : calendarDays)] = true;
    const int newest = shape == 1 ? pick(1300) : (shape == 2 ? pick(5) : 0);
    const int oldest = shape == 3 ? newest + 2 + pick(1400) : calendarDays;
    int64_t price = shape == 4   ? 2000000000 - pick(1000)
                    : shape == 5 ? 1 + pick(3)
                                 : 50 + pick(30000);
    std::vector<std::pair<int, int64_t>> days;
    for (int d = newest; d < std::min(oldest, calendarDays); ++d) {
      price += pick(shape == 5 ? 3 : 41) - (shape == 5 ? 1 : 20);
      price = std::max<int64_t>(price, 1);
      if (lacking[d]) continue;
      days.push_back({d, price});
    }
    if (shape == 6 && days.size() > 20) days[5 + pick(10)].second = 0;
    if (shape == 7 && days.size() > 20) std::swap(days[3], days[4 + pick(10)]);
    if (shape == 8 && days.size() > 20) days.insert(days.begin() + 7, days[7]);
    std::string text;
    for (const auto& [d, close] : days) text += PriceLine(d, close);
    files.push_back(text);
  }
  for (int c = 0; c < codes; ++c) dir.Write(std::to_string(1300 + c) + ".txt", files[c]);
  // Days out of order or twice, or a close of 0, keep a code off the
  // calendar; the rest go on it.
  const int onCalendar = CodesOnCalendar(dir, codes);
  if (disordered) {
    EXPECT_GT(onCalendar, codes / 2);
  } else {
    EXPECT_EQ(onCalendar, codes);
  }
}

}  // namespace

// The calendar walk, the batched correlations and the merge of the steps one
// by one give the same rows on directories of every shape.
TEST(PairScreeningTest, EqualsTheStepsOneByOneOnRandomDirectories) {
  const std::vector<std::vector<TechnicalTest>> testSets = {
      ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + "1200", "")}),
      ParseTechnicalTests({Condition(kCorrelation, "  20" + kSeparator + " 900", "")}),
      ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + " 250", ""),
                           Condition(kRegression, "   1" + kSeparator + " 100", ""),
                           Condition(kStdDev, "   1" + kSeparator + "  60", "")}),
      ParseTechnicalTests({Condition(kStdDev, "   1" + kSeparator + "1200", ""),
                           Condition(kCorrelation, "   3" + kSeparator + "  30", "")}),
      ParseTechnicalTests(
          {Condition(kCorrelation, "   1" + kSeparator + "1200", ""),
           Condition(kCorrelation, "   1" + kSeparator + " 120", "      0.3" + kSeparator)}),
  };
  // Some pair after the last one that passed every test passed the first.
  bool aLaterPairPassedTheFirstTest = false;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    ScratchDir dir;
    std::mt19937 random(seed);
    const int codes = 36;
    // Odd seeds keep every file in order, so that every code is on the
    // calendar.
    WriteRandomPrices(dir, codes, random, seed % 2 == 0);
    std::vector<std::string> a, b;
    for (int c = 0; c < codes; ++c) (c % 3 ? a : b).push_back(std::to_string(1300 + c));
    const PairKeySet keys(a, b);
    std::vector<int32_t> units;
    for (int32_t i = 0; i < keys.CodeCount(); ++i) {
      const int32_t choices[] = {1, 1, 10, 100, 100, 1000, 1000, 0};
      units.push_back(choices[random() % 8]);
    }
    const std::vector<TechnicalTest>& tests = testSets[seed % testSets.size()];
    std::vector<std::optional<double>> expectedLast;
    const std::vector<PassedPair> expected = OneByOne(dir, keys, units, tests, expectedLast);
    EXPECT_FALSE(expected.empty()) << seed;
    if (!expected.empty() && expectedLast[0] &&
        !SameValues({*expectedLast[0]}, {expected.back().values[0]})) {
      aLaterPairPassedTheFirstTest = true;
    }
    ExpectEveryBuildGives(dir, keys, units, tests, {1, 4}, expected, expectedLast,
                          "seed " + std::to_string(seed));
  }
  EXPECT_TRUE(aLaterPairPassedTheFirstTest);
}

namespace {

// Key number `key` and its codes, the sell side first, as the steps one by
// one give them.
std::tuple<int64_t, int32_t, int32_t> KeyWithItsCodes(const ScratchDir& dir, const PairKeySet& keys,
                                                      const std::vector<int32_t>& units,
                                                      int64_t key) {
  int64_t number = 0;
  for (int32_t i = 0; i < keys.CodeCount(); ++i) {
    for (int32_t j = i + 1; j < keys.CodeCount(); ++j) {
      if (!keys.IsKey(i, j) || number++ != key) continue;
      PriceSeries s1, s2;
      LoadPriceSeries(dir.path() / (keys.Codes()[i] + ".txt"), s1);
      LoadPriceSeries(dir.path() / (keys.Codes()[j] + ".txt"), s2);
      std::vector<MergedDay> rows;
      MergePairSeries(s1, s2, rows);
      const bool exchanged = ComputeUnitRatio(rows, units[i], units[j]).exchanged;
      return {key, exchanged ? j : i, exchanged ? i : j};
    }
  }
  return {-1, 0, 0};
}

// With `value` as both bounds of the first test's range or as one, whole
// runs in units of `pairsPerUnit` pairs give the rows of the steps one by
// one, and every batch ends on the key and the codes that the steps give.
void ExpectRangesAtTheValueGiveTheSteps(const ScratchDir& dir, const PairKeySet& keys,
                                        const std::vector<int32_t>& units,
                                        std::vector<TechnicalTest> tests, double value,
                                        const std::string& what, int32_t pairsPerUnit) {
  for (const auto& [lowest, highest] :
       {std::pair{value, value}, std::pair{value, 999.0}, std::pair{-999.0, value}}) {
    tests[0].lowest = lowest;
    tests[0].highest = highest;
    std::vector<std::optional<double>> expectedLast;
    const std::vector<PassedPair> expected = OneByOne(dir, keys, units, tests, expectedLast);
    ASSERT_FALSE(expected.empty());
    // Small units: many batches end on a pair that was set aside.
    ExpectEveryBuildGives(
        dir, keys, units, tests, {1, 3}, expected, expectedLast,
        what + ", range " + std::to_string(lowest) + " to " + std::to_string(highest),
        [&](const Collect& sink, const std::string& run) {
          ASSERT_GT(sink.batchEnds.size(), 10u) << run;
          EXPECT_EQ(std::get<0>(sink.last), keys.Count() - 1) << run;
          for (const auto& end : sink.batchEnds) {
            EXPECT_EQ(end, KeyWithItsCodes(dir, keys, units, std::get<0>(end))) << run;
          }
        },
        pairsPerUnit);
  }
}

// Twelve codes of 200 days, random walks on one calendar: 1300 has every
// day, each of the eleven others lacks one of the newest 60, a third of them
// the same one, so that a pair of two codes lacking the same day passes over
// it. The day each code lacks, or -1.
std::vector<int> WriteCodesLackingADay(const ScratchDir& dir) {
  std::mt19937 random(6);
  const int codes = 12;
  const int lackedDays[] = {7, 31, 52};
  std::vector<int> lacking;
  for (int c = 0; c < codes; ++c) {
    lacking.push_back(c == 0 ? -1 : lackedDays[c % 3]);
    int64_t price = 500 + static_cast<int64_t>(random() % 5000);
    std::string text;
    for (int d = 0; d < 200; ++d) {
      price = std::max<int64_t>(price + static_cast<int>(random() % 41) - 20, 1);
      if (d != lacking.back()) text += PriceLine(d, price);
    }
    dir.Write(std::to_string(1300 + c) + ".txt", text);
  }
  EXPECT_EQ(CodesOnCalendar(dir, codes), codes);
  return lacking;
}

}  // namespace

// Ranges whose bounds are pairs' own correlations, as both bounds or one:
// the pairs set aside before balancing are exactly those the steps one by
// one fail, to the last bit of the bound.
TEST(PairScreeningTest, RangesAtAPairsOwnCorrelationKeepThePair) {
  for (unsigned seed = 1; seed <= 3; seed += 2) {
    ScratchDir dir;
    std::mt19937 random(seed);
    const int codes = 30;
    WriteRandomPrices(dir, codes, random, false);
    std::vector<std::string> all;
    for (int c = 0; c < codes; ++c) all.push_back(std::to_string(1300 + c));
    const PairKeySet keys(all, all);
    std::vector<int32_t> units;
    for (int32_t i = 0; i < keys.CodeCount(); ++i) units.push_back(i % 3 == 0 ? 1 : 100);
    std::vector<TechnicalTest> tests =
        ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + "1200", ""),
                             Condition(kStdDev, "   1" + kSeparator + "  60", "")});
    std::vector<std::optional<double>> unused;
    const std::vector<PassedPair> everyPair = OneByOne(dir, keys, units, tests, unused);
    ASSERT_GT(everyPair.size(), 100u) << seed;
    std::vector<double> values;
    for (const PassedPair& pair : everyPair) values.push_back(pair.values[0]);
    std::sort(values.begin(), values.end());
    for (const double value : {values[values.size() / 2], values[values.size() * 9 / 10],
                               values.back(), values.front()}) {
      ExpectRangesAtTheValueGiveTheSteps(dir, keys, units, tests, value,
                                         "seed " + std::to_string(seed), 7);
    }
  }
}

// A pair of two codes that lack the same day passes over it: its days are
// its own, not the calendar's that the bound was taken over, so the bound
// never sets it aside. Here the day passed over lies within the period, which
// is shorter than the pair's days, so that its period's days and the bound's
// share their first day and their count but for that day.
TEST(PairScreeningTest, RangesAtTheCorrelationOfAPairThatPassesOverADayKeepThePair) {
  ScratchDir dir;
  const std::vector<int> lacking = WriteCodesLackingADay(dir);
  std::vector<std::string> all;
  for (size_t c = 0; c < lacking.size(); ++c) all.push_back(std::to_string(1300 + c));
  const PairKeySet keys(all, all);
  std::vector<int32_t> units;
  for (int32_t i = 0; i < keys.CodeCount(); ++i) units.push_back(i % 3 == 0 ? 1 : 100);
  const std::vector<TechnicalTest> tests =
      ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + "  60", ""),
                           Condition(kStdDev, "   1" + kSeparator + "1200", "")});
  std::vector<std::optional<double>> unused;
  int passingOver = 0;
  for (const PassedPair& pair : OneByOne(dir, keys, units, tests, unused)) {
    if (lacking[pair.sell] < 0 || lacking[pair.sell] != lacking[pair.buy]) continue;
    ++passingOver;
    ExpectRangesAtTheValueGiveTheSteps(dir, keys, units, tests, pair.values[0],
                                       "the pair of " + all[pair.sell] + " and " + all[pair.buy],
                                       3);
  }
  EXPECT_EQ(passingOver, 15);
}

namespace {

// Thirty codes, every two a pair: one unit of work per row of A.
struct ThirtyCodes {
  ScratchDir dir;
  std::vector<std::string> codes;
  std::unique_ptr<PairKeySet> keys;
  ThirtyCodes() {
    std::mt19937 random(4);
    WritePrices(dir, 30, random);
    for (int c = 0; c < 30; ++c) codes.push_back(std::to_string(1300 + c));
    keys = std::make_unique<PairKeySet>(codes, codes);
  }
};

class CountBatches : public Collect {
 public:
  void Evaluated(std::vector<PassedPair>& passed,
                 const std::vector<std::optional<double>>& batchValues, int64_t lastKey,
                 int32_t sell, int32_t buy) override {
    ++batches;
    Collect::Evaluated(passed, batchValues, lastKey, sell, buy);
  }
  int batches = 0;
};

class ThrowOnFirstBatch : public PairScreeningSink {
 public:
  void Evaluated(std::vector<PassedPair>&, const std::vector<std::optional<double>>&, int64_t,
                 int32_t, int32_t) override {
    throw std::runtime_error("the sink failed");
  }
};

}  // namespace

// A stop seen after the first batch ends the run there: no second batch.
TEST(PairScreeningTest, StopsWhenAsked) {
  ThirtyCodes data;
  for (int threads : {1, 3}) {
    // Units of a row or so: the 435 pairs are many batches.
    PairScreening screening(data.dir.path(), *data.keys, std::vector<int32_t>(30, 100), {}, threads,
                            16);
    CountBatches sink;
    EXPECT_EQ(screening.Run([&] { return sink.batches >= 1; }, sink), PairScreening::End::kStopped)
        << threads << " threads";
    EXPECT_EQ(sink.batches, 1) << threads << " threads";
  }
}

// An error on Run's thread comes out of Run after every evaluating thread
// has been joined (a thread left running would end the program).
TEST(PairScreeningTest, AnErrorComesOutWithEveryThreadJoined) {
  ThirtyCodes data;
  for (int threads : {1, 3}) {
    PairScreening screening(data.dir.path(), *data.keys, std::vector<int32_t>(30, 100), {},
                            threads);
    ThrowOnFirstBatch sink;
    EXPECT_THROW(screening.Run([] { return false; }, sink), std::runtime_error)
        << threads << " threads";
  }
}

// Rows split into pieces, and pieces of several rows joined into a unit,
// give the same rows in the same order as one unit for every row.
TEST(PairScreeningTest, RowsSplitAndJoinedIntoUnitsGiveTheSameRows) {
  ThirtyCodes data;
  std::vector<int32_t> units(30, 100);
  for (size_t i = 0; i < units.size(); i += 3) units[i] = 1000;
  const std::vector<TechnicalTest> tests =
      ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + "1200", ""),
                           Condition(kStdDev, "   1" + kSeparator + "  60", "")});
  std::vector<std::optional<double>> expectedLast;
  const std::vector<PassedPair> expected =
      OneByOne(data.dir, *data.keys, units, tests, expectedLast);
  ASSERT_GT(expected.size(), 20u);
  for (const RunShape& shape : EveryBuildOn({1, 3})) {
    for (int32_t pairsPerUnit : {1, 3, 7, 40}) {
      const std::string what = shape.name + ", units of " + std::to_string(pairsPerUnit) + " pairs";
      PairScreening screening(data.dir.path(), *data.keys, units, tests, shape.threads,
                              pairsPerUnit);
      screening.UseVectorPath(shape.path);
      Collect sink;
      ASSERT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted);
      ExpectSameRows(sink.rows, expected, what);
      ExpectSameLastValues(sink.lastValues, expectedLast, what);
      EXPECT_EQ(std::get<0>(sink.last), data.keys->Count() - 1) << what;
    }
  }
}

TEST(PairScreeningTest, ACodeThatIsNoPlainNameReadsNoFile) {
  ScratchDir dir;
  std::string prices;
  for (int d = 28; d >= 1; --d) prices += PriceLine(28 - d, 500 + d * (d % 3));
  // Every name below leads to a price file, inside the data directory or not.
  std::filesystem::create_directories(dir.path() / "data" / "sub");
  for (const char* file :
       {"1301.txt", "data/sub/1301.txt", "data/..\\1301.txt", "data/1302.txt", "data/1303.txt"}) {
    dir.Write(file, prices);
  }
  const struct {
    std::string code;
    size_t pairs;
  } cases[] = {{"1303", 1}, {"../1301", 0}, {"sub/1301", 0}, {"..\\1301", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    std::vector<std::string> codes{c.code, "1302"};
    std::sort(codes.begin(), codes.end());  // the lists come sorted
    const PairKeySet keys(codes, codes);
    PairScreening screening(dir.path() / "data", keys, {100, 100}, {}, 1);
    Collect sink;
    ASSERT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted);
    EXPECT_EQ(sink.rows.size(), c.pairs);
  }
}
