#include "widgets/list_column_width.h"

#include <QAbstractItemView>
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
