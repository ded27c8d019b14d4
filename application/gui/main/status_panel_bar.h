#pragma once
// The main window's status bar: six panels side by side with exact pixel
// widths. Panel 0 (left-aligned) carries hints, status messages and notices;
// panels 1 to 4 (centred) the counts and statistics of the active page;
// panel 5 (no bevel) the space of the size grip. Panel 0 takes the width the
// others leave, less 18 pixels, whenever the bar is resized or asked to.
// The bar's hover hint is its owner's to set; when the pointer leaves the bar
// it raises an empty status tip, as any control with a hint does, so that the
// hint goes with the pointer. The bar and its panels have accessible names:
// panel 0 and the grip's panel their own, panels 1 to 4 what their owner says
// they hold.

#include <QLabel>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>

class QSizeGrip;

class StatusPanelBar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kPanelCount = 6;

  explicit StatusPanelBar(QWidget* parent = nullptr);

  QString PanelText(int panel) const;
  void SetPanelText(int panel, const QString& text);
  // The name a screen reader announces for the panel, in place of its text.
  void SetPanelName(int panel, const QString& name);
  int32_t PanelWidth(int panel) const { return widths_[panel]; }
  void SetPanelWidth(int panel, int32_t width);

  // Panel 0 := bar width − (widths of panels 1 to 4) − 18.
  void ApplyPanel0WidthRule();

  // The widths of panels 0 to 4, as the hover hints measure them.
  std::array<int32_t, 5> HintWidths() const;

 signals:
  // The mouse moved over the bar, `x` pixels from its left edge.
  void mouseMoved(int32_t x);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayOut();

  std::array<QLabel*, kPanelCount> labels_{};
  // Panels 1 to 4 take the widths their owner gives them for its page.
  std::array<int32_t, kPanelCount> widths_{554, 0, 0, 0, 0, 50};
  QSizeGrip* grip_ = nullptr;
};
