#pragma once
// The mouse read-outs of the pair chart as a state machine without widgets:
// a cross-hair that reads the market price of A or B in the price pane, one
// that reads the deviation rate of the day under the cursor in the rate
// pane, and a profit drag from a start day toward newer days. Each event
// gives the overlays' new state and what the window must do (keep or free
// the mouse, show a day, set the status text); the chart itself is never
// redrawn by a read-out.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pair/pair_chart_window.h"
#include "pair/pair_check_scale.h"
#include "pair/pair_day_record.h"

// The chart's pixel mappings as the read-outs need them; the window's chart
// implements it over its laid-out geometry, tests over plain numbers.
class ReadoutMapping {
 public:
  virtual ~ReadoutMapping() = default;
  virtual int32_t PlotLeft() const = 0;
  virtual int32_t PlotTop() const = 0;
  virtual int32_t PlotRight() const = 0;
  virtual int32_t PlotBottom() const = 0;
  // The bar series' X value at a pixel column (point p at its centre).
  virtual double PointAt(int32_t x) const = 0;
  // The left (price) axis: the value at a pixel row, its range, and the row
  // of its minimum (the lowest row of the price pane).
  virtual double PriceAt(int32_t y) const = 0;
  virtual double PriceMin() const = 0;
  virtual double PriceMax() const = 0;
  virtual int32_t PriceMinRow() const = 0;
  // The right (rate) axis: the pixel row of a rate.
  virtual int32_t RateRow(double rate) const = 0;
};

namespace readout_colour {
inline constexpr uint32_t kBlue = 0x0000FF;
inline constexpr uint32_t kRed = 0xFF0000;
inline constexpr uint32_t kGreen = 0x008000;
inline constexpr uint32_t kLime = 0x00FF00;
inline constexpr uint32_t kAqua = 0x00FFFF;
inline constexpr uint32_t kFuchsia = 0xFF00FF;
inline constexpr uint32_t kLightCyan = 0xE0FFFF;
inline constexpr uint32_t kLightPink = 0xFFE0FF;
}  // namespace readout_colour

// A vertical (X) or horizontal (Y) line one pixel thick at `position`.
struct LineOverlay {
  bool visible = false;
  int32_t position = 0;
  uint32_t rgb = 0;
};

// A text box. Its left edge is at x, or its right edge at x when
// `rightAligned`; its top at y, or its bottom at y when `bottomAligned`.
struct TextOverlay {
  bool visible = false;
  std::string text;
  int32_t x = 0;
  bool rightAligned = false;
  int32_t y = 0;
  bool bottomAligned = false;
  uint32_t textRgb = 0;
  uint32_t backgroundRgb = 0xFFFFFF;
};

struct ReadoutOverlays {
  LineOverlay lineX1, lineX2, lineY1, lineY2;
  TextOverlay valueX1, valueX2, valueY1, valueY2;
};

// What the window does after an event, besides showing the overlays.
struct ReadoutEffects {
  bool holdMouse = false;             // hide the cursor, keep the mouse, focus the chart
  bool releaseMouse = false;          // free the mouse, default cursor
  std::optional<int32_t> showDay;     // show the figures of this day index
  std::optional<std::string> status;  // status panel 0, code page 932
};

enum class ReadoutButton { kLeft, kRight, kMiddle };

class PairChartReadout {
 public:
  enum class Mode : int32_t {
    kIdle = 0,
    kPriceA = 1,
    kPriceB = 2,
    kRate = 11,
    kProfit = 12,
    kFinished = -1,  // a profit read-out left on screen
  };

  // The days drawn, the window shown and the scale of the check; nullptr
  // days (before the first check) make every press do nothing. `days` must
  // outlive its use here.
  void SetPair(const std::vector<PairDayRecord>* days, const ChartWindow& window,
               const PairCheckScale& scale);

  // The chart was refilled: any read-out ends (the mouse is freed if it was
  // held), every overlay is hidden and the mode is idle.
  ReadoutEffects Reset();
  ReadoutEffects Press(ReadoutButton button, int32_t x, int32_t y, const ReadoutMapping& map);
  ReadoutEffects Move(int32_t x, int32_t y, const ReadoutMapping& map);
  ReadoutEffects Release();

  Mode CurrentMode() const { return mode_; }
  const ReadoutOverlays& Overlays() const { return overlays_; }

 private:
  bool Running() const;
  int32_t PointUnder(int32_t x, const ReadoutMapping& map) const;
  const PairDayRecord& DayOfPoint(int32_t point) const;
  void HideAll();
  void StartPrice(ReadoutButton button, int32_t x, int32_t y, const ReadoutMapping& map,
                  ReadoutEffects& effects);
  void StartRate(int32_t point, int32_t x, const ReadoutMapping& map, ReadoutEffects& effects);
  void StartProfit(int32_t point, int32_t x, const ReadoutMapping& map, ReadoutEffects& effects);
  void MovePrice(int32_t x, int32_t y, const ReadoutMapping& map, ReadoutEffects& effects);
  void MoveRate(int32_t x, const ReadoutMapping& map, ReadoutEffects& effects);
  void MoveProfit(int32_t x, const ReadoutMapping& map, ReadoutEffects& effects);
  void ShowRateValue(const PairDayRecord& day, const ReadoutMapping& map, int32_t x);

  const std::vector<PairDayRecord>* days_ = nullptr;
  ChartWindow window_;
  PairCheckScale scale_;
  Mode mode_ = Mode::kIdle;
  ReadoutOverlays overlays_;
  std::string dragStartText_;
  int32_t dragStartPoint_ = 0;
  int64_t dragStartSpread_ = 0;
  bool aOverB_ = true;
};

// The status text of a profit drag from `startText` ("m/d") to `day`, over
// `days` trading days with profit `profit` in yen.
std::string ProfitStatusText(const std::string& startText, const PairDayRecord& day, int32_t days,
                             int64_t profit);
