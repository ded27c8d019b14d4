#include "pair/pair_day_figures.h"

#include <gtest/gtest.h>

namespace {

TEST(PairDayFigures, ShowTheDayInMarketPricesAndComparisonValues) {
  struct Case {
    int32_t closeA, closeB;
    double rate;
    PairCheckScale scale;
    const char *priceA, *priceB, *margin;
    MarginColour colour;
    const char* arbitrage;
  };
  const Case cases[] = {
      {50500, 50500, 0.0, {100, 100, 500}, "500", "505", " 0", MarginColour::kBlack, "0.0"},
      {1000, 1200, -1.5, {1, 3, 0}, "1000", "400", "-200", MarginColour::kRed, "-1.50"},
      {1250, 1000, 12.5, {1, 1, 0}, "1250", "1000", "+250", MarginColour::kBlue, "+12.50"},
      // A negative adjustment; truncation toward zero.
      {-150, 7, 0.25, {100, 2, 0}, "-1", "3", "-157", MarginColour::kRed, "+0.25"},
      // Lot counts of 0 or below give no market price.
      {900, 800, 1.0, {0, -1, 0}, "-", "-", "+100", MarginColour::kBlue, "+1.00"},
  };
  for (const Case& c : cases) {
    PairDayRecord day;
    day.Year = 2024;
    day.Month = 3;
    day.Day = 7;
    day.CloseA = c.closeA;
    day.CloseB = c.closeB;
    day.Rate = c.rate;
    const PairDayFigures figures = DayFigures(day, c.scale);
    SCOPED_TRACE(c.closeA);
    EXPECT_EQ(figures.date, "2024/03/07");
    EXPECT_EQ(figures.priceA, c.priceA);
    EXPECT_EQ(figures.priceB, c.priceB);
    EXPECT_EQ(figures.chartA, std::to_string(c.closeA));
    EXPECT_EQ(figures.chartB, std::to_string(c.closeB));
    EXPECT_EQ(figures.margin, c.margin);
    EXPECT_EQ(figures.marginColour, c.colour);
    EXPECT_EQ(figures.arbitrage, c.arbitrage);
  }
}

TEST(PairDayFigures, DifferencesBeyondThirtyTwoBitsStayExact) {
  PairDayRecord day;
  day.CloseA = 2000000000;
  day.CloseB = -2000000000;
  EXPECT_EQ(DayFigures(day, {}).margin, "+4000000000");
  EXPECT_EQ(MarketPriceText(2000000000, 1, -2000000000), "4000000000");
}

}  // namespace
