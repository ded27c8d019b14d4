#include "pair/pair_inputs.h"

#include <gtest/gtest.h>

namespace {

TEST(PairInputs, CodeFieldKeepsFourDigitCodesOnly) {
  const struct {
    const char* text;
    const char* code;
  } cases[] = {
      {" 1301\t", "1301"}, {"1301", "1301"}, {"0000", "0000"}, {"12", "0000"},
      {"abcd", "0000"},    {"-123", "0000"}, {"", "0000"},     {"13015", "0000"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeCodeText(c.text), c.code) << c.text;
}

TEST(PairInputs, LotAndAdjustmentFieldsBecomeWholeNumbers) {
  const struct {
    const char* text;
    int32_t fallback;
    const char* result;
  } cases[] = {
      {"abc", -1, ""}, {"", -1, ""},  {"-1", -1, ""},    {" 3 ", -1, "3"}, {"0", -1, "0"},
      {"abc", 0, "0"}, {"-1", 0, ""}, {"-50", 0, "-50"}, {"007", -1, "7"}, {"99999999999", -1, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizeNumberText(c.text, c.fallback), c.result) << c.text;
  }
}

TEST(PairInputs, PeriodFieldsStayWithinTheDaysKept) {
  const struct {
    const char* text;
    int32_t fallback;
    const char* result;
  } cases[] = {
      {"0", 1, "1"},       {"1201", 1, "1"},       {"x", 1, "1"},  {"", 1, ""},
      {"0", 1200, "1200"}, {"5000", 1200, "1200"}, {"", 1200, ""}, {"30", 1200, "30"},
      {"1200", 1, "1200"}, {"-5", 1, "1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizePeriodText(c.text, c.fallback), c.result) << c.text;
  }
}

}  // namespace
