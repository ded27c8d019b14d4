#include "pair/pair_chart_labels.h"

#include <cstdio>

namespace {

std::string Format(const char* format, int32_t a) {
  char text[32];
  std::snprintf(text, sizeof text, format, a);
  return text;
}

std::string Format(const char* format, int32_t a, int32_t b) {
  char text[32];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

bool YearStart(const PairDayRecord& day) { return day.Mark == 2; }
bool MonthStart(const PairDayRecord& day) { return day.Mark == 1; }

// The label of a day from the year-start and month-start columns of a mode,
// empty when the day takes neither (then it is an "other" day).
std::string MarkLabel(DateLabelMode mode, const PairDayRecord& day) {
  const bool year = YearStart(day);
  const bool month = MonthStart(day);
  switch (mode) {
    case DateLabelMode::kYear:
      if (year) return Format("%d", day.Year);
      break;
    case DateLabelMode::kYearMonth:
      if (year) return Format("%d/", day.Year);
      break;
    case DateLabelMode::kShortYear:
      if (year) return Format("%02d/%d", day.Year % 100, day.Month);
      if (month) return Format("%d", day.Month);
      break;
    case DateLabelMode::kMonth:
      if (year || month) return Format("%d", day.Month);
      break;
    case DateLabelMode::kMonthDay:
      if (year || month) return Format("%d/", day.Month);
      break;
    case DateLabelMode::kDayOfMonth:
      if (year || month) return Format("%d/%d", day.Month, day.Day);
      break;
    case DateLabelMode::kNone:
      break;
  }
  return {};
}

std::string OtherLabel(DateLabelMode mode, const PairDayRecord& day) {
  return mode == DateLabelMode::kDayOfMonth ? Format("%d", day.Day) : kNoLabel;
}

bool HasFirstDayRule(DateLabelMode mode) {
  return mode == DateLabelMode::kYearMonth || mode == DateLabelMode::kMonthDay;
}

bool CountsDistance(DateLabelMode mode) {
  return mode == DateLabelMode::kYear || mode == DateLabelMode::kYearMonth ||
         mode == DateLabelMode::kShortYear || mode == DateLabelMode::kMonthDay;
}

std::string FirstDayLabel(DateLabelMode mode, const PairDayRecord& day) {
  if (mode == DateLabelMode::kYearMonth) {
    if (YearStart(day)) return Format("%d/%d", day.Year, day.Month);
    return day.Month > 1 ? Format("%d", day.Month) : kNoLabel;
  }
  if (YearStart(day) || MonthStart(day)) return Format("%d/%d", day.Month, day.Day);
  return Format("%2d", day.Day);
}

// The last (oldest) day's label; it may relabel the last labelled day,
// `labelled` points newer (nullptr when that day lies outside the window).
std::string LastDayLabel(DateLabelMode mode, const PairDayRecord& day, double distance,
                         const PairDayRecord* labelled, std::string* relabel) {
  switch (mode) {
    case DateLabelMode::kYear:
      return distance > 20 ? Format("%d", day.Year) : kNoLabel;
    case DateLabelMode::kYearMonth:
      if (distance > 38) return Format("%d/%d", day.Year, day.Month);
      if (labelled) *relabel = Format("%d/%d", labelled->Year, labelled->Month);
      return distance > 30 ? Format("%d/  ", day.Year) : kNoLabel;
    case DateLabelMode::kShortYear:
      if (distance > 26) return Format("%02d/%d", day.Year % 100, day.Month);
      if (labelled && MonthStart(*labelled) && distance > 18) {
        return Format("%02d/%d", day.Year % 100, day.Month);
      }
      if (labelled) *relabel = Format("%02d/%d", labelled->Year % 100, labelled->Month);
      return kNoLabel;
    case DateLabelMode::kMonth:
      return day.Day < 20 ? Format("%d", day.Month) : kNoLabel;
    case DateLabelMode::kMonthDay:
      if (distance > 22) return Format("%d/%d", day.Month, day.Day);
      if (labelled) *relabel = Format("%d/%d", labelled->Month, labelled->Day);
      return distance > 18 ? Format("%d/  ", day.Month) : kNoLabel;
    case DateLabelMode::kDayOfMonth:
    case DateLabelMode::kNone:
      break;
  }
  return {};
}

}  // namespace

std::vector<std::string> DateLabels(const std::vector<PairDayRecord>& days,
                                    const ChartWindow& window, int32_t modeIndex,
                                    double pixelsPerDay) {
  const int32_t range = window.Empty() ? 0 : window.Range();
  std::vector<std::string> labels(static_cast<size_t>(range), kNoLabel);
  if (modeIndex < 1 || modeIndex > 6 || range == 0) return labels;
  const auto mode = static_cast<DateLabelMode>(modeIndex);
  const bool lastRule = mode != DateLabelMode::kDayOfMonth;

  int32_t a = 0;  // days since the last labelled day
  for (int32_t point = 0; point < range; ++point) {
    const PairDayRecord& day = days[static_cast<size_t>(window.Day(point))];
    std::string& label = labels[static_cast<size_t>(point)];
    if (point == 0 && HasFirstDayRule(mode)) {
      label = FirstDayLabel(mode, day);
      continue;
    }
    if (point == range - 1 && lastRule) {
      // The last labelled day lies a + 1 points newer; without any label in
      // the window (possible in modes without a first-day rule) it would be
      // the day before the window, which is not relabelled.
      const int32_t labelledPoint = point - a - 1;
      const PairDayRecord* labelled =
          labelledPoint >= 0 ? &days[static_cast<size_t>(window.Day(labelledPoint))] : nullptr;
      std::string relabel;
      label = LastDayLabel(mode, day, pixelsPerDay * a, labelled, &relabel);
      if (!relabel.empty()) labels[static_cast<size_t>(labelledPoint)] = relabel;
      continue;
    }
    std::string marked = MarkLabel(mode, day);
    if (!marked.empty()) {
      label = std::move(marked);
      a = 0;
      continue;
    }
    label = OtherLabel(mode, day);
    if (CountsDistance(mode)) ++a;
  }
  return labels;
}
