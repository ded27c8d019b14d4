#pragma once
// The figures of one day of the checked pair as the pair page's top panel
// shows them. Code page 932 texts (ASCII in practice).

#include <cstdint>
#include <string>

#include "pair/pair_check_scale.h"
#include "pair/pair_day_record.h"

enum class MarginColour { kBlack, kRed, kBlue };

struct PairDayFigures {
  std::string date;    // "yyyy/mm/dd" without leading zeros in the year
  std::string priceA;  // market prices: "-" when the lot count is not positive
  std::string priceB;
  std::string chartA;  // the scaled comparison values
  std::string chartB;
  std::string margin;  // CloseA - CloseB: " 0", "-n" or "+n"
  MarginColour marginColour = MarginColour::kBlack;
  std::string arbitrage;  // the rate: "0.0", "+r.rr" or "-r.rr"
};

// The date caption of a day, "%d/%02d/%02d".
std::string DayDateText(const PairDayRecord& day);

PairDayFigures DayFigures(const PairDayRecord& day, const PairCheckScale& scale);

// A scaled value back as a market price: (value - adjust) / lots, truncated
// toward zero; "-" when lots is not positive.
std::string MarketPriceText(int64_t value, int32_t lots, int32_t adjust);
