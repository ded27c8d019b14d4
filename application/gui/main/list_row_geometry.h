#pragma once
// The row geometry of a report-style list in a given font, for the hit tests
// of the check images in the lists' first column.

#include <QFont>
#include <cstdint>

struct ListRowGeometry {
  int32_t top = 0;     // the top of the first row in the list's viewport
  int32_t height = 0;  // the pitch of one row
};

ListRowGeometry MeasureReportListRows(const QFont& font);
