#include "gradient_label.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

GradientLabel::GradientLabel(QWidget* parent) : QWidget(parent) { setAutoFillBackground(false); }

void GradientLabel::SetCaption(const QString& caption) {
  if (caption == caption_) {
    return;
  }
  caption_ = caption;
  // It paints its own text: a screen reader hears it through the name.
  setAccessibleName(caption);
  updateGeometry();
  update();
}

QSize GradientLabel::sizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(caption_), metrics.height()};
}

void GradientLabel::paintEvent(QPaintEvent* /*event*/) {
  if (caption_.isEmpty()) {
    return;
  }
  const QFontMetrics metrics(font());
  QPainterPath letters;
  letters.addText(0, metrics.ascent(), font(), caption_);

  // The gradient spans one line of text, from its top to its bottom.
  QLinearGradient fill(0, 0, 0, metrics.height());
  fill.setColorAt(0, TopColor());
  fill.setColorAt(1, palette().color(QPalette::Highlight));

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(letters, fill);
}
