// The merge of a pair's two series by date.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "screening/screening_series.h"
#include "screening_fixtures.h"

TEST(MergePairSeriesTest, FillsGapsAndDropsDaysBeforeBothSidesHaveAPrice) {
  struct Case {
    const char* name;
    PriceSeries series1;
    PriceSeries series2;
    std::vector<MergedDay> expected;
  };
  const std::vector<Case> cases = {
      {"one day each side alone",
       Series({{20091002, 10}, {20091001, 11}}),
       Series({{20091002, 20}, {20090930, 21}}),
       {{20091002, 10, 20}, {20091001, 11, 21}}},
      {"a missing day carries the previous close, over several days",
       Series({{20091005, 10}, {20091002, 11}, {20091001, 12}, {20090930, 13}}),
       Series({{20091005, 20}, {20090930, 23}}),
       {{20091005, 10, 20}, {20091002, 11, 23}, {20091001, 12, 23}, {20090930, 13, 23}}},
      {"a close of 0 is a gap too",
       Series({{20091002, 10}, {20091001, 0}, {20090930, 12}}),
       Series({{20091002, 20}, {20091001, 21}, {20090930, 22}}),
       {{20091002, 10, 20}, {20091001, 12, 21}, {20090930, 12, 22}}},
      {"an empty side gives no days", Series({{20091002, 10}}), Series({}), {}},
      {"a longer side's older days go",
       Series({{20091002, 10}, {20091001, 11}}),
       Series({{20091002, 20}}),
       {{20091002, 10, 20}}},
  };
  for (const Case& c : cases) {
    std::vector<MergedDay> rows = {{1, 1, 1}};
    MergePairSeries(c.series1, c.series2, rows);
    ASSERT_EQ(rows.size(), c.expected.size()) << c.name;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].date, c.expected[i].date) << c.name << " " << i;
      EXPECT_EQ(rows[i].Close1, c.expected[i].Close1) << c.name << " " << i;
      EXPECT_EQ(rows[i].Close2, c.expected[i].Close2) << c.name << " " << i;
    }
  }
}

TEST(MergePairSeriesTest, KeepsTheNewest1200Days) {
  PriceSeries series;
  for (int32_t d = 0; d < 1225; ++d) {
    series.dates.push_back(30000000 - d);
    series.closes.push_back(100 + d);
  }
  std::vector<MergedDay> rows;
  MergePairSeries(series, series, rows);
  ASSERT_EQ(rows.size(), 1200u);
  EXPECT_EQ(rows.front().date, 30000000);
  EXPECT_EQ(rows.back().date, 30000000 - 1199);
}
