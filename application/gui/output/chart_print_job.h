#pragma once
// One print of the pair chart: a copy of the pair chart, sized for the
// page's orientation (chart_print_layout.h) and drawn over the paper inside
// the print margins, with the header of names, codes and statistics drawn
// over it each time it is drawn. The copy is the job's own, so nothing a
// preview does reaches the pair page's chart or the next print. Main thread
// only.

#include <QRect>
#include <QSize>

#include "chart/chart.h"
#include "output/chart_print_layout.h"

class QPrinter;

class ChartPrintJob {
 public:
  // `pairChart` is copied; `settings` are taken as ValidPrintChartSettings
  // makes them.
  ChartPrintJob(const chart::Chart& pairChart, PrintHeaderTexts header,
                const PrintChartSettings& settings);

  // Margins and resolution as the preview's controls set them (values out of
  // range are ignored).
  const PrintChartSettings& Settings() const { return settings_; }
  void SetMargins(const std::array<int32_t, 4>& margins);
  void SetResolution(int32_t resolution);

  // Draws the page on `printer` in the printer's orientation. False when the
  // printer cannot be drawn on.
  bool Paint(QPrinter& printer);

  // What the last Paint drew, in the chart's own pixels: its size, its
  // plotting rectangle and the header's text boxes.
  struct Page {
    int32_t orientation = -1;
    QSize chartSize;
    QRect plot;
    QRect lineA;
    QRect lineB;
    QRect statistics;
  };
  const Page& LastPage() const { return page_; }

 private:
  void DrawHeader(QPainter& painter, const chart::Geometry& geometry, int32_t orientation);

  chart::Chart chart_;
  chart::PaintHook pairAfterDraw_;
  PrintHeaderTexts header_;
  PrintChartSettings settings_;
  Page page_;
};
