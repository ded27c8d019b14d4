#include "chart/chart_text.h"

#include <QPaintEngine>
#include <cmath>

namespace chart::internal {

QImage* DirectTarget(QPainter& painter) {
  const QPaintEngine* engine = painter.paintEngine();
  if (engine == nullptr || engine->type() != QPaintEngine::Raster ||
      !painter.deviceTransform().isIdentity() ||
      painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
      painter.device()->devType() != QInternal::Image) {
    return nullptr;
  }
  auto* image = static_cast<QImage*>(painter.device());
  const QImage::Format format = image->format();
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied ? image
                                                                                         : nullptr;
}

namespace {

// Each channel of a premultiplied pixel times a / 255, rounded, two channels
// at a time.
inline QRgb ChannelsTimes(QRgb pixel, uint32_t a) {
  uint32_t redBlue = (pixel & 0xff00ffu) * a;
  redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ffu) + 0x800080u) >> 8) & 0xff00ffu;
  uint32_t alphaGreen = ((pixel >> 8) & 0xff00ffu) * a;
  alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ffu) + 0x800080u) & 0xff00ff00u;
  return alphaGreen | redBlue;
}

// Bounds the store of a chart whose texts keep changing.
constexpr qsizetype kMostStoredTexts = 4096;

}  // namespace

TextPainter::TextPainter(QPainter& painter, TextStore& store)
    : painter_(painter), target_(DirectTarget(painter)), entries_(&local_) {
  if (target_ == nullptr) return;
  clip_ = painter.hasClipping() ? painter.clipBoundingRect().toAlignedRect() : target_->rect();
  clip_ &= target_->rect();
  bits_ = target_->bits();
  bytesPerLine_ = target_->bytesPerLine();
  const QString style = painter.font().key() + u'|' + painter.pen().color().name(QColor::HexArgb);
  if (store.style != style || store.entries.size() > kMostStoredTexts) {
    store.entries.clear();
    store.style = style;
  }
  entries_ = &store.entries;
}

const TextEntry& TextPainter::operator[](const QString& text) {
  auto found = entries_->find(text);
  if (found == entries_->end()) found = entries_->insert(text, LayOut(text));
  return *found;
}

TextEntry TextPainter::LayOut(const QString& text) const {
  TextEntry entry;
  entry.text = QStaticText(text);
  entry.text.setTextFormat(Qt::PlainText);
  entry.text.prepare(painter_.transform(), painter_.font());
  entry.width = static_cast<int32_t>(std::ceil(entry.text.size().width()));
  if (target_ == nullptr) return entry;
  QImage image(entry.width + 1, static_cast<int>(std::ceil(entry.text.size().height())),
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setFont(painter_.font());
    painter.setPen(painter_.pen());
    painter.drawStaticText(QPoint(0, 0), entry.text);
  }
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(line[x]) == 0) continue;
      entry.offsets.emplace_back(x, y);
      entry.pixels.push_back(line[x]);
    }
  }
  return entry;
}

void TextPainter::Draw(const TextEntry& entry, const QPoint& at) {
  if (target_ == nullptr) {
    painter_.drawStaticText(at, entry.text);
    return;
  }
  const int left = clip_.left();
  const int right = clip_.right();
  const int top = clip_.top();
  const int bottom = clip_.bottom();
  for (size_t i = 0; i < entry.offsets.size(); ++i) {
    const int x = at.x() + entry.offsets[i].x();
    const int y = at.y() + entry.offsets[i].y();
    if (x < left || x > right || y < top || y > bottom) continue;
    auto* pixel = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * bytesPerLine_) + x;
    const QRgb src = entry.pixels[i];
    *pixel = src + ChannelsTimes(*pixel, 255 - qAlpha(src));
  }
}

}  // namespace chart::internal
