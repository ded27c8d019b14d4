#pragma once
// Inside the chart layer: the texts of bars and days, of which a chart draws
// hundreds per painting with few distinct ones. Each distinct text is laid
// out once; on an image it is also rendered once and its pixels are then
// blended straight into the image, many times faster than drawing its glyphs
// again. What is rendered is kept between paintings in a TextStore.

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QStaticText>
#include <QString>
#include <cstdint>
#include <vector>

namespace chart::internal {

// The image a painter paints into when its pixels may be written directly:
// an image of 32-bit pixels, painted without a transform or a raster mode.
// nullptr for any other device (printers, scaled devices draw as usual).
QImage* DirectTarget(QPainter& painter);

struct TextEntry {
  QStaticText text;
  int32_t width = 0;
  // On images: the text's own pixels (premultiplied) and where they lie.
  std::vector<QPoint> offsets;
  std::vector<QRgb> pixels;
};

// Rendered texts of one font and colour, kept between paintings.
struct TextStore {
  QString style;
  QHash<QString, TextEntry> entries;
};

// Draws texts with the painter's font and pen, clipped as the painter is at
// construction. `store` keeps rendered texts for later paintings; it must
// outlive this object.
class TextPainter {
 public:
  TextPainter(QPainter& painter, TextStore& store);

  const TextEntry& operator[](const QString& text);
  // Draws a text with its top-left corner at `at`.
  void Draw(const TextEntry& entry, const QPoint& at);

 private:
  TextEntry LayOut(const QString& text) const;

  QPainter& painter_;
  QImage* target_;
  QRect clip_;
  uchar* bits_ = nullptr;
  qsizetype bytesPerLine_ = 0;
  // The store on images; texts laid out for other devices stay here.
  QHash<QString, TextEntry>* entries_;
  QHash<QString, TextEntry> local_;
};

}  // namespace chart::internal
