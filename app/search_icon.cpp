#include "search_icon.h"

#include <QPainter>
#include <QPixmap>

namespace kestrum {

QIcon MagnifyingGlassIcon() {
  static constexpr int kSide = 16;
  const QColor darkBlue(0x22, 0x4A, 0x7D);
  QPixmap image(kSide, kSide);
  image.fill(Qt::transparent);

  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // The lens: a ring in the upper left.
  painter.setPen(QPen(darkBlue, 2.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QRectF(1.5, 1.5, 9.0, 9.0));
  // The handle: a thick stroke to the lower right corner.
  painter.setPen(QPen(darkBlue, 3.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(10.0, 10.0), QPointF(14.0, 14.0));
  painter.end();
  return QIcon(image);
}

}  // namespace kestrum
