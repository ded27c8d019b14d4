// Price files read into series of dates and closes.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scratch_dir.h"
#include "screening/screening_series.h"
#include "screening_fixtures.h"

TEST(PriceSeriesTest, ReadsDatesAndClosesOfEveryLine) {
  PriceSeries series;
  ASSERT_EQ(ParsePriceSeries("2009/10/02\t512\t500\t520\t498\t183000\r\n"
                             "2009/10/01\t-7\t1\t1\t1\t1\n"
                             "2009/09/30\t99",
                             series),
            SeriesLoad::kLoaded);
  EXPECT_EQ(series.dates, (std::vector<int32_t>{20091002, 20091001, 20090930}));
  EXPECT_EQ(series.closes, (std::vector<int32_t>{512, -7, 99}));
}

TEST(PriceSeriesTest, AMalformedLineEmptiesTheSeries) {
  for (const char* bytes :
       {"2009/10/02\t512\r\n2009-10-01\t500\r\n", "2009/10/02\t5x2\r\n", "2009/10/02\t\r\n",
        "2009/10/02\r\n", "2009/10/02\t512\r\n\r\n", "2009/10/02\t99999999999\r\n"}) {
    PriceSeries series;
    EXPECT_EQ(ParsePriceSeries(bytes, series), SeriesLoad::kMalformed) << bytes;
    EXPECT_EQ(series.Size(), 0);
  }
}

TEST(PriceSeriesTest, AMissingFileIsAnEmptySeries) {
  ScratchDir dir;
  PriceSeries series = Series({{20090101, 1}});
  EXPECT_EQ(LoadPriceSeries(dir.path() / "1301.txt", series), SeriesLoad::kMissing);
  EXPECT_EQ(series.Size(), 0);
  dir.Write("1301.txt", "");
  EXPECT_EQ(LoadPriceSeries(dir.path() / "1301.txt", series), SeriesLoad::kLoaded);
  EXPECT_EQ(series.Size(), 0);
}
