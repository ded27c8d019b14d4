// The means rounded to two decimals by arithmetic against the round trip
// through their text.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>

#include "data/statistics.h"

TEST(RoundingTest, ArithmeticRoundingEqualsTheRoundTripThroughText) {
  std::mt19937_64 random(11);
  auto same = [](long double value) {
    const double fast = MeanRoundedOfSum(value, 1);
    const double text = RoundTwoDecimalsThroughText(value);
    return std::memcmp(&fast, &text, sizeof fast) == 0;
  };
  for (int i = 0; i < 100000; ++i) {
    const auto sum = static_cast<long long>(random() % 4000000000000ull) - 1000000000000ll;
    const long double mean =
        static_cast<long double>(sum) / (1 + static_cast<int>(random() % 1200));
    ASSERT_TRUE(same(mean)) << static_cast<double>(mean);
    const auto digits = static_cast<long double>(random() % 100000000);
    ASSERT_TRUE(same((digits + 0.5L) / 100)) << static_cast<double>(digits);
    ASSERT_TRUE(same(digits * 10 + 5)) << static_cast<double>(digits);
  }
  for (long double v :
       {0.125L, -0.125L, 0.004L, 99999.995L, 999999.95L, 9999999.5L, 15234567.891L, 1e15L, 0.0L}) {
    EXPECT_TRUE(same(v)) << static_cast<double>(v);
  }
}

// The whole-number decision against the text of the extended mean, on
// means of every size, on cuts exactly at a half and a whole remainder off
// it, around the powers of ten, and outside its bounds.
TEST(RoundingTest, WholeSumRoundingEqualsTheRoundTripThroughText) {
  std::mt19937_64 random(12);
  auto check = [](int64_t sum, int32_t n) {
    const double whole = MeanRoundedOfWholeSum(sum, n);
    const double text =
        RoundTwoDecimalsThroughText(static_cast<long double>(sum) / static_cast<long double>(n));
    ASSERT_EQ(std::memcmp(&whole, &text, sizeof whole), 0)
        << sum << " / " << n << ": " << whole << " against " << text;
  };
  const int64_t scales[] = {1, 100, 10000, 1000000, 100000000, 10000000000, 1000000000000};
  for (int i = 0; i < 20000; ++i) {
    const auto n = static_cast<int32_t>(1 + random() % 1200);
    const int64_t scale = scales[random() % std::size(scales)];
    const auto mean = static_cast<int64_t>(random() % static_cast<uint64_t>(scale * 50));
    check(mean * n + static_cast<int64_t>(random() % static_cast<uint64_t>(n)), n);
    // Means exactly at the half of the last kept digit, an odd number of
    // halves (num / den): x.xx5 below 10^5, x.x5 below 10^6, x.5 below 10^7
    // and x5 below 10^8; and a remainder of one either side of it.
    const struct {
      int64_t num;
      int64_t den;
      int64_t most;
    } halves[] = {{1, 200, 100000}, {1, 20, 1000000}, {1, 2, 10000000}, {5, 1, 100000000}};
    for (const auto& h : halves) {
      const int64_t odd = 1 + 2 * static_cast<int64_t>(
                                      random() % static_cast<uint64_t>(h.most * h.den / h.num / 2));
      const int64_t days = h.den * (1 + static_cast<int64_t>(random() % 6));
      const int64_t sum = odd * h.num * days / h.den;
      for (const int64_t off : {-1, 0, 1}) check(sum + off, static_cast<int32_t>(days));
    }
  }
  for (const int32_t n : {1, 2, 3, 7, 12, 1199, 1200, 10000, 10001}) {
    for (int64_t power = 1; power <= 100000000000000000; power *= 10) {
      for (const int64_t off : {-2 * n, -n, -n / 2, -1, 0, 1, n / 2, n, 2 * n}) {
        if (power > std::numeric_limits<int64_t>::max() / n) continue;
        if (power * n + off > 0) check(power * n + off, n);
      }
    }
  }
  for (const int64_t sum : {int64_t{0}, int64_t{-5}, int64_t{-1234567}, int64_t{1},
                            std::numeric_limits<int64_t>::max()}) {
    check(sum, 1);
    check(sum, 1200);
  }
}
