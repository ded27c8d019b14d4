#include "pair/pair_chart_readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Mode = PairChartReadout::Mode;
using namespace readout_colour;

// A plot 600 pixels wide for 12 days (50 pixels each, point 0 at the right),
// a price pane of rows 10..310 (4000 down to 1000, 10 per row) and a rate
// pane of rows 311..410 (20 down to -20).
class Mapping : public ReadoutMapping {
 public:
  int32_t PlotLeft() const override { return 100; }
  int32_t PlotTop() const override { return 10; }
  int32_t PlotRight() const override { return 699; }
  int32_t PlotBottom() const override { return 410; }
  double PointAt(int32_t x) const override { return (700 - (x + 0.5)) / 50.0 - 0.5; }
  double PriceAt(int32_t y) const override { return 1000.0 + (310 - y) * 10.0; }
  double PriceMin() const override { return 1000.0; }
  double PriceMax() const override { return 4000.0; }
  int32_t PriceMinRow() const override { return 310; }
  int32_t RateRow(double rate) const override {
    return 410 - static_cast<int32_t>(std::lround((rate + 20.0) * 99.0 / 40.0));
  }
  // The centre column of a point.
  static int32_t X(int32_t point) { return 675 - 50 * point; }
};

const int32_t kDates[12] = {16, 15, 14, 13, 12, 9, 8, 7, 6, 5, 2, 1};

std::vector<PairDayRecord> SampleDays() {
  std::vector<PairDayRecord> days(12);
  for (int32_t i = 0; i < 12; ++i) {
    PairDayRecord& day = days[static_cast<size_t>(i)];
    day.Year = 2024;
    day.Month = 3;
    day.Day = kDates[i];
    day.CloseA = 100000;
    day.CloseB = 80000;
    day.Rate = 10.0;
  }
  days[0].CloseA = 90000;  // the spread narrowed by 12000 since day 10
  days[0].CloseB = 82000;
  days[4].CloseA = 1000;  // B over A
  days[4].CloseB = 1100;
  days[4].Rate = -3.5;
  days[2].CloseA = 1000;  // the spread widened by 5
  days[2].CloseB = 1105;
  days[2].Rate = -4.0;
  days[7].CloseB = 0;  // no price of B
  days[7].Rate = 0.0;
  return days;
}

class ReadoutTest : public testing::Test {
 protected:
  ReadoutTest() : days_(SampleDays()) {
    readout_.SetPair(&days_, ChartWindowAt(12, 12, 0), scale_);
  }

  ReadoutEffects Press(ReadoutButton button, int32_t x, int32_t y) {
    return readout_.Press(button, x, y, map_);
  }
  ReadoutEffects Move(int32_t x, int32_t y) { return readout_.Move(x, y, map_); }
  const ReadoutOverlays& O() const { return readout_.Overlays(); }

  std::vector<PairDayRecord> days_;
  PairCheckScale scale_{100, 3, 50};
  Mapping map_;
  PairChartReadout readout_;
};

bool AnyVisible(const ReadoutOverlays& o) {
  return o.lineX1.visible || o.lineX2.visible || o.lineY1.visible || o.lineY2.visible ||
         o.valueX1.visible || o.valueX2.visible || o.valueY1.visible || o.valueY2.visible;
}

TEST_F(ReadoutTest, PressesOutsideTheBarsOrThePlotStartNothing) {
  struct Place {
    int32_t x, y;
  };
  // Beyond the newest and the oldest bar, above and below the plot.
  for (const Place p :
       {Place{700, 100}, Place{99, 100}, Place{Mapping::X(3), 9}, Place{Mapping::X(3), 411}}) {
    for (ReadoutButton button :
         {ReadoutButton::kLeft, ReadoutButton::kRight, ReadoutButton::kMiddle}) {
      const ReadoutEffects effects = Press(button, p.x, p.y);
      EXPECT_FALSE(effects.holdMouse) << p.x << " " << p.y;
      EXPECT_EQ(readout_.CurrentMode(), Mode::kIdle);
    }
  }
  EXPECT_FALSE(AnyVisible(O()));
}

TEST_F(ReadoutTest, BeforeACheckNothingStarts) {
  PairChartReadout fresh;
  EXPECT_FALSE(fresh.Press(ReadoutButton::kLeft, Mapping::X(1), 100, map_).holdMouse);
  EXPECT_EQ(fresh.CurrentMode(), Mode::kIdle);
}

TEST_F(ReadoutTest, PriceReadOutsReadEachSideWithTheLotsOfTheCheck) {
  // A at 2500 scaled: (2500 + 50 - 50) / 100.
  ReadoutEffects effects = Press(ReadoutButton::kLeft, Mapping::X(2), 160);
  EXPECT_TRUE(effects.holdMouse);
  EXPECT_EQ(effects.showDay, 2);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kPriceA);
  EXPECT_EQ(O().valueY1.text, "25");
  EXPECT_EQ(O().valueX1.text, "2024/03/14");
  EXPECT_EQ(O().lineY1.rgb, kBlue);
  EXPECT_EQ(O().valueY1.textRgb, kBlue);
  EXPECT_EQ(O().valueY1.backgroundRgb, kLightCyan);
  EXPECT_EQ(O().lineX1.rgb, kGreen);
  EXPECT_TRUE(O().lineX1.visible && O().lineY1.visible && O().valueX1.visible &&
              O().valueY1.visible);
  EXPECT_FALSE(O().lineX2.visible);
  EXPECT_TRUE(O().valueX1.rightAligned && O().valueX1.bottomAligned);
  EXPECT_EQ(O().valueX1.y, 10);

  // Further presses are ignored while it runs.
  EXPECT_FALSE(Press(ReadoutButton::kRight, Mapping::X(3), 350).holdMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kPriceA);

  // Above the plot and right of the newest day: pinned to the edges.
  effects = Move(750, 0);
  EXPECT_EQ(effects.showDay, 0);
  EXPECT_EQ(O().valueY1.text, "40");
  EXPECT_EQ(O().lineY1.position, 10);
  EXPECT_EQ(O().lineX1.position, 699);
  // Below the price pane and left of the oldest day.
  effects = Move(50, 500);
  EXPECT_EQ(effects.showDay, 11);
  EXPECT_EQ(O().valueY1.text, "10");
  EXPECT_EQ(O().lineY1.position, 310);
  EXPECT_EQ(O().lineX1.position, 100);

  effects = readout_.Release();
  EXPECT_TRUE(effects.releaseMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kIdle);
  EXPECT_FALSE(AnyVisible(O()));

  // B: (2500 + 1) / 3, red on light pink.
  Press(ReadoutButton::kRight, Mapping::X(2), 160);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kPriceB);
  EXPECT_EQ(O().valueY1.text, "833");
  EXPECT_EQ(O().lineY1.rgb, kRed);
  EXPECT_EQ(O().valueY1.backgroundRgb, kLightPink);
  readout_.Release();

  // The middle button does nothing in the price pane.
  EXPECT_FALSE(Press(ReadoutButton::kMiddle, Mapping::X(2), 160).holdMouse);
}

TEST_F(ReadoutTest, APriceReadOutWithoutALotCountShowsADash) {
  readout_.SetPair(&days_, ChartWindowAt(12, 12, 0), PairCheckScale{0, 1, 0});
  Press(ReadoutButton::kLeft, Mapping::X(1), 160);
  EXPECT_EQ(O().valueY1.text, "-");
}

TEST_F(ReadoutTest, TheRateReadOutFollowsTheDayUnderTheCursor) {
  ReadoutEffects effects = Press(ReadoutButton::kLeft, Mapping::X(1), 380);
  EXPECT_TRUE(effects.holdMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kRate);
  EXPECT_EQ(O().valueY1.text, "10.00");
  EXPECT_EQ(O().lineY1.position, map_.RateRow(10.0));
  EXPECT_EQ(O().valueY1.y, map_.RateRow(10.0));
  EXPECT_EQ(O().lineY1.rgb, kAqua);
  EXPECT_EQ(O().valueY1.textRgb, kBlue);
  EXPECT_EQ(O().lineX1.rgb, kLime);

  effects = Move(Mapping::X(4), 0);  // only the column counts
  EXPECT_EQ(effects.showDay, 4);
  EXPECT_EQ(O().valueY1.text, "-3.50");
  EXPECT_EQ(O().lineY1.rgb, kFuchsia);
  EXPECT_EQ(O().valueY1.textRgb, kRed);
  EXPECT_EQ(O().valueY1.backgroundRgb, kLightPink);
  EXPECT_EQ(O().lineX1.position, Mapping::X(4));

  // A day without a price of B hides the value.
  Move(Mapping::X(7), 380);
  EXPECT_EQ(O().valueX1.text, "2024/03/07");
  EXPECT_FALSE(O().lineY1.visible);
  EXPECT_FALSE(O().valueY1.visible);
  EXPECT_TRUE(O().lineX1.visible);

  // Beyond the bars the read-out stays where it was.
  effects = Move(40, 380);
  EXPECT_FALSE(effects.showDay);
  EXPECT_EQ(O().lineX1.position, Mapping::X(7));

  readout_.Release();
  EXPECT_EQ(readout_.CurrentMode(), Mode::kIdle);
  EXPECT_FALSE(AnyVisible(O()));
}

TEST_F(ReadoutTest, TheMiddleButtonReadsTheRateOnlyOverADayWithoutBothPrices) {
  EXPECT_FALSE(Press(ReadoutButton::kMiddle, Mapping::X(3), 380).holdMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kIdle);
  EXPECT_TRUE(Press(ReadoutButton::kMiddle, Mapping::X(7), 380).holdMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kRate);
  EXPECT_FALSE(O().valueY1.visible);
}

TEST_F(ReadoutTest, AProfitDragReadsTheSpreadSinceItsStartDay) {
  ReadoutEffects effects = Press(ReadoutButton::kRight, Mapping::X(10), 380);
  EXPECT_TRUE(effects.holdMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kProfit);
  EXPECT_EQ(effects.showDay, 10);
  // At the start day itself: no days, no profit.
  EXPECT_EQ(effects.status,
            " \\ \x8a\xfa\x8a\xd4 3/2\x81\x60"
            "3/2\x81\x69"
            "0\x93\xfa\x81\x6a"
            "  \x8e\xfb\x89\x76 0\x89\x7e \x81\x69"
            "0\x89\x7e\x81\x6a");
  EXPECT_TRUE(O().lineX2.visible && O().lineY2.visible && O().valueX2.visible &&
              O().valueY2.visible);
  EXPECT_EQ(O().lineX2.rgb, kAqua);  // A over B
  EXPECT_EQ(O().lineX1.rgb, kFuchsia);
  EXPECT_EQ(O().valueX2.text, "2024/03/02");
  EXPECT_EQ(O().valueY2.text, "10.00");
  EXPECT_EQ(O().lineY2.position, map_.RateRow(10.0));
  EXPECT_FALSE(O().valueX1.rightAligned);
  EXPECT_EQ(O().valueX1.x, Mapping::X(10) + 2);
  EXPECT_TRUE(O().valueY2.rightAligned);
  EXPECT_EQ(O().valueY2.x, Mapping::X(10) + 2);

  effects = Move(Mapping::X(0), 380);
  EXPECT_EQ(effects.showDay, 0);
  // " \ 期間 3/2～3/16（10日）  収益 +12000円 （+1200円）"
  EXPECT_EQ(effects.status,
            " \\ \x8a\xfa\x8a\xd4 3/2\x81\x60"
            "3/16\x81\x69"
            "10\x93\xfa\x81\x6a"
            "  \x8e\xfb\x89\x76 +12000\x89\x7e \x81\x69+1200\x89\x7e\x81\x6a");
  EXPECT_EQ(O().lineX2.position, Mapping::X(10));
  EXPECT_EQ(O().lineX1.position, Mapping::X(0));

  // Older than the start: nothing moves.
  effects = Move(Mapping::X(11), 380);
  EXPECT_FALSE(effects.status);
  EXPECT_FALSE(effects.showDay);
  EXPECT_EQ(O().lineX1.position, Mapping::X(0));

  // Over a day without a price of B the value hides and the text stays.
  effects = Move(Mapping::X(7), 380);
  EXPECT_FALSE(effects.status);
  EXPECT_FALSE(O().valueY1.visible);

  effects = readout_.Release();
  EXPECT_TRUE(effects.releaseMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kFinished);
  EXPECT_TRUE(O().lineX2.visible && O().valueY2.visible && O().lineX1.visible);
  EXPECT_FALSE(readout_.Move(Mapping::X(5), 380, map_).status);

  // A right click only clears the finished read-out.
  effects = Press(ReadoutButton::kRight, Mapping::X(5), 380);
  EXPECT_FALSE(effects.holdMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kIdle);
  EXPECT_FALSE(AnyVisible(O()));
}

TEST_F(ReadoutTest, AWideningSpreadOfBOverAReadsALoss) {
  Press(ReadoutButton::kRight, Mapping::X(4), 380);
  EXPECT_EQ(O().lineX2.rgb, kFuchsia);  // B over A
  EXPECT_EQ(O().lineY1.rgb, kFuchsia);
  const ReadoutEffects effects = Move(Mapping::X(2), 380);
  // -5 over 2 days: -2 a day, truncated toward zero.
  EXPECT_EQ(effects.status,
            " \\ \x8a\xfa\x8a\xd4 3/12\x81\x60"
            "3/14\x81\x69"
            "2\x93\xfa\x81\x6a"
            "  \x8e\xfb\x89\x76 -5\x89\x7e \x81\x69-2\x89\x7e\x81\x6a");
  // The rate fell below the start's line: fuchsia, red on pink.
  EXPECT_EQ(O().lineY1.rgb, kFuchsia);
  EXPECT_EQ(O().valueY1.textRgb, kRed);
  Move(Mapping::X(1), 380);  // rate 10: above the start's line
  EXPECT_EQ(O().lineY1.rgb, kAqua);
  EXPECT_EQ(O().valueY1.backgroundRgb, kLightCyan);
}

TEST_F(ReadoutTest, ALeftClickClearsAFinishedProfitAndStartsAnewAtOnce) {
  Press(ReadoutButton::kRight, Mapping::X(5), 380);
  readout_.Release();
  const ReadoutEffects effects = Press(ReadoutButton::kLeft, Mapping::X(1), 160);
  EXPECT_TRUE(effects.holdMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kPriceA);
  EXPECT_FALSE(O().lineX2.visible);
  EXPECT_FALSE(O().valueY2.visible);
}

TEST_F(ReadoutTest, ARefillEndsARunningReadOutAndFreesTheMouse) {
  Press(ReadoutButton::kLeft, Mapping::X(1), 380);
  ReadoutEffects effects = readout_.Reset();
  EXPECT_TRUE(effects.releaseMouse);
  EXPECT_EQ(readout_.CurrentMode(), Mode::kIdle);
  EXPECT_FALSE(AnyVisible(O()));
  // The release that follows finds nothing to end.
  EXPECT_FALSE(readout_.Release().releaseMouse);

  Press(ReadoutButton::kRight, Mapping::X(5), 380);
  readout_.Release();
  effects = readout_.Reset();  // a finished read-out holds no mouse
  EXPECT_FALSE(effects.releaseMouse);
  EXPECT_FALSE(AnyVisible(O()));
}

}  // namespace
