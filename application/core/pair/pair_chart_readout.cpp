#include "pair/pair_chart_readout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pair/pair_day_figures.h"
#include "vcl/convert.h"

namespace {

using namespace readout_colour;

bool HasBothCloses(const PairDayRecord& day) { return day.CloseA != 0 && day.CloseB != 0; }

std::string RateText(double rate) { return vcl::FloatToStrFFixed(rate, 7, 2); }

void Colour(TextOverlay& text, uint32_t textRgb, uint32_t backgroundRgb) {
  text.textRgb = textRgb;
  text.backgroundRgb = backgroundRgb;
}

// The horizontal line and value of a rate above zero (or the upper side) in
// aqua and blue on light cyan, else fuchsia and red on light pink.
void ColourRate(ReadoutOverlays& o, bool upper) {
  o.lineY1.rgb = upper ? kAqua : kFuchsia;
  Colour(o.valueY1, upper ? kBlue : kRed, upper ? kLightCyan : kLightPink);
}

// A date text whose bottom sits on the plot's top edge.
void PlaceDate(TextOverlay& text, int32_t x, bool rightAligned, const ReadoutMapping& map) {
  text.x = x;
  text.rightAligned = rightAligned;
  text.y = map.PlotTop();
  text.bottomAligned = true;
}

void PlaceValue(TextOverlay& text, int32_t x, bool rightAligned, int32_t y) {
  text.x = x;
  text.rightAligned = rightAligned;
  text.y = y;
  text.bottomAligned = false;
}

}  // namespace

std::string ProfitStatusText(const std::string& startText, const PairDayRecord& day, int32_t days,
                             int64_t profit) {
  std::string profitText = profit == 0 ? "0" : (profit > 0 ? "+" : "") + vcl::IntToStr(profit);
  std::string perDay = "0";
  if (days != 0) perDay = (profit > 0 ? "+" : "") + vcl::IntToStr(profit / days);
  return std::string(" \\ \x8a\xfa\x8a\xd4 ") + startText + "\x81\x60" + vcl::IntToStr(day.Month) +
         "/" + vcl::IntToStr(day.Day) + "\x81\x69" + vcl::IntToStr(days) + "\x93\xfa\x81\x6a" +
         "  \x8e\xfb\x89\x76 " + profitText + "\x89\x7e \x81\x69" + perDay + "\x89\x7e\x81\x6a";
}

void PairChartReadout::SetPair(const std::vector<PairDayRecord>* days, const ChartWindow& window,
                               const PairCheckScale& scale) {
  days_ = days;
  window_ = window;
  scale_ = scale;
}

bool PairChartReadout::Running() const {
  return mode_ == Mode::kPriceA || mode_ == Mode::kPriceB || mode_ == Mode::kRate ||
         mode_ == Mode::kProfit;
}

void PairChartReadout::HideAll() {
  for (LineOverlay* line :
       {&overlays_.lineX1, &overlays_.lineX2, &overlays_.lineY1, &overlays_.lineY2}) {
    line->visible = false;
  }
  for (TextOverlay* text :
       {&overlays_.valueX1, &overlays_.valueX2, &overlays_.valueY1, &overlays_.valueY2}) {
    text->visible = false;
  }
}

ReadoutEffects PairChartReadout::Reset() {
  ReadoutEffects effects;
  // A refill during a read-out (a wheel turn with a button held) ends it
  // fully, so that the cursor never stays hidden.
  effects.releaseMouse = Running();
  HideAll();
  mode_ = Mode::kIdle;
  return effects;
}

int32_t PairChartReadout::PointUnder(int32_t x, const ReadoutMapping& map) const {
  const double value = map.PointAt(x) + 0.5;
  if (!(value > 0.0)) return -1;
  return static_cast<int32_t>(std::min(value, 2.0e9));
}

const PairDayRecord& PairChartReadout::DayOfPoint(int32_t point) const {
  return (*days_)[static_cast<size_t>(window_.Day(point))];
}

ReadoutEffects PairChartReadout::Press(ReadoutButton button, int32_t x, int32_t y,
                                       const ReadoutMapping& map) {
  ReadoutEffects effects;
  if (days_ == nullptr) return effects;
  if (mode_ == Mode::kFinished) {
    HideAll();
    mode_ = Mode::kIdle;
    if (button == ReadoutButton::kRight) return effects;
  } else if (mode_ != Mode::kIdle) {
    return effects;
  }
  const int32_t point = PointUnder(x, map);
  if (point < 0 || point >= window_.Range()) return effects;
  if (y < map.PlotTop() || y > map.PlotBottom()) return effects;

  if (y > map.PriceMinRow()) {
    const PairDayRecord& day = DayOfPoint(point);
    const bool both = HasBothCloses(day);
    if (button == ReadoutButton::kRight && both) {
      StartProfit(point, x, map, effects);
    } else if (button == ReadoutButton::kMiddle && both) {
      return effects;
    } else {
      StartRate(point, x, map, effects);
    }
  } else {
    if (button == ReadoutButton::kMiddle) return effects;
    StartPrice(button, x, y, map, effects);
  }
  return effects;
}

void PairChartReadout::StartPrice(ReadoutButton button, int32_t x, int32_t y,
                                  const ReadoutMapping& map, ReadoutEffects& effects) {
  const bool a = button == ReadoutButton::kLeft;
  mode_ = a ? Mode::kPriceA : Mode::kPriceB;
  effects.holdMouse = true;
  ReadoutOverlays& o = overlays_;
  o.lineY1.rgb = a ? kBlue : kRed;
  Colour(o.valueY1, o.lineY1.rgb, a ? kLightCyan : kLightPink);
  o.lineX1.rgb = kGreen;
  o.lineX1.position = x;
  o.lineY1.position = y;
  PlaceDate(o.valueX1, x, true, map);
  PlaceValue(o.valueY1, x, false, y);
  o.lineX1.visible = o.lineY1.visible = o.valueX1.visible = o.valueY1.visible = true;
  // The texts show the cursor's day and price at once, not only after the
  // first move.
  MovePrice(x, y, map, effects);
}

void PairChartReadout::StartRate(int32_t point, int32_t x, const ReadoutMapping& map,
                                 ReadoutEffects& effects) {
  mode_ = Mode::kRate;
  effects.holdMouse = true;
  const PairDayRecord& day = DayOfPoint(point);
  ReadoutOverlays& o = overlays_;
  ColourRate(o, day.Rate >= 0.0);
  o.lineX1.rgb = kLime;
  o.lineX1.position = x;
  o.lineY1.position = map.RateRow(day.Rate);
  PlaceDate(o.valueX1, x, true, map);
  PlaceValue(o.valueY1, x, false, o.lineY1.position);
  o.lineX1.visible = o.lineY1.visible = o.valueX1.visible = o.valueY1.visible = true;
  MoveRate(x, map, effects);
}

void PairChartReadout::StartProfit(int32_t point, int32_t x, const ReadoutMapping& map,
                                   ReadoutEffects& effects) {
  mode_ = Mode::kProfit;
  effects.holdMouse = true;
  const PairDayRecord& day = DayOfPoint(point);
  char start[32];
  std::snprintf(start, sizeof start, "%d/%d", day.Month, day.Day);
  dragStartText_ = start;
  dragStartPoint_ = point;
  aOverB_ = day.Rate >= 0.0;
  dragStartSpread_ = aOverB_ ? static_cast<int64_t>(day.CloseA) - day.CloseB
                             : static_cast<int64_t>(day.CloseB) - day.CloseA;
  ReadoutOverlays& o = overlays_;
  o.lineX1.rgb = aOverB_ ? kFuchsia : kAqua;
  o.lineX2.rgb = aOverB_ ? kAqua : kFuchsia;
  ColourRate(o, aOverB_);
  o.lineY2.rgb = o.lineY1.rgb;
  Colour(o.valueY2, o.valueY1.textRgb, o.valueY1.backgroundRgb);
  effects.showDay = window_.Day(point);
  const std::string date = DayDateText(day);
  o.lineX2.position = x;
  o.valueX2.text = date;
  PlaceDate(o.valueX2, x, true, map);
  o.lineX1.position = x;
  o.valueX1.text = date;
  PlaceDate(o.valueX1, x + 2, false, map);
  o.valueY2.text = RateText(day.Rate);
  o.lineY2.position = map.RateRow(day.Rate);
  PlaceValue(o.valueY2, x + 2, true, o.lineY2.position);
  o.valueY1.text = o.valueY2.text;
  o.lineY1.position = o.lineY2.position;
  PlaceValue(o.valueY1, x, false, o.lineY1.position);
  for (LineOverlay* line : {&o.lineX1, &o.lineX2, &o.lineY1, &o.lineY2}) line->visible = true;
  for (TextOverlay* text : {&o.valueX1, &o.valueX2, &o.valueY1, &o.valueY2}) {
    text->visible = true;
  }
  MoveProfit(x, map, effects);
}

ReadoutEffects PairChartReadout::Move(int32_t x, int32_t y, const ReadoutMapping& map) {
  ReadoutEffects effects;
  if (days_ == nullptr) return effects;
  switch (mode_) {
    case Mode::kPriceA:
    case Mode::kPriceB:
      MovePrice(x, y, map, effects);
      break;
    case Mode::kRate:
      MoveRate(x, map, effects);
      break;
    case Mode::kProfit:
      MoveProfit(x, map, effects);
      break;
    case Mode::kIdle:
    case Mode::kFinished:
      break;
  }
  return effects;
}

void PairChartReadout::MovePrice(int32_t x, int32_t y, const ReadoutMapping& map,
                                 ReadoutEffects& effects) {
  const int32_t range = window_.Range();
  const double raw = map.PointAt(x) + 0.5;
  double value = raw;
  if (raw < -0.5) {
    value = 0.0;
    x = map.PlotRight();
  }
  if (raw > range) {
    value = range - 1;
    if (raw > range + 0.5) x = map.PlotLeft();
  }
  const int32_t point = value > 0.0 ? static_cast<int32_t>(value) : 0;

  const double price = std::clamp(map.PriceAt(y), -1.0e15, 1.0e15);
  auto v = static_cast<int64_t>(std::trunc(price + 0.5));
  if (v < map.PriceMin()) {
    v = static_cast<int64_t>(std::trunc(map.PriceMin()));
    y = map.PriceMinRow();
  }
  if (v > map.PriceMax()) {
    v = static_cast<int64_t>(std::trunc(map.PriceMax()));
    y = map.PlotTop();
  }

  effects.showDay = window_.Day(point);
  ReadoutOverlays& o = overlays_;
  o.valueX1.text = DayDateText(DayOfPoint(point));
  const bool a = mode_ == Mode::kPriceA;
  const int32_t lots = a ? scale_.lotsA : scale_.lotsB;
  const int32_t adjust = a ? scale_.adjust : 0;
  // The price at the cursor, rounded to the nearest yen of one share.
  o.valueY1.text = lots > 0 ? vcl::IntToStr((v + lots / 2 - adjust) / lots) : "-";
  o.lineX1.position = x;
  o.lineY1.position = y;
  PlaceDate(o.valueX1, x, true, map);
  PlaceValue(o.valueY1, x, false, y);
}

void PairChartReadout::ShowRateValue(const PairDayRecord& day, const ReadoutMapping& map,
                                     int32_t x) {
  ReadoutOverlays& o = overlays_;
  o.lineY1.position = map.RateRow(day.Rate);
  o.valueY1.text = RateText(day.Rate);
  PlaceValue(o.valueY1, x, false, o.lineY1.position);
  o.lineY1.visible = o.valueY1.visible = true;
}

void PairChartReadout::MoveRate(int32_t x, const ReadoutMapping& map, ReadoutEffects& effects) {
  const int32_t point = PointUnder(x, map);
  if (point < 0 || point >= window_.Range()) return;
  const PairDayRecord& day = DayOfPoint(point);
  effects.showDay = window_.Day(point);
  ReadoutOverlays& o = overlays_;
  o.valueX1.text = DayDateText(day);
  o.lineX1.position = x;
  PlaceDate(o.valueX1, x, true, map);
  if (!HasBothCloses(day)) {
    o.lineY1.visible = o.valueY1.visible = false;
    return;
  }
  ColourRate(o, day.Rate >= 0.0);
  ShowRateValue(day, map, x);
}

void PairChartReadout::MoveProfit(int32_t x, const ReadoutMapping& map, ReadoutEffects& effects) {
  const int32_t point = PointUnder(x, map);
  if (point < 0 || point > dragStartPoint_) return;
  const PairDayRecord& day = DayOfPoint(point);
  effects.showDay = window_.Day(point);
  ReadoutOverlays& o = overlays_;
  o.valueX1.text = DayDateText(day);
  o.lineX1.position = x;
  PlaceDate(o.valueX1, x + 2, false, map);
  if (!HasBothCloses(day)) {
    o.lineY1.visible = o.valueY1.visible = false;
    return;
  }
  ColourRate(o, map.RateRow(day.Rate) < o.lineY2.position);
  ShowRateValue(day, map, x);
  const int64_t spread = aOverB_ ? static_cast<int64_t>(day.CloseA) - day.CloseB
                                 : static_cast<int64_t>(day.CloseB) - day.CloseA;
  effects.status =
      ProfitStatusText(dragStartText_, day, dragStartPoint_ - point, dragStartSpread_ - spread);
}

ReadoutEffects PairChartReadout::Release() {
  ReadoutEffects effects;
  if (!Running()) return effects;
  effects.releaseMouse = true;
  if (mode_ == Mode::kProfit) {
    mode_ = Mode::kFinished;
    return effects;
  }
  mode_ = Mode::kIdle;
  overlays_.lineX1.visible = overlays_.lineY1.visible = false;
  overlays_.valueX1.visible = overlays_.valueY1.visible = false;
  return effects;
}
