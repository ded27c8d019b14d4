#include "pair/pair_chart_view.h"

#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <variant>

#include "pair/pair_chart_plan.h"
#include "vcl/convert.h"
#include "widgets/qt_cp932.h"
#include "widgets/screen_cursor.h"

namespace {

using chart::AxisSide;

QColor Rgb(uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb)); }

chart::LineStyle StyleOf(PairPenStyle style) {
  switch (style) {
    case PairPenStyle::kDot:
      return chart::LineStyle::kDot;
    case PairPenStyle::kSmallDots:
      return chart::LineStyle::kSmallDots;
    case PairPenStyle::kSolid:
      break;
  }
  return chart::LineStyle::kSolid;
}

chart::PenMode ModeOf(PairPenMode mode) {
  switch (mode) {
    case PairPenMode::kNotXor:
      return chart::PenMode::kNotXor;
    case PairPenMode::kMergePenNot:
      return chart::PenMode::kMergePenNot;
    case PairPenMode::kCopy:
      break;
  }
  return chart::PenMode::kCopy;
}

chart::Shade ShadeOf(const std::optional<uint32_t>& rgb) {
  return rgb ? chart::Shade{true, Rgb(*rgb)} : chart::Shade{};
}

chart::Series& SeriesOf(chart::Chart& model, PairSeries series) {
  return model.series[static_cast<size_t>(series)];
}

// The read-outs see the chart through its laid-out geometry.
class GeometryMapping : public ReadoutMapping {
 public:
  explicit GeometryMapping(const chart::Geometry& geometry) : g_(geometry) {}
  int32_t PlotLeft() const override { return g_.Plot().left(); }
  int32_t PlotTop() const override { return g_.Plot().top(); }
  int32_t PlotRight() const override { return g_.Plot().left() + g_.Plot().width() - 1; }
  int32_t PlotBottom() const override { return g_.Plot().top() + g_.Plot().height() - 1; }
  double PointAt(int32_t x) const override { return g_.PixelToCategory(x); }
  double PriceAt(int32_t y) const override { return g_.PixelToValue(AxisSide::kLeft, y); }
  double PriceMin() const override { return g_.Axis(AxisSide::kLeft).min; }
  double PriceMax() const override { return g_.Axis(AxisSide::kLeft).max; }
  int32_t PriceMinRow() const override { return g_.Axis(AxisSide::kLeft).bottom; }
  int32_t RateRow(double rate) const override { return g_.ValuePixel(AxisSide::kRight, rate); }

 private:
  const chart::Geometry& g_;
};

void SetColours(QWidget* widget, uint32_t textRgb, uint32_t backgroundRgb) {
  QPalette palette = widget->palette();
  const QColor text = Rgb(textRgb);
  const QColor background = Rgb(backgroundRgb);
  if (palette.color(QPalette::WindowText) == text &&
      palette.color(QPalette::Window) == background) {
    return;
  }
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Window, background);
  widget->setPalette(palette);
}

void PlaceLine(QFrame* line, const LineOverlay& overlay, bool vertical, const QSize& area) {
  if (!overlay.visible) {
    line->hide();
    return;
  }
  SetColours(line, overlay.rgb, overlay.rgb);
  if (vertical) {
    line->setGeometry(overlay.position, 0, 1, area.height());
  } else {
    line->setGeometry(0, overlay.position, area.width(), 1);
  }
  line->show();
}

void PlaceText(QLabel* label, const TextOverlay& overlay) {
  if (!overlay.visible) {
    label->hide();
    return;
  }
  SetColours(label, overlay.textRgb, overlay.backgroundRgb);
  const QString text = QFromCp932(overlay.text);
  if (label->text() != text) {
    label->setText(text);
    label->adjustSize();
  }
  const int32_t left = overlay.rightAligned ? overlay.x - label->width() : overlay.x;
  const int32_t top = overlay.bottomAligned ? overlay.y - label->height() : overlay.y;
  label->move(left, top);
  label->show();
}

}  // namespace

PairChartView::PairChartView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PairChartView"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  chart_ = new chart::ChartWidget(this);
  chart_->setObjectName(QStringLiteral("ChartPair"));
  chart_->setAccessibleName(QStringLiteral(u"ペアチャート"));
  chart_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // A click that starts no read-out leaves the focus where it is.
  chart_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(chart_, 1);
  scrollBar_ = new QScrollBar(Qt::Horizontal, this);
  scrollBar_->setObjectName(QStringLiteral("ScrollBarChartPair"));
  scrollBar_->setAccessibleName(QStringLiteral(u"ペアチャートのスクロールバー"));
  scrollBar_->setRange(0, 0);
  scrollBar_->setPageStep(3);
  layout->addWidget(scrollBar_);
  BuildChart();
  BuildOverlays();
  // The date read-outs stand on the plot's top edge: keep them inside the
  // chart at any size.
  const QLabel* date = values_[0];
  chart_->Model().topSpace =
      date->fontMetrics().height() + 2 * (date->frameWidth() + date->margin());
  SetOptions(options_);

  connect(chart_, &chart::ChartWidget::mousePressed, this, &PairChartView::ChartMousePressed);
  connect(chart_, &chart::ChartWidget::mouseMoved, this, &PairChartView::ChartMouseMoved);
  connect(chart_, &chart::ChartWidget::mouseReleased, this,
          [this](Qt::MouseButton, QPoint) { ChartMouseReleased(); });
  connect(chart_, &chart::ChartWidget::wheelTurned, this, &PairChartView::ChartWheelTurned);
  // The date labels are thinned for the chart's width: a new size labels
  // the window afresh.
  connect(chart_, &chart::ChartWidget::resized, this, [this] {
    if (days_ != nullptr) DrawChart(scrollBar_->value());
  });
}

PairChartView::~PairChartView() {
  if (mouseHeld_) SetScreenCursor(Qt::ArrowCursor);
}

void PairChartView::BuildChart() {
  chart::Chart& model = chart_->Model();
  model.bottom.inverted = true;
  model.bottom.tickLength = 3;
  model.backColor = Qt::white;
  model.gradient = true;
  model.gradientEnd = Rgb(kGradientEndRgb);
  model.wallColor = Rgb(kWallRgb);
  QFont font = chart_->font();
  font.setPixelSize(11);
  model.font = font;
  const auto& styles = PairSeriesStyles();
  for (int32_t i = 0; i < kPairSeriesCount; ++i) {
    const PairSeriesStyle& style = styles[static_cast<size_t>(i)];
    chart::Series series;
    series.name = style.name;
    series.axis = style.rightAxis ? AxisSide::kRight : AxisSide::kLeft;
    const chart::Pen pen{Rgb(style.rgb), 1, StyleOf(style.style), ModeOf(style.mode)};
    if (static_cast<PairSeries>(i) == PairSeries::kBar) {
      chart::BarSeries bars;
      bars.outline = Rgb(kBarOutlineRgb);
      bars.fill = Rgb(kBarFillRgb);
      series.data = std::move(bars);
    } else if (static_cast<PairSeries>(i) == PairSeries::kMean) {
      series.data = chart::HorizontalLine{pen, 0.0};
    } else {
      series.data = chart::LineSeries{pen, {}};
    }
    model.series.push_back(std::move(series));
  }
  model.beforeSeries = [this](const chart::Chart& chart, QPainter& painter,
                              const chart::Geometry& g) { BeforeSeries(chart, painter, g); };
  model.afterDraw = [this](const chart::Chart& chart, QPainter& painter, const chart::Geometry& g) {
    AfterDraw(chart, painter, g);
  };
}

void PairChartView::BuildOverlays() {
  static const char* const kLineNames[] = {"PanelLineX1", "PanelLineX2", "PanelLineY1",
                                           "PanelLineY2"};
  static const char* const kValueNames[] = {"StaticTextValueX1", "StaticTextValueX2",
                                            "StaticTextValueY1", "StaticTextValueY2"};
  for (size_t i = 0; i < lines_.size(); ++i) {
    auto* line = new QFrame(chart_);
    line->setObjectName(QString::fromLatin1(kLineNames[i]));
    line->setAutoFillBackground(true);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    line->hide();
    lines_[i] = line;
  }
  for (size_t i = 0; i < values_.size(); ++i) {
    auto* value = new QLabel(chart_);
    value->setObjectName(QString::fromLatin1(kValueNames[i]));
    value->setAutoFillBackground(true);
    value->setAttribute(Qt::WA_TransparentForMouseEvents);
    value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    value->setMargin(1);
    if (i >= 2) {
      QFont bold = value->font();
      bold.setBold(true);
      value->setFont(bold);
    }
    value->hide();
    values_[i] = value;
  }
}

void PairChartView::SetPair(const std::vector<PairDayRecord>* days, const PairCheckScale& scale,
                            double meanRate, double twoSigma, std::string meanText) {
  days_ = days;
  scale_ = scale;
  meanRate_ = meanRate;
  twoSigma_ = twoSigma;
  meanText_ = std::move(meanText);
  Apply(readout_.Reset());
  readout_.SetPair(days_, window_, scale_);
}

void PairChartView::SetOptions(const PairChartSettings& settings) {
  options_ = settings;
  chart::Chart& model = chart_->Model();
  const int32_t split = std::clamp(settings.Split, 0, 100);
  model.splitPercent = split;
  model.left.visible = split > 0;
  model.right.visible = split < 100;
  model.marginLeft = model.left.visible ? 1 : 2;
  model.marginRight = model.right.visible ? 1 : 2;
  model.left.grid = ShadeOf(GridShadeRgb(settings.Grid[0]));
  model.bottom.grid = ShadeOf(GridShadeRgb(settings.Grid[2]));
  model.bottom.ticks = ShadeOf(TickShadeRgb(settings.Grid[2]));

  auto& bars = std::get<chart::BarSeries>(SeriesOf(model, PairSeries::kBar).data);
  bars.widthPercent = settings.BarWidth;
  const std::string format = BarMarkFormat(settings.BarLabel);
  bars.marksVisible = !format.empty() && model.right.visible;
  bars.markText = [format](double value) {
    return QString::fromLatin1(vcl::FormatFloat(format, value));
  };

  const std::pair<PairSeries, bool> switches[] = {
      {PairSeries::kOpenA, settings.LinesAB[0]}, {PairSeries::kHighA, settings.LinesAB[1]},
      {PairSeries::kLowA, settings.LinesAB[2]},  {PairSeries::kOpenB, settings.LinesAB[3]},
      {PairSeries::kHighB, settings.LinesAB[4]}, {PairSeries::kLowB, settings.LinesAB[5]},
      {PairSeries::kMean, settings.LinesC[0]},   {PairSeries::kMa5, settings.LinesC[2]},
      {PairSeries::kMa25, settings.LinesC[3]},   {PairSeries::kCloseA, split > 0},
      {PairSeries::kCloseB, split > 0},
  };
  for (const auto& [series, active] : switches) SeriesOf(model, series).active = active;
  for (PairSeries close : {PairSeries::kCloseA, PairSeries::kCloseB}) {
    std::get<chart::LineSeries>(SeriesOf(model, close).data).pen.width = settings.LineWidth;
  }
  chart_->Replot();
}

void PairChartView::SetRange(int32_t daysShown) { range_ = daysShown; }

void PairChartView::DrawChart(int32_t scrollPosition) {
  if (days_ == nullptr) return;
  Apply(readout_.Reset());
  window_ = ChartWindowAt(static_cast<int32_t>(days_->size()), range_, scrollPosition);
  readout_.SetPair(days_, window_, scale_);

  const int32_t range = window_.Range();
  const int32_t mode = options_.YMDLabel;
  double pixelsPerDay = 0.0;
  if (mode != 0 && range > 0) {
    pixelsPerDay = static_cast<double>(chart_->CurrentGeometry().Plot().width()) / range;
  }
  const PairChartFill fill = FillPairChart(*days_, window_, mode, pixelsPerDay, meanRate_);

  chart::Chart& model = chart_->Model();
  model.bottom.count = range;
  model.bottom.labels.clear();
  model.bottom.labels.reserve(fill.labels.size());
  for (const std::string& label : fill.labels) {
    model.bottom.labels.push_back(QString::fromLatin1(label));
  }
  for (int32_t i = 0; i < kPairSeriesCount; ++i) {
    const auto& points = fill.series[static_cast<size_t>(i)];
    chart::Series& series = model.series[static_cast<size_t>(i)];
    if (auto* bars = std::get_if<chart::BarSeries>(&series.data)) {
      bars->points.clear();
      for (const PairChartPoint& p : points) bars->points.push_back({p.point, p.value, p.null});
    } else if (auto* line = std::get_if<chart::LineSeries>(&series.data)) {
      line->points.clear();
      for (const PairChartPoint& p : points) line->points.push_back({p.point, p.value});
    } else if (auto* shape = std::get_if<chart::HorizontalLine>(&series.data)) {
      shape->value = fill.mean;
    }
  }
  chart_->Replot();
}

void PairChartView::BeforeSeries(const chart::Chart& chart, QPainter& painter,
                                 const chart::Geometry& g) const {
  if (days_ == nullptr || chart.series.empty()) return;
  const std::vector<int32_t> points =
      SeparatorPoints(*days_, window_, options_.YMDLabel, options_.Grid[1]);
  if (points.empty()) return;
  const auto* bars = std::get_if<chart::BarSeries>(&chart.series.front().data);
  const int32_t percent = bars != nullptr ? bars->widthPercent : 100;
  // One-pixel columns, filled rather than stroked: a rasteriser strokes a
  // vertical line a pixel at a time.
  const QColor shade = Rgb(*GridShadeRgb(options_.Grid[1]));
  const QRect& plot = g.Plot();
  for (int32_t point : points) {
    const int32_t x = g.BarLeft(point, percent) + g.BarWidth(percent) / 2;
    painter.fillRect(QRect(x, plot.top(), 1, plot.height()), shade);
  }
}

void PairChartView::AfterDraw(const chart::Chart& chart, QPainter& painter,
                              const chart::Geometry& g) const {
  if (days_ == nullptr || !g.Axis(AxisSide::kRight).visible) return;
  QFont font = painter.font();
  font.setPixelSize(12);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const QRect& plot = g.Plot();
  const auto writeText = [&](int32_t left, int32_t top, const QString& text) {
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(left, top + metrics.ascent()), text);
  };

  const size_t mean = static_cast<size_t>(PairSeries::kMean);
  if (chart.series.size() > mean && chart.series[mean].active && !meanText_.empty()) {
    const QString text = QFromCp932(meanText_);
    writeText(plot.left() - 3 - metrics.horizontalAdvance(text),
              g.ValuePixel(AxisSide::kRight, meanRate_) - 5, text);
  }
  const chart::ValueScale& axis = g.Axis(AxisSide::kRight);
  const SigmaLines lines =
      SigmaLinesFor(options_.LinesC[1], meanRate_, twoSigma_, axis.min, axis.max);
  const auto drawLine = [&](double value, const QString& label, int32_t raise) {
    const int32_t y = g.ValuePixel(AxisSide::kRight, value);
    chart::ApplyPen(painter, chart::Pen{Rgb(kSigmaRgb), 0, chart::LineStyle::kDashDot,
                                        chart::PenMode::kNotXor});
    painter.drawLine(plot.left(), y, plot.right(), y);
    writeText(plot.left() - 24, y - raise, label);
  };
  if (lines.upper) drawLine(*lines.upper, QStringLiteral(u"+2σ"), 4);
  if (lines.lower) drawLine(*lines.lower, QStringLiteral(u"-2σ"), 6);
}

void PairChartView::Apply(const ReadoutEffects& effects) {
  if (effects.releaseMouse && mouseHeld_) {
    SetScreenCursor(Qt::ArrowCursor);
    mouseHeld_ = false;
  }
  if (effects.holdMouse) {
    SetScreenCursor(Qt::BlankCursor);
    mouseHeld_ = true;
    chart_->setFocus(Qt::MouseFocusReason);
  }
  const ReadoutOverlays& o = readout_.Overlays();
  const QSize area = chart_->size();
  PlaceLine(lines_[0], o.lineX1, true, area);
  PlaceLine(lines_[1], o.lineX2, true, area);
  PlaceLine(lines_[2], o.lineY1, false, area);
  PlaceLine(lines_[3], o.lineY2, false, area);
  PlaceText(values_[0], o.valueX1);
  PlaceText(values_[1], o.valueX2);
  PlaceText(values_[2], o.valueY1);
  PlaceText(values_[3], o.valueY2);
  if (effects.showDay) emit dayShown(*effects.showDay);
  if (effects.status) emit statusText(*effects.status);
}

void PairChartView::ChartMousePressed(Qt::MouseButton button, QPoint position) {
  ReadoutButton which = ReadoutButton::kLeft;
  if (button == Qt::RightButton) {
    which = ReadoutButton::kRight;
  } else if (button == Qt::MiddleButton) {
    which = ReadoutButton::kMiddle;
  } else if (button != Qt::LeftButton) {
    return;
  }
  const GeometryMapping map(chart_->CurrentGeometry());
  Apply(readout_.Press(which, position.x(), position.y(), map));
}

void PairChartView::ChartMouseMoved(QPoint position) {
  if (readout_.CurrentMode() == PairChartReadout::Mode::kIdle ||
      readout_.CurrentMode() == PairChartReadout::Mode::kFinished) {
    return;
  }
  const GeometryMapping map(chart_->CurrentGeometry());
  Apply(readout_.Move(position.x(), position.y(), map));
}

void PairChartView::ChartMouseReleased() { Apply(readout_.Release()); }

void PairChartView::ChartWheelTurned(int32_t delta) {
  const int32_t position =
      WheelScrollPosition(scrollBar_->value(), delta, scrollBar_->minimum(), scrollBar_->maximum());
  {
    const QSignalBlocker block(scrollBar_);
    scrollBar_->setValue(position);
  }
  DrawChart(position);
}
