#include "pair/pair_day_figures.h"

#include <cstdio>

#include "vcl/convert.h"

std::string DayDateText(const PairDayRecord& day) {
  char text[40];
  std::snprintf(text, sizeof text, "%d/%02d/%02d", day.Year, day.Month, day.Day);
  return text;
}

std::string MarketPriceText(int64_t value, int32_t lots, int32_t adjust) {
  if (lots <= 0) return "-";
  return vcl::IntToStr((value - adjust) / lots);
}

PairDayFigures DayFigures(const PairDayRecord& day, const PairCheckScale& scale) {
  PairDayFigures figures;
  figures.date = DayDateText(day);
  figures.priceA = MarketPriceText(day.CloseA, scale.lotsA, scale.adjust);
  figures.priceB = MarketPriceText(day.CloseB, scale.lotsB, 0);
  figures.chartA = vcl::IntToStr(day.CloseA);
  figures.chartB = vcl::IntToStr(day.CloseB);
  const int64_t difference = static_cast<int64_t>(day.CloseA) - day.CloseB;
  if (difference == 0) {
    figures.margin = " 0";
  } else if (difference < 0) {
    figures.margin = vcl::IntToStr(difference);
    figures.marginColour = MarginColour::kRed;
  } else {
    figures.margin = "+" + vcl::IntToStr(difference);
    figures.marginColour = MarginColour::kBlue;
  }
  if (day.Rate == 0.0) {
    figures.arbitrage = "0.0";
  } else {
    figures.arbitrage = (day.Rate > 0.0 ? "+" : "") + vcl::FloatToStrFFixed(day.Rate, 7, 2);
  }
  return figures;
}
