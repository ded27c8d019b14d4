#include "vcl/convert.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <utility>

namespace vcl {
namespace {

struct IntCase {
  const char* text;
  int32_t expected;  // -7 is the default given to StrToIntDef
};

TEST(StrToIntDef, ReadsDecimalAndHexadecimalAndRejectsTheRest) {
  const IntCase cases[] = {
      {"12", 12},
      {" 12", 12},
      {"-5", -5},
      {"+5", 5},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$1f", 31},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", INT32_MAX},
      {"$FFFFFFFF", -1},  // hexadecimal takes all 32 bits
      {"-$10", -16},
      {"12a", -7},
      {"", -7},
      {"   ", -7},
      {"-", -7},
      {"$", -7},
      {"0x", -7},
      {"1.5", -7},
      {"12 ", -7},
      {"99999999999", -7},
      {"2147483648", -7},
      {"-2147483649", -7},
      {"$100000000", -7},
      {"$1g", -7},
  };
  for (const IntCase& c : cases) {
    EXPECT_EQ(StrToIntDef(c.text, -7), c.expected) << '"' << c.text << '"';
  }
}

TEST(StrToInt, ThrowsWhereStrToIntDefGivesTheDefault) {
  EXPECT_EQ(StrToInt("-42"), -42);
  EXPECT_THROW(StrToInt("12a"), EConvertError);
  EXPECT_THROW(StrToInt(""), EConvertError);
  EXPECT_THROW(StrToInt("99999999999"), EConvertError);
}

TEST(IntToStr, WritesPlainDecimal) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-1234), "-1234");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
}

struct FloatCase {
  const char* text;
  double expected;
};

TEST(TryStrToFloat, ReadsPointSeparatedNumbersWithBlanksAround) {
  const FloatCase cases[] = {
      {"1.5", 1.5},    {" 2.25 ", 2.25}, {"\t-0.125\r\n", -0.125},
      {"+3", 3.0},     {"1e3", 1000.0},  {"1E-2", 0.01},
      {".5", 0.5},     {"5.", 5.0},      {"1.523457E+007", 15234570.0},
      {"1e-400", 0.0}, {"0", 0.0},
  };
  for (const FloatCase& c : cases) {
    double value = -99.0;
    EXPECT_TRUE(TryStrToFloat(c.text, value)) << '"' << c.text << '"';
    EXPECT_EQ(value, c.expected) << '"' << c.text << '"';
  }
}

TEST(TryStrToFloat, RejectsWhatIsNoNumberAndLeavesTheValue) {
  const char* const texts[] = {"",     "  ",     "inf", "-inf", "nan",   "INF",
                               "1,5",  "1.5.1",  "1e",  "1e+",  ".",     "-",
                               "0x10", "1.5abc", "--1", "1 5",  "1e400", "-1e400"};
  for (const char* text : texts) {
    double value = -99.0;
    EXPECT_FALSE(TryStrToFloat(text, value)) << '"' << text << '"';
    EXPECT_EQ(value, -99.0) << '"' << text << '"';
  }
}

TEST(StrToFloat, ThrowsOnNoNumber) {
  EXPECT_EQ(StrToFloat("-2.5"), -2.5);
  EXPECT_THROW(StrToFloat("abc"), EConvertError);
}

struct FixedCase {
  double value;
  int precision;
  int digits;
  const char* expected;
};

TEST(FloatToStrFFixed, RoundsTheEighteenDigitExpansionHalfAwayFromZero) {
  const FixedCase cases[] = {
      // exact binary ties
      {0.125, 7, 2, "0.13"},
      {-0.125, 7, 2, "-0.13"},
      {0.375, 7, 2, "0.38"},
      {2.5, 7, 0, "3"},
      {-2.5, 7, 0, "-3"},
      {0.5, 7, 0, "1"},
      // values that only look like ties: 1.00499999999999989, 2.67499999999999982,
      // 1.01499999999999990, 0.994999999999999996
      {1.005, 7, 2, "1.00"},
      {2.675, 7, 2, "2.67"},
      {1.015, 7, 2, "1.01"},
      {0.995, 7, 2, "0.99"},
      // and ones just above a tie: 5.00000000000000010e-3, 99.9950000000000045
      {0.005, 7, 2, "0.01"},
      {99.995, 7, 2, "100.00"},
      {-99.995, 7, 2, "-100.00"},
      // carries and small values
      {9.996, 7, 2, "10.00"},
      {0.006, 7, 2, "0.01"},
      {0.004, 7, 2, "0.00"},
      {1e-5, 7, 2, "0.00"},
      {0.0, 7, 2, "0.00"},
      {0.4, 7, 0, "0"},
      // always the given number of decimals
      {1.5, 7, 2, "1.50"},
      {42.0, 7, 2, "42.00"},
      {-3.0, 7, 1, "-3.0"},
      // seven significant digits win over two decimals; the places left stay "0"
      {123456.789, 7, 2, "123456.80"},
      {-123456.789, 7, 2, "-123456.80"},
      {1234567.891, 7, 2, "1234568.00"},
      {9999999.4, 7, 2, "9999999.00"},
      // more integer digits than the precision: scientific form
      {15234567.891, 7, 2, "1.523457E+007"},
      {-15234567.891, 7, 2, "-1.523457E+007"},
      {10000000.0, 7, 2, "1.000000E+007"},
      {9999999.996, 7, 2, "1.000000E+007"},
      {1.5e20, 7, 2, "1.500000E+020"},
  };
  for (const FixedCase& c : cases) {
    EXPECT_EQ(FloatToStrFFixed(c.value, c.precision, c.digits), c.expected)
        << c.value << " (" << c.precision << ", " << c.digits << ")";
  }
}

TEST(FloatToStrFFixed, ADoubleGetsTheTextOfItsDecimalExpansion) {
  // The short road for small values against the expansion of the same value:
  // random values of every size, and values a few units of the last place
  // from a half at the cut.
  std::mt19937_64 random(11);
  const std::pair<int, int> formats[] = {{15, 6}, {7, 2}, {18, 9}, {3, 2}, {15, 0}, {1, 0}, {9, 4}};
  for (const auto& [precision, digits] : formats) {
    for (int i = 0; i < 40000; ++i) {
      double value = 0.0;
      if (i % 2 == 0) {
        const double magnitude = std::pow(10.0, static_cast<double>(random() % 24) - 12.0);
        value = std::uniform_real_distribution<double>(-1.0, 1.0)(random) * magnitude;
      } else {
        const double scale = std::pow(10.0, digits);
        const double half = (static_cast<double>(random() % 2000000) + 0.5) / scale;
        value = std::nextafter(half, (random() % 2) ? 1e300 : -1e300);
        for (uint64_t steps = random() % 4; steps > 0; --steps) {
          value = std::nextafter(value, (random() % 2) ? 1e300 : -1e300);
        }
        if (random() % 2) value = -value;
      }
      ASSERT_EQ(FloatToStrFFixed(value, precision, digits),
                ExtendedToStrFFixed(value, precision, digits))
          << std::hexfloat << value << " (" << precision << ", " << digits << ")";
    }
  }
}

TEST(FloatToStrFFixed, ATinyNegativeThatRoundsToZeroHasNoSign) {
  EXPECT_EQ(FloatToStrFFixed(-0.001, 7, 2), "0.00");
  EXPECT_EQ(FloatToStrFFixed(-0.0, 7, 2), "0.00");
  EXPECT_EQ(FloatToStrFFixed(-0.4, 7, 0), "0");
}

TEST(FloatToStrFFixed, NotFiniteValuesGetWords) {
  EXPECT_EQ(FloatToStrFFixed(std::numeric_limits<double>::quiet_NaN(), 7, 2), "NAN");
  EXPECT_EQ(FloatToStrFFixed(std::numeric_limits<double>::infinity(), 7, 2), "INF");
  EXPECT_EQ(FloatToStrFFixed(-std::numeric_limits<double>::infinity(), 7, 2), "-INF");
}

TEST(ExtendedToStrFFixed, DecidesOnTheExtendedValuesOwnDigits) {
  // 0.125 - 2^-57 = 0.124999999999999993061...: exact in long double, and a
  // tie between two doubles that rounds to 0.125.
  const long double belowTie = 0.125L - std::ldexp(1.0L, -57);
  EXPECT_EQ(ExtendedToStrFFixed(belowTie, 7, 2), "0.12");
  EXPECT_EQ(FloatToStrFFixed(static_cast<double>(belowTie), 7, 2), "0.13");
  EXPECT_EQ(ExtendedToStrFFixed(0.125L, 7, 2), "0.13");
  // 1.005L is 1.00499999999999999999566...: 1.00500000000000000 to 18 digits,
  // where the double 1.005 gives 1.00499999999999989.
  EXPECT_EQ(ExtendedToStrFFixed(-1.005L, 7, 2), "-1.01");
  EXPECT_EQ(ExtendedToStrFFixed(123456.789L, 7, 2), "123456.80");
  EXPECT_EQ(ExtendedToStrFFixed(1e400L, 7, 2), "1.000000E+400");
  EXPECT_EQ(ExtendedToStrFFixed(std::numeric_limits<long double>::infinity(), 7, 2), "INF");
}

// The two-decimal rounding of the statistics: text and back.
TEST(FloatToStrFFixed, ReadsBackAsTheRoundedValue) {
  struct RoundCase {
    double value;
    double expected;
  };
  const RoundCase cases[] = {
      {0.125, 0.13},         {-0.125, -0.13}, {123456.789, 123456.8}, {15234567.891, 15234570.0},
      {166.6666666, 166.67}, {0.004, 0.0},
  };
  for (const RoundCase& c : cases) {
    EXPECT_EQ(StrToFloat(FloatToStrFFixed(c.value, 7, 2)), c.expected) << c.value;
  }
}

struct PatternCase {
  const char* format;
  double value;
  const char* expected;
};

TEST(FormatFloat, ShowsOnlyTheDecimalsTheValueNeeds) {
  const PatternCase cases[] = {
      {"##0.#", 2.25, "2.3"},
      {"##0.#", -2.25, "-2.3"},
      {"##0.#", 2.0, "2"},
      {"##0.#", 0.04, "0"},
      {"##0.#", 9.96, "10"},
      {"##0.#", 0.5, "0.5"},
      {"##0.##", 12.3, "12.3"},
      {"##0.##", 0.125, "0.13"},
      {"##0.##", 1.005, "1"},
      {"##0.##", 2.675, "2.67"},
      {"##0.##", 99.995, "100"},
      {"##0.##", -0.05, "-0.05"},
      {"##0", 2.5, "3"},
      {"##0", -2.5, "-3"},
      {"##0", 0.0, "0"},
      {"##0", 1234567.0, "1234567"},
      {"##0", 1e15, "1000000000000000"},
      {"0.00", 1.5, "1.50"},
      {"000", 7.0, "007"},
      {"#.##", 0.5, ".5"},
  };
  for (const PatternCase& c : cases) {
    EXPECT_EQ(FormatFloat(c.format, c.value), c.expected) << c.format << " " << c.value;
  }
}

TEST(FormatFloat, ANegativeThatRoundsToZeroHasNoSign) {
  EXPECT_EQ(FormatFloat("##0", -0.4), "0");
  EXPECT_EQ(FormatFloat("##0.#", -0.04), "0");
}

TEST(FormatFloat, RejectsPatternsOfAnotherShape) {
  EXPECT_THROW(FormatFloat("#,##0", 1.0), EConvertError);
  EXPECT_THROW(FormatFloat("0.0.0", 1.0), EConvertError);
}

TEST(Trim, DropsBlanksAndControlBytesButNotCodePage932Bytes) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim(std::string("\0x\x1f", 3)), "x");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim(" \x81\x40 "), "\x81\x40");  // full-width space "　" is a character
}

}  // namespace
}  // namespace vcl
