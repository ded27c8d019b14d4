#include "widgets/list_column_width.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kNativePadding = 12;         // both sides of a text in a native report list
constexpr double kFormDigitsWidth = 60.0;  // "0123456789" in the forms' font

}  // namespace

int FittedColumnWidth(int formWidth, const QAbstractItemView& list) {
  if (formWidth <= kNativePadding) return formWidth;
  const int digits = list.fontMetrics().horizontalAdvance(QStringLiteral("0123456789"));
  const double scale = std::max(1.0, digits / kFormDigitsWidth);
  // The views draw a text inside PM_FocusFrameHMargin + 1 on each side.
  const int margins =
      2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1);
  // Two pixels more for the fractions of a text's advance, which the views
  // count when they decide to elide it.
  const int fitted =
      static_cast<int>(std::ceil((formWidth - kNativePadding) * scale)) + margins + 2;
  // A column never gets narrower than the form made it.
  return std::max(formWidth, fitted);
}

int FittedListWidth(int formWidth, int fittedColumns, const QAbstractScrollArea& list) {
  // The scroll bar is counted whether it shows or not: a table that grows
  // past one screen of rows must not push its last column out.
  const int scrollBar =
      list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list.verticalScrollBar());
  return std::max(formWidth, fittedColumns + 2 * list.frameWidth() + scrollBar);
}
