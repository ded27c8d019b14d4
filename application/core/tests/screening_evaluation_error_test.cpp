// An error on one of a screening's evaluation threads: the run fails with
// it, whatever unit it strikes and on one thread or several, and never ends
// as a run that completed or stopped over part of its rows.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "data/price_files.h"
#include "scratch_dir.h"
#include "screening/pair_keys.h"
#include "screening/pair_screening.h"
#include "screening/technical_filter.h"

namespace {

class LastKey : public PairScreeningSink {
 public:
  void Evaluated(std::vector<PassedPair>&, const std::vector<std::optional<double>>&,
                 int64_t lastKey, int32_t, int32_t) override {
    last = lastKey;
  }
  int64_t last = -1;
};

// Twelve codes of 40 days that move together, one lacking a day; the pairs
// of a correlation condition go side by side in the lanes.
struct TwelveCodes {
  ScratchDir dir;
  std::vector<std::string> codes;
  std::vector<TechnicalTest> tests;

  TwelveCodes() {
    for (int c = 0; c < 12; ++c) {
      codes.push_back(std::to_string(1301 + c));
      std::string lines;
      for (int d = 0; d < 40; ++d) {
        if (c == 5 && d == 7) continue;
        const PastDataRecord day{2009, 11 - d / 28, 28 - d % 28, 500 + c * 10 + (d * (c + 3)) % 17,
                                 1,    1,           1,           1000};
        lines += FormatPriceLine(day) + "\r\n";
      }
      dir.Write(codes.back() + ".txt", lines);
    }
    TechnicalCondition condition;
    condition.kind = "\x91\x8a\x8a\xd6\x8c\x57\x90\x94";  // 相関係数
    condition.period = "   1" + std::string(kRangeSeparator) + "  30";
    condition.range = "       -1" + std::string(kRangeSeparator);
    tests = ParseTechnicalTests({condition});
  }
};

constexpr int32_t kPairsPerUnit = 8;

}  // namespace

TEST(ScreeningEvaluationErrorTest, AnEvaluationThreadsErrorComesOutOfRun) {
  TwelveCodes data;
  const PairKeySet keys(data.codes, data.codes);
  const std::vector<int32_t> units(data.codes.size(), 100);

  // Without a failure the run completes over every key, in many units.
  size_t unitCount = 0;
  {
    screening_testing::UnitHookFor count(
        [&](size_t unit) { unitCount = std::max(unitCount, unit + 1); });
    PairScreening screening(data.dir.path(), keys, units, data.tests, 1, kPairsPerUnit);
    LastKey sink;
    ASSERT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted);
    ASSERT_EQ(sink.last, keys.Count() - 1);
  }
  ASSERT_GE(unitCount, 5u);

  for (const int threads : {1, 3}) {
    for (const size_t failing : {size_t{0}, unitCount / 2, unitCount - 1}) {
      const std::string what =
          std::to_string(threads) + " threads, unit " + std::to_string(failing) + " failing";
      screening_testing::UnitHookFor fail([&](size_t unit) {
        if (unit == failing) throw std::runtime_error("unit " + std::to_string(unit) + " failed");
      });
      PairScreening screening(data.dir.path(), keys, units, data.tests, threads, kPairsPerUnit);
      LastKey sink;
      try {
        const PairScreening::End end = screening.Run([] { return false; }, sink);
        ADD_FAILURE() << what << ": the run ended as "
                      << (end == PairScreening::End::kCompleted ? "completed" : "stopped");
      } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "unit " + std::to_string(failing) + " failed") << what;
      }
      // The units from the failing one on never reach the sink.
      EXPECT_LT(sink.last, keys.Count() - 1) << what;
    }
  }

  // The hook gone, the next run completes again.
  PairScreening screening(data.dir.path(), keys, units, data.tests, 3, kPairsPerUnit);
  LastKey sink;
  EXPECT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted);
  EXPECT_EQ(sink.last, keys.Count() - 1);
}
